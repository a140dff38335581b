// The previous-data file: exact content, round trips, safe replacement and
// damaged or hostile files.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include "entry/comma_locale.h"
#include "worksheet/data_file.h"

namespace {

class DataFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/harrow-data-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        path = DataFilePath(folder);
    }
    void TearDown() override { std::system(("rm -rf '" + folder + "'").c_str()); }

    std::string Contents() const
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    void WriteRaw(const std::string& bytes) const
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    int FilesInFolder() const
    {
        int n = 0;
        DIR* d = opendir(folder.c_str());
        while (dirent* e = readdir(d))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") ++n;
        closedir(d);
        return n;
    }

    // Two covariates, as a user would leave them.
    static WorksheetData TwoCovariates()
    {
        WorksheetData d;
        d.fields[0] = "2";
        d.fields[1] = "025";
        const char* rows[3][4] = {{"Task", "100", "15", "70"},
                                  {"Age yrs", "40.5", "10", "45"},
                                  {"Edu", "12.50", "3", "-10"}};
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 4; ++c) d.Cell(r, c + 1) = rows[r][c];
        d.SetGridRows(3);
        auto& s = d.StoredCorrelations;
        s[1][2] = s[2][1] = 0.4567;
        s[1][3] = s[3][1] = 0.3;
        s[2][3] = s[3][2] = -0.25;
        return d;
    }

    static const std::string& TwoCovariatesFile()
    {
        static const std::string text =
            "2\r\n025\r\n"
            "Task\r\n100\r\n15\r\n70\r\n"
            "Age yrs\r\n40.5\r\n10\r\n45\r\n"
            "Edu\r\n12.50\r\n3\r\n-10\r\n"
            "1.000\r\n0.457\r\n1.000\r\n0.300\r\n-0.250\r\n1.000\r\n";
        return text;
    }

    std::string folder;
    std::string path;
};

TEST_F(DataFile, PathIsTheFolderAndTheFileName)
{
    EXPECT_EQ(DataFilePath("/opt/harrow"), "/opt/harrow/Harrow.txt");
    EXPECT_EQ(DataFilePath("/"), "/Harrow.txt");
    EXPECT_EQ(DataFilePath(""), "Harrow.txt");
}

TEST_F(DataFile, TwoCovariatesGiveTwentyLinesAsTyped)
{
    DataFileResult r = WriteDataFile(path, TwoCovariates(), 3);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(Contents(), TwoCovariatesFile());
    EXPECT_EQ(FilesInFolder(), 1);  // no temporary file left behind
}

TEST_F(DataFile, RoundTripKeepsTextsAndThreeDecimalCorrelations)
{
    ASSERT_TRUE(WriteDataFile(path, TwoCovariates(), 3).ok());
    WorksheetData d;
    DataFileResult r = ReadDataFile(path, d);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(d.fields[0], "2");
    EXPECT_EQ(d.fields[1], "25");  // fields come back as numbers
    EXPECT_EQ(d.GridRows, 3);
    WorksheetData typed = TwoCovariates();
    for (int row = 0; row < 3; ++row)
        for (int c = NameColumn; c < GridColumns; ++c) EXPECT_EQ(d.Cell(row, c), typed.Cell(row, c));
    auto& s = d.StoredCorrelations;
    EXPECT_DOUBLE_EQ(s[1][2], 0.457);
    EXPECT_DOUBLE_EQ(s[1][3], 0.3);
    EXPECT_DOUBLE_EQ(s[2][3], -0.25);
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(s[i][i], 1.0);
    EXPECT_DOUBLE_EQ(s[2][1], 0.457);  // both triangles alike
    EXPECT_DOUBLE_EQ(s[3][2], -0.25);

    // Written again, the file is the same.
    std::string first = Contents();
    d.fields[1] = "025";
    ASSERT_TRUE(WriteDataFile(path, d, 3).ok());
    EXPECT_EQ(Contents(), first);
}

