// harrow-cli without covariates and with the frequentist test: the modified
// t-test's t from its formula, the Monte Carlo run near the exact values, the
// report's block under --exact (with covariates: cli_report_test; a series'
// --exact-only rows: cli_case_series_test).
#include <gtest/gtest.h>

#include <cmath>

#include <nlohmann/json.hpp>

#include "cli_process.h"

namespace {

using Json = nlohmann::ordered_json;

const std::string NoCovariates = "0\r\n20\r\nTask\r\n50\r\n10\r\n30\r\n1.000\r\n";

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(CliExact, NoCovariatesOneAndTwoSidedAgainstTheModifiedTTest)
{
    TempFolder folder;
    const std::string path = folder.Write("k0.txt", NoCovariates);
    for (const char* limit : {"two-sided", "lower", "upper"}) {
        SCOPED_TRACE(limit);
        CliRun run = RunCli({"--json", "--limit", limit, path});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const Json j = Json::parse(run.out);
        EXPECT_EQ(j["k"], 0);
        const Json& e = j["exact"];
        EXPECT_EQ(e["df"], 19);
        EXPECT_NEAR(e["t"].get<double>(), (30.0 - 50.0) / (10.0 * std::sqrt(21.0 / 20.0)), 1e-14);
        EXPECT_NEAR(j["pctBelow"].get<double>(), e["pctBelow"].get<double>(), 4 * j["pctBelowMcse"].get<double>());
        EXPECT_NEAR(j["zcccLower"].get<double>(), e["zcccLower"].get<double>(), 0.015);
        EXPECT_NEAR(j["zcccUpper"].get<double>(), e["zcccUpper"].get<double>(), 0.015);
        EXPECT_DOUBLE_EQ(j["condMean"].get<double>(), 50.0);
        EXPECT_DOUBLE_EQ(j["condSD"].get<double>(), 10.0);
    }

    CliRun report = RunCli({"--exact", path});
    ASSERT_EQ(report.exitCode, 0) << report.err;
    EXPECT_TRUE(Contains(report.out, "\nHarrow: Bayesian test for a deficit in the single case (Summary data as input)\n"));
    // The report without covariates, its wording line for line: report_test.
    EXPECT_FALSE(Contains(report.out, "Z-CCC"));
    EXPECT_TRUE(Contains(report.out, " Effect size (Z-CC) = -2.000 (95% CI on effect size = "));
    EXPECT_TRUE(Contains(report.out, " Modified t-test:\n t = -1.952, df = 19\n"));
}

}  // namespace
