// The Compute command: the table of refusals through the workflow every
// front end runs, with their messages and focus; the entry prefill,
// gathering and the engine run (its failures: run_failure_test.cpp).
#include <gtest/gtest.h>

#include "analysis/run/compute_workflow.h"
#include "tests/support/filled_worksheet.h"
#include "tests/support/recording_messages.h"
#include "tests/support/worksheet_refusals.h"

namespace {

// A row's worksheet as the fields and the grid hold it.
WorksheetData Typed(const RefusalWorksheet& w)
{
    WorksheetData d;
    d.fields[CovariatesField] = w.k;
    d.fields[SampleSizeField] = w.n;
    d.SetGridRows(static_cast<int>(w.rows.size()));
    for (int r = 0; r < d.GridRows; ++r)
        for (int c = NameColumn; c <= ScoreColumn; ++c) d.Cell(r, c) = w.rows[r][c - NameColumn];
    return d;
}

// The matrix window's Continue on the row's correlations as typed.
class TypedCorrelations : public CorrelationEntry {
public:
    explicit TypedCorrelations(const std::vector<std::string>& triangle) : triangle_(triangle) {}
    CorrelationAnswer Enter(tMatrixEntryBuffer& buffer, int p, const std::vector<std::string>& names) override
    {
        MatrixEntryState state(buffer, p, p, true);
        state.SetNames(names);
        std::size_t next = 0;
        for (int r = 1; r <= p; ++r)
            for (int c = 1; c <= r; ++c) state.SetText(c, r, triangle_.at(next++));
        const MatrixContinueResult result = ContinueMatrix(state);
        CorrelationAnswer answer;
        if (!result.accepted) answer = {CorrelationAnswer::Refused, result.row, result.column};
        return answer;
    }

private:
    const std::vector<std::string>& triangle_;
};

class ComputeChecks : public ::testing::Test {
protected:
    platform::RecordingMessages messages;
    platform::ScopedMessages scope{messages};
};

TEST_F(ComputeChecks, SoundWorksheetPassesWithNegativeValuesAndNoNames)
{
    WorksheetData d = FilledWorksheet("2", "4");  // 2 < 4 - 1
    d.Cell(0, MeanColumn) = "-5";
    d.Cell(2, ScoreColumn) = "-1.5";
    d.Cell(1, NameColumn) = "";
    ComputeCheckResult r = CheckComputeInputs(d);
    EXPECT_TRUE(r.passed);
    EXPECT_EQ(r.k, 2);
    EXPECT_EQ(r.N, 4);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ComputeChecks, EachRefusalInItsOrderWithItsMessageAndFocus)
{
    for (const WorksheetRefusal& c : WorksheetRefusals()) {
        SCOPED_TRACE(c.name);
        messages.Clear();
        WorksheetData d = Typed(c.worksheet);
        TypedCorrelations entry(c.worksheet.triangle);
        NoWorksheetKeeping keeper;
        const PreparedCompute prepared = PrepareCompute(d, ComputePurpose::SingleCase, entry, keeper);
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].kind, c.kind);
        EXPECT_EQ(messages.shown[0].text, c.message);
        // Where the front end puts the focus: the matrix's cell, or the field or grid cell.
        const ComputeFocus& f = prepared.focus;
        const RefusalFocus reported =
            prepared.status == PreparedCompute::CorrelationRefused
                ? RefusalFocus{RefusalFocus::MatrixCell, prepared.correlation.row, prepared.correlation.column}
            : f.target == ComputeFocus::GridCell ? RefusalFocus{RefusalFocus::GridCell, f.row, f.column}
            : RefusalFocus{RefusalFocus::Field, f.target == ComputeFocus::Field ? f.field : -1};
        EXPECT_TRUE(reported == c.focus) << reported.place << " " << reported.row << " " << reported.column;
    }
    EXPECT_EQ(MaxCovariatesMessage(120), " With a control sample size of 120, the maximum number of covariates is 118 ");
}

TEST_F(ComputeChecks, CorrelationEntryStartsFromStoredValuesAfterALoadOrAnEntry)
{
    WorksheetData d = FilledWorksheet("2", "30");
    tMatrixEntryBuffer buffer;
    buffer[4][4] = 9;
    PrefillCorrelationEntry(d, 3, buffer);
    for (int c = 1; c <= 3; ++c)
        for (int r = 1; r <= 3; ++r) EXPECT_EQ(buffer[c][r], c == r ? 1.0 : 0.0);
    EXPECT_EQ(buffer[4][4], 0.0);

    d.PreviousDataLoaded = true;
    PrefillCorrelationEntry(d, 3, buffer);
    EXPECT_EQ(buffer[1][3], 0.4);
    buffer[1][2] = buffer[2][1] = -0.7;
    buffer[4][1] = 0.9;  // outside the block: not stored
    StoreCorrelationEntry(buffer, 3, d);
    EXPECT_EQ(d.StoredCorrelations[2][1], -0.7);
    EXPECT_EQ(d.StoredCorrelations[4][1], 0.0);

    // Entered once, kept for the session without a data file read.
    WorksheetData first = FilledWorksheet("2", "30");
    StoreCorrelationEntry(buffer, 3, first);
    PrefillCorrelationEntry(first, 3, buffer);
    EXPECT_EQ(buffer[2][1], -0.7);
}

TEST_F(ComputeChecks, GatherReadsTheRowsAndTheStoredCorrelations)
{
    WorksheetData d = FilledWorksheet("2", "30");
    d.Cell(1, MeanColumn) = "40,5";
    AnalysisInputs in;
    GatherAnalysisInputs(d, 2, 30, in);
    EXPECT_EQ(in.p(), 3);
    EXPECT_EQ(in.means[2], 40.5L);
    EXPECT_EQ(in.sds[3], 3);
    EXPECT_EQ(in.scores[2], 45);
    EXPECT_EQ(static_cast<double>(in.corr[3][2]), 0.3);
    EXPECT_EQ(in.corr[1][4], 0);
    StandardiseCase(in);
    EXPECT_NEAR(static_cast<double>(in.zScores[1]), -2.0, 1e-15);
    EXPECT_NEAR(static_cast<double>(in.zScores[3]), -2.0 / 3.0, 1e-15);
}

TEST_F(ComputeChecks, EngineRunIsReproducibleAndFollowsTheChoice)
{
    WorksheetData d = FilledWorksheet("2", "30");
    AnalysisInputs in;
    AnalysisOutputs first, again, oneSided;
    ASSERT_TRUE(PrepareAnalysis(d, 2, 30, in));
    RunAnalysis(in, d.credibleLimit, first);
    RunAnalysis(in, d.credibleLimit, again);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(first.condMean, again.condMean);
    EXPECT_EQ(first.result.zccc, again.result.zccc);
    EXPECT_EQ(first.result.pctLower, again.result.pctLower);
    // A case far below its conditional mean.
    EXPECT_GT(first.result.pOneTailed, 0);
    EXPECT_LT(first.result.pOneTailed, 0.05);
    EXPECT_LT(first.result.zcccLower, first.result.zccc);
    EXPECT_LT(first.result.zccc, first.result.zcccUpper);

    d.credibleLimit = OneSidedLower;
    RunAnalysis(in, d.credibleLimit, oneSided);
    EXPECT_EQ(oneSided.result.zccc, first.result.zccc);
    EXPECT_GT(oneSided.result.zcccLower, first.result.zcccLower);  // one-sided limit inside the interval
}

}  // namespace
