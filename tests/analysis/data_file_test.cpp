// The previous-data file: exact content, round trips, safe replacement and
// damaged or hostile files.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include "tests/support/comma_locale.h"
#include "analysis/worksheet/data_file.h"
#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

// Two covariates as typed, and the file they give.
const std::string kFile =
    "2\r\n025\r\n"
    "Task\r\n100\r\n15\r\n70\r\n"
    "Age yrs\r\n40.5\r\n10\r\n45\r\n"
    "Edu\r\n12.50\r\n3\r\n-10\r\n"
    "1.000\r\n0.457\r\n1.000\r\n0.300\r\n-0.250\r\n1.000\r\n";

WorksheetData Typed()
{
    WorksheetData d;
    d.fields[0] = "2";
    d.fields[1] = "025";
    const char* rows[3][4] = {{"Task", "100", "15", "70"}, {"Age yrs", "40.5", "10", "45"}, {"Edu", "12.50", "3", "-10"}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) d.Cell(r, c + 1) = rows[r][c];
    d.SetGridRows(3);
    auto& s = d.StoredCorrelations;
    s[1][2] = s[2][1] = 0.4567;
    s[1][3] = s[3][1] = 0.3;
    s[2][3] = s[3][2] = -0.25;
    return d;
}

class DataFile : public ::testing::Test {
protected:
    std::string Contents() const { return TempFolder::Read(path); }
    void WriteRaw(const std::string& bytes) const { temp.Write("Harrow.txt", bytes); }
    long FilesInFolder() const { return static_cast<long>(temp.Entries().size()); }
    // Reads the file into d; the status.
    DataFileResult::Status Read(WorksheetData& d) const { return ReadDataFile(path, d).status; }

    TempFolder temp;
    const std::string folder = temp.path.string();
    const std::string path = DataFilePath(folder);
};

TEST_F(DataFile, TwoCovariatesGiveTwentyLinesAsTypedAndReadBack)
{
    EXPECT_EQ(DataFilePath("/opt/harrow"), "/opt/harrow/Harrow.txt");
    EXPECT_EQ(DataFilePath(""), "Harrow.txt");
    DataFileResult r = WriteDataFile(path, Typed(), 3);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(Contents(), kFile);
    EXPECT_EQ(FilesInFolder(), 1);  // no temporary file left behind

    WorksheetData d;
    ASSERT_EQ(Read(d), DataFileResult::Ok);
    EXPECT_EQ(d.fields[0], "2");
    EXPECT_EQ(d.fields[1], "25");  // fields come back as numbers
    EXPECT_FALSE(d.reportExact);
    EXPECT_EQ(d.GridRows, 3);
    WorksheetData typed = Typed();
    for (int row = 0; row < 3; ++row)
        for (int c = NameColumn; c < GridColumns; ++c) EXPECT_EQ(d.Cell(row, c), typed.Cell(row, c));
    const auto& s = d.StoredCorrelations;
    EXPECT_DOUBLE_EQ(s[1][2], 0.457);
    EXPECT_DOUBLE_EQ(s[2][1], 0.457);  // both triangles alike
    EXPECT_DOUBLE_EQ(s[2][3], -0.25);
    EXPECT_EQ(s[3][3], 1.0);
    d.fields[1] = "025";
    ASSERT_TRUE(WriteDataFile(path, d, 3).ok());
    EXPECT_EQ(Contents(), kFile);

    // ... or, on request, the fields as stored; a blank line first, blanks around.
    StoredFieldLines stored;
    WriteRaw("\r\n" + kFile.substr(0, 3) + "  025 \r\n" + kFile.substr(8));
    ASSERT_EQ(ReadDataFile(path, d, &stored).status, DataFileResult::Ok);
    EXPECT_EQ(stored, (StoredFieldLines{"2", "  025 "}));
    EXPECT_EQ(d.fields[1], "25");

    // A ticked frequentist test is one more line; only a "1" there ticks it.
    typed.reportExact = true;
    ASSERT_TRUE(WriteDataFile(path, typed, 3).ok());
    EXPECT_EQ(Contents(), kFile + "1\r\n");
    ASSERT_EQ(Read(d), DataFileResult::Ok);
    EXPECT_TRUE(d.reportExact);
    WriteRaw(kFile + "2\r\n");
    ASSERT_EQ(Read(d), DataFileResult::Ok);
    EXPECT_FALSE(d.reportExact);
}

