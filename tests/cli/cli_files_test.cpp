// harrow-cli on worksheet and notes files as other programs and older
// versions leave them: a byte-order mark, the single-byte Windows character
// set, control characters in a cell, a pipe in a file's place.
#include <gtest/gtest.h>

#include <sstream>

#include "cli_process.h"

namespace {

const std::vector<std::string> kWorkedExample{"1",  "20", "Task",  "50",    "10",   "30",   "Educ",
                                              "10", "2",  "8",     "1.000", "0.500", "1.000"};

// The worked example with one line replaced (1-based).
std::string WorkedExampleWith(int line, const std::string& text)
{
    std::vector<std::string> lines = kWorkedExample;
    lines.at(line - 1) = text;
    return CrLfLines(lines);
}

// The report without the notes and the variables' names, which differ here.
std::string WithoutNotes(const std::string& report)
{
    std::istringstream in(report);
    std::string line;
    std::string kept;
    while (std::getline(in, line))
        if (line.rfind(" User's Notes:", 0) != 0 && line.rfind(" Variables:", 0) != 0) kept += line + "\n";
    return kept;
}

TEST(CliFiles, ByteOrderMarkAndWindows1252TextsAreReadAsTheirCharacters)
{
    TempFolder folder;
    // An older worksheet in Windows-1252 (names "Größe" and "Étude"), UTF-8 notes.
    std::string cp1252 = WorkedExampleWith(3, "Gr\xF6\xDF" "e");
    std::string worksheet = folder.Write("old.txt", cp1252.replace(cp1252.find("Educ"), 4, "\xC9tude"));
    const std::string utf8Notes = folder.Write("notes-utf8.txt", "Gr\xC3\xB6\xC3\x9F" "e \xE2\x82\xAC\xC5\x82\r\n");
    CliRun utf8 = RunCli({"--notes", utf8Notes, worksheet});
    ASSERT_EQ(utf8.exitCode, 0) << utf8.err;
    EXPECT_NE(utf8.out.find("\n User's Notes: Gr\xC3\xB6\xC3\x9F" "e \xE2\x82\xAC\xC5\x82\n"), std::string::npos);
    EXPECT_NE(utf8.out.find("\n Variables: Task of Interest = Gr\xC3\xB6\xC3\x9F" "e; Covariate 1 = \xC3\x89tude\n"),
              std::string::npos);

    // A worksheet with a byte-order mark, notes in Windows-1252.
    const std::string marked = folder.Write("marked.txt", "\xEF\xBB\xBF" + CrLfLines(kWorkedExample));
    const std::string cp1252Notes = folder.Write("notes-1252.txt", "Gr\xF6\xDF" "e \x80\r\n");
    CliRun older = RunCli({"--notes", cp1252Notes, marked});
    ASSERT_EQ(older.exitCode, 0) << older.err;
    EXPECT_NE(older.out.find("\n User's Notes: Gr\xC3\xB6\xC3\x9F" "e \xE2\x82\xAC\n"), std::string::npos);
    EXPECT_EQ(WithoutNotes(older.out), WithoutNotes(utf8.out));
    EXPECT_EQ(older.err, "");
}

// A refused entry: the worksheet's message, then the line that holds it.
// A cell is quoted with every character; a mean, SD or score without a digit
// is no number (refused as the worksheet refuses an empty cell, not analysed
// as 0); the counts are checked as the fields hold them: at most six
// characters, whole numbers, nothing rounded or reformatted first.
TEST(CliFiles, ARefusedEntryIsQuotedWithItsLine)
{
    TempFolder folder;
    const std::string tooLong = "Warning: Maximum length of input is 6 characters.";
    const std::string empty = ")\n\nData have not been entered in this field.";
    const struct {
        int line;
        std::string text;
        std::string message;
    } cases[] = {
        {4, "5\x80", "Warning: INPUT ERROR\n(  the mean of Task (Test No.1)  5\xE2\x82\xAC  )\n\nEnter numeric data only."},
        {4, std::string("1\0" "2", 3), "Warning: INPUT ERROR\n(  the mean of Task (Test No.1)  1\\x002  )\n\nEnter numeric data only."},
        {4, "1\t2", "Warning: INPUT ERROR\n(  the mean of Task (Test No.1)  1\\x092  )\n\nEnter numeric data only."},
        {4, "-", "Warning: INPUT ERROR\n\n(  the mean of Task (Test No.1)  -" + empty},
        {5, ".", "Warning: INPUT ERROR\n\n(  the SD of Task (Test No.1)  ." + empty},
        {10, "-.", "Warning: INPUT ERROR\n\n(  the score of Educ (Test No.2)  -." + empty},
        {6, " ", "Warning: INPUT ERROR\n\n(  the score of Task (Test No.1)   " + empty},
        {2, "1000000", tooLong},
        {2, "100000.4", tooLong},
        {1, "1.0000001", tooLong},
        {2, "20.5", "Warning: INPUT ERROR\n(  Sample size (N) of control sample:  20.500  )\nThe value for sample size must "
                    "be an integer greater than 2."},
        {2, "1e6", "Warning: INPUT ERROR\n(  Sample size (N) of control sample:  1e6  )\n\nEnter numeric data only."},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.line) + ": " + c.text);
        const std::string path = folder.Write("cell" + std::to_string(++n) + ".txt", WorkedExampleWith(c.line, c.text));
        CliRun run = RunCli({path});
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, c.message + "\nharrow-cli: the refused entry is on line " + std::to_string(c.line) +
                               " of \"" + path + "\".\n");
    }
    // A correlation without a digit is no number the file can hold: the file is refused as damaged.
    for (const char* correlation : {"-.", "."}) {
        const std::string path = folder.Write("r" + std::to_string(++n) + ".txt", WorkedExampleWith(12, correlation));
        CliRun run = RunCli({path});
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.err.rfind("Error: Invalid numeric input: \"" + path + "\" is damaged", 0), 0u) << run.err;
    }
    CliRun help = RunCli({"--help"});
    EXPECT_NE(help.out.find("at most 999999"), std::string::npos);
    EXPECT_NE(help.out.find("at most 6 characters"), std::string::npos);
}

}  // namespace
