#pragma once
// The frequentist test's exact values for an analysis, beside its Monte
// Carlo run. They never end a run: when they cannot be computed the outcome
// says why and the run's own results stand.
#include <optional>
#include <string>

#include "engine/exact_test.h"

struct AnalysisInputs;

struct ExactOutcome {
    bool computed = false;
    tExactResult values;
    std::string failure;  // when not computed: the user's message, one line
};

// The limits of the credible-limit choice (two-sided 95%, or the one-sided
// 95% ones), as the run's.
ExactOutcome ComputeExactValues(const AnalysisInputs& in, int credibleLimit);

// The same for many cases against one control sample: the control sample's
// part once. Construction never throws; a failure of the control sample is
// given by every Evaluate.
class ExactSeries {
public:
    ExactSeries(int k, int N, const tVector& sds, const tVector& means, const tMatrix& corr, int credibleLimit);
    ExactOutcome Evaluate(const tVector& caseScores) const;

private:
    std::optional<tExactDeficitTest> test_;
    std::string failure_;
    bool twoSided_;
};
