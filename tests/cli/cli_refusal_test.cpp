// harrow-cli refusing input: the desktop program's message on standard error
// (carriage returns as line breaks), the line of the file at fault, nothing
// on standard output, exit code 2. Errors of the run itself exit with 1.
// None of these reach the Monte Carlo run, so they are cheap.
#include <gtest/gtest.h>

#include <sstream>

#include <sys/stat.h>

#include "cli_process.h"
#include "tests/support/worksheet_refusals.h"

namespace {

using namespace worksheet_refusals;
using platform::MessageKind;

std::string File(const RefusalWorksheet& w) { return CrLfLines(WorksheetLines(w)); }

// The worked example with one line replaced (1-based).
std::string WorkedExampleWith(int line, const std::string& text)
{
    std::vector<std::string> lines = WorksheetLines(OneCovariate());
    lines.at(line - 1) = text;
    return CrLfLines(lines);
}

std::string Damaged(const std::string& path)
{
    return "Error: Invalid numeric input: \"" + path +
           "\" is damaged or is not a worksheet file (a number is missing or unreadable, the number of covariates is "
           "not a whole number from 0 to 19, or the file ends early)\n";
}

// As the box shows it, with '\n' for '\r', after the box's title.
std::string OnStandardError(MessageKind kind, std::string text)
{
    for (char& ch : text)
        if (ch == '\r') ch = '\n';
    return (kind == MessageKind::Error ? "Error: " : "Warning: ") + text + "\n";
}

std::string RefusedLine(const std::string& path, int line)
{
    return "harrow-cli: the refused entry is on line " + std::to_string(line) + " of \"" + path + "\".\n";
}

void ExpectRefused(const std::vector<std::string>& arguments, const std::string& err)
{
    CliRun run = RunCli(arguments);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, err);
}

TEST(CliRefusal, TheWorksheetRefusalsWithTheLineOfTheFile)
{
    TempFolder folder;
    int n = 0;
    for (const WorksheetRefusal& r : WorksheetRefusals()) {
        SCOPED_TRACE(r.name);
        std::string path = folder.Write("case" + std::to_string(++n) + ".txt", File(r.worksheet));
        CliRun run = RunCli({path});
        EXPECT_EQ(run.exitCode, r.cliExit);
        EXPECT_EQ(run.out, "");
        if (r.cliLine == NotInAFile)
            EXPECT_EQ(run.err, Damaged(path));
        else
            EXPECT_EQ(run.err, OnStandardError(r.kind, r.message) + (r.cliLine ? RefusedLine(path, r.cliLine) : ""));
    }
}

// What only the command line refuses: files, and correlations read from one.
TEST(CliRefusal, DamagedOrMissingFilesAndStoredCorrelations)
{
    TempFolder folder;
    const std::string example = ExamplePath("worked-example.txt"), missing = folder.Path() + "/no-such-file.txt";
    const std::string pipe = folder.Path() + "/pipe.txt";
    // A pipe with no writer in a file's place is refused at once, never waited on.
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const std::string fifo = "\".\nIt is a named pipe (FIFO), not a regular file.\n";
    // Three decimals, as the window shows them: 0.9996 appears as 1.000.
    const std::string rounded = folder.Write("rounded.txt", WorkedExampleWith(12, "0.9996"));
    // A correlation left at 0.000 is accepted without the window's question;
    // this matrix then fails on positive definiteness.
    const std::string zero = folder.Write("zero.txt", File({"2", "30", TwoCovariates().rows,
                                                             {"1", "0.000", "1", "0.8", "0.8", "1"}}));
    std::vector<std::string> shortFile = WorksheetLines(OneCovariate());
    shortFile.pop_back();
    const std::vector<std::string> damaged{folder.Write("bad.txt", WorkedExampleWith(12, "0.5x")),
                                           folder.Write("short.txt", CrLfLines(shortFile)),
                                           folder.Write("empty.txt", "")};
    for (const std::string& path : damaged) ExpectRefused({path}, Damaged(path));
    ExpectRefused({missing}, "Error: Cannot read \"" + missing + "\": No such file or directory\n");
    ExpectRefused({pipe}, "Error: Cannot read the file \"" + pipe + fifo);
    // Notes that cannot be read end the command before anything is checked.
    ExpectRefused({"--notes", missing, example},
                  "Error: Cannot read notes file \"" + missing + "\": No such file or directory\n");
    ExpectRefused({"--notes", pipe, example},
                  "Error: Cannot read notes file \"" + pipe + "\": It is a named pipe (FIFO), not a regular file.\n");
    ExpectRefused({rounded}, OnStandardError(MessageKind::Warning, kTaskWithEduc) + RefusedLine(rounded, 12));
    ExpectRefused({zero}, OnStandardError(MessageKind::Error, kNotPositiveDefinite));

    CliRun run = RunCli({folder.Path()});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err.rfind("Error: ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find(folder.Path()), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("It is a directory, not a regular file."), std::string::npos) << run.err;
}

TEST(CliRefusal, ErrorsOfTheRunExitWithOne)
{
    const struct {
        const char* what;
        std::string file;
        std::string start;  // of standard error
        std::string details;
    } cases[] = {
        {"a mean of 400 digits passes the number rules but overflows", WorkedExampleWith(4, std::string(400, '9')),
         "Error: The analysis cannot be completed: the numbers entered are too extreme for the computation (a very "
         "large or very small mean, SD or score). Check the means, SDs and case's scores, or express a variable in "
         "other units, and run the analysis again. No results were computed.",
         "\n\nDetails: Floating point overflow\n"},
        // Said in the user's terms, not the incomplete gamma function's.
        {"a case far out in the tail", File(With(With(OneCovariate(), 0, SDColumn, "1"), 0, ScoreColumn, "-99999")),
         "Error: The analysis cannot be completed: the case's score is too far from the controls' scores for the "
         "probability to be computed.",
         "\n\nDetails: An argument of the incomplete gamma function is too large"},
        // After the factorisation's own note.
        {"a covariate too far from zero for the factorisation", WorkedExampleWith(8, "10000000"), "",
         "Error: The analysis cannot be completed"},
    };
    TempFolder folder;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CliRun run = RunCli({folder.Write("run.txt", c.file)});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err.rfind(c.start, 0), 0u) << run.err;
        EXPECT_NE(run.err.find(c.details), std::string::npos) << run.err;
    }
}

TEST(CliUsage, ErrorsExitWithTwoAndHelpExplains)
{
    const std::string example = ExamplePath("worked-example.txt"), cases = ExamplePath("worked-example-cases.csv");
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {}, {"--limit", "both", example}, {"--limit"}, {"--bogus", example}, {example, "extra"},
             {"--summary", "--json", example}, {"--csv-locale", "comma", example},
             {"--cases", cases, "--csv-locale", "dots", example}}) {
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
