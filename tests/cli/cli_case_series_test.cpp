// harrow-cli --cases: every row equals a single run of the worksheet with
// that case's scores, to the last bit; refused files and rows, exit codes,
// the output file.
#include <gtest/gtest.h>

#include <fstream>

#include <nlohmann/json.hpp>

#include "cli_process.h"

namespace {

using Json = nlohmann::ordered_json;

const std::string kHeader =
    "case,k,N,limit,z_Task,z_Educ,condMean,condSD,pOneTailed,pTwoTailed,pctBelow,pctLower,pctUpper,zccc,zcccLower,"
    "zcccUpper,pctBelowMcse,pOneTailedMcse,pTwoTailedMcse,exact_t,exact_df,exact_pOneTailed,exact_pTwoTailed,"
    "exact_pctBelow,exact_zcccLower,exact_zcccUpper,exact_pctLower,exact_pctUpper,error";

// The example worksheet with the case's scores (task first) in the grid.
std::string WorksheetWithScores(const std::string& example, const std::vector<std::string>& scores)
{
    std::vector<std::string> lines = Lines(ReadFile(ExamplePath(example)));
    for (std::size_t row = 0; row < scores.size(); ++row) lines.at(2 + 4 * row + 3) = scores[row];
    return CrLfLines(lines);
}

std::vector<std::string> With(std::vector<std::string> arguments, const std::vector<std::string>& more)
{
    arguments.insert(arguments.end(), more.begin(), more.end());
    return arguments;
}

// Runs the series with --json and compares every row with the single run of
// its case, to the last bit; with --exact-only, the same rows' exact values
// and z-scores alone.
void ExpectSeriesEqualsSingleRuns(const std::vector<std::string>& series,
                                  const std::vector<std::vector<std::string>>& singles)
{
    CliRun run = RunCli(With(series, {"--json"}));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");  // no progress line: standard error is not a terminal
    const std::vector<std::string> rows = Lines(run.out);
    ASSERT_EQ(rows.size(), singles.size());
    const std::vector<std::string> exactRows = Lines(RunCli(With(series, {"--json", "--exact-only"})).out);
    ASSERT_EQ(exactRows.size(), singles.size());
    for (std::size_t c = 0; c < singles.size(); ++c) {
        SCOPED_TRACE("case " + std::to_string(c + 1));
        CliRun single = RunCli(With(singles[c], {"--json"}));
        ASSERT_EQ(single.exitCode, 0) << single.err;
        const Json one = Json::parse(single.out);
        const Json row = Json::parse(rows[c]);
        EXPECT_TRUE(row["error"].is_null());
        int compared = 0;
        for (auto it = one.begin(); it != one.end(); ++it) {
            // A single analysis' sentence and its raw data file are not a series' columns.
            if (it.key() == "summary" || it.key() == "source" || it.key() == "file" || it.key() == "dropped") continue;
            if (it.key() == "limit") {
                EXPECT_EQ(row["limit"], *it);  // the series says which limits it holds
                continue;
            }
            if (it.key() == "exact") {  // the series' exact_ columns, df an integer
                for (auto e = it->begin(); e != it->end(); ++e)
                    EXPECT_EQ(row["exact_" + e.key()].get<double>(), e->get<double>()) << e.key();
                compared += static_cast<int>(it->size());
                continue;
            }
            if (it.key() == "zScores") {
                std::size_t i = 0;
                for (auto z = row.begin(); z != row.end(); ++z) {
                    if (z.key().rfind("z_", 0) != 0) continue;
                    EXPECT_EQ(z->get<double>(), it->at(i++).get<double>()) << z.key();
                }
                EXPECT_EQ(i, it->size());
                continue;
            }
            ASSERT_TRUE(row.contains(it.key())) << it.key();
            EXPECT_EQ(row[it.key()].get<double>(), it->get<double>()) << it.key();
            ++compared;
        }
        EXPECT_GE(compared, 12);
        const Json exact = Json::parse(exactRows[c]);
        EXPECT_FALSE(exact.contains("pctBelow"));
        EXPECT_TRUE(exact.contains("exact_t"));
        for (auto it = exact.begin(); it != exact.end(); ++it) EXPECT_EQ(*it, row[it.key()]) << it.key();
    }
}

// Each limit choice: lower and upper take the one-sided positions, two-sided
// the two-sided ones, in the series as in the single run; from a worksheet
// and from raw control data.
TEST(CliCaseSeries, EveryRowEqualsASingleRunOfThatCase)
{
    TempFolder folder;
    int written = 0;
    auto single = [&](const std::string& example, const std::vector<std::string>& scores, const char* limit) {
        return std::vector<std::string>{"--limit", limit,
                                        folder.Write(std::to_string(++written) + ".txt", WorksheetWithScores(example, scores))};
    };
    const std::string twoCases = folder.Write("two.csv", "case,Task,Educ\nA,30,8\nB,62.5,9.5\n");
    // Five covariates, columns in another order, semicolons, decimal commas, a byte-order mark.
    const std::string fluency = folder.Write(
        "fluency.csv", "\xEF\xBB\xBF" "id;Age;Verbal fluency;Education (years);Premorbid IQ estimate;"
                       "Processing speed;Depression rating\r\n"
                       "F1;66;24;11;103;44;6\r\nF2;58,5;51,25;16;112;60,5;2\r\n");
    const std::vector<std::string> raw{"--controls", ExamplePath("raw-controls.csv"), "--task", "memory",
                                       "--covariates", "age,education", "--drop-incomplete"};
    const std::string worked = ExamplePath("worked-example.txt");
    const struct {
        const char* what;
        std::vector<std::string> series;
        std::vector<std::vector<std::string>> singles;
    } series[] = {
        {"two-sided", {"--cases", ExamplePath("worked-example-cases.csv"), worked},
         {single("worked-example.txt", {"30", "8"}, "two-sided"), single("worked-example.txt", {"55", "12"}, "two-sided"),
          single("worked-example.txt", {"62.5", "9.5"}, "two-sided"),
          single("worked-example.txt", {"5", "16"}, "two-sided")}},
        {"lower", {"--cases", twoCases, "--limit", "lower", worked},
         {single("worked-example.txt", {"30", "8"}, "lower"), single("worked-example.txt", {"62.5", "9.5"}, "lower")}},
        {"upper, five covariates", {"--cases", fluency, "--limit", "upper", ExamplePath("fluency-five-covariates.txt")},
         {single("fluency-five-covariates.txt", {"24", "66", "11", "103", "44", "6"}, "upper"),
          single("fluency-five-covariates.txt", {"51.25", "58.5", "16", "112", "60.5", "2"}, "upper")}},
        {"raw control data", With(raw, {"--cases", ExamplePath("raw-controls-cases.csv")}),
         {With(raw, {"--case", "21,70,12"}), With(raw, {"--case", "35,60,14"}), With(raw, {"--case", "24,81,9"})}},
    };
    for (const auto& s : series) {
        SCOPED_TRACE(s.what);
        ExpectSeriesEqualsSingleRuns(s.series, s.singles);
    }
}

TEST(CliCaseSeries, CsvHasTheKeysOfTheJsonAndWritesTheOutputFileWhole)
{
    TempFolder folder;
    std::string cases = folder.Write("cases.csv", "case,Task,Educ\n\"Smith, J.\",30,8\n");
    std::string output = folder.Path() + "/results.csv";
    CliRun csv = RunCli({"--cases", cases, "--output", output, ExamplePath("worked-example.txt")});
    ASSERT_EQ(csv.exitCode, 0) << csv.err;
    EXPECT_EQ(csv.out, "");
    std::vector<std::string> lines = Lines(ReadFile(output));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], kHeader);
    // The fewest digits that read back to the same number.
    EXPECT_EQ(lines[1].rfind("\"Smith, J.\",1,20,two-sided,-2,-1,45,", 0), 0u) << lines[1];
    EXPECT_EQ(lines[1].back(), ',');  // no error

    // For spreadsheets that read decimal commas: semicolons between the fields.
    CliRun comma = RunCli({"--cases", cases, "--csv-locale", "comma", ExamplePath("worked-example.txt")});
    ASSERT_EQ(comma.exitCode, 0) << comma.err;
    std::vector<std::string> commaLines = Lines(comma.out);
    ASSERT_EQ(commaLines.size(), 2u);
    EXPECT_EQ(commaLines[0].rfind("case;k;N;limit;z_Task;z_Educ;condMean;", 0), 0u) << commaLines[0];
    EXPECT_EQ(commaLines[1].rfind("Smith, J.;1;20;two-sided;-2;-1;45;8,66", 0), 0u) << commaLines[1];
    EXPECT_EQ(commaLines[1].find('.', 11), std::string::npos) << "decimal commas only";

    // An output file that cannot be written is refused before the series runs: nothing appears, exit 2.
    std::string unwritable = folder.Path() + "/no-such-folder/results.csv";
    CliRun failed = RunCli({"--cases", cases, "--output", unwritable, ExamplePath("worked-example.txt")});
    EXPECT_EQ(failed.exitCode, 2);
    EXPECT_EQ(failed.err.rfind("Error: Cannot save the file \"" + unwritable + "\"", 0), 0u) << failed.err;
    EXPECT_FALSE(std::ifstream(unwritable).good());
}

