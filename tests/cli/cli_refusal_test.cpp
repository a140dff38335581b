// harrow-cli refusing input: the desktop program's message on standard error
// (carriage returns as line breaks), the line of the file at fault, nothing
// on standard output, exit code 2. Errors of the run itself exit with 1.
// None of these reach the Monte Carlo run, so they are cheap.
#include <gtest/gtest.h>

#include <sstream>

#include <sys/stat.h>

#include "cli_process.h"

namespace {

// A worksheet file for k covariates: the task and covariate rows (name,
// mean, SD, score) and the lower triangle of the correlations, row by row.
std::string Worksheet(const std::string& k, const std::string& n, const std::vector<std::vector<std::string>>& rows,
                      const std::vector<std::string>& triangle)
{
    std::vector<std::string> lines{k, n};
    for (const auto& row : rows) lines.insert(lines.end(), row.begin(), row.end());
    lines.insert(lines.end(), triangle.begin(), triangle.end());
    return CrLfLines(lines);
}

// The worked example with one line replaced (1-based).
std::string WorkedExampleWith(int line, const std::string& text)
{
    std::vector<std::string> lines{"1",    "20", "Task", "50", "10", "30",   "Educ",
                                   "10",   "2",  "8",    "1.000", "0.500", "1.000"};
    lines.at(line - 1) = text;
    return CrLfLines(lines);
}

std::string RefusedLine(const std::string& path, int line)
{
    return "harrow-cli: the refused entry is on line " + std::to_string(line) + " of \"" + path + "\".\n";
}

const std::vector<std::vector<std::string>> kThreeRows{
    {"Task", "100", "15", "70"}, {"Age", "40", "10", "45"}, {"Educ", "12", "3", "10"}};

struct Refusal {
    const char* what;
    std::string file;
    std::string message;  // as the message box shows it, with '\n' for '\r'
    int line;             // file line named after the message, 0 for none
};

TEST(CliRefusal, DesktopMessagesOnStandardErrorNothingOnStandardOutput)
{
    const std::string kTaskWithEducRange =
        "Warning: The correlation of Task with Educ must lie strictly between -1 and +1.";
    const std::vector<Refusal> refusals{
        {"covariate count 6", Worksheet("6", "20", {{"Task", "50", "10", "30"}, {"A", "1", "1", "1"}, {"B", "1", "1", "1"}, {"C", "1", "1", "1"}, {"D", "1", "1", "1"}, {"E", "1", "1", "1"}, {"F", "1", "1", "1"}}, std::vector<std::string>(28, "1.000")),
         "Warning: INPUT ERROR\n(  Number of covariates :   6.000  )\nThe value must be a whole number from 0 to 5.",
         1},
        {"sample size 2", WorkedExampleWith(2, "2"),
         "Warning: INPUT ERROR\n(  Sample size (N) of control sample:  2.000  )\nThe value for sample size must be "
         "an integer greater than 2.",
         2},
        {"k too large for N",
         Worksheet("3", "4", {{"T", "1", "1", "1"}, {"A", "1", "1", "1"}, {"B", "1", "1", "1"}, {"C", "1", "1", "1"}},
                   {"1", "0", "1", "0", "0", "1", "0", "0", "0", "1"}),
         "Error:  With a control sample size of  4, the maximum number of covariates is  2 ", 1},
        {"empty mean", WorkedExampleWith(4, ""),
         "Warning: INPUT ERROR\n\n(  the mean of Task (Test No.1)  )\n\nData have not been entered in this field.", 4},
        {"mean with a comma", WorkedExampleWith(8, "1,5"),
         "Warning: INPUT ERROR\n(  the mean of Educ (Test No.2)  1,5  )\n\nEnter numeric data only.", 8},
        {"SD 0", WorkedExampleWith(9, "0"),
         "Warning: INPUT ERROR\n(  the SD of Educ (Test No.2)  0.000  )\nStandard deviations must have a positive value.", 9},
        {"negative SD", WorkedExampleWith(5, "-1"),
         "Warning: INPUT ERROR\n(  the SD of Task (Test No.1)  -1.000  )\nStandard deviations must have a positive value.", 5},
        {"correlation 1.0", WorkedExampleWith(12, "1.0"), kTaskWithEducRange, 12},
        {"correlation 1.5", WorkedExampleWith(12, "1.5"),
         kTaskWithEducRange, 12},
        {"correlation -1", WorkedExampleWith(12, "-1"),
         kTaskWithEducRange, 12},
        // The window shows three decimals: 0.9996 appears as 1.000 and is refused.
        {"correlation 0.9996", WorkedExampleWith(12, "0.9996"),
         kTaskWithEducRange, 12},
        {"not positive definite", Worksheet("2", "30", kThreeRows, {"1", "0.9", "1", "0.9", "-0.9", "1"}),
         "Error: Analysis cannot proceed as the correlation matrix is not positive definite: check that you "
         "entered the correct values for the correlations (alternatively it may be that one variable is linearly "
         "dependent on other variables and should be dropped)",
         0},
        // A correlation left at 0.000 is accepted without the window's
        // question; this matrix then fails on positive definiteness.
        {"0.000 accepted silently", Worksheet("2", "30", kThreeRows, {"1", "0.000", "1", "0.8", "0.8", "1"}),
         "Error: Analysis cannot proceed as the correlation matrix is not positive definite: check that you "
         "entered the correct values for the correlations (alternatively it may be that one variable is linearly "
         "dependent on other variables and should be dropped)",
         0},
    };
    TempFolder folder;
    int n = 0;
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.what);
        std::string path = folder.Write("case" + std::to_string(++n) + ".txt", r.file);
        CliRun run = RunCli({path});
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, r.message + "\n" + (r.line ? RefusedLine(path, r.line) : ""));
    }
}

