// harrow-cli on the examples: the report's numbers for each credible limit,
// the notes file, reproducibility, and the JSON object beside the report.
// The report's wording line for line is the analysis layer's (report_test).
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>

#include <nlohmann/json.hpp>

#include "cli_process.h"

namespace {

int CountStarting(const std::vector<std::string>& lines, const std::string& prefix)
{
    int count = 0;
    for (const std::string& line : lines) count += line.compare(0, prefix.size(), prefix) == 0;
    return count;
}

// The one line that starts with the prefix; fails the test when there is not
// exactly one.
std::string LineStarting(const std::vector<std::string>& lines, const std::string& prefix)
{
    EXPECT_EQ(CountStarting(lines, prefix), 1) << "lines starting with \"" << prefix << "\"";
    for (const std::string& line : lines)
        if (line.compare(0, prefix.size(), prefix) == 0) return line;
    return {};
}

std::string Fixed(const char* format, double value)
{
    char text[128];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// The numbers of a JSON text as written: the tokens after ':', ',' or '['
// that start with a digit or a minus sign (no string here holds one there).
std::vector<std::string> NumberTokens(const std::string& json)
{
    std::vector<std::string> tokens;
    for (std::size_t i = 1; i < json.size(); ++i) {
        const char before = json[i - 1];
        if ((before != ':' && before != ',' && before != '[') || (json[i] != '-' && (json[i] < '0' || json[i] > '9')))
            continue;
        const std::size_t end = json.find_first_of(",]}", i);
        tokens.push_back(json.substr(i, end - i));
        i = end;
    }
    return tokens;
}

// The worked example's report for each limit choice: its probabilities, the
// effect size and the percentage with their limits; with the lower limit, the
// notes read from a file of mixed line ends and the frequentist test's block
// before the last line.
TEST(CliReport, WorkedExampleForEachLimit)
{
    TempFolder folder;
    const std::string notes = folder.Write("notes.txt", "Patient AB, seen 3 May\r\nsecond line\nthird line\n");
    const struct {
        std::vector<std::string> options;
        const char* required;
        const char* effect;  // the effect size's line, as scanned
        const char* point;   // the point estimate's line
        std::vector<double> values;  // the effect size's limits, the percentage's limits
    } cases[] = {
        {{}, "Two-sided", " Effect size (Z-CCC) = %lf (95%% CI on effect size = %lf  to  %lf)",
         " Bayesian point estimate    = %lf%% (95%% CI = %lf%%  to  %lf%%)", {-2.51, -0.84, 0.61, 20.0}},
        {{"--limit", "lower", "--notes", notes, "--exact"}, "One-sided lower",
         " Effect size (Z-CCC) = %lf (95%% lower Credible Limit on effect size = %lf)",
         " Bayesian point estimate    = %lf%% (95%% lower Credible Limit = %lf%%)", {-2.37, 0.89}},
        {{"--limit=upper"}, "One-sided upper", " Effect size (Z-CCC) = %lf (95%% upper Credible Limit on effect size = %lf)",
         " Bayesian point estimate    = %lf%% (95%% upper Credible Limit = %lf%%)", {-0.97, 16.6}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.required);
        std::vector<std::string> arguments = c.options;
        arguments.push_back(ExamplePath("worked-example.txt"));
        const CliRun run = RunCli(arguments);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.err, "");
        const std::vector<std::string> lines = Lines(run.out);
        EXPECT_EQ(LineStarting(lines, " Credible limit required:"), std::string(" Credible limit required: ") + c.required);
        // The first probabilities are the Monte Carlo run's (the frequentist block has its own).
        EXPECT_NEAR(std::stod(run.out.substr(run.out.find(" One-tailed probability = ") + 26)), 0.0629, 0.0005);
        EXPECT_NEAR(std::stod(run.out.substr(run.out.find(" Two-tailed probability = ") + 26)), 0.1258, 0.001);
        const std::size_t n = c.values.size() / 2;
        double z = 0, pct = 0, limits[4] = {};
        EXPECT_EQ(std::sscanf(LineStarting(lines, " Effect size (Z-CCC) = ").c_str(), c.effect, &z, &limits[0], &limits[1]),
                  static_cast<int>(1 + n));
        EXPECT_EQ(std::sscanf(LineStarting(lines, " Bayesian point estimate").c_str(), c.point, &pct, &limits[n],
                              &limits[n + 1]),
                  static_cast<int>(1 + n));
        EXPECT_DOUBLE_EQ(z, -1.732);
        EXPECT_NEAR(pct, 6.29, 0.05);
        for (std::size_t i = 0; i < c.values.size(); ++i)
            EXPECT_NEAR(limits[i], c.values[i], i < n ? 0.01 : 0.2) << i;
        EXPECT_EQ(lines.back(), " ");
        const bool exact = c.options.size() > 2;
        EXPECT_EQ(CountStarting(lines, " Frequentist"), exact ? 1 : 0) << "only with --exact";
        EXPECT_EQ(CountStarting(lines, " User's Notes:"), exact ? 1 : 0);
        if (!exact) continue;
        EXPECT_NE(run.out.find(" Frequentist test (exact values):\n Test of the obtained against the predicted "
                               "score:\n t = -1.605, df = 18\n"),
                  std::string::npos);
        EXPECT_FALSE(LineStarting(lines, " Effect size (Z-CCC): 95% lower limit = ").empty());
        EXPECT_EQ(run.out.substr(run.out.size() - 4), " \n \n");
        // The notes between the citation and the inputs, then a one-space line.
        std::size_t at = 0;
        while (lines[at] != " User's Notes: Patient AB, seen 3 May") ++at;
        ASSERT_LT(at + 4, lines.size()) << run.out;
        EXPECT_EQ(std::vector<std::string>(lines.begin() + at + 1, lines.begin() + at + 5),
                  (std::vector<std::string>{std::string(15, ' ') + "second line", std::string(15, ' ') + "third line",
                                            " ", " INPUTS:"}));
    }
}

TEST(CliReport, WorkedExampleIsReproducibleAndMatchesJson)
{
    const std::string file = ExamplePath("worked-example.txt");
    const CliRun first = RunCli({file});
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(RunCli({file}).out, first.out) << "the same file must give the same report";
    const std::vector<std::string> lines = Lines(first.out);
    ASSERT_GT(lines.size(), 40u);
    // A first report: no separator of underscores before it.
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1], "Harrow: Bayesian test for a deficit in the single case controlling for covariate(s) "
                        "(Summary data as input)");
    EXPECT_EQ(LineStarting(lines, "  Task of Interest:"),
              "  Task of Interest:      50.000         10.000          30.000                -2.000");
    EXPECT_EQ(LineStarting(lines, "  Covariate 1:"),
              "  Covariate 1:           10.000          2.000           8.000                -1.000");
    EXPECT_EQ(LineStarting(lines, "   0.50000"), "   0.50000   1.00000   ");

    // The same analysis as JSON: one object on one line, the same numbers as the report.
    const CliRun json = RunCli({"--json", file});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    EXPECT_EQ(json.err, "");
    ASSERT_EQ(json.out.back(), '\n');
    EXPECT_EQ(json.out.find('\n'), json.out.size() - 1) << "one line";
    const nlohmann::ordered_json j = nlohmann::ordered_json::parse(json.out);
    ASSERT_TRUE(j.is_object());
    std::vector<std::string> keys;
    for (auto it = j.begin(); it != j.end(); ++it) keys.push_back(it.key());
    EXPECT_EQ(keys, (std::vector<std::string>{"k", "N", "limit", "zScores", "condMean", "condSD", "pOneTailed",
                                              "pTwoTailed", "pctBelow", "pctLower", "pctUpper", "zccc", "zcccLower",
                                              "zcccUpper", "pctBelowMcse", "pOneTailedMcse", "pTwoTailedMcse", "exact",
                                              "summary"}));
    EXPECT_TRUE(j["k"].is_number_integer());
    EXPECT_EQ(j["k"], 1);
    EXPECT_EQ(j["N"], 20);
    EXPECT_EQ(j["limit"], "two-sided");
    EXPECT_EQ(j["zScores"], nlohmann::ordered_json::parse("[-2.0, -1.0]"));
    EXPECT_NEAR(j["zccc"].get<double>(), -std::sqrt(3.0), 1e-15);
    EXPECT_NEAR(j["condMean"].get<double>(), 45.0, 1e-12);
    EXPECT_NEAR(j["condSD"].get<double>(), std::sqrt(75.0), 1e-12);

    // Every real as written: optional sign, 17 significant digits around one
    // point, an optional exponent.
    int reals = 0;
    for (const std::string& token : NumberTokens(json.out)) {
        const std::string mantissa = token.substr(0, token.find_first_of("eE"));
        if (mantissa.find('.') == std::string::npos) continue;  // k and N
        std::string digits;
        for (char c : mantissa)
            if (c >= '0' && c <= '9') digits += c;
        digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size() - 1));
        EXPECT_EQ(digits.size(), 17u) << token;
        ++reals;
    }
    EXPECT_EQ(reals, 2 + 10 + 3 + 8);

    EXPECT_EQ(Fixed(" One-tailed probability = %2.5f ", j["pOneTailed"]), LineStarting(lines, " One-tailed probability = "));
    EXPECT_EQ(Fixed(" Two-tailed probability = %2.5f ", j["pTwoTailed"]), LineStarting(lines, " Two-tailed probability = "));
    EXPECT_EQ(LineStarting(lines, " Effect size (Z-CCC) = "),
              Fixed(" Effect size (Z-CCC) = %.3f", j["zccc"]) + Fixed(" (95%% CI on effect size = %3.3f", j["zcccLower"]) +
                  Fixed("  to  %3.3f)", j["zcccUpper"]));
    EXPECT_EQ(LineStarting(lines, " Bayesian point estimate"),
              Fixed(" Bayesian point estimate    = %2.4f%%", j["pctBelow"]) + Fixed(" (95%% CI = %3.4f%%", j["pctLower"]) +
                  Fixed("  to  %3.4f%%)", j["pctUpper"]));
    EXPECT_EQ(j["pTwoTailed"].get<double>(), 2 * j["pOneTailed"].get<double>());
    EXPECT_NEAR(j["pOneTailed"].get<double>(), j["pctBelow"].get<double>() / 100, 1e-15);

    // Monte Carlo standard errors: about 0.0052 percentage points here, in
    // the units of each probability, the report's in percentage points.
    const double mcse = j["pctBelowMcse"];
    EXPECT_GT(mcse, 0.004);
    EXPECT_LT(mcse, 0.007);
    EXPECT_NEAR(j["pOneTailedMcse"].get<double>(), mcse / 100, 1e-18);
    EXPECT_NEAR(j["pTwoTailedMcse"].get<double>(), mcse / 50, 1e-18);
    EXPECT_EQ(LineStarting(lines, " Monte Carlo standard error"),
              Fixed(" Monte Carlo standard error of the point estimate = %.4f percentage points", mcse));

    // The summary sentence alone with --summary, as "summary" in the JSON
    // (its wording: summary_sentence_test).
    const CliRun summary = RunCli({"--summary", file});
    ASSERT_EQ(summary.exitCode, 0) << summary.err;
    EXPECT_EQ(summary.out, j["summary"].get<std::string>() + "\n");
    EXPECT_EQ(summary.out.rfind("Compared with 20 controls, and controlling for Educ, the case's Task score was below", 0),
              0u);
}

