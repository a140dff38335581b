// A case series run with the worksheet's credible-limit choice gives each
// case exactly the numbers the worksheet's own run of that case gives.
#include <gtest/gtest.h>

#include <cstring>

#include "analysis/compute_checks.h"
#include "engine/case_series_engine.h"
#include "foundation/messages.h"

namespace {

bool SameBits(extended a, extended b)
{
    return std::memcmp(&a, &b, 10) == 0;  // the value bytes, not the padding
}

TEST(SeriesLimitChoice, EachChoiceGivesTheWorksheetRunsNumbers)
{
    platform::RecordingMessages messages;
    platform::ScopedMessages scope{messages};
    WorksheetData d;
    d.WriteDefaultNames();
    d.fields[CovariatesField] = "2";
    d.fields[SampleSizeField] = "30";
    d.SetGridRows(3);
    const char* rows[3][3] = {{"100", "15", "70"}, {"40", "10", "45"}, {"12", "3", "10"}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) d.Cell(r, MeanColumn + c) = rows[r][c];
    auto& s = d.StoredCorrelations;
    s[1][2] = s[2][1] = 0.5;
    s[1][3] = s[3][1] = 0.4;
    s[2][3] = s[3][2] = 0.3;
    AnalysisInputs in;
    ASSERT_TRUE(PrepareAnalysis(d, 2, 30, in));

    for (int choice : {TwoSided, OneSidedLower, OneSidedUpper}) {
        SCOPED_TRACE(choice);
        AnalysisOutputs out;
        RunAnalysis(in, choice, out);
        std::vector<tSeriesCaseResult> series;
        ASSERT_TRUE(CaseSeriesEngine(in.k, in.N, DrawStoreCapacity, IsTwoSidedLimit(choice), 95, in.sds, in.means,
                                     in.corr, {in.scores}, nullptr, series));
        ASSERT_EQ(series.size(), 1u);
        const tSeriesCaseResult& c = series[0];
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