TEST_F(DataFile, DiagonalIsOneWhateverTheFileHoldsAndLaxLineEndsAreRead)
{
    WriteRaw("1\n10\nT\n1\n1\n1\nC\n1\n1\n1\n0.7\n0.2\n5");  // LF only, no final line end
    WorksheetData d;
    ASSERT_EQ(Read(d), DataFileResult::Ok);
    EXPECT_EQ(d.StoredCorrelations[1][1], 1.0);
    EXPECT_EQ(d.StoredCorrelations[2][2], 1.0);
    EXPECT_DOUBLE_EQ(d.StoredCorrelations[1][2], 0.2);
    EXPECT_EQ(d.Cell(1, NameColumn), "C");
}

TEST_F(DataFile, FileAlwaysReadsBack)
{
    // The grid did not follow a covariate text of "2.0": p rows are written.
    WorksheetData typed = Typed();
    typed.fields[0] = "2.0";
    typed.SetGridRows(5);
    typed.Cell(1, NameColumn) = "Age\r\nyrs";  // a line break would shift every later item
    ASSERT_TRUE(WriteDataFile(path, typed, 3).ok());
    std::string expected = kFile;
    expected.replace(0, 1, "2.0");
    expected.replace(expected.find("Age yrs"), 7, "Age  yrs");
    EXPECT_EQ(Contents(), expected);
    WorksheetData d;
    ASSERT_EQ(Read(d), DataFileResult::Ok);
    EXPECT_EQ(d.fields[0], "2");
    EXPECT_EQ(d.Cell(2, ScoreColumn), "-10");
}

TEST_F(DataFile, NumbersUseADecimalPointInACommaLocale)
{
    REQUIRE_COMMA_LOCALE(german);
    ASSERT_TRUE(WriteDataFile(path, Typed(), 3).ok());
    EXPECT_EQ(Contents(), kFile);
    WorksheetData d;
    EXPECT_EQ(Read(d), DataFileResult::Ok);
    EXPECT_DOUBLE_EQ(d.StoredCorrelations[1][2], 0.457);
}

TEST_F(DataFile, LoadDeleteAndMissingFile)
{
    WorksheetData d;
    d.fields[0] = "3";
    d.PreviousDataLoaded = true;
    EXPECT_EQ(Read(d), DataFileResult::Missing);
    EXPECT_EQ(d.fields[0], "3");  // untouched
    EXPECT_EQ(LoadPreviousData(path, d).status, DataFileResult::Missing);
    EXPECT_FALSE(d.PreviousDataLoaded);
    EXPECT_EQ(d.Cell(0, NameColumn), "Task");
    EXPECT_EQ(d.Cell(6, NameColumn), "Cov 6");

    WriteRaw(kFile);
    WorksheetData loaded;
    ASSERT_TRUE(LoadPreviousData(path, loaded).ok());
    EXPECT_TRUE(loaded.PreviousDataLoaded);
    EXPECT_EQ(loaded.Cell(3, NameColumn), "");  // no default names over a file

    WriteRaw("x\r\n");
    WorksheetData bad;
    EXPECT_EQ(LoadPreviousData(path, bad).status, DataFileResult::InvalidNumber);
    EXPECT_FALSE(bad.PreviousDataLoaded);

    EXPECT_TRUE(DeleteDataFile(path).ok());
    EXPECT_EQ(FilesInFolder(), 0);
    EXPECT_TRUE(DeleteDataFile(path).ok());

    // The save's own refusals (a pipe, a failed write) are the text file's;
    // here its reason reaches the result.
    const DataFileResult r = WriteDataFile(folder + "/missing/Harrow.txt", Typed(), 3);
    EXPECT_EQ(r.status, DataFileResult::FileError);
    EXPECT_EQ(r.message, "Cannot save the file \"" + folder + "/missing/Harrow.txt\".\rNo such file or directory");
}