// The two larger examples run through: every row read in its place (the
// z-scores from the file's means, SDs and scores), the matrix accepted, the
// results in range.
TEST(CliReport, LargerExamplesRun)
{
    const struct {
        const char* file;
        int k, N;
        std::vector<std::array<double, 3>> rows;  // mean, SD, score
    } examples[] = {
        {"memory-two-covariates.txt", 2, 28, {{32.6, 6.4, 21}, {68.3, 7.9, 74}, {12.4, 2.8, 10}}},
        {"fluency-five-covariates.txt", 5, 45,
         {{42.3, 11.2, 24}, {61.5, 9.8, 66}, {13.1, 3.0, 11}, {108.4, 9.6, 103}, {52.7, 10.4, 44}, {4.1, 3.2, 6}}},
    };
    for (const auto& e : examples) {
        SCOPED_TRACE(e.file);
        const CliRun run = RunCli({"--json", ExamplePath(e.file)});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.err, "");
        const nlohmann::json j = nlohmann::json::parse(run.out);
        EXPECT_EQ(j["k"], e.k);
        EXPECT_EQ(j["N"], e.N);
        ASSERT_EQ(j["zScores"].size(), e.rows.size());
        for (std::size_t i = 0; i < e.rows.size(); ++i)
            EXPECT_NEAR(j["zScores"][i].get<double>(), (e.rows[i][2] - e.rows[i][0]) / e.rows[i][1], 1e-12) << i;
        const double p = j["pOneTailed"];
        EXPECT_GT(p, 0.0);
        EXPECT_LE(p, 0.5);
        EXPECT_LT(j["zccc"].get<double>(), 0.0) << "each case scores below its conditional mean";
        EXPECT_LT(j["zcccLower"].get<double>(), j["zcccUpper"].get<double>());
        EXPECT_LT(j["pctLower"].get<double>(), j["pctUpper"].get<double>());
        EXPECT_NEAR(j["pTwoTailed"].get<double>(), 2 * p, 1e-15);
    }
}

}  // namespace
