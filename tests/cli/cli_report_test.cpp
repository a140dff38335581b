// harrow-cli on the worked example: the report's numbers, its lines for each
// credible limit and the notes, reproducibility, and the JSON object.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cli_process.h"

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

int CountStarting(const std::vector<std::string>& lines, const std::string& prefix)
{
    int count = 0;
    for (const std::string& line : lines)
        if (line.compare(0, prefix.size(), prefix) == 0) ++count;
    return count;
}

// The one line that starts with the prefix; fails the test when there is not
// exactly one.
std::string LineStarting(const std::vector<std::string>& lines, const std::string& prefix)
{
    std::string found;
    int count = 0;
    for (const std::string& line : lines)
        if (line.compare(0, prefix.size(), prefix) == 0) {
            found = line;
            ++count;
        }
    EXPECT_EQ(count, 1) << "lines starting with \"" << prefix << "\"";
    return found;
}

double NumberAfter(const std::vector<std::string>& lines, const std::string& prefix)
{
    return std::stod(LineStarting(lines, prefix).substr(prefix.size()));
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
        char before = json[i - 1];
        bool starts = (before == ':' || before == ',' || before == '[') &&
                      (json[i] == '-' || (json[i] >= '0' && json[i] <= '9'));
        if (!starts) continue;
        std::size_t end = json.find_first_of(",]}", i);
        tokens.push_back(json.substr(i, end - i));
        i = end;
    }
    return tokens;
}

void ExpectProbabilities(const std::vector<std::string>& lines)
{
    EXPECT_NEAR(NumberAfter(lines, " One-tailed probability = "), 0.0629, 0.0005);
    EXPECT_NEAR(NumberAfter(lines, " Two-tailed probability = "), 0.1258, 0.001);
}