// What a refusal prints and the exit code, for whole files and for rows (each
// refusal of a cases file and its message: the analysis layer's case_series_test).
TEST(CliCaseSeries, RefusedFilesExitWithTwoAndRefusedRowsWithThree)
{
    TempFolder folder;
    const std::string worksheet = ExamplePath("worked-example.txt");
    // The worksheet is checked as for a single run; its own case scores are not used.
    const std::string noScores = folder.Write(
        "no-scores.txt", CrLfLines({"1", "20", "Task", "50", "", "", "Educ", "10", "2", "", "1.000", "0.500", "1.000"}));
    const std::string good = "case,Task,Educ\nA,30,8\n";
    const struct {
        const char* what;
        std::string name;  // of the cases file, written with the text unless it is empty
        std::string cases;
        std::string worksheet;
        int exitCode;
        std::string err;  // {} stands for the cases file's path, {folder} for the folder's
        std::string out;
    } refusals[] = {
        {"unknown column", "1.csv", "case,Task,Educ,IQ\nA,1,2,3\n", worksheet, 2,
         "Error: \"{}\": the column \"IQ\" is not a variable of the analysis (Task, Educ)\n", ""},
        {"not UTF-8", "2.csv", "case,Task,Educ\nJos\xE9,1,2\n", worksheet, 2,
         "Error: \"{}\": line 2 is not UTF-8 text: save the file as CSV in UTF-8\n", ""},
        {"every row refused", "3.csv", "case;Task;Educ\nA;;2\nB;1,5;x\n", worksheet, 3,
         "harrow-cli: line 2 of \"{}\" (case \"A\") was not analysed: the score for \"Task\" is empty\n"
         "harrow-cli: line 3 of \"{}\" (case \"B\") was not analysed: the score for \"Educ\" is not a number: "
         "\"x\"\n",
         kHeader + "\r\n" "A" + std::string(28, ',') + "\"the score for \"\"Task\"\" is empty\"\r\n"
         "B" + std::string(28, ',') + "\"the score for \"\"Educ\"\" is not a number: \"\"x\"\"\"\r\n"},
        // Labels meant for a spreadsheet or a terminal: kept as text, never run.
        {"formula and escape labels", "4.csv", "case,Task,Educ\n+cmd|' /C calc'!A0,,2\n\"\x1B]0;x\x07\",,2\n",
         worksheet, 3,
         "harrow-cli: line 2 of \"{}\" (case \"+cmd|' /C calc'!A0\") was not analysed: the score for \"Task\" "
         "is empty\n"
         "harrow-cli: line 3 of \"{}\" (case \"\\x1B]0;x\\x07\") was not analysed: the score for \"Task\" is empty\n",
         kHeader + "\r\n" "'+cmd|' /C calc'!A0" + std::string(28, ',') + "\"the score for \"\"Task\"\" is empty\"\r\n"
         "\x1B]0;x\x07" + std::string(28, ',') + "\"the score for \"\"Task\"\" is empty\"\r\n"},
        {"no such file", "none.csv", "", worksheet, 2, "Error: Cannot read \"{}\": No such file or directory\n", ""},
        // A message shows a name's control characters as escapes, never sends them to the terminal.
        {"control characters in the name", "b\x07\x1B[2J.csv", "", worksheet, 2,
         "Error: Cannot read \"{folder}/b\\x07\\x1B[2J.csv\": No such file or directory\n", ""},
        {"a worksheet refused", "5.csv", good, noScores, 2,
         "Warning: INPUT ERROR\n\n(  the SD of Task (Test No.1)  )\n\nData have not been entered in this field.\n"
         "harrow-cli: the refused entry is on line 5 of \"" + noScores + "\".\n", ""},
    };
    for (const auto& r : refusals) {
        SCOPED_TRACE(r.what);
        const std::string path = r.cases.empty() ? folder.Path() + "/" + r.name : folder.Write(r.name, r.cases);
        const CliRun run = RunCli({"--cases", path, r.worksheet});
        std::string err = r.err;
        for (std::size_t at; (at = err.find("{folder}")) != std::string::npos;) err.replace(at, 8, folder.Path());
        for (std::size_t at; (at = err.find("{}")) != std::string::npos;) err.replace(at, 2, path);
        EXPECT_EQ(run.exitCode, r.exitCode);
        EXPECT_EQ(run.err, err);
        EXPECT_EQ(run.out, r.out);
    }

    // --exact-only belongs to a series.
    EXPECT_EQ(RunCli({"--exact-only", worksheet}).exitCode, 2);
    const CliRun help = RunCli({"--help"});
    for (const char* part : {"--cases CASES.csv", "--output FILE", "CASE SERIES", "decimal commas",
                             "3  with --cases: results written, but some rows were not analysed"})
        EXPECT_NE(help.out.find(part), std::string::npos) << part;
}

