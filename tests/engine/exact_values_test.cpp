// The frequentist test's values against an independent computation: the
// prediction from the engine's design-matrix regression (not the centred sums
// of squares the test uses), and every probability by direct numerical
// integration over the chi distribution of the residual scale, with Phi from
// the C library's erfcl, all in long double:
//   P(T'(df, delta) <= c) = integral over s > 0 of Phi(c s - delta) f(s) ds,
// f the density of sqrt(chi-square(df) / df); delta = 0 gives the central t.
// The noncentralities are found by bisection on that integral.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/analysis_steps.h"
#include "engine/exact_test.h"
#include "tests/support/summary_data.h"

namespace {

extended Phi(extended z) { return 0.5L * std::erfc(-z / std::sqrt(2.0L)); }

// Nodes and weights of 10-point Gauss-Legendre on [-1, 1], by Newton's
// method on the Legendre polynomial.
struct tGaussLegendre {
    static constexpr int n = 10;
    extended x[n], w[n];
    tGaussLegendre()
    {
        const extended pi = std::acos(-1.0L);
        for (int i = 0; i < n; ++i) {
            extended z = std::cos(pi * (i + 0.75L) / (n + 0.5L));
            extended dp = 0;
            for (int it = 0; it < 100; ++it) {
                extended p0 = 1, p1 = z;
                for (int j = 2; j <= n; ++j) {
                    const extended p2 = ((2 * j - 1) * z * p1 - (j - 1) * p0) / j;
                    p0 = p1;
                    p1 = p2;
                }
                dp = n * (z * p1 - p0) / (z * z - 1);
                const extended step = p1 / dp;
                z -= step;
                if (std::fabs(step) < 1e-21L) break;
            }
            x[i] = z;
            w[i] = 2 / ((1 - z * z) * dp * dp);
        }
    }
};

extended NoncentralLowerTail(extended c, int df, extended delta)
{
    static const tGaussLegendre rule;
    const extended nu = df;
    const extended logNorm = std::log(2.0L) + (nu / 2) * std::log(nu / 2) - std::lgamma(nu / 2);
    const extended top = 1 + 16 / std::sqrt(nu) + 8;
    const int panels = 1000;
    const extended width = top / panels;
    extended sum = 0;
    for (int p = 0; p < panels; ++p) {
        const extended mid = (p + 0.5L) * width;
        for (int i = 0; i < tGaussLegendre::n; ++i) {
            const extended s = mid + rule.x[i] * width / 2;
            const extended density = std::exp(logNorm + (nu - 1) * std::log(s) - nu * s * s / 2);
            sum += rule.w[i] * width / 2 * density * Phi(c * s - delta);
        }
    }
    return sum;
}

extended NoncentralityByBisection(extended c, int df, extended q)
{
    extended lo = -200, hi = 200;  // the probability falls as delta grows
    for (int i = 0; i < 75; ++i) {
        const extended mid = (lo + hi) / 2;
        (NoncentralLowerTail(c, df, mid) > q ? lo : hi) = mid;
    }
    return (lo + hi) / 2;
}

struct tReference {
    extended t, pctBelow, pOne, zLower, zUpper, pctLower, pctUpper;
};

tReference ReferenceValues(const tSummaryData& d, bool twoSided, int credPct)
{
    tRegression regression;
    ComputeRegression(d.k, d.N, d.sds, d.means, d.corr, regression);
    tVector design = d.caseScores;
    design[1] = 1;
    extended predicted = 0, h = 0;
    for (int i = 1; i <= d.k + 1; ++i) {
        predicted += design[i] * regression.B[i][1];
        for (int j = 1; j <= d.k + 1; ++j) h += design[i] * regression.XtXInv[i][j] * design[j];
    }
    const extended sdResidual = std::sqrt(regression.residVar[1][1]);
    const int df = d.N - d.k - 1;
    tReference r;
    r.t = (d.caseScores[1] - predicted) / (sdResidual * std::sqrt(1 + h));
    const extended below = NoncentralLowerTail(r.t, df, 0);
    r.pctBelow = 100 * below;
    r.pOne = r.t < 0 ? below : NoncentralLowerTail(-r.t, df, 0);
    const extended c = (d.caseScores[1] - predicted) / (sdResidual * std::sqrt(h));
    const extended alpha = (100 - credPct) / 100.0L;
    r.zLower = NoncentralityByBisection(c, df, twoSided ? 1 - alpha / 2 : 1 - alpha) * std::sqrt(h);
    r.zUpper = NoncentralityByBisection(c, df, twoSided ? alpha / 2 : alpha) * std::sqrt(h);
    r.pctLower = 100 * Phi(r.zLower);
    r.pctUpper = 100 * Phi(r.zUpper);
    return r;
}

tSummaryData Sample(int k, int N, extended caseScore, extended covariateShift)
{
    tSummaryData d;
    d.k = k;
    d.N = N;
    d.sds[1] = 15;
    d.means[1] = 100;
    d.caseScores[1] = caseScore;
    for (int i = 1; i <= k + 1; ++i) {
        d.corr[i][i] = 1;
        for (int j = i + 1; j <= k + 1; ++j) d.corr[i][j] = d.corr[j][i] = i == 1 ? 0.5L - 0.05L * j : 0.3L;
    }
    for (int i = 2; i <= k + 1; ++i) {
        d.sds[i] = 2 + i;
        d.means[i] = 10 * i;
        d.caseScores[i] = d.means[i] + covariateShift * d.sds[i] * (i % 2 ? 1 : -0.5L);
    }
    return d;
}

void ExpectRelativelyClose(extended expected, extended actual, const char* what)
{
    const extended scale = std::fabs(expected) > 1e-300L ? std::fabs(expected) : 1;
    EXPECT_LE(std::fabs(actual - expected) / scale, 1e-10L)
        << what << ": " << static_cast<double>(actual) << " against " << static_cast<double>(expected);
}

struct tExactCase {
    const char* what;
    tSummaryData data;
    bool twoSided;
    int credPct;
    double pOneAtLeast, pOneAtMost;  // places the case where it is meant to be
    bool monteCarlo = false;          // also against a full Monte Carlo run
};

TEST(ExactDeficitTest, AgreesWithDirectIntegrationAndTheMonteCarloRun)
{
    const std::vector<tExactCase> cases = {
        {"no covariates, N = 3", Sample(0, 3, 70, 0), true, 95, 0.1, 0.4},
        {"no covariates, far below", Sample(0, 20, -48, 0), true, 95, 1e-9, 1e-7},
        {"no covariates, one-sided", Sample(0, 12, 80, 0), false, 95, 0.05, 0.15},
        {"one covariate, above its prediction", Sample(1, 30, 140, 1.5L), true, 95, 0.001, 0.05},
        {"two covariates, 90% one-sided", Sample(2, 15, 72, -1), false, 90, 0.01, 0.2},
        {"five covariates, N = 8", Sample(5, 8, 60, 0.8L), true, 95, 0.005, 0.2},
        {"five covariates, far below", Sample(5, 40, -15, 0.4L), true, 95, 1e-9, 1e-7},
        {"the worked example", WorkedExample(), true, 95, 0.04, 0.08, true},
        {"no covariates, N = 20", Sample(0, 20, 75, 0), true, 95, 0.04, 0.08, true},
        {"two covariates, one-sided", Sample(2, 30, 80, 1), false, 95, 0.05, 0.1, true},
        {"five covariates, N = 40", FiveCovariates(), true, 95, 0.08, 0.15, true},
    };
    for (const tExactCase& c : cases) {
        SCOPED_TRACE(c.what);
        const tExactDeficitTest test(c.data.k, c.data.N, c.data.sds, c.data.means, c.data.corr);
        const tExactResult r = test.Evaluate(c.data.caseScores, c.twoSided, c.credPct);
        const tReference ref = ReferenceValues(c.data, c.twoSided, c.credPct);
        EXPECT_EQ(r.df, c.data.N - c.data.k - 1);
        EXPECT_GE(r.pOneTailed, c.pOneAtLeast);
        EXPECT_LE(r.pOneTailed, c.pOneAtMost);
        ExpectRelativelyClose(ref.t, r.t, "t");
        ExpectRelativelyClose(ref.pctBelow, r.pctBelow, "pctBelow");
        ExpectRelativelyClose(ref.pOne, r.pOneTailed, "pOneTailed");
        ExpectRelativelyClose(2 * ref.pOne, r.pTwoTailed, "pTwoTailed");
        ExpectRelativelyClose(ref.zLower, r.zcccLower, "zcccLower");
        ExpectRelativelyClose(ref.zUpper, r.zcccUpper, "zcccUpper");
        ExpectRelativelyClose(ref.pctLower, r.pctLower, "pctLower");
        ExpectRelativelyClose(ref.pctUpper, r.pctUpper, "pctUpper");
        if (!c.monteCarlo) continue;
        // The Monte Carlo run estimates these same quantities: its results
        // lie within a few of its standard errors of them (a limit is a
        // quantile of a million draws: its standard error is a few thousandths).
        const tSummaryData& d = c.data;
        extended condMean = 0, condSD = 0;
        tBayesResult mc;
        tMonteCarloError mcse;
        RunOptions options = Options(DrawStoreCapacity, c.twoSided);
        options.level = c.credPct;
        BayesDeficitEngine(d, d.caseScores, options, condMean, condSD, mc, &mcse);
        EXPECT_NEAR(static_cast<double>(mc.pctBelow), static_cast<double>(r.pctBelow), 4 * static_cast<double>(mcse.pctBelow));
        EXPECT_NEAR(static_cast<double>(mc.pOneTailed), static_cast<double>(r.pOneTailed),
                    4 * static_cast<double>(mcse.pOneTailed));
        EXPECT_NEAR(static_cast<double>(mc.zcccLower), static_cast<double>(r.zcccLower), 0.015);
        EXPECT_NEAR(static_cast<double>(mc.zcccUpper), static_cast<double>(r.zcccUpper), 0.015);
    }
}

TEST(ExactDeficitTest, RefusesAControlSampleWithoutResidualSpread)
{
    tSummaryData d = Sample(1, 20, 90, 0);
    d.corr[1][2] = d.corr[2][1] = 1;
    EXPECT_THROW(tExactDeficitTest(d.k, d.N, d.sds, d.means, d.corr), EAnalysisError);
}

}  // namespace
