#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "distributions/distributions.h"
#include "tests/support/summary_data.h"
#include "reference_engine.h"
#include "same_bits.h"

namespace {

void ExpectIdentical(const tEngineRun& a, const tEngineRun& b)
{
    EXPECT_TRUE(SameBits(a.condMean, b.condMean) && SameBits(a.condSD, b.condSD) && SameBits(a.result, b.result));
}

// Relations every result satisfies.
void ExpectConsistent(const tBayesResult& r)
{
    extended folded = r.pctBelow > 50 ? 100 - r.pctBelow : r.pctBelow;
    EXPECT_EQ(r.pOneTailed, folded / 100);
    EXPECT_EQ(r.pTwoTailed, folded / 50);
    EXPECT_NEAR(static_cast<double>(r.pTwoTailed), static_cast<double>(2 * r.pOneTailed), 1e-17);
    EXPECT_LE(r.pTwoTailed, 1);
    EXPECT_LE(r.zcccLower, r.zcccUpper);
    EXPECT_LE(r.pctLower, r.pctUpper);
    tNormal_distribution standard(0, 1);
    EXPECT_EQ(r.pctLower, standard.Distribution_function(r.zcccLower) * 100);
    EXPECT_EQ(r.pctUpper, standard.Distribution_function(r.zcccUpper) * 100);
}

// The engine spreads each run over two threads; the plain one-thread loop
// must give the very same numbers, limit positions included.
TEST(BayesDeficitEngine, MatchesThePlainLoopExactly)
{
    ExpectIdentical(RunEngine(FiveCovariates(), 100000, true), ReferenceRun(FiveCovariates(), 100000, true));
    ExpectIdentical(RunEngine(WorkedExample(), 100000, false), ReferenceRun(WorkedExample(), 100000, false));
    // Fewer draws than fill one hand-over between the threads.
    ExpectIdentical(RunEngine(WorkedExample(), 700, true), ReferenceRun(WorkedExample(), 700, true));
}

// The worked example's full run, each limit choice: the limits are fixed
// positions in the plain loop's sorted draws, one past the rounded product
// at the upper end.
TEST(BayesDeficitEngine, WorkedExampleAtTheLimitPositionsOfAMillionDraws)
{
    std::vector<double> sorted;
    const tEngineRun reference = ReferenceRun(WorkedExample(), DrawStoreCapacity, true, &sorted);
    ASSERT_EQ(sorted.size(), static_cast<size_t>(DrawStoreCapacity));
    const struct {
        bool twoSided;
        int lower, upper;  // positions in the sorted draws
        double zLower, zUpper, pctLower, pctUpper, pctUpperTolerance;
    } limits[] = {{true, 25000, 975001, -2.51, -0.84, 0.61, 20.0, 0.3}, {false, 50000, 950001, -2.37, -0.97, 0.89, 16.6, 0.2}};
    for (const auto& l : limits) {
        SCOPED_TRACE(l.twoSided ? "two-sided" : "one-sided");
        const tEngineRun run = RunEngine(WorkedExample(), DrawStoreCapacity, l.twoSided);
        if (l.twoSided) ExpectIdentical(run, reference);
        EXPECT_EQ(run.result.pctBelow, reference.result.pctBelow);
        EXPECT_EQ(run.result.zcccLower, sorted[l.lower - 1]);
        EXPECT_EQ(run.result.zcccUpper, sorted[l.upper - 1]);
        EXPECT_NEAR(static_cast<double>(run.result.pctBelow), 6.289, 0.03);
        EXPECT_NEAR(static_cast<double>(run.result.pOneTailed), 0.0629, 0.0003);
        EXPECT_NEAR(static_cast<double>(run.result.zcccLower), l.zLower, 0.01);
        EXPECT_NEAR(static_cast<double>(run.result.zcccUpper), l.zUpper, 0.01);
        EXPECT_NEAR(static_cast<double>(run.result.pctLower), l.pctLower, 0.02);
        EXPECT_NEAR(static_cast<double>(run.result.pctUpper), l.pctUpper, l.pctUpperTolerance);
        ExpectConsistent(run.result);
    }
}

TEST(BayesDeficitEngine, RunsAreReproducible)
{
    const tEngineRun first = RunEngine(FiveCovariates(), 200000, true);
    RunEngine(WorkedExample(), 50000, false);
    Uniform_random();
    const tEngineRun again = RunEngine(FiveCovariates(), 200000, true);
    ExpectIdentical(first, again);

    // Without the reset the stream goes on: another result.
    const tEngineRun continued = RunEngine(FiveCovariates(), 200000, true, false);
    EXPECT_NE(continued.result.pctBelow, first.result.pctBelow);
    EXPECT_EQ(continued.result.zccc, first.result.zccc);
}

TEST(BayesDeficitEngine, CaseAbovePredictionIsFolded)
{
    tSummaryData d = WorkedExample();
    d.caseScores[1] = 60;
    const tEngineRun run = RunEngine(d, 100000, true);
    EXPECT_GT(run.result.pctBelow, 50);
    EXPECT_GT(run.result.zccc, 0);
    EXPECT_EQ(run.result.pOneTailed, (100 - run.result.pctBelow) / 100);
    EXPECT_EQ(run.result.pTwoTailed, (100 - run.result.pctBelow) / 50);
    ExpectConsistent(run.result);
}

}  // namespace