TEST_F(DataFile, DiagonalIsOneWhateverTheFileHolds)
{
    WriteRaw("1\r\n10\r\nT\r\n1\r\n1\r\n1\r\nC\r\n1\r\n1\r\n1\r\n0.7\r\n0.2\r\n5\r\n");
    WorksheetData d;
    ASSERT_TRUE(ReadDataFile(path, d).ok());
    EXPECT_EQ(d.StoredCorrelations[1][1], 1.0);
    EXPECT_EQ(d.StoredCorrelations[2][2], 1.0);
    EXPECT_DOUBLE_EQ(d.StoredCorrelations[1][2], 0.2);
}

TEST_F(DataFile, CovariateTextNotAPlainWholeNumberStillReadsBack)
{
    WorksheetData typed = TwoCovariates();
    typed.fields[0] = "2.0";
    typed.SetGridRows(5);  // the grid did not follow the field
    ASSERT_TRUE(WriteDataFile(path, typed, 3).ok());
    std::string expected = TwoCovariatesFile();
    expected.replace(0, 1, "2.0");
    EXPECT_EQ(Contents(), expected);
    WorksheetData d;
    ASSERT_TRUE(ReadDataFile(path, d).ok());
    EXPECT_EQ(d.fields[0], "2");
    EXPECT_EQ(d.Cell(2, ScoreColumn), "-10");
}

TEST_F(DataFile, LineBreaksInsideATextDoNotShiftTheFile)
{
    WorksheetData typed = TwoCovariates();
    typed.Cell(1, NameColumn) = "Age\r\nyrs";
    ASSERT_TRUE(WriteDataFile(path, typed, 3).ok());
    WorksheetData d;
    ASSERT_TRUE(ReadDataFile(path, d).ok());
    EXPECT_EQ(d.Cell(1, NameColumn), "Age  yrs");
    EXPECT_EQ(d.Cell(1, MeanColumn), "40.5");
}

TEST_F(DataFile, NumbersUseADecimalPointInACommaLocale)
{
    REQUIRE_COMMA_LOCALE(german);
    ASSERT_TRUE(WriteDataFile(path, TwoCovariates(), 3).ok());
    EXPECT_EQ(Contents(), TwoCovariatesFile());
    WriteRaw("2.5e0\r\n30\r\n");
    WorksheetData d;
    ReadDataFile(path, d);
    EXPECT_EQ(d.fields[0], "2.5");
}

TEST_F(DataFile, FailedWriteKeepsTheOldFile)
{
    WriteRaw("old contents\r\n");
    // Files may grow to 10 bytes only: the write fails half-way.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 10;
    setrlimit(RLIMIT_FSIZE, &small);
    DataFileResult r = WriteDataFile(path, TwoCovariates(), 3);
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(r.status, DataFileResult::FileError);
    EXPECT_NE(r.message.find(path), std::string::npos) << r.message;
    EXPECT_NE(r.message.find("File too large"), std::string::npos) << r.message;
    EXPECT_EQ(Contents(), "old contents\r\n");
    EXPECT_EQ(FilesInFolder(), 1);
}

TEST_F(DataFile, UnwritableFolderIsReportedWithTheSystemsReason)
{
    DataFileResult r = WriteDataFile(folder + "/no such folder/Harrow.txt", TwoCovariates(), 3);
    EXPECT_EQ(r.status, DataFileResult::FileError);
    EXPECT_NE(r.message.find("No such file or directory"), std::string::npos) << r.message;
    if (geteuid() != 0) {  // permissions do not stop root
        chmod(folder.c_str(), 0555);
        r = WriteDataFile(path, TwoCovariates(), 3);
        chmod(folder.c_str(), 0755);
        EXPECT_EQ(r.status, DataFileResult::FileError);
        EXPECT_NE(r.message.find("Permission denied"), std::string::npos) << r.message;
    }
}