// Something else under the file's name: a pipe with no reader or writer
// (opening it plainly would wait for ever) or a directory is neither read
// nor deleted, and the worksheet starts as on a first run; Clear Data
// deletes a regular file or a link, never what the link leads to.
TEST_F(DataFile, OnlyARegularFileIsReadOrDeleted)
{
    const std::pair<const char*, std::string> others[] = {{"pipe", "named pipe (FIFO)"}, {"directory", "directory"}};
    for (const auto& [what, reason] : others) {
        SCOPED_TRACE(what);
        ASSERT_EQ(std::string(what) == "pipe" ? mkfifo(path.c_str(), 0600) : mkdir(path.c_str(), 0755), 0);
        const std::string because = "\".\rIt is a " + reason + ", not a regular file.";
        WorksheetData d;
        DataFileResult r = LoadPreviousData(path, d);
        EXPECT_EQ(r.status, DataFileResult::FileError);
        EXPECT_EQ(r.message, "Cannot read the file \"" + path + because);
        EXPECT_EQ(d.Cell(0, NameColumn), "Task");
        r = DeleteDataFile(path);
        EXPECT_EQ(r.status, DataFileResult::FileError);
        EXPECT_EQ(r.message, "Cannot delete the file \"" + path + because);
        EXPECT_EQ(fs::status(path).type(), std::string(what) == "pipe" ? fs::file_type::fifo : fs::file_type::directory);
        fs::remove(path);
    }

    // A link to the user's own file: saved and read through, removed alone.
    const std::string target = folder + "/own.txt";
    temp.Write("own.txt", "old");
    fs::create_symlink(target, path);
    ASSERT_TRUE(WriteDataFile(path, Typed(), 3).ok());
    EXPECT_TRUE(fs::is_symlink(path));
    WorksheetData loaded;
    ASSERT_TRUE(ReadDataFile(path, loaded).ok());
    EXPECT_EQ(loaded.Cell(1, NameColumn), "Age yrs");
    EXPECT_TRUE(DeleteDataFile(path).ok());
    EXPECT_FALSE(fs::exists(fs::symlink_status(path)));
    EXPECT_TRUE(fs::exists(target));
}

