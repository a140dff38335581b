// harrow-cli --controls as a user runs it: the example in CSV, SPSS and
// Stata form gives the same analysis, and the options that go together (a
// series against raw controls: cli_case_series_test).
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli_process.h"

namespace {

std::vector<std::string> RawArguments(const std::string& file, std::vector<std::string> more)
{
    std::vector<std::string> arguments{"--controls", ExamplePath(file), "--task", "memory", "--covariates",
                                       "age,education", "--drop-incomplete"};
    arguments.insert(arguments.end(), more.begin(), more.end());
    return arguments;
}

TEST(CliRawData, TheSameControlsInEveryFormatGiveTheSameAnalysis)
{
    CliRun csv = RunCli(RawArguments("raw-controls.csv", {"--case", "21,70,12", "--json"}));
    ASSERT_EQ(csv.exitCode, 0) << csv.err;
    EXPECT_EQ(csv.err, "");
    const std::string tail = ",\"source\":\"raw\",\"file\":\"raw-controls.csv\",\"dropped\":1}\n";
    ASSERT_GT(csv.out.size(), tail.size());
    EXPECT_EQ(csv.out.substr(csv.out.size() - tail.size()), tail);
    const std::string body = csv.out.substr(0, csv.out.size() - tail.size());
    // The sentence names the chosen variables; --summary prints it alone.
    CliRun summary = RunCli(RawArguments("raw-controls.csv", {"--case", "21,70,12", "--summary"}));
    ASSERT_EQ(summary.exitCode, 0) << summary.err;
    EXPECT_EQ(summary.out.rfind("Compared with ", 0), 0u) << summary.out;
    EXPECT_NE(summary.out.find("controls, and controlling for age and education, the case's memory score was below"),
              std::string::npos)
        << summary.out;
    EXPECT_NE(body.find(",\"summary\":" + nlohmann::json(summary.out.substr(0, summary.out.size() - 1)).dump(-1, ' ', false)),
              std::string::npos);
    for (const char* name : {"raw-controls.sav", "raw-controls.dta"}) {
        CliRun other = RunCli(RawArguments(name, {"--case", "21,70,12", "--json"}));
        ASSERT_EQ(other.exitCode, 0) << other.err;
        EXPECT_EQ(other.out, body + ",\"source\":\"raw\",\"file\":\"" + name + "\",\"dropped\":1}\n");
    }
}

TEST(CliRawData, OptionsThatDoNotGoTogether)
{
    const std::string hint = "\nRun with --help for more information.\n";
    struct Case {
        std::vector<std::string> arguments;
        std::string err;
    } cases[] = {
        {{}, "give a worksheet FILE or --controls FILE" + hint},
        {RawArguments("raw-controls.csv", {ExamplePath("worked-example.txt")}),
         "give either a worksheet FILE or --controls FILE, not both" + hint},
        {{"--task", "memory", ExamplePath("worked-example.txt")},
         "--task, --covariates, --case and --drop-incomplete go with --controls" + hint},
        {{"--controls", ExamplePath("raw-controls.csv"), "--covariates", "age"}, "--controls needs --task" + hint},
        {RawArguments("raw-controls.csv", {"--case", "1,2,3", "--cases", ExamplePath("raw-controls-cases.csv")}),
         "give either --case or --cases, not both" + hint},
        {RawArguments("raw-controls.csv", {"--summary"}), "--summary with --controls needs --case" + hint},
        {{"--controls", ExamplePath("raw-controls.csv"), "--task", "memory", "--covariates", "age,age"},
         "Error: The variable \"age\" is chosen twice.\n"},
    };
    for (const Case& c : cases) {
        CliRun run = RunCli(c.arguments);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, c.err);
    }
    CliRun help = RunCli({"--help"});
    EXPECT_NE(help.out.find("--controls FILE"), std::string::npos);
    EXPECT_NE(help.out.find("RAW CONTROL DATA"), std::string::npos);
}

}  // namespace
