// The prediction of the case's task score from the control sample's summary
// statistics, the test's t with its degrees of freedom, and the limits of
// the effect size from the noncentral t distribution.
#include "engine/exact_test.h"

#include <cfenv>
#include <cmath>
#include <stdexcept>

#include "engine/bayes_deficit_engine.h"
#include "engine/analysis_steps.h"
#include "engine/exact_distributions.h"

namespace {

const char* const NoResidualSpread =
    "The frequentist test cannot be computed: the covariates leave no spread in the task's scores among the "
    "controls (a correlation of the task with the covariates is too close to 1).";

// The run's floating-point checks read the flags; the distributions here set
// them freely (underflow far in a tail is expected), so they are put back.
class tKeepFloatingPointFlags {
public:
    tKeepFloatingPointFlags() { std::fegetexceptflag(&flags_, FE_ALL_EXCEPT); }
    ~tKeepFloatingPointFlags() { std::fesetexceptflag(&flags_, FE_ALL_EXCEPT); }
    tKeepFloatingPointFlags(const tKeepFloatingPointFlags&) = delete;
    tKeepFloatingPointFlags& operator=(const tKeepFloatingPointFlags&) = delete;

private:
    std::fexcept_t flags_{};
};

// A limit of delta * sqrt(h); q of 0 or 1 (a level of 100%) has no finite one.
extended Limit(extended c, int df, extended q, extended rootH)
{
    if (q <= 0) return HUGE_VALL;
    if (q >= 1) return -HUGE_VALL;
    return NoncentralityForProbability(c, df, q) * rootH;
}

}  // namespace

tExactDeficitTest::tExactDeficitTest(int k, int N, const tVector& sds, const tVector& means, const tMatrix& corr)
    : k_(k), N_(N), meanY_(means[1]), sdY_(sds[1]), syy_(0), sdResidual_(sds[1])
{
    if (k < 0 || k + 1 > MatrixCapacity) throw std::invalid_argument("tExactDeficitTest: covariate count out of range");
    if (N < k + 3) throw std::invalid_argument("tExactDeficitTest: too few controls");
    const tKeepFloatingPointFlags keep;
    if (k == 0) return;

    // S = (N - 1) D R D, partitioned into the task (1) and the covariates.
    const extended scale = N - 1;
    tMatrix sxx;
    for (int i = 1; i <= k; ++i) {
        meanX_[i] = means[i + 1];
        sxy_[i] = scale * sds[i + 1] * corr[i + 1][1] * sds[1];
        for (int j = 1; j <= k; ++j) sxx[i][j] = scale * sds[i + 1] * corr[i + 1][j + 1] * sds[j + 1];
    }
    syy_ = scale * sds[1] * sds[1];
    if (!InvertMatrix(sxx, k, sxxInverse_)) ThrowInversionFailure();
    extended explained = 0;
    for (int i = 1; i <= k; ++i) {
        b_[i] = 0;
        for (int j = 1; j <= k; ++j) b_[i] += sxxInverse_[i][j] * sxy_[j];
        explained += sxy_[i] * b_[i];
    }
    const extended residualVariance = (syy_ - explained) / (N - k - 1);
    if (!(residualVariance > 0) || !std::isfinite(residualVariance)) throw EAnalysisError(NoResidualSpread);
    sdResidual_ = std::sqrt(residualVariance);
}

tExactResult tExactDeficitTest::Evaluate(const tVector& caseScores, bool twoSided, int credPct) const
{
    const tKeepFloatingPointFlags keep;
    tExactResult r;
    r.df = N_ - k_ - 1;
    r.predicted = meanY_;
    r.leverage = 1.0L / N_;
    for (int i = 1; i <= k_; ++i) {
        const extended di = caseScores[i + 1] - meanX_[i];
        r.predicted += b_[i] * di;
        extended row = 0;
        for (int j = 1; j <= k_; ++j) row += sxxInverse_[i][j] * (caseScores[j + 1] - meanX_[j]);
        r.leverage += di * row;
    }
    r.sdPrediction = sdResidual_;
    const extended difference = caseScores[1] - r.predicted;
    r.t = difference / (r.sdPrediction * std::sqrt(1 + r.leverage));

    const extended below = StudentLowerTail(r.t, r.df);
    const extended above = StudentUpperTail(r.t, r.df);
    r.pctBelow = 100 * below;
    r.pOneTailed = below < above ? below : above;
    r.pTwoTailed = 2 * r.pOneTailed;

    const extended rootH = std::sqrt(r.leverage);
    const extended c = difference / (r.sdPrediction * rootH);
    const extended alpha = (100 - credPct) / 100.0L;
    const extended qLower = twoSided ? 1 - alpha / 2 : 1 - alpha;
    const extended qUpper = twoSided ? alpha / 2 : alpha;
    r.zcccLower = Limit(c, r.df, qLower, rootH);
    r.zcccUpper = Limit(c, r.df, qUpper, rootH);
    r.pctLower = 100 * NormalLowerTail(r.zcccLower);
    r.pctUpper = 100 * NormalLowerTail(r.zcccUpper);
    return r;
}