TEST(CliRefusal, DamagedOrMissingFiles)
{
    TempFolder folder;
    const std::string damagedSuffix =
        "\" is damaged or is not a worksheet file (a number is missing or unreadable, the number of covariates is "
        "not a whole number from 0 to 19, or the file ends early)\n";
    const std::vector<std::pair<const char*, std::string>> damaged{
        {"text for the covariate count", WorkedExampleWith(1, "two")},
        {"covariate count not whole", WorkedExampleWith(1, "1.5")},
        {"bad correlation", WorkedExampleWith(12, "0.5x")},
        {"file ends in the triangle", CrLfLines({"1", "20", "Task", "50", "10", "30", "Educ", "10", "2", "8", "1.000"})},
        {"empty file", ""},
    };
    int n = 0;
    for (const auto& [what, text] : damaged) {
        SCOPED_TRACE(what);
        std::string path = folder.Write("damaged" + std::to_string(++n) + ".txt", text);
        CliRun run = RunCli({path});
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "Error: Invalid numeric input: \"" + path + damagedSuffix);
    }

    std::string missing = folder.Path() + "/no-such-file.txt";
    CliRun run = RunCli({missing});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Error: Cannot read \"" + missing + "\": No such file or directory\n");

    run = RunCli({folder.Path()});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind("Error: ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find(folder.Path()), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("It is a directory, not a regular file."), std::string::npos) << run.err;

    // Notes that cannot be read end the command before anything is checked.
    run = RunCli({"--notes", missing, ExamplePath("worked-example.txt")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Error: Cannot read notes file \"" + missing + "\": No such file or directory\n");

    // A pipe with no writer in a file's place is refused at once, never waited on.
    const std::string pipe = folder.Path() + "/pipe.txt";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    run = RunCli({pipe});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, "Error: Cannot read the file \"" + pipe + "\".\nIt is a named pipe (FIFO), not a regular file.\n");
    run = RunCli({"--notes", pipe, ExamplePath("worked-example.txt")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Error: Cannot read notes file \"" + pipe + "\": It is a named pipe (FIFO), not a regular file.\n");
}

TEST(CliRefusal, ErrorsOfTheRunExitWithOne)
{
    TempFolder folder;
    // A mean of 400 digits passes the number rules but overflows.
    std::string path = folder.Write("overflow.txt", WorkedExampleWith(4, std::string(400, '9')));
    CliRun run = RunCli({path});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Error: The analysis cannot be completed: the numbers entered are too extreme for the "
                       "computation (a very large or very small mean, SD or score). Check the means, SDs and case's "
                       "scores, or express a variable in other units, and run the analysis again. No results were "
                       "computed.\n\nDetails: Floating point overflow\n");

    // A case far out in the tail: said in the user's terms, not the incomplete gamma function's.
    path = folder.Write("far-out.txt", Worksheet("1", "20", {{"Task", "50", "1", "-99999"}, {"Educ", "10", "2", "8"}},
                                                 {"1.000", "0.500", "1.000"}));
    run = RunCli({path});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind("Error: The analysis cannot be completed: the case's score is too far from the "
                            "controls' scores for the probability to be computed.", 0), 0u) << run.err;
    EXPECT_NE(run.err.find("\n\nDetails: An argument of the incomplete gamma function is too large"),
              std::string::npos) << run.err;

    // A covariate too far from zero for the factorisation of the regression.
    path = folder.Write("scale.txt", WorkedExampleWith(8, "10000000"));
    run = RunCli({path});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("Error: The analysis cannot be completed"), std::string::npos) << run.err;
}

TEST(CliUsage, ErrorsExitWithTwoAndHelpExplains)
{
    for (const std::vector<std::string>& arguments :
         std::vector<std::vector<std::string>>{{},
                                               {"--limit", "both", ExamplePath("worked-example.txt")},
                                               {"--limit"},
                                               {"--bogus", ExamplePath("worked-example.txt")},
                                               {ExamplePath("worked-example.txt"), "extra"},
                                               {"--summary", "--json", ExamplePath("worked-example.txt")},
                                               {"--csv-locale", "comma", ExamplePath("worked-example.txt")},
                                               {"--cases", ExamplePath("worked-example-cases.csv"), "--csv-locale",
                                                "dots", ExamplePath("worked-example.txt")}}) {
        CliRun run = RunCli(arguments);
        EXPECT_EQ(run.exitCode, 2) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err, "");
    }
    CliRun help = RunCli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* part : {"Usage: harrow-cli", "--limit two-sided|lower|upper", "--notes FILE", "--json",
                             "WORKSHEET FILE", "2 + 4p + p(p+1)/2 lines", "EXIT CODES", "1,000,000"})
        EXPECT_NE(help.out.find(part), std::string::npos) << part;
    // The description and the option list fit a terminal's width, and no
    // option carries the parser's relation labels glued to its name.
    std::istringstream optionPart(help.out.substr(0, help.out.find("WORKSHEET FILE")));
    for (std::string line; std::getline(optionPart, line);) EXPECT_LE(line.size(), 79u) << line;
    for (const char* label : {"Excludes:", "Needs:"}) EXPECT_EQ(help.out.find(label), std::string::npos) << label;
    CliRun version = RunCli({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, std::string("harrow-cli ") + HARROW_VERSION + "\n");
}

}  // namespace