TEST(CliReport, WorkedExampleTwoSidedIsReproducibleAndMatchesJson)
{
    const std::string file = ExamplePath("worked-example.txt");
    CliRun first = RunCli({file});
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(first.err, "");
    CliRun second = RunCli({file});
    ASSERT_EQ(second.exitCode, 0) << second.err;
    EXPECT_EQ(first.out, second.out) << "the same file must give the same report";

    std::vector<std::string> lines = Lines(first.out);
    ASSERT_GT(lines.size(), 40u);
    // A first report: no separator of underscores before it.
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1], "Harrow: Bayesian test for a deficit in the single case controlling for covariate(s) "
                        "(Summary data as input)");
    EXPECT_EQ(LineStarting(lines, " INPUTS:"), " INPUTS:");
    EXPECT_EQ(LineStarting(lines, " Number of covariates"), " Number of covariates = 1");
    EXPECT_EQ(LineStarting(lines, " Sample size"), " Sample size (N) of control sample= 20");
    EXPECT_EQ(LineStarting(lines, " Credible limit required:"), " Credible limit required: Two-sided");
    EXPECT_EQ(LineStarting(lines, "  Task of Interest:"),
              "  Task of Interest:      50.000         10.000          30.000                -2.000");
    EXPECT_EQ(LineStarting(lines, "  Covariate 1:"),
              "  Covariate 1:           10.000          2.000           8.000                -1.000");
    EXPECT_EQ(LineStarting(lines, "   0.50000"), "   0.50000   1.00000   ");
    EXPECT_EQ(LineStarting(lines, " Sample estimate of conditional mean"),
              " Sample estimate of conditional mean for Task of Interest =   45.000");
    EXPECT_EQ(LineStarting(lines, " Sample estimate of conditional SD"),
              " Sample estimate of conditional SD for Task of Interest   =    8.660");
    EXPECT_EQ(lines.back(), " ");
    EXPECT_EQ(CountStarting(lines, " User's Notes:"), 0) << "no notes were given";
    EXPECT_EQ(CountStarting(lines, " Frequentist"), 0) << "only with --exact";
    ExpectProbabilities(lines);

    double z = 0, lo = 0, hi = 0;
    ASSERT_EQ(std::sscanf(LineStarting(lines, " Effect size (Z-CCC) = ").c_str(),
                          " Effect size (Z-CCC) = %lf (95%% CI on effect size = %lf  to  %lf)", &z, &lo, &hi),
              3);
    EXPECT_DOUBLE_EQ(z, -1.732);
    EXPECT_NEAR(lo, -2.51, 0.01);
    EXPECT_NEAR(hi, -0.84, 0.01);
    double pct = 0, pctLo = 0, pctHi = 0;
    ASSERT_EQ(std::sscanf(LineStarting(lines, " Bayesian point estimate").c_str(),
                          " Bayesian point estimate    = %lf%% (95%% CI = %lf%%  to  %lf%%)", &pct, &pctLo, &pctHi),
              3);
    EXPECT_NEAR(pct, 6.29, 0.05);
    EXPECT_NEAR(pctLo, 0.61, 0.03);
    EXPECT_NEAR(pctHi, 20.0, 0.2);

    // The same analysis as JSON: one object, reals with 17 significant
    // digits, the same numbers as the report.
    CliRun json = RunCli({"--json", file});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    EXPECT_EQ(json.err, "");
    ASSERT_EQ(json.out.back(), '\n');
    EXPECT_EQ(json.out.find('\n'), json.out.size() - 1) << "one line";
    nlohmann::ordered_json j = nlohmann::ordered_json::parse(json.out);
    ASSERT_TRUE(j.is_object());
    std::vector<std::string> keys;
    for (auto it = j.begin(); it != j.end(); ++it) keys.push_back(it.key());
    std::vector<std::string> expectedKeys{"k",        "N",        "limit",    "zScores", "condMean",
                                          "condSD",   "pOneTailed", "pTwoTailed", "pctBelow", "pctLower",
                                          "pctUpper", "zccc",     "zcccLower", "zcccUpper",
                                          "pctBelowMcse", "pOneTailedMcse", "pTwoTailedMcse", "exact", "summary"};
    EXPECT_EQ(keys, expectedKeys);
    EXPECT_EQ(j["k"], 1);
    EXPECT_EQ(j["N"], 20);
    EXPECT_TRUE(j["k"].is_number_integer());
    EXPECT_EQ(j["limit"], "two-sided");
    ASSERT_EQ(j["zScores"].size(), 2u);
    EXPECT_DOUBLE_EQ(j["zScores"][0].get<double>(), -2.0);
    EXPECT_DOUBLE_EQ(j["zScores"][1].get<double>(), -1.0);
    EXPECT_NEAR(j["zccc"].get<double>(), -std::sqrt(3.0), 1e-15);
    EXPECT_NEAR(j["condMean"].get<double>(), 45.0, 1e-12);
    EXPECT_NEAR(j["condSD"].get<double>(), std::sqrt(75.0), 1e-12);

    // Every real as written: optional sign, 17 digits around one point, an
    // optional exponent.
    int reals = 0;
    for (const std::string& token : NumberTokens(json.out)) {
        std::string mantissa = token.substr(0, token.find_first_of("eE"));
        if (mantissa.find('.') == std::string::npos) continue;  // k and N
        std::string digits;
        for (char c : mantissa)
            if (c >= '0' && c <= '9') digits += c;
        digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size() - 1));
        EXPECT_EQ(digits.size(), 17u) << token;
        ++reals;
    }
    EXPECT_EQ(reals, 2 + 10 + 3 + 8);

    EXPECT_EQ(Fixed(" One-tailed probability = %2.5f ", j["pOneTailed"]),
              LineStarting(lines, " One-tailed probability = "));
    EXPECT_EQ(Fixed(" Two-tailed probability = %2.5f ", j["pTwoTailed"]),
              LineStarting(lines, " Two-tailed probability = "));
    EXPECT_EQ(Fixed("%3.3f", j["zcccLower"]), Fixed("%3.3f", lo));
    EXPECT_EQ(Fixed("%3.3f", j["zcccUpper"]), Fixed("%3.3f", hi));
    EXPECT_EQ(Fixed("%2.4f", j["pctBelow"]), Fixed("%2.4f", pct));
    EXPECT_EQ(Fixed("%3.4f", j["pctLower"]), Fixed("%3.4f", pctLo));
    EXPECT_EQ(Fixed("%3.4f", j["pctUpper"]), Fixed("%3.4f", pctHi));
    EXPECT_EQ(j["pTwoTailed"].get<double>(), 2 * j["pOneTailed"].get<double>());
    EXPECT_NEAR(j["pOneTailed"].get<double>(), j["pctBelow"].get<double>() / 100, 1e-15);

    // Monte Carlo standard errors: about 0.0052 percentage points here, in
    // the units of each probability.
    const double mcse = j["pctBelowMcse"];
    EXPECT_GT(mcse, 0.004);
    EXPECT_LT(mcse, 0.007);
    EXPECT_NEAR(j["pOneTailedMcse"].get<double>(), mcse / 100, 1e-18);
    EXPECT_NEAR(j["pTwoTailedMcse"].get<double>(), mcse / 50, 1e-18);

    // The lines the report gained: the names, what one-tailed means, and
    // the Monte Carlo error of the point estimate, in percentage points.
    EXPECT_EQ(LineStarting(lines, " Variables:"), " Variables: Task of Interest = Task; Covariate 1 = Educ");
    EXPECT_EQ(LineStarting(lines, " (one-tailed:"),
              " (one-tailed: in the direction of the case's difference from its predicted score)");
    EXPECT_EQ(LineStarting(lines, " Monte Carlo standard error"),
              Fixed(" Monte Carlo standard error of the point estimate = %.4f percentage points", mcse));

    // The summary sentence: alone with --summary, as "summary" in the JSON,
    // quoting the JSON's numbers with a true minus sign.
    CliRun summary = RunCli({"--summary", file});
    ASSERT_EQ(summary.exitCode, 0) << summary.err;
    EXPECT_EQ(summary.out, j["summary"].get<std::string>() + "\n");
    auto minus = [](const std::string& number) { return number[0] == '-' ? "\u2212" + number.substr(1) : number; };
    EXPECT_EQ(summary.out,
              "Compared with 20 controls, and controlling for Educ, the case's Task score was below its predicted "
              "score: Z-CCC = " + minus(Fixed("%.2f", j["zccc"])) + ", 95% CI [" + minus(Fixed("%.2f", j["zcccLower"])) +
              ", " + minus(Fixed("%.2f", j["zcccUpper"])) + "]; one-tailed p = " + Fixed("%.3f", j["pOneTailed"]).substr(1) +
              "; an estimated " + Fixed("%.2f", j["pctBelow"]) + "% of the control population (95% CI " +
              Fixed("%.2f", j["pctLower"]) + "% to " + Fixed("%.2f", j["pctUpper"]) + "%) would score lower.\n");
}

