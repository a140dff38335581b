// The Compute command's checks in their order, their messages and where the
// focus goes; gathering the inputs, the positive-definiteness refusal and the
// engine run.
#include <gtest/gtest.h>

#include "distributions/float_errors.h"
#include "worksheet/compute_checks.h"
#include "platform/messages.h"

using platform::MessageKind;

namespace {

WorksheetData Filled(const char* k, const char* n)
{
    WorksheetData d;
    d.WriteDefaultNames();
    d.fields[CovariatesField] = k;
    d.fields[SampleSizeField] = n;
    d.SetGridRows(3);
    const char* rows[3][3] = {{"100", "15", "70"}, {"40", "10", "45"}, {"12", "3", "10"}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) d.Cell(r, MeanColumn + c) = rows[r][c];
    auto& s = d.StoredCorrelations;
    s[1][2] = s[2][1] = 0.5;
    s[1][3] = s[3][1] = 0.4;
    s[2][3] = s[3][2] = 0.3;
    return d;
}

class ComputeChecks : public ::testing::Test {
protected:
    // The single message shown, as kind and text.
    void ExpectMessage(MessageKind kind, const std::string& text)
    {
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].kind, kind);
        EXPECT_EQ(messages.shown[0].text, text);
    }
    static void ExpectField(const ComputeCheckResult& r, int field)
    {
        EXPECT_FALSE(r.passed);
        EXPECT_EQ(r.focus.target, ComputeFocus::Field);
        EXPECT_EQ(r.focus.field, field);
    }
    static void ExpectCell(const ComputeCheckResult& r, int row, int column)
    {
        EXPECT_FALSE(r.passed);
        EXPECT_EQ(r.focus.target, ComputeFocus::GridCell);
        EXPECT_EQ(r.focus.row, row);
        EXPECT_EQ(r.focus.column, column);
    }

    platform::RecordingMessages messages;
    platform::ScopedMessages scope{messages};
};

TEST_F(ComputeChecks, SoundWorksheetPasses)
{
    WorksheetData d = Filled("2", "30");
    d.Cell(0, MeanColumn) = "-5";  // negative means and scores are fine
    d.Cell(2, ScoreColumn) = "-1.5";
    d.Cell(1, NameColumn) = "";    // names are not checked
    ComputeCheckResult r = CheckComputeInputs(d);
    EXPECT_TRUE(r.passed);
    EXPECT_EQ(r.k, 2);
    EXPECT_EQ(r.N, 30);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ComputeChecks, CovariateFieldRefusals)
{
    ExpectField(CheckComputeInputs(Filled("", "30")), CovariatesField);
    ExpectMessage(MessageKind::Warning,
                  "INPUT ERROR\r\r(  Number of covariates :   )\r\rData have not been entered in this field.");
    messages.Clear();
    ExpectField(CheckComputeInputs(Filled("two", "30")), CovariatesField);
    ExpectMessage(MessageKind::Warning, "INPUT ERROR\r(  Number of covariates :   two  )\r\rEnter numeric data only.");
    for (const char* bad : {"0", "6", "2.5", "-1"}) {
        messages.Clear();
        ExpectField(CheckComputeInputs(Filled(bad, "")), CovariatesField);  // before the empty N
        EXPECT_EQ(messages.shown.size(), 1u) << bad;
    }
    EXPECT_EQ(messages.shown[0].text, "INPUT ERROR\r(  Number of covariates :   -1.000  )\r"
                                      "The value must be a positive integer and be less than 6.");
}

TEST_F(ComputeChecks, SampleSizeFieldRefusals)
{
    ExpectField(CheckComputeInputs(Filled("2", "")), SampleSizeField);
    ExpectMessage(MessageKind::Warning,
                  "INPUT ERROR\r\r(  Sample size (N) of control sample:  )\r\rData have not been entered in this field.");
    messages.Clear();
    ExpectField(CheckComputeInputs(Filled("2", "2")), SampleSizeField);
    ExpectMessage(MessageKind::Warning, "INPUT ERROR\r(  Sample size (N) of control sample:  2.000  )\r"
                                        "The value for sample size must be an integer greater than 2.");
    messages.Clear();
    ExpectField(CheckComputeInputs(Filled("2", "3,0")), SampleSizeField);
    ExpectMessage(MessageKind::Warning,
                  "INPUT ERROR\r(  Sample size (N) of control sample:  3,0  )\r\rEnter numeric data only.");
}

