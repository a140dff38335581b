// Errors that end an analysis reach the user in the user's terms, with the
// technical text kept as the details.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "tests/support/recording_messages.h"
#include "analysis/run/compute_checks.h"
#include "analysis/run/run_failure.h"
#include "distributions/distributions.h"
#include "distributions/float_errors.h"
#include "foundation/messages.h"

namespace {

// One covariate, 20 controls: task 50 (SD 10), covariate 10 (SD 2), r = 0.5.
WorksheetData WorkedExample(const char* taskMean, const char* taskSD, const char* taskScore)
{
    WorksheetData d;
    d.WriteDefaultNames();
    d.fields[CovariatesField] = "1";
    d.fields[SampleSizeField] = "20";
    d.SetGridRows(2);
    const char* rows[2][3] = {{taskMean, taskSD, taskScore}, {"10", "2", "8"}};
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c) d.Cell(r, MeanColumn + c) = rows[r][c];
    d.StoredCorrelations[1][2] = d.StoredCorrelations[2][1] = 0.5;
    return d;
}

std::string RunFailure(const WorksheetData& d)
{
    try {
        AnalysisInputs in;
        AnalysisOutputs out;
        if (!PrepareAnalysis(d, 1, 20, in)) return "refused";
        RunAnalysis(in, TwoSided, out);
    } catch (const EAnalysisError& e) {
        return e.what();
    } catch (const std::exception& e) {
        return std::string("not translated: ") + e.what();
    }
    return "no error";
}

const std::string kFarOut =
    "The analysis cannot be completed: the case's score is too far from the controls' scores for the probability "
    "to be computed. Check the case's scores and the SDs entered for the task and the covariates (a value "
    "mistyped, or given in other units than the rest, does this). No results were computed.\r\rDetails: ";
const std::string kExtreme =
    "The analysis cannot be completed: the numbers entered are too extreme for the computation (a very large or "
    "very small mean, SD or score). Check the means, SDs and case's scores, or express a variable in other units, "
    "and run the analysis again. No results were computed.\r\rDetails: ";

TEST(RunFailure, EachErrorOfARunIsToldInTheUsersTerms)
{
    platform::RecordingMessages messages;
    platform::ScopedMessages scope(messages);
    struct Case {
        const char* what;
        WorksheetData data;
        std::string message;  // the whole text, or its start when partial
        bool partial;
    };
    const Case cases[] = {
        {"score 100,000 SDs below the mean", WorkedExample("50", "1", "-99999"),
         kFarOut + "An argument of the incomplete gamma function is too large (the largest allowed is 2147483647)",
         false},
        {"residual variance lost in cancellation",
         WorkedExample("3000000000", "0.001", "2999999999.999"), kExtreme + "Invalid floating point operation",
         false},
        {"a mean of 400 digits", WorkedExample(std::string(400, '9').c_str(), "10", "30"),
         kExtreme + "Floating point overflow", false},
        // The engine's own message is already the user's: kept as it is.
        {"covariate too far from zero", [] {
             WorksheetData d = WorkedExample("50", "10", "30");
             d.Cell(1, MeanColumn) = "10000000";
             d.Cell(1, SDColumn) = "1";
             return d;
         }(),
         "The analysis cannot be completed: the regression's inverse cross-product matrix could not be factorised,",
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string text = RunFailure(c.data);
        if (c.partial) {
            EXPECT_EQ(text.rfind(c.message, 0), 0u) << text;
            EXPECT_EQ(text.find("Details"), std::string::npos) << text;
        } else {
            EXPECT_EQ(text, c.message);
        }
    }
}

TEST(RunFailure, EveryKindOfErrorHasItsMessage)
{
    const std::string details = AnalysisFailureDetails, fault = "The analysis stopped because of an internal fault. "
                                                                 "No results were computed.";
    const std::string memory = "There is not enough free memory to finish the command. Close other programs and try "
                               "again.";
    const struct {
        const char* what;
        std::exception_ptr error;
        std::string analysis, command;  // AnalysisFailureMessage and CommandFailureMessage
    } cases[] = {
        {"an argument out of range",
         std::make_exception_ptr(EArgumentError(1302, "The argument must not be less than 0")),
         "The analysis cannot be completed: a value computed from the entries lies outside the range the computation "
         "can handle. Check the means, SDs and case's scores entered. No results were computed." +
             details + "The argument must not be less than 0",
         "The argument must not be less than 0"},
        {"no memory", std::make_exception_ptr(std::bad_alloc()),
         "The analysis cannot be completed: there is not enough free memory. Close other programs and run the "
         "analysis again.",
         memory},
        {"an internal fault", std::make_exception_ptr(std::invalid_argument("engine: draw count out of range")),
         fault + details + "engine: draw count out of range", "engine: draw count out of range"},
        {"a file's refusal", std::make_exception_ptr(std::runtime_error("Cannot write \"a.csv\".")),
         fault + details + "Cannot write \"a.csv\".", "Cannot write \"a.csv\"."},
        {"an error of no known kind", std::make_exception_ptr(42), fault + details + "an error of unknown kind",
         "An unexpected error ended the command."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(AnalysisFailureMessage(c.error), c.analysis);
        EXPECT_EQ(CommandFailureMessage(c.error), c.command);
    }
    EXPECT_EQ(AnalysisFailureMessage(std::exception_ptr()), "");
}

}  // namespace
