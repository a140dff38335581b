#include "analysis/run/run_failure.h"

#include <new>

#include "distributions/distributions.h"
#include "distributions/float_errors.h"
#include "engine/bayes_deficit_engine.h"

namespace {

// The only argument that a sound worksheet can push out of range: the
// distribution function of a draw's zeta beyond about 65,536 conditional SDs.
constexpr int IncompleteGammaTooLarge = 1361;

const char* const NothingComputed = " No results were computed.";

std::string WithDetails(const std::string& message, const char* details)
{
    return message + NothingComputed + AnalysisFailureDetails + details;
}

}  // namespace

std::string AnalysisFailureMessage(const std::exception& error)
{
    if (dynamic_cast<const EAnalysisError*>(&error)) return error.what();
    if (const auto* argument = dynamic_cast<const EArgumentError*>(&error)) {
        if (argument->Identifier() == IncompleteGammaTooLarge)
            return WithDetails(
                "The analysis cannot be completed: the case's score is too far from the controls' scores for "
                "the probability to be computed. Check the case's scores and the SDs entered for the task and "
                "the covariates (a value mistyped, or given in other units than the rest, does this).",
                error.what());
        return WithDetails(
            "The analysis cannot be completed: a value computed from the entries lies outside the range the "
            "computation can handle. Check the means, SDs and case's scores entered.",
            error.what());
    }
    if (dynamic_cast<const EFloatingPointError*>(&error))
        return WithDetails(
            "The analysis cannot be completed: the numbers entered are too extreme for the computation (a very "
            "large or very small mean, SD or score). Check the means, SDs and case's scores, or express a "
            "variable in other units, and run the analysis again.",
            error.what());
    if (dynamic_cast<const std::bad_alloc*>(&error))
        return "The analysis cannot be completed: there is not enough free memory. Close other programs and run "
               "the analysis again.";
    return WithDetails("The analysis stopped because of an internal fault.", error.what());
}

std::string AnalysisFailureMessage(const std::exception_ptr& error)
{
    if (!error) return std::string();
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return AnalysisFailureMessage(e);
    } catch (...) {
        return WithDetails("The analysis stopped because of an internal fault.", "an error of unknown kind");
    }
}

void RethrowAsAnalysisError()
{
    throw EAnalysisError(AnalysisFailureMessage(std::current_exception()));
}

std::string CommandFailureMessage(const std::exception_ptr& error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::bad_alloc&) {
        return "There is not enough free memory to finish the command. Close other programs and try again.";
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "An unexpected error ended the command.";
    }
}
