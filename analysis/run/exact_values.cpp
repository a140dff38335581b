#include "analysis/run/exact_values.h"

#include <exception>

#include "analysis/run/compute_checks.h"
#include "engine/bayes_deficit_engine.h"

namespace {

const char* const NotComputedMessage = "The frequentist test's values could not be computed.";

}  // namespace

ExactSeries::ExactSeries(int k, int N, const tVector& sds, const tVector& means, const tMatrix& corr,
                         int credibleLimit)
    : twoSided_(IsTwoSidedLimit(credibleLimit))
{
    try {
        test_.emplace(k, N, sds, means, corr);
    } catch (const EAnalysisError& e) {
        failure_ = e.what();
    } catch (const std::exception&) {
        failure_ = NotComputedMessage;
    }
}

ExactOutcome ExactSeries::Evaluate(const tVector& caseScores) const
{
    ExactOutcome outcome;
    if (!test_) {
        outcome.failure = failure_;
        return outcome;
    }
    try {
        outcome.values = test_->Evaluate(caseScores, twoSided_, AnalysisCredibleLevel);
        outcome.computed = true;
    } catch (const EAnalysisError& e) {
        outcome.failure = e.what();
    } catch (const std::exception&) {
        outcome.failure = NotComputedMessage;
    }
    return outcome;
}

ExactOutcome ComputeExactValues(const AnalysisInputs& in, int credibleLimit)
{
    return ExactSeries(in.k, in.N, in.sds, in.means, in.corr, credibleLimit).Evaluate(in.scores);
}
