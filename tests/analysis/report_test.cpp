// The report, line for line, for each credible-limit choice.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/comma_locale.h"
#include "analysis/report/report.h"

namespace {

const std::string kRule = " " + std::string(93, '_');

const std::string kMcse = " Monte Carlo standard error of the point estimate = 0.0052 percentage points";

bool StartsWith(const std::string& line, const char* start) { return line.rfind(start, 0) == 0; }

class Report : public ::testing::Test {
protected:
    Report()
    {
        data.fields[CovariatesField] = "2";
        data.fields[SampleSizeField] = "30";
        data.notes = {"First note"};
        in.k = 2;
        in.N = 30;
        in.names = {"Memory", " ", "Age"};  // the first covariate without a name
        out.mcse.pctBelow = 0.0052123L;
        const double m[] = {100, 40.5, 12.5}, s[] = {15, 10, 3}, x[] = {70, 45, 10}, z[] = {-2, 0.45, -0.8333333};
        for (int i = 1; i <= 3; ++i) {
            in.means[i] = m[i - 1];
            in.sds[i] = s[i - 1];
            in.scores[i] = x[i - 1];
            in.zScores[i] = z[i - 1];
            in.corr[i][i] = 1;
        }
        in.corr[1][2] = in.corr[2][1] = 0.457L;
        in.corr[1][3] = in.corr[3][1] = 0.3L;
        in.corr[2][3] = in.corr[3][2] = -0.25L;
        out.condMean = 98.765432L;
        out.condSD = 14.2L;
        // p one- and two-tailed, percentage below with its limits, Z-CCC with its limits.
        out.result = tBayesResult{0.0123456L, 0.0246912L, 1.23456L, 0.123456L, 4.56789L, -2.2462L, -2.9876L, -1.5432L};
    }

    std::vector<std::string> Build()
    {
        std::vector<std::string> lines;
        AppendReport(lines, data, in, out);
        return lines;
    }
    // The lines after the two-tailed probability.
    std::vector<std::string> Block()
    {
        std::vector<std::string> lines = Build();
        std::size_t at = 0;
        while (at < lines.size() && !StartsWith(lines[at], " Two-tailed")) ++at;
        return std::vector<std::string>(lines.begin() + static_cast<long>(at) + 1, lines.end());
    }