TEST_F(ComputeChecks, TooManyCovariatesForTheSample)
{
    WorksheetData d = Filled("3", "4");
    d.SetGridRows(4);
    ExpectField(CheckComputeInputs(d), CovariatesField);
    ExpectMessage(MessageKind::Error, " With a control sample size of  4, the maximum number of covariates is  2 ");
    EXPECT_EQ(MaxCovariatesMessage(120), " With a control sample size of 120, the maximum number of covariates is 118 ");

    messages.Clear();
    ComputeCheckResult r = CheckComputeInputs(Filled("2", "4"));
    EXPECT_TRUE(r.passed);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ComputeChecks, GridIsCheckedMeansFirstThenSDsThenScores)
{
    WorksheetData d = Filled("2", "30");
    d.Cell(2, MeanColumn) = "";
    d.Cell(1, SDColumn) = "";
    ExpectCell(CheckComputeInputs(d), 2, MeanColumn);
    ExpectMessage(MessageKind::Warning,
                  "INPUT ERROR\r\r(  Test No.3  )\r\rData have not been entered in this field.");

    messages.Clear();
    d.Cell(2, MeanColumn) = "12";
    d.Cell(0, ScoreColumn) = "x";
    ExpectCell(CheckComputeInputs(d), 1, SDColumn);
    ExpectMessage(MessageKind::Warning, "INPUT ERROR\r\r(  Test No.2  )\r\rData have not been entered in this field.");

    messages.Clear();
    d.Cell(1, SDColumn) = "10";
    ExpectCell(CheckComputeInputs(d), 0, ScoreColumn);
    ExpectMessage(MessageKind::Warning, "INPUT ERROR\r(  Test No.1  x  )\r\rEnter numeric data only.");
}

TEST_F(ComputeChecks, StandardDeviationsMustBePositive)
{
    for (const char* sd : {"0", "-2"}) {
        messages.Clear();
        WorksheetData d = Filled("2", "30");
        d.Cell(1, SDColumn) = sd;
        ExpectCell(CheckComputeInputs(d), 1, SDColumn);
        ASSERT_EQ(messages.shown.size(), 1u);
    }
    EXPECT_EQ(messages.shown[0].text,
              "INPUT ERROR\r(  SD  -2.000  )\rStandard deviations must have a positive value.");
}

TEST_F(ComputeChecks, EveryRowTheAnalysisReadsIsChecked)
{
    // The grid shows fewer rows than the covariate count needs (text "3.0"
    // did not resize it): the fourth row is checked all the same.
    WorksheetData d = Filled("3.0", "30");
    ExpectCell(CheckComputeInputs(d), 3, MeanColumn);
    // Rows the grid shows beyond the covariates are checked too.
    messages.Clear();
    d = Filled("1", "30");
    d.Cell(2, SDColumn) = "0";
    ExpectCell(CheckComputeInputs(d), 2, SDColumn);
}

TEST_F(ComputeChecks, CorrelationEntryStartsFromStoredValuesOnlyAfterALoad)
{
    WorksheetData d = Filled("2", "30");
    tMatrixEntryBuffer buffer;
    buffer[4][4] = 9;
    PrefillCorrelationEntry(d, 3, buffer);
    for (int c = 1; c <= 3; ++c)
        for (int r = 1; r <= 3; ++r) EXPECT_EQ(buffer[c][r], c == r ? 1.0 : 0.0);
    EXPECT_EQ(buffer[4][4], 0.0);

    d.PreviousDataLoaded = true;
    PrefillCorrelationEntry(d, 3, buffer);
    EXPECT_EQ(buffer[1][3], 0.4);
    EXPECT_EQ(buffer[3][2], 0.3);

    buffer[1][2] = buffer[2][1] = -0.7;
    buffer[4][1] = 0.9;  // outside the block: not stored
    StoreCorrelationEntry(buffer, 3, d);
    EXPECT_EQ(d.StoredCorrelations[1][2], -0.7);
    EXPECT_EQ(d.StoredCorrelations[2][1], -0.7);
    EXPECT_EQ(d.StoredCorrelations[4][1], 0.0);
}

