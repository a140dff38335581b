// harrow-cli --controls: the report and JSON of a raw CSV file equal a
// summary-data analysis fed with the same statistics at full precision;
// the statistics listing; the case option's refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <unistd.h>
#include <memory>

#include "tests/support/recording_messages.h"
#include "tests/support/temp_folder.h"
#include "analysis/raw_data/raw_data_analysis.h"
#include "analysis/raw_data/raw_data_reader.h"
#include "analysis/report/report.h"
#include "cli/json_result.h"
#include "cli/raw_data_command.h"
#include "cli/worksheet_analysis.h"
#include "foundation/messages.h"

namespace {

const std::string kExample = std::string(HARROW_EXAMPLES_DIR) + "/raw-controls.csv";

struct Output {
    int code = -1;
    std::string text;
    platform::RecordingMessages messages;
};

std::unique_ptr<Output> RunRaw(const RawCliRequest& request)
{
    auto result = std::make_unique<Output>();
    platform::ScopedMessages scoped(result->messages);
    std::FILE* out = std::tmpfile();
    result->code = RunRawDataCli(request, out);
    std::rewind(out);
    char chunk[4096];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, out)) > 0) result->text.append(chunk, n);
    std::fclose(out);
    return result;
}

RawCliRequest Request(const std::string& scores, int limit, bool json)
{
    RawCliRequest r;
    r.controlsPath = kExample;
    r.choice.task = "memory";
    r.choice.covariates = {"age", "education"};
    r.choice.dropIncomplete = true;
    r.hasCase = !scores.empty();
    r.caseScores = scores;
    r.credibleLimit = limit;
    r.json = json;
    return r;
}

// The example's statistics as the command line's default choice gives them.
bool SummariseExample(RawSummary& summary)
{
    platform::RecordingMessages messages;
    platform::ScopedMessages scoped(messages);
    RawDataTable table;
    return LoadRawDataFile(kExample, table) && SummariseRawData(table, Request("", 0, false).choice, summary);
}

TEST(RawDataCli, ReportAndJsonEqualASummaryDataAnalysisOfTheSameStatistics)
{
    RawSummary summary;
    ASSERT_TRUE(SummariseExample(summary));
    const int limit = OneSidedUpper;
    // The summary-data analysis: the worksheet's inputs at full precision.
    AnalysisInputs in;
    in.k = 2;
    in.N = 29;
    in.means = summary.means;
    in.sds = summary.sds;
    in.corr = summary.corr;
    in.names = summary.names;  // the report's Variables line and the summary name them
    in.scores[1] = 21, in.scores[2] = 70, in.scores[3] = 12.5;
    StandardiseCase(in);
    AnalysisOutputs out;
    RunAnalysis(in, limit, out);
    WorksheetData data;
    data.fields[CovariatesField] = "2";
    data.fields[SampleSizeField] = "29";
    data.credibleLimit = limit;
    std::vector<std::string> expected = ReportLines(false, data, in, out);
    auto inputs = std::find(expected.begin(), expected.end(), " INPUTS:");
    ASSERT_NE(inputs, expected.end());
    expected.insert(inputs + 1, " Summary statistics computed from raw data: \"raw-controls.csv\", N = 29 "
                                "controls, 1 incomplete control left out");
    std::string report;
    for (const std::string& line : expected) report += line + "\n";

    auto text = RunRaw(Request("21, 70,12.5", limit, false));
    EXPECT_EQ(text->code, 0);
    EXPECT_TRUE(text->messages.shown.empty());
    EXPECT_EQ(text->text, report);

    auto json = RunRaw(Request("21,70,12.5", limit, true));
    EXPECT_EQ(json->code, 0);
    std::string object = FormatJsonResult(in, out, limit);
    object.pop_back();
    EXPECT_EQ(json->text, object + ",\"source\":\"raw\",\"file\":\"raw-controls.csv\",\"dropped\":1}\n");
}