// The one-sided limits, each with its lines; the notes given with the lower.
TEST(CliReport, OneSidedLimitsAndNotes)
{
    TempFolder folder;
    const std::string notes = folder.Write("notes.txt", "Patient AB, seen 3 May\r\nsecond line\nthird line\n");
    const struct {
        std::vector<std::string> options;
        std::string side, required;
        double limit, pctLimit;
    } cases[] = {{{"--limit", "lower", "--notes", notes}, "lower", "One-sided lower", -2.37, 0.89},
                 {{"--limit=upper"}, "upper", "One-sided upper", -0.97, 16.6}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.side);
        std::vector<std::string> arguments = c.options;
        arguments.push_back(ExamplePath("worked-example.txt"));
        CliRun run = RunCli(arguments);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.err, "");
        std::vector<std::string> lines = Lines(run.out);
        EXPECT_EQ(LineStarting(lines, " Credible limit required:"), " Credible limit required: " + c.required);
        ExpectProbabilities(lines);
        double z = 0, limit = 0, pct = 0, pctLimit = 0;
        const std::string effect = " Effect size (Z-CCC) = %lf (95%% " + c.side + " Credible Limit on effect size = %lf)";
        ASSERT_EQ(std::sscanf(LineStarting(lines, " Effect size (Z-CCC) = ").c_str(), effect.c_str(), &z, &limit), 2);
        EXPECT_DOUBLE_EQ(z, -1.732);
        EXPECT_NEAR(limit, c.limit, 0.01);
        const std::string point = " Bayesian point estimate    = %lf%% (95%% " + c.side + " Credible Limit = %lf%%)";
        ASSERT_EQ(std::sscanf(LineStarting(lines, " Bayesian point estimate").c_str(), point.c_str(), &pct, &pctLimit), 2);
        EXPECT_NEAR(pctLimit, c.pctLimit, 0.2);
        EXPECT_EQ(LineStarting(lines, " case (plus 95%"), " case (plus 95% one-sided " + c.side + " Credible Limit):");
        EXPECT_EQ(LineStarting(lines, " Percentage of control population"),
                  " Percentage of control population exhibiting a lower score than the ");
        if (c.side != "lower") continue;
        // The notes between the citation and the inputs, then a one-space line.
        std::size_t at = 0;
        while (at < lines.size() && lines[at] != " User's Notes: Patient AB, seen 3 May") ++at;
        ASSERT_LT(at + 4, lines.size()) << run.out;
        EXPECT_EQ(lines[at + 1], std::string(15, ' ') + "second line");
        EXPECT_EQ(lines[at + 2], std::string(15, ' ') + "third line");
        EXPECT_EQ(lines[at + 3], " ");
        EXPECT_EQ(lines[at + 4], " INPUTS:");
    }
}