TEST_F(ComputeChecks, GatherReadsTheRowsAndTheStoredCorrelations)
{
    WorksheetData d = Filled("2", "30");
    d.Cell(1, MeanColumn) = "40,5";
    AnalysisInputs in;
    GatherAnalysisInputs(d, 2, 30, in);
    EXPECT_EQ(in.p, 3);
    EXPECT_EQ(in.means[1], 100);
    EXPECT_EQ(in.means[2], 40.5L);
    EXPECT_EQ(in.sds[3], 3);
    EXPECT_EQ(in.scores[2], 45);
    EXPECT_EQ(static_cast<double>(in.corr[1][3]), 0.4);
    EXPECT_EQ(static_cast<double>(in.corr[3][2]), 0.3);
    EXPECT_EQ(in.corr[2][2], 1);
    EXPECT_EQ(in.corr[1][4], 0);
    StandardiseCase(in);
    EXPECT_NEAR(static_cast<double>(in.zScores[1]), -2.0, 1e-15);
    EXPECT_NEAR(static_cast<double>(in.zScores[3]), -2.0 / 3.0, 1e-15);
}

TEST_F(ComputeChecks, OverflowingCellEndsTheAnalysisWithAMessage)
{
    WorksheetData d = Filled("2", "30");
    d.Cell(0, MeanColumn) = std::string(400, '9');
    ASSERT_TRUE(CheckComputeInputs(d).passed);
    AnalysisInputs in;
    EXPECT_THROW(GatherAnalysisInputs(d, 2, 30, in), EFloatingPointError);
    AnalysisOutputs out;
    messages.Clear();
    EXPECT_EQ(AnalyseWorksheet(d, 2, 30, in, out), AnalysisStatus::Failed);
    ExpectMessage(MessageKind::Error, "Floating point overflow");
}

TEST_F(ComputeChecks, MatrixThatIsNotPositiveDefiniteIsRefused)
{
    WorksheetData d = Filled("2", "30");
    auto& s = d.StoredCorrelations;
    s[1][2] = s[2][1] = 0.9;
    s[1][3] = s[3][1] = 0.9;
    s[2][3] = s[3][2] = -0.9;
    AnalysisInputs in;
    AnalysisOutputs out;
    EXPECT_EQ(AnalyseWorksheet(d, 2, 30, in, out), AnalysisStatus::NotPositiveDefinite);
    ExpectMessage(MessageKind::Error,
                  "Analysis cannot proceed as the correlation matrix is not positive definite: check that you "
                  "entered the correct values for the correlations (alternatively it may be that one variable is "
                  "linearly dependent on other variables and should be dropped)");
}

TEST_F(ComputeChecks, EngineRunIsReproducibleAndFollowsTheChoice)
{
    WorksheetData d = Filled("2", "30");
    AnalysisInputs in;
    AnalysisOutputs first, again, oneSided;
    ASSERT_EQ(AnalyseWorksheet(d, 2, 30, in, first), AnalysisStatus::Done);
    ASSERT_EQ(AnalyseWorksheet(d, 2, 30, in, again), AnalysisStatus::Done);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(first.condMean, again.condMean);
    EXPECT_EQ(first.result.zccc, again.result.zccc);
    EXPECT_EQ(first.result.pctLower, again.result.pctLower);
    // A case far below its conditional mean: small one-tailed probability.
    EXPECT_GT(first.result.pOneTailed, 0);
    EXPECT_LT(first.result.pOneTailed, 0.05);
    EXPECT_LT(first.result.zcccLower, first.result.zccc);
    EXPECT_LT(first.result.zccc, first.result.zcccUpper);

    d.credibleLimit = OneSidedLower;
    ASSERT_EQ(AnalyseWorksheet(d, 2, 30, in, oneSided), AnalysisStatus::Done);
    EXPECT_EQ(oneSided.result.zccc, first.result.zccc);
    // A one-sided 95% limit lies inside the two-sided interval.
    EXPECT_GT(oneSided.result.zcccLower, first.result.zcccLower);
}

}  // namespace