    WorksheetData data;
    AnalysisInputs in;
    AnalysisOutputs out;
};

TEST_F(Report, TwoSidedReportLineForLine)
{
    const std::vector<std::string> lines = Build();
    const std::vector<std::string> head = {
        "",
        "Harrow: Bayesian test for a deficit in the single case controlling for covariate(s) (Summary data as input)",
        "",
        " THIS PROGRAM IMPLEMENTS STATISTICAL METHODS DEVELOPED IN THE FOLLOWING PAPER:"};
    const std::vector<std::string> rest = {
        "",
        "",
        " User's Notes: First note",
        " ",
        " INPUTS:",
        " Number of covariates = 2",
        " Sample size (N) of control sample= 30",
        " Credible limit required: Two-sided",
        " Variables: Task of Interest = Memory; Covariate 2 = Age",
        "",
        " Summary statistics for control sample together with scores of the case:",
        kRule,
        "  Measure               Control        Control        Score for              z score  ",
        "                         Mean            SD             Case                 for case",
        kRule,
        "  Task of Interest:     100.000         15.000          70.000                -2.000",
        "",
        "  Covariate 1:           40.500         10.000          45.000                 0.450",
        "  Covariate 2:           12.500          3.000          10.000                -0.833",
        kRule,
        " ",
        " ",
        "",
        " Correlation(s) between task and covariate(s) in control sample:",
        "   1.00000   0.45700   0.30000   ",
        "   0.45700   1.00000   -0.25000   ",
        "   0.30000   -0.25000   1.00000   ",
        "",
        "",
        " Sample estimate of conditional mean for Task of Interest =   98.765",
        " Sample estimate of conditional SD for Task of Interest   =   14.200",
        "",
        "",
        " OUTPUTS:",
        "",
        " Bayesian hypothesis test - probability that the case's score is an observation from the control",
        " population:",
        " One-tailed probability = 0.01235 ",
        " Two-tailed probability = 0.02469 ",
        " (one-tailed: in the direction of the case's difference from its predicted score)",
        " ",
        " Effect size (Z-CCC) for difference between case versus controls (plus 95% Credible Interval on the",
        " effect size):",
        " Effect size (Z-CCC) = -2.246 (95% CI on effect size = -2.988  to  -1.543)",
        "",
        " Percentage of control population exhibiting a lower score than the case (plus 95% Credible Interval):",
        " Bayesian point estimate    = 1.2346% (95% CI = 0.1235%  to  4.5679%)",
        kMcse,
        " ",
        " "};
    ASSERT_EQ(lines.size(), head.size() + 3 + rest.size());
    for (std::size_t i = 0; i < head.size(); ++i) EXPECT_EQ(lines[i], head[i]) << "line " << i;
    for (std::size_t i = 0; i < 3; ++i) {  // the method's description
        const std::string& line = lines[head.size() + i];
        EXPECT_GT(line.size(), 20u);
        EXPECT_EQ(line[0], ' ');
        EXPECT_NE(line[1], ' ');
    }
    for (std::size_t i = 0; i < rest.size(); ++i) EXPECT_EQ(lines[head.size() + 3 + i], rest[i]) << "line " << i;
}

TEST_F(Report, OneSidedBlocksPrintTheirOwnLimit)
{
    const std::pair<int, const char*> sides[] = {{OneSidedLower, "lower"}, {OneSidedUpper, "upper"}};
    for (const auto& [limit, side] : sides) {
        SCOPED_TRACE(side);
        const std::string s = side, effect = limit == OneSidedLower ? "-2.988" : "-1.543";
        const std::string percent = limit == OneSidedLower ? "0.1235%" : "4.5679%";
        const std::vector<std::string> block = {
            " (one-tailed: in the direction of the case's difference from its predicted score)",
            " ",
            " Effect size (Z-CCC) for difference between score of case versus controls (plus 95% one-sided ",
            " " + s + " Credible Limit on the effect size):",
            " Effect size (Z-CCC) = -2.246 (95% " + s + " Credible Limit on effect size = " + effect + ")",
            "",
            " Percentage of control population exhibiting a lower score than the ",
            " case (plus 95% one-sided " + s + " Credible Limit):",
            " Bayesian point estimate    = 1.2346% (95% " + s + " Credible Limit = " + percent + ")",
            kMcse,
            " ",
            " "};
        data.credibleLimit = limit;
        EXPECT_EQ(Block(), block);
        EXPECT_EQ(Build()[14], std::string(" Credible limit required: One-sided ") + side);
    }
}

TEST_F(Report, WithoutCovariatesOrNamesTheAddedLinesSaySo)
{
    in.k = 0;
    in.names = {""};
    data.fields[CovariatesField] = "0";
    for (const std::string& line : Build()) EXPECT_FALSE(StartsWith(line, " Variables:")) << "no name was given";
    EXPECT_EQ(Block().at(0), " (one-tailed: in the direction of the case's difference from the control mean)");
}

// The notes stand between the method's description (lines 4 to 6) and the inputs.
TEST_F(Report, NotesOfThreeLinesAndNoNotes)
{
    using Lines = std::vector<std::string>;
    const std::string indent(15, ' ');
    data.notes = {"Case JB", "seen 2019", "retest"};
    Lines lines = Build();
    EXPECT_EQ(Lines(lines.begin() + 7, lines.begin() + 14),
              (Lines{"", "", " User's Notes: Case JB", indent + "seen 2019", indent + "retest", " ", " INPUTS:"}));
    data.notes.clear();
    lines = Build();
    EXPECT_EQ(Lines(lines.begin() + 7, lines.begin() + 10), (Lines{"", "", " INPUTS:"}));
}

TEST_F(Report, SecondReportFollowsASeparator)
{
    std::vector<std::string> lines;
    AppendReport(lines, data, in, out);
    std::size_t first = lines.size();
    EXPECT_EQ(lines[0], "");
    AppendReport(lines, data, in, out);
    ASSERT_EQ(lines.size(), 2 * first + 1);
    EXPECT_EQ(lines[first], std::string(102, '_'));
    EXPECT_EQ(std::vector<std::string>(lines.begin() + static_cast<long>(first) + 1, lines.end()),
              std::vector<std::string>(lines.begin(), lines.begin() + static_cast<long>(first)));

    // The same lines for a text kept elsewhere.
    EXPECT_EQ(ReportLines(false, data, in, out), std::vector<std::string>(lines.begin(), lines.begin() + static_cast<long>(first)));
    EXPECT_EQ(ReportLines(true, data, in, out), std::vector<std::string>(lines.begin() + static_cast<long>(first), lines.end()));
}

TEST_F(Report, FiveCovariatesAndInputsAsTyped)
{
    data.fields[CovariatesField] = "5";
    data.fields[SampleSizeField] = "025";
    in.k = 5;
    for (int i = 4; i <= 6; ++i) {
        in.means[i] = -1234.5678L;
        in.sds[i] = 0.0006L;
        in.scores[i] = 12345678.9L;
        in.zScores[i] = 0;
        in.corr[i][i] = 1;
    }
    std::vector<std::string> lines = Build();
    EXPECT_NE(std::find(lines.begin(), lines.end(), " Sample size (N) of control sample= 025"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "  Covariate 5:        -1234.568          0.001    12345678.900                 0.000"),
              lines.end());
}

TEST_F(Report, NumbersUseADecimalPointInACommaLocale)
{
    std::vector<std::string> inC = Build();
    REQUIRE_COMMA_LOCALE(german);
    EXPECT_EQ(Build(), inC);
}

}  // namespace
