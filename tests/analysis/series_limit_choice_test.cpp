// A case series run with the worksheet's credible-limit choice gives each
// case exactly the numbers the worksheet's own run of that case gives.
#include <gtest/gtest.h>

#include <cstring>

#include "analysis/run/compute_checks.h"
#include "engine/case_series_engine.h"
#include "foundation/messages.h"
#include "tests/support/filled_worksheet.h"

namespace {

bool SameBits(extended a, extended b)
{
    return std::memcmp(&a, &b, 10) == 0;  // the value bytes, not the padding
}

TEST(SeriesLimitChoice, EachChoiceGivesTheWorksheetRunsNumbers)
{
    platform::RecordingMessages messages;
    platform::ScopedMessages scope{messages};
    const WorksheetData d = FilledWorksheet();
    AnalysisInputs in;
    ASSERT_TRUE(PrepareAnalysis(d, 2, 30, in));

    for (int choice : {TwoSided, OneSidedLower, OneSidedUpper}) {
        SCOPED_TRACE(choice);
        AnalysisOutputs out;
        RunAnalysis(in, choice, out);
        // Two cases, so that the series makes its shared draws (one case is
        // simply its single run).
        std::vector<tSeriesCaseResult> series;
        RunOptions options = AnalysisOptions(choice);
        options.draws = DrawStoreCapacity;
        ASSERT_TRUE(CaseSeriesEngine(in, {in.scores, in.scores}, options, nullptr, series));
        ASSERT_EQ(series.size(), 2u);
        const tSeriesCaseResult& c = series[1];
        ASSERT_TRUE(c.analysed);
        const tBayesResult& a = out.result;
        const tBayesResult& b = c.result;
        for (auto [x, y] : {std::pair{out.condMean, c.condMean}, {out.condSD, c.condSD}, {a.pOneTailed, b.pOneTailed},
                            {a.pTwoTailed, b.pTwoTailed}, {a.pctBelow, b.pctBelow}, {a.pctLower, b.pctLower},
                            {a.pctUpper, b.pctUpper}, {a.zccc, b.zccc}, {a.zcccLower, b.zcccLower},
                            {a.zcccUpper, b.zcccUpper}, {out.mcse.pctBelow, c.mcse.pctBelow},
                            {out.mcse.pOneTailed, c.mcse.pOneTailed}, {out.mcse.pTwoTailed, c.mcse.pTwoTailed}})
            EXPECT_TRUE(SameBits(x, y)) << static_cast<double>(x) << " " << static_cast<double>(y);
        EXPECT_GT(out.mcse.pctBelow, 0);
        EXPECT_EQ(out.summary.draws, DrawStoreCapacity);
    }
    EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