TEST(RawDataCli, WithoutACaseListsTheStatisticsAtFullPrecision)
{
    auto run = RunRaw(Request("", TwoSided, false));
    EXPECT_EQ(run->code, 0);
    // The listing gives back the summary's extended values exactly.
    RawSummary summary;
    ASSERT_TRUE(SummariseExample(summary));
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = run->text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(run->text.substr(start, end - start));
    ASSERT_EQ(lines.size(), 13u);
    EXPECT_EQ(lines[0], "Summary statistics computed from raw data: \"raw-controls.csv\"");
    EXPECT_EQ(lines[1], "N = 29 controls, 1 incomplete control left out");
    EXPECT_EQ(lines[3].substr(0, 15), "Variable   Mean");
    for (int i = 1; i <= 3; ++i) {
        long double mean = 0, sd = 0;
        char name[32];
        ASSERT_EQ(std::sscanf(lines[3 + i].c_str(), "%31s %Lg %Lg", name, &mean, &sd), 3);
        EXPECT_EQ(name, summary.names[i - 1]);
        EXPECT_EQ(mean, summary.means[i]);
        EXPECT_EQ(sd, summary.sds[i]);
        long double r[3];
        ASSERT_EQ(std::sscanf(lines[9 + i].c_str(), "%31s %Lg %Lg %Lg", name, &r[0], &r[1], &r[2]), 4);
        for (int j = 1; j <= 3; ++j) EXPECT_EQ(r[j - 1], summary.corr[i][j]);
    }
    auto json = RunRaw(Request("", TwoSided, true));
    const std::string opening = "{\"source\":\"raw\",\"file\":\"raw-controls.csv\",\"N\":29,\"dropped\":1,"
                              "\"names\":[\"memory\",\"age\",\"education\"],\"means\":[";
    EXPECT_EQ(json->text.substr(0, opening.size()), opening);
}

// A file name that is not UTF-8 (from an older system) cannot stop the JSON
// of a finished analysis: its stray bytes become U+FFFD.
TEST(RawDataCli, JsonOfAFileWhoseNameIsNotUtf8)
{
    const TempFolder folder;
    const std::string path = folder.Path("contr\xF6le.csv");  // Windows-1252 o-umlaut
    std::filesystem::copy_file(kExample, path);
    for (const std::string& scores : {std::string(), std::string("21,70,12")}) {
        RawCliRequest request = Request(scores, TwoSided, true);
        request.controlsPath = path;
        auto run = RunRaw(request);
        EXPECT_EQ(run->code, 0) << scores;
        EXPECT_NE(run->text.find("\"file\":\"contr\xEF\xBF\xBDle.csv\""), std::string::npos) << run->text;
    }
}

TEST(RawDataCli, RefusalsOfTheCaseAndTheFile)
{
    const std::string order = " need 3, in this order: memory, age, education.";
    const struct {
        std::string scores;
        std::string message;  // the whole message, or its start without --drop-incomplete
        bool dropIncomplete;
    } cases[] = {
        {"21,70", "--case gives 2 scores, but the task and 2 covariates" + order, true},
        {"21,70,12,4", "--case gives 4 scores, but the task and 2 covariates" + order, true},
        {"21,,12", "INPUT ERROR\r\r(  age  )\r\rData have not been entered in this field.", true},
        {"21,7O,12", "INPUT ERROR\r(  age  7O  )\r\rEnter numeric data only.", true},
        {"21,70,12", "1 control has no value for one or more o", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scores);
        RawCliRequest request = Request(c.scores, TwoSided, false);
        request.choice.dropIncomplete = c.dropIncomplete;
        auto run = RunRaw(request);
        EXPECT_EQ(run->code, 2);
        EXPECT_EQ(run->text, "");
        ASSERT_EQ(run->messages.shown.size(), 1u);
        const std::string& shown = run->messages.shown[0].text;
        EXPECT_EQ(c.dropIncomplete ? shown : shown.substr(0, c.message.size()), c.message);
    }
}

}  // namespace