TEST_F(DataFile, MissingFileLeavesTheDataAloneAndLoadWritesDefaultNames)
{
    WorksheetData d;
    d.fields[0] = "3";
    EXPECT_EQ(ReadDataFile(path, d).status, DataFileResult::Missing);
    EXPECT_EQ(d.fields[0], "3");
    d.PreviousDataLoaded = true;
    EXPECT_EQ(LoadPreviousData(path, d).status, DataFileResult::Missing);
    EXPECT_FALSE(d.PreviousDataLoaded);
    EXPECT_EQ(d.Cell(0, NameColumn), "Task");
    EXPECT_EQ(d.Cell(6, NameColumn), "Cov 6");
}

TEST_F(DataFile, LoadSetsPreviousDataLoadedOnlyForASoundFile)
{
    WriteRaw(TwoCovariatesFile());
    WorksheetData d;
    ASSERT_TRUE(LoadPreviousData(path, d).ok());
    EXPECT_TRUE(d.PreviousDataLoaded);
    EXPECT_EQ(d.Cell(0, NameColumn), "Task");
    EXPECT_EQ(d.Cell(3, NameColumn), "");  // no default names over a file

    WriteRaw("x\r\n");
    WorksheetData bad;
    EXPECT_EQ(LoadPreviousData(path, bad).status, DataFileResult::InvalidNumber);
    EXPECT_FALSE(bad.PreviousDataLoaded);
}

TEST_F(DataFile, DeleteRemovesTheFileAndIgnoresAMissingOne)
{
    WriteRaw("1\r\n");
    EXPECT_TRUE(DeleteDataFile(path).ok());
    EXPECT_EQ(FilesInFolder(), 0);
    EXPECT_TRUE(DeleteDataFile(path).ok());
}

TEST_F(DataFile, LaxLineEndsAndNoFinalLineEndAreRead)
{
    std::string text = TwoCovariatesFile();
    std::string lf;
    for (char ch : text)
        if (ch != '\r') lf += ch;
    lf.pop_back();
    WriteRaw(lf);
    WorksheetData d;
    ASSERT_TRUE(ReadDataFile(path, d).ok());
    EXPECT_EQ(d.Cell(2, NameColumn), "Edu");
    EXPECT_EQ(d.StoredCorrelations[3][3], 1.0);
    EXPECT_DOUBLE_EQ(d.StoredCorrelations[2][3], -0.25);
}

// A damaged file: "Invalid numeric input", what was read before stays.
TEST_F(DataFile, BadCovariateCountsStopAfterTheFields)
{
    for (const char* count : {"50", "-3", "1e9", "2.5", "20"}) {
        WriteRaw(std::string(count) + "\r\n30\r\nTask\r\n1\r\n1\r\n1\r\n");
        WorksheetData d;
        DataFileResult r = ReadDataFile(path, d);
        EXPECT_EQ(r.status, DataFileResult::InvalidNumber) << count;
        EXPECT_EQ(r.message, "Invalid numeric input");
        EXPECT_EQ(d.fields[1], "30") << count;
        EXPECT_EQ(d.GridRows, StartGridRows) << count;
        EXPECT_EQ(d.Cell(0, NameColumn), "") << count;
    }
    WriteRaw("19\r\n30\r\n");  // the largest count the correlations can hold: reads on, then runs short
    WorksheetData d;
    EXPECT_EQ(ReadDataFile(path, d).status, DataFileResult::InvalidNumber);
    EXPECT_EQ(d.GridRows, 20);
}

