// The Compute command: refusals of steps 1-4 in their order with their
// messages and focus, the entry prefill, gathering, step 9 and the engine run.
#include <gtest/gtest.h>

#include <functional>

#include "tests/support/recording_messages.h"
#include "distributions/float_errors.h"
#include "foundation/messages.h"
#include "analysis/run/compute_checks.h"
#include "tests/support/filled_worksheet.h"

using platform::MessageKind;

namespace {

const std::string kEmpty = "  )\r\rData have not been entered in this field.";

struct Refusal {
    const char* k;
    const char* n;
    std::function<void(WorksheetData&)> edit;
    MessageKind kind;
    std::string text;
    ComputeFocus::Target target;
    int fieldOrRow;
    int column;
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
    auto none = [](WorksheetData&) {};
    const auto W = MessageKind::Warning;
    const auto F = ComputeFocus::Field;
    const auto G = ComputeFocus::GridCell;
    const Refusal cases[] = {
        {"", "", none, W, "INPUT ERROR\r\r(  Number of covariates :   )\r\rData have not been entered in this field.", F, 0, 0},
        {"two", "30", none, W, "INPUT ERROR\r(  Number of covariates :   two  )\r\rEnter numeric data only.", F, 0, 0},
        {"6", "", none, W, "INPUT ERROR\r(  Number of covariates :   6.000  )\rThe value must be a whole number from 0 to 5.", F, 0, 0},
        {"-1", "", none, W, "INPUT ERROR\r(  Number of covariates :   -1.000  )\rThe value must be a whole number from 0 to 5.", F, 0, 0},
        {"2.5", "", none, W, "INPUT ERROR\r(  Number of covariates :   2.500  )\rThe value must be a whole number from 0 to 5.", F, 0, 0},
        {"2", "", none, W, "INPUT ERROR\r\r(  Sample size (N) of control sample:  )\r\rData have not been entered in this field.", F, 1, 0},
        {"2", "2", none, W, "INPUT ERROR\r(  Sample size (N) of control sample:  2.000  )\rThe value for sample size must be an integer greater than 2.", F, 1, 0},
        {"2", "3,0", none, W, "INPUT ERROR\r(  Sample size (N) of control sample:  3,0  )\r\rEnter numeric data only.", F, 1, 0},
        {"3", "4", [](WorksheetData& d) { d.SetGridRows(4); }, MessageKind::Error,
         " With a control sample size of  4, the maximum number of covariates is  2 ", F, 0, 0},
        // All means before any SD, all SDs before any score.
        {"2", "30", [](WorksheetData& d) { d.Cell(2, MeanColumn) = ""; d.Cell(1, SDColumn) = ""; }, W,
         "INPUT ERROR\r\r(  the mean of Cov 2 (Test No.3)" + kEmpty, G, 2, MeanColumn},
        {"2", "30", [](WorksheetData& d) { d.Cell(1, SDColumn) = ""; d.Cell(0, ScoreColumn) = "x"; }, W,
         "INPUT ERROR\r\r(  the SD of Cov 1 (Test No.2)" + kEmpty, G, 1, SDColumn},
        {"2", "30", [](WorksheetData& d) { d.Cell(0, ScoreColumn) = "x"; }, W,
         "INPUT ERROR\r(  the score of Task (Test No.1)  x  )\r\rEnter numeric data only.", G, 0, ScoreColumn},
        {"2", "30", [](WorksheetData& d) { d.Cell(1, SDColumn) = "0"; }, W,
         "INPUT ERROR\r(  the SD of Cov 1 (Test No.2)  0.000  )\rStandard deviations must have a positive value.", G, 1, SDColumn},
        {"2", "30", [](WorksheetData& d) { d.Cell(2, SDColumn) = "-2"; }, W,
         "INPUT ERROR\r(  the SD of Cov 2 (Test No.3)  -2.000  )\rStandard deviations must have a positive value.", G, 2, SDColumn},
        // Every row the analysis reads is checked, even beyond the grid's rows ("3.0" did not resize it) ...
        {"3.0", "30", none, W, "INPUT ERROR\r\r(  the mean of Cov 3 (Test No.4)" + kEmpty, G, 3, MeanColumn},
        // ... and every row the grid shows, even beyond the covariates.
        {"1", "30", [](WorksheetData& d) { d.Cell(2, SDColumn) = "0"; }, W,
         "INPUT ERROR\r(  the SD of Cov 2 (Test No.3)  0.000  )\rStandard deviations must have a positive value.", G, 2, SDColumn},
    };
    for (const Refusal& c : cases) {
        SCOPED_TRACE(c.text);
        messages.Clear();
        WorksheetData d = FilledWorksheet(c.k, c.n);
        c.edit(d);
        ComputeCheckResult r = CheckComputeInputs(d);
        EXPECT_FALSE(r.passed);
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].kind, c.kind);
        EXPECT_EQ(messages.shown[0].text, c.text);
        EXPECT_EQ(r.focus.target, c.target);
        EXPECT_EQ(c.target == F ? r.focus.field : r.focus.row, c.fieldOrRow);
        if (c.target == G) {
            EXPECT_EQ(r.focus.column, c.column);
        }
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

TEST_F(ComputeChecks, OverflowingCellAndSingularMatrixEndTheAnalysisWithAMessage)
{
    WorksheetData d = FilledWorksheet("2", "30");
    d.Cell(0, MeanColumn) = std::string(400, '9');
    ASSERT_TRUE(CheckComputeInputs(d).passed);
    AnalysisInputs in;
    EXPECT_THROW(GatherAnalysisInputs(d, 2, 30, in), EFloatingPointError);
    try {
        PrepareAnalysis(d, 2, 30, in);
        ADD_FAILURE() << "an overflowing cell must end the analysis";
    } catch (const EAnalysisError& e) {
        // Told in the user's terms, the technical text kept as the details.
        const std::string text = e.what();
        EXPECT_EQ(text.rfind("The analysis cannot be completed: the numbers entered are too extreme", 0), 0u) << text;
        EXPECT_EQ(text.substr(text.size() - 34), "\r\rDetails: Floating point overflow");
    }
    EXPECT_TRUE(messages.shown.empty());

    messages.Clear();
    d = FilledWorksheet("2", "30");
    auto& s = d.StoredCorrelations;
    s[1][2] = s[2][1] = s[1][3] = s[3][1] = 0.9;
    s[2][3] = s[3][2] = -0.9;
    EXPECT_FALSE(PrepareAnalysis(d, 2, 30, in));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].kind, MessageKind::Error);
    EXPECT_EQ(messages.shown[0].text,
              "Analysis cannot proceed as the correlation matrix is not positive definite: check that you "
              "entered the correct values for the correlations (alternatively it may be that one variable is "
              "linearly dependent on other variables and should be dropped)");
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