// Every character of a name is kept: the file is written as UTF-8 and read
// back as such; a file with a byte-order mark reads as without; an older file
// in the single-byte Windows character set is read as Windows-1252.
TEST_F(DataFile, NamesKeepEveryCharacterWhateverTheFilesEncoding)
{
    const std::string utf8 = "Gr\xC3\xB6\xC3\x9F" "e \xE2\x82\xAC\xC5\x82";  // Größe €ł
    WorksheetData typed = Typed();
    typed.Cell(0, NameColumn) = utf8;
    ASSERT_TRUE(WriteDataFile(path, typed, 3).ok());
    std::string written = kFile;
    written.replace(written.find("Task"), 4, utf8);
    EXPECT_EQ(Contents(), written);

    std::string cp1252 = kFile;
    cp1252.replace(cp1252.find("Task"), 4, "Gr\xF6\xDF" "e \x80");
    cp1252.replace(cp1252.find("Edu"), 3, "\xC9tudes");
    const struct {
        const char* what;
        std::string bytes;
        std::string task;
        std::string covariate2;
    } cases[] = {
        {"UTF-8 as written", written, utf8, "Edu"},
        {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF" + written, utf8, "Edu"},
        {"Windows-1252", cp1252, "Gr\xC3\xB6\xC3\x9F" "e \xE2\x82\xAC", "\xC3\x89tudes"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteRaw(c.bytes);
        WorksheetData d;
        ASSERT_EQ(Read(d), DataFileResult::Ok);
        EXPECT_EQ(d.Cell(0, NameColumn), c.task);
        EXPECT_EQ(d.Cell(2, NameColumn), c.covariate2);
        EXPECT_EQ(d.fields[CovariatesField], "2");
        EXPECT_EQ(d.Cell(2, MeanColumn), "12.50");
        EXPECT_DOUBLE_EQ(d.StoredCorrelations[2][3], -0.25);
    }
}

// A damaged file: "Invalid numeric input", what was read before stays.
TEST_F(DataFile, BadCovariateCountsStopAfterTheFields)
{
    for (const char* count : {"50", "-3", "1e9", "2.5", "20", "abc"}) {
        WriteRaw(std::string(count) + "\r\n30\r\nTask\r\n1\r\n1\r\n1\r\n");
        WorksheetData d;
        d.fields[1] = "kept";
        DataFileResult r = ReadDataFile(path, d);
        EXPECT_EQ(r.status, DataFileResult::InvalidNumber) << count;
        EXPECT_EQ(r.message, "Invalid numeric input");
        EXPECT_EQ(d.fields[1], std::string(count) == "abc" ? "kept" : "30") << count;
        EXPECT_EQ(d.GridRows, StartGridRows) << count;
        EXPECT_EQ(d.Cell(0, NameColumn), "") << count;
    }
    WriteRaw("19\r\n30\r\n");  // the largest count the correlations hold: read on, then short
    WorksheetData d;
    EXPECT_EQ(Read(d), DataFileResult::InvalidNumber);
    EXPECT_EQ(d.GridRows, 20);
    WriteRaw("");
    EXPECT_EQ(Read(d), DataFileResult::InvalidNumber);
}

TEST_F(DataFile, ShortFileOrBadNumberKeepsWhatWasReadBefore)
{
    WriteRaw(kFile.substr(0, kFile.find("10\r\n45\r\n")));  // cut before Age's SD
    WorksheetData shortGrid;
    EXPECT_EQ(Read(shortGrid), DataFileResult::InvalidNumber);
    EXPECT_EQ(shortGrid.GridRows, 3);
    EXPECT_EQ(shortGrid.Cell(1, MeanColumn), "40.5");
    EXPECT_EQ(shortGrid.Cell(1, SDColumn), "");
    EXPECT_EQ(shortGrid.StoredCorrelations[1][2], 0.0);

    std::string text = kFile;
    text.replace(text.find("0.300"), 5, "0.3x0");
    WriteRaw(text);
    WorksheetData badTriangle;
    EXPECT_EQ(Read(badTriangle), DataFileResult::InvalidNumber);
    EXPECT_DOUBLE_EQ(badTriangle.StoredCorrelations[1][2], 0.457);
    EXPECT_EQ(badTriangle.StoredCorrelations[1][3], 0.0);
    EXPECT_EQ(badTriangle.StoredCorrelations[3][3], 1.0);

    for (const char* hostile : {"nan", "inf", "1e400", "0x10"}) {
        text = kFile;
        text.replace(text.find("0.457"), 5, hostile);
        WriteRaw(text);
        WorksheetData h;
        EXPECT_EQ(Read(h), DataFileResult::InvalidNumber) << hostile;
    }
}

TEST_F(DataFile, LongLinesAndBinaryGarbageNeverCrashOrHang)
{
    std::string text = kFile;
    text.replace(text.find("Age yrs"), 7, std::string(200000, 'A'));
    WriteRaw(text);
    WorksheetData d;
    ASSERT_EQ(Read(d), DataFileResult::Ok);
    EXPECT_EQ(d.Cell(1, NameColumn), std::string(1000, 'A'));
    EXPECT_EQ(d.Cell(1, MeanColumn), "40.5");
    WriteRaw(std::string(5000000, '7'));  // one endless number
    EXPECT_EQ(Read(d), DataFileResult::InvalidNumber);

    std::mt19937 random(12345);
    for (int round = 0; round < 200; ++round) {
        std::string bytes(random() % 3000, '\0');
        for (char& b : bytes) b = static_cast<char>(random() % 256);
        if (round % 2 == 0) bytes = "1\r\n5\r\n" + bytes;  // into the grid and the triangle
        WriteRaw(bytes);
        WorksheetData g;
        EXPECT_NE(Read(g), DataFileResult::FileError);
        EXPECT_LE(g.GridRows, StoredCorrelationsCapacity);
    }
}

}  // namespace