// The two larger examples run through: every row read in its place (the
// z-scores from the file's means, SDs and scores), the matrix accepted, the
// results in range.
TEST(CliReport, LargerExamplesRun)
{
    struct Example {
        const char* file;
        int k;
        int N;
        std::vector<std::array<double, 3>> rows;  // mean, SD, score
    };
    const std::vector<Example> examples{
        {"memory-two-covariates.txt", 2, 28, {{32.6, 6.4, 21}, {68.3, 7.9, 74}, {12.4, 2.8, 10}}},
        {"fluency-five-covariates.txt",
         5,
         45,
         {{42.3, 11.2, 24}, {61.5, 9.8, 66}, {13.1, 3.0, 11}, {108.4, 9.6, 103}, {52.7, 10.4, 44}, {4.1, 3.2, 6}}},
    };
    for (const Example& e : examples) {
        SCOPED_TRACE(e.file);
        CliRun run = RunCli({"--json", ExamplePath(e.file)});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.err, "");
        nlohmann::json j = nlohmann::json::parse(run.out);
        EXPECT_EQ(j["k"], e.k);
        EXPECT_EQ(j["N"], e.N);
        ASSERT_EQ(j["zScores"].size(), e.rows.size());
        for (std::size_t i = 0; i < e.rows.size(); ++i)
            EXPECT_NEAR(j["zScores"][i].get<double>(), (e.rows[i][2] - e.rows[i][0]) / e.rows[i][1], 1e-12) << i;
        double p = j["pOneTailed"];
        EXPECT_GT(p, 0.0);
        EXPECT_LE(p, 0.5);
        EXPECT_LT(j["zccc"].get<double>(), 0.0) << "each case scores below its conditional mean";
        EXPECT_LT(j["zcccLower"].get<double>(), j["zcccUpper"].get<double>());
        EXPECT_LT(j["pctLower"].get<double>(), j["pctUpper"].get<double>());
        EXPECT_NEAR(j["pTwoTailed"].get<double>(), 2 * p, 1e-15);
    }
}

}  // namespace
