#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "engine/draw_summary.h"
#include "reference_engine.h"
#include "same_bits.h"
#include "tests/support/summary_data.h"

namespace {

// The summary counts exactly the draws of the run (taken here from the plain
// loop's sorted draws) and changes none of its results.
TEST(DrawSummary, CountsTheRunsDrawsAndChangesNoResult)
{
    for (bool twoSided : {true, false}) {
        const tSummaryData d = FiveCovariates();
        std::vector<double> sorted;
        ReferenceRun(d, 100000, twoSided, &sorted);
        tEngineRun plain, summarised;
        tDrawSummary summary;
        BayesDeficitEngine(d, d.caseScores, Options(100000, twoSided), plain.condMean, plain.condSD, plain.result);
        BayesDeficitEngine(d, d.caseScores, Options(100000, twoSided), summarised.condMean, summarised.condSD,
                           summarised.result, nullptr, &summary);
        EXPECT_TRUE(SameBits(plain.result, summarised.result));
        EXPECT_TRUE(SameBits(plain.condMean, summarised.condMean) && SameBits(plain.condSD, summarised.condSD));

        const double L = static_cast<double>(plain.result.zcccLower);
        const double U = static_cast<double>(plain.result.zcccUpper);
        EXPECT_EQ(summary.draws, 100000);
        EXPECT_EQ(summary.from, L - 0.75 * (U - L));
        EXPECT_EQ(summary.to, U + 0.75 * (U - L));
        ASSERT_EQ(summary.counts.size(), static_cast<std::size_t>(tDrawSummary::Bins));
        const double w = (summary.to - summary.from) / tDrawSummary::Bins;
        auto countBelow = [&](double edge) {
            return static_cast<long>(std::lower_bound(sorted.begin(), sorted.end(), edge) - sorted.begin());
        };
        EXPECT_EQ(summary.below, countBelow(summary.from));
        EXPECT_EQ(summary.above, static_cast<long>(sorted.size()) - countBelow(summary.to));
        EXPECT_LT(summary.below + summary.above, 200u) << "the range holds nearly every draw";
        long total = summary.below + summary.above;
        for (int i = 0; i < tDrawSummary::Bins; ++i) {
            const double lo = i == 0 ? summary.from : summary.from + i * w;
            const double hi = i == tDrawSummary::Bins - 1 ? summary.to : summary.from + (i + 1) * w;
            EXPECT_EQ(summary.counts[i], countBelow(hi) - countBelow(lo)) << "bin " << i;
            total += summary.counts[i];
        }
        EXPECT_EQ(total, 100000);
    }
}

TEST(DrawSummary, EqualDrawsGetARangeAroundThem)
{
    const std::vector<double> draws(10, -1.5);
    tDrawSummary summary;
    SummariseDraws(draws.data(), 10, -1.5, -1.5, summary);
    EXPECT_EQ(summary.from, -2.5);
    EXPECT_EQ(summary.to, -0.5);
    EXPECT_EQ(summary.counts[tDrawSummary::Bins / 2], 10u);
}

}  // namespace
