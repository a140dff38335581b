#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include <boost/math/distributions/students_t.hpp>

#include "engine/covariate_units.h"
#include "foundation/messages.h"
#include "tests/support/recording_messages.h"
#include "tests/support/summary_data.h"

namespace {

// One covariate: the task and a covariate whose unit is `unit` (the same
// sample in other units is the same call with another unit).
tSummaryData OneCovariate(int N, extended taskMean, extended taskSD, extended mean, extended sd, extended r,
                          extended caseTask, extended caseCovariate, extended unit)
{
    tSummaryData d;
    d.k = 1;
    d.N = N;
    d.means[1] = taskMean;
    d.sds[1] = taskSD;
    d.means[2] = mean / unit;
    d.sds[2] = sd / unit;
    d.caseScores[1] = caseTask;
    d.caseScores[2] = caseCovariate / unit;
    d.corr[1][1] = d.corr[2][2] = 1;
    d.corr[1][2] = d.corr[2][1] = r;
    return d;
}

// 100 * the Student t probability of a score below the case's, on N - 2
// degrees of freedom, from the textbook formulas for one covariate.
double ExactPercentBelow(const tSummaryData& d)
{
    const double N = d.N, my = d.means[1], sy = d.sds[1], mx = d.means[2], sx = d.sds[2], r = d.corr[1][2];
    const double x = d.caseScores[2];
    const double predicted = my + r * sy / sx * (x - mx);
    const double residualSD = std::sqrt((N - 1) * sy * sy * (1 - r * r) / (N - 2));
    const double leverage = 1 / N + (x - mx) * (x - mx) / ((N - 1) * sx * sx);
    const double t = (d.caseScores[1] - predicted) / (residualSD * std::sqrt(1 + leverage));
    return 100 * boost::math::cdf(boost::math::students_t(N - 2), t);
}

bool FactorisesInItsOwnUnits(const tSummaryData& d)
{
    tMatrix B, residVar, XtXInv;
    return RegressionFromSummary(d.corr, d.sds, d.means, 1, d.k, d.N, B, residVar, XtXInv) &&
           IsPositiveDefinite(d.k + 1, XtXInv);
}

// A sample refused by the pivot thresholds in its own units, and the unit
// in which the thresholds accept it.
struct UnitsCase {
    const char* name;
    int N;
    extended taskMean, taskSD, mean, sd, r, caseTask, caseCovariate, unit;
    tSummaryData In(extended unit) const
    {
        return OneCovariate(N, taskMean, taskSD, mean, sd, r, caseTask, caseCovariate, unit);
    }
};

const UnitsCase Cases[] = {
    {"volume in mm3 and in cm3", 50, 100, 15, 1.5e6L, 1.5e5L, 0.4L, 70, 1.35e6L, 1000},
    {"income and income in thousands", 500, 50, 10, 60000, 50000, 0.3L, 31, 21000, 1000},
    {"SD 999999 and 0.999999", 20, 50, 10, 0, 999999, 0.5L, 30, -400000, 1e6L},
    {"SD 1e-6 and 1", 20, 50, 10, 0, 1e-6L, 0.5L, 30, -0.8e-6L, 1e-6L},
};

// The same sample in its natural units and in others gives the same analysis
// (the draws fewer than a full run's: the comparisons do not depend on them).
TEST(CovariateUnits, NaturalScaleGivesTheSameAnalysisAsOtherUnits)
{
    platform::RecordingMessages messages;
    platform::ScopedMessages scope{messages};
    const int draws = 100000;
    for (const UnitsCase& c : Cases) {
        SCOPED_TRACE(c.name);
        const tSummaryData n = c.In(1), o = c.In(c.unit);
        ASSERT_FALSE(FactorisesInItsOwnUnits(n));
        ASSERT_TRUE(FactorisesInItsOwnUnits(o));

        tEngineRun natural, other;
        tMonteCarloError error;
        BayesDeficitEngine(n, n.caseScores, Options(draws, true), natural.condMean, natural.condSD,
                           natural.result, &error);
        other = RunEngine(o, draws, true);
        EXPECT_TRUE(messages.shown.empty());

        EXPECT_NEAR(natural.result.zccc, other.result.zccc, 1e-12);
        EXPECT_NEAR(natural.condMean, other.condMean, 1e-12 * std::fabs(other.condMean));
        EXPECT_NEAR(natural.condSD, other.condSD, 1e-12 * other.condSD);
        const extended percentages[][2] = {{natural.result.pctBelow, other.result.pctBelow},
                                           {natural.result.pctLower, other.result.pctLower},
                                           {natural.result.pctUpper, other.result.pctUpper},
                                           {natural.result.pOneTailed, other.result.pOneTailed},
                                           {natural.result.pTwoTailed, other.result.pTwoTailed}};
        for (const auto& pair : percentages) EXPECT_NEAR(pair[0], pair[1], 1e-6 * std::fabs(pair[1]));
        EXPECT_NEAR(natural.result.zcccLower, other.result.zcccLower, 1e-9);
        EXPECT_NEAR(natural.result.zcccUpper, other.result.zcccUpper, 1e-9);

        // The probability the draws estimate, within four Monte Carlo standard errors.
        EXPECT_NEAR(static_cast<double>(natural.result.pctBelow), ExactPercentBelow(o),
                    4 * static_cast<double>(error.pctBelow));
    }
}

TEST(CovariateUnitsChoice, AnAnalysisThatRunsKeepsItsUnits)
{
    const tSummaryData d = FiveCovariates();
    EXPECT_FALSE(ChooseCovariateUnits(d.k, d.N, d.sds, d.means, d.corr).rescaled);
}

}  // namespace