TEST_F(DataFile, BadOrMissingNumbersKeepWhatWasReadBefore)
{
    WriteRaw("abc\r\n30\r\n");
    WorksheetData d;
    d.fields[0] = "kept";
    EXPECT_EQ(ReadDataFile(path, d).status, DataFileResult::InvalidNumber);
    EXPECT_EQ(d.fields[0], "kept");

    WriteRaw("");
    EXPECT_EQ(ReadDataFile(path, d).status, DataFileResult::InvalidNumber);

    // Short in the grid: the rows up to the cut are there.
    const std::string& full = TwoCovariatesFile();
    std::size_t cut = full.find("10\r\n45\r\n");  // Age's SD
    WriteRaw(full.substr(0, cut));
    WorksheetData shortGrid;
    EXPECT_EQ(ReadDataFile(path, shortGrid).status, DataFileResult::InvalidNumber);
    EXPECT_EQ(shortGrid.GridRows, 3);
    EXPECT_EQ(shortGrid.Cell(1, MeanColumn), "40.5");
    EXPECT_EQ(shortGrid.Cell(1, SDColumn), "");
    EXPECT_EQ(shortGrid.StoredCorrelations[1][2], 0.0);

    // Bad number in the triangle: earlier values are in, later ones not.
    std::string text = full;
    text.replace(text.find("0.300"), 5, "0.3x0");
    WriteRaw(text);
    WorksheetData badTriangle;
    EXPECT_EQ(ReadDataFile(path, badTriangle).status, DataFileResult::InvalidNumber);
    EXPECT_DOUBLE_EQ(badTriangle.StoredCorrelations[1][2], 0.457);
    EXPECT_EQ(badTriangle.StoredCorrelations[1][3], 0.0);
    EXPECT_EQ(badTriangle.StoredCorrelations[2][3], 0.0);
    EXPECT_EQ(badTriangle.StoredCorrelations[3][3], 1.0);  // start-up identity, untouched

    for (const char* hostile : {"nan", "inf", "1e400", "0x10"}) {
        text = full;
        text.replace(text.find("0.457"), 5, hostile);
        WriteRaw(text);
        WorksheetData h;
        EXPECT_EQ(ReadDataFile(path, h).status, DataFileResult::InvalidNumber) << hostile;
    }
}

TEST_F(DataFile, LongLinesAreCutAndReadingGoesOn)
{
    std::string text = TwoCovariatesFile();
    text.replace(text.find("Age yrs"), 7, std::string(200000, 'A'));
    WriteRaw(text);
    WorksheetData d;
    ASSERT_TRUE(ReadDataFile(path, d).ok());
    EXPECT_EQ(d.Cell(1, NameColumn), std::string(1000, 'A'));
    EXPECT_EQ(d.Cell(1, MeanColumn), "40.5");

    WriteRaw(std::string(5000000, '7'));  // one endless number
    EXPECT_EQ(ReadDataFile(path, d).status, DataFileResult::InvalidNumber);
}

TEST_F(DataFile, BinaryGarbageNeverCrashes)
{
    std::mt19937 random(12345);
    for (int round = 0; round < 200; ++round) {
        std::string bytes(random() % 3000, '\0');
        for (char& b : bytes) b = static_cast<char>(random() % 256);
        if (round % 2 == 0) bytes = "1\r\n5\r\n" + bytes;  // get into the grid and the triangle
        WriteRaw(bytes);
        WorksheetData d;
        DataFileResult r = ReadDataFile(path, d);
        EXPECT_NE(r.status, DataFileResult::FileError);
        EXPECT_GE(d.GridRows, 1);
        EXPECT_LE(d.GridRows, StoredCorrelationsCapacity);
    }
}

TEST_F(DataFile, AFolderInPlaceOfTheFileIsAFileError)
{
    ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
    WorksheetData d;
    DataFileResult r = ReadDataFile(path, d);
    EXPECT_EQ(r.status, DataFileResult::FileError);
    EXPECT_NE(r.message.find("Is a directory"), std::string::npos) << r.message;
    r = LoadPreviousData(path, d);
    EXPECT_FALSE(d.PreviousDataLoaded);
    EXPECT_EQ(d.Cell(0, NameColumn), "Task");
}

}  // namespace