TEST(CliCaseSeries, ARowWhoseRunFailsGetsTheSingleRunsMessage)
{
    TempFolder folder;
    // A task SD of 0.001 and a score of 1.7e308 (written out, as the grid takes it) overflow in the run.
    const std::string huge = "17" + std::string(307, '0');
    std::string worksheet = folder.Write(
        "small-sd.txt", CrLfLines({"1", "20", "Task", "50", "0.001", huge, "Educ", "10", "2", "8", "1.000", "0.500", "1.000"}));
    CliRun single = RunCli({worksheet});
    ASSERT_EQ(single.exitCode, 1);
    ASSERT_EQ(single.err.rfind("Error: ", 0), 0u);
    // The output keeps the message on one line: line breaks become one blank.
    std::string message;
    for (char ch : single.err.substr(7, single.err.size() - 8))
        if (ch != '\n') message += ch;
        else if (!message.empty() && message.back() != ' ') message += ' ';

    std::string cases = folder.Write("cases.csv", "case,Task,Educ\nhuge," + huge + ",8\n");
    CliRun run = RunCli({"--cases", cases, "--json", worksheet});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_EQ(run.err, "harrow-cli: line 2 of \"" + cases + "\" (case \"huge\") was not analysed: " + message + "\n");
    Json row = Json::parse(run.out);
    EXPECT_EQ(row["error"], message);
    EXPECT_TRUE(row["pctBelow"].is_null());

    // An error of the control sample alone ends the series as it ends a single run.
    std::string scale = folder.Write(
        "scale.txt", CrLfLines({"1", "20", "Task", "50", "10", "30", "Educ", "10000000", "2", "8", "1.000", "0.500", "1.000"}));
    single = RunCli({scale});
    run = RunCli({"--cases", ExamplePath("worked-example-cases.csv"), scale});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, single.err);
}

}  // namespace
