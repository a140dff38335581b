// Raw control data: the statistics against an independent computation, the
// same data in every file format, missing values both ways, and every
// refusal by its message.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>

#include "tests/support/recording_messages.h"
#include "analysis/run/compute_checks.h"
#include "analysis/raw_data/raw_data_analysis.h"
#include "analysis/raw_data/raw_data_reader.h"
#include "foundation/messages.h"
#include "tests/support/readstat_writer.h"
#include "tests/support/temp_folder.h"

using platform::MessageKind;

namespace {

namespace fs = std::filesystem;

// The file read and summarised, with the messages shown on the way.
struct Outcome {
    bool ok = false;
    RawSummary summary;
    std::vector<platform::RecordingMessages::Entry> shown;
    // The one message shown, which must be an error.
    std::string Error() const
    {
        if (shown.size() != 1 || shown[0].kind != MessageKind::Error) return std::to_string(shown.size()) + " messages";
        return shown[0].text;
    }
};

Outcome Summarise(const std::string& path, const RawDataChoice& choice, const RawReadLimits& limits = {})
{
    platform::RecordingMessages messages;
    platform::ScopedMessages scoped(messages);
    Outcome outcome;
    RawDataTable table;
    outcome.ok = LoadRawDataFile(path, table, limits) && SummariseRawData(table, choice, outcome.summary);
    outcome.shown = messages.shown;
    return outcome;
}

void ExpectRelative(long double actual, long double expected, const std::string& what)
{
    EXPECT_LE(std::fabs(actual - expected), 1e-12L * std::fabs(expected)) << what << ": " << static_cast<double>(actual)
                                                                            << " vs " << static_cast<double>(expected);
}

// Known values, from exact sums (square roots to 20 digits). The second set,
// means near 1e6 with SDs near 1e-2, loses its digits to a one-pass sum of
// squares.
TEST(RawStatistics, KnownMeansSdsAndCorrelations)
{
    const struct {
        const char* name;
        std::string rows;
        long double means[4], sds[4];
        long double r[6];  // r12, r13, r14, r23, r24, r34
    } cases[] = {
        {"ordinary scores", "50,12,70,3\n62,14,65,2.5\n47,11,72,4\n55,13,68,3.5\n41,9,75,1\n58,15,61,2\n53,10,66,4.5\n",
         {52.285714285714285714L, 12, 68.142857142857142857L, 2.9285714285714285714L},
         {7.0169861933806908478L, 2.1602468994692867437L, 4.6700667885506530006L, 1.2051476890327394147L},
         {0.84661403198206924724L, -0.89150043348184259022L, 0.18019377730891329175L, -0.79298232054610773418L,
          -0.096027659949671980256L, -0.13114418529603366422L}},
        {"means near 1e6, SDs near 1e-2, negative and mixed scales",
         "1000000.0078125,-248.5,400000.125,999999.5078125\n999999.984375,-252.25,399999.875,999999.4921875\n"
         "1000000.0234375,-249.25,400000.5,999999.515625\n1000000,-247,400000,999999.5\n"
         "1000000.01171875,-251,399999.75,999999.48828125\n999999.99609375,-249.5,400000.25,999999.50390625\n"
         "1000000.015625,-250.75,400000.375,999999.49609375\n",
         {1000000.0055803571429L, -249.75L, 400000.125L, 999999.50055803571429L},
         {0.013122741089625945327L, 1.7440374613713624777L, 0.27003086243366084296L, 0.0094152163205682766774L},
         {0.21334854144971393543L, 0.55117825460955041178L, 0.42342686404239703691L, 0.25436502424219006862L,
          0.57489783702688426820L, 0.76822127959737584205L}},
    };
    TempFolder files;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome o = Summarise(files.Write("data.csv", "v1,v2,v3,v4\n" + c.rows), {"v1", {"v2", "v3", "v4"}});
        ASSERT_TRUE(o.ok) << o.Error();
        const RawSummary& s = o.summary;
        EXPECT_EQ(s.N, 7);
        for (int j = 1, pair = 0; j <= 4; ++j) {
            ExpectRelative(s.means[j], c.means[j - 1], "mean " + std::to_string(j));
            ExpectRelative(s.sds[j], c.sds[j - 1], "SD " + std::to_string(j));
            EXPECT_EQ(s.corr[j][j], 1.0L);
            for (int l = j + 1; l <= 4; ++l, ++pair) {
                ExpectRelative(s.corr[j][l], c.r[pair], "r " + std::to_string(j) + std::to_string(l));
                EXPECT_EQ(s.corr[l][j], s.corr[j][l]);
            }
        }
    }
}

bool SameSummary(const RawSummary& a, const RawSummary& b)
{
    bool same = a.N == b.N && a.k == b.k && a.dropped == b.dropped && a.names == b.names;
    for (int i = 1; i <= a.p(); ++i) {
        same = same && a.means[i] == b.means[i] && a.sds[i] == b.sds[i];
        for (int j = 1; j <= a.p(); ++j) same = same && a.corr[i][j] == b.corr[i][j];
    }
    return same;
}

// One data set in every format, with missing values of every kind: row 3
// lacks "educ" (empty cell, system-missing, Stata "."), row 5 lacks "age"
// (empty cell, the SPSS user-defined missing value 999, Stata ".a").
TEST(RawDataFiles, EveryFormatGivesTheSameStatisticsAndMissingValuesBothWays)
{
    const std::string comma = "score,age,educ\r\n31.5,61,12\r\n28.25,70,10\r\n35,58,\r\n22.75,77,9\r\n30,,13\r\n"
                              "26.5,66,11\r\n33,59,16\r\n29.125,72,12\r\n24,80,8\r\n";
    std::string semicolon = comma;
    for (char& ch : semicolon) ch = ch == ',' ? ';' : ch == '.' ? ',' : ch;
    const std::vector<ReadstatColumn> sav = {
        {"score", {31.5, 28.25, 35, 22.75, 30, 26.5, 33, 29.125, 24}, {}, {}},
        {"age", {61, 70, 58, 77, 999, 66, 59, 72, 80}, {}, {999}},
        {"educ", {12, 10, SystemMissing, 9, 13, 11, 16, 12, 8}, {}, {}},
        {"group", {}, {"a", "b", "a", "b", "a", "b", "a", "b", "a"}, {}}};
    std::vector<ReadstatColumn> dta = sav;
    dta[1].numbers[4] = TaggedMissing;
    dta[1].userMissing.clear();

    TempFolder files;
    struct Format {
        std::string path;
        const char* rows;  // the refusal's naming of rows 3 and 5
    } formats[] = {
        {files.Write("comma.csv", comma), "lines 4 and 6"},
        {files.Write("semicolon.csv", semicolon), "lines 4 and 6"},
        {files.Path("spss.sav"), "cases 3 and 5"},
        {files.Path("spss.zsav"), "cases 3 and 5"},
        {files.Path("stata.dta"), "cases 3 and 5"},
    };
    WriteReadstatFile(formats[2].path, ReadstatKind::Sav, sav);
    WriteReadstatFile(formats[3].path, ReadstatKind::Zsav, sav);
    WriteReadstatFile(formats[4].path, ReadstatKind::Dta, dta);

    RawSummary first;
    for (const Format& f : formats) {
        SCOPED_TRACE(f.path);
        Outcome r = Summarise(f.path, {"score", {"age", "educ"}});
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.Error(), "2 controls have no value for one or more of the chosen variables (" + std::string(f.rows) +
                                 " of \"" + fs::path(f.path).filename().string() +
                                 "\"): complete them, or leave out incomplete controls.");
        r = Summarise(f.path, {"SCORE", {" Age ", "educ"}, true});
        ASSERT_TRUE(r.ok) << r.Error();
        EXPECT_TRUE(r.shown.empty());
        EXPECT_EQ(r.summary.N, 7);
        EXPECT_EQ(r.summary.dropped, 2);
        EXPECT_EQ(r.summary.names, (std::vector<std::string>{"score", "age", "educ"}));
        if (first.N == 0) first = r.summary;
        EXPECT_TRUE(SameSummary(r.summary, first));
        // Each variable by itself: educ's one gap is refused, age's is left out.
        EXPECT_FALSE(Summarise(f.path, {"score", {"educ"}}).ok);
        EXPECT_EQ(Summarise(f.path, {"score", {"age"}, true}).summary.dropped, 1);
    }
    // The same statistics as the complete controls written alone.
    std::string complete = comma;
    for (const char* incomplete : {"35,58,\r\n", "30,,13\r\n"})
        complete.erase(complete.find(incomplete), std::strlen(incomplete));
    const Outcome r = Summarise(files.Write("complete.csv", complete), {"score", {"age", "educ"}});
    ASSERT_TRUE(r.ok) << r.Error();
    RawSummary s = r.summary;
    EXPECT_EQ(s.dropped, 0);
    s.dropped = 2;
    s.fileName = first.fileName;
    EXPECT_TRUE(SameSummary(s, first));
}

TEST(RawDataFiles, TheExampleFilesHoldTheSameData)
{
    const std::string folder = HARROW_EXAMPLES_DIR;
    RawSummary csv;
    for (const char* name : {"raw-controls.csv", "raw-controls.sav", "raw-controls.dta"}) {
        SCOPED_TRACE(name);
        const Outcome r = Summarise(folder + "/" + name, {"memory", {"age", "education"}, true});
        ASSERT_TRUE(r.ok) << r.Error();
        EXPECT_EQ(r.summary.N, 29);
        EXPECT_EQ(r.summary.dropped, 1);
        if (csv.N == 0) csv = r.summary;
        EXPECT_TRUE(SameSummary(r.summary, csv));
    }
}

struct Refusal {
    const char* name;
    std::string csv;
    RawDataChoice choice;
    std::string message;
};

TEST(RawDataRefusals, EachShowsItsMessage)
{
    const std::string good = "id,a,b,c,d,e,f,g\n";
    std::string rows;
    for (int r = 0; r < 9; ++r)
        rows += "P" + std::to_string(r) + "," + std::to_string(r % 4) + "," + std::to_string(r * r % 7) + "," +
                std::to_string(r % 3) + "," + std::to_string((r * 5) % 8) + "," + std::to_string(r * r % 5) + "," +
                std::to_string((r * 3) % 7) + "," + std::to_string(r % 2) + "\n";
    const Refusal cases[] = {
        {"six covariates", good + rows, {"a", {"b", "c", "d", "e", "f", "g"}},
         "Choose from 0 to 5 covariates (6 were chosen)."},
        {"no task", good + rows, {" ", {"b"}}, "Choose the task of interest."},
        {"unknown name", good + rows, {"a", {"b", "zz"}},
         "There is no variable \"zz\" in \"data.csv\". Its numeric variables: \"a\", \"b\", \"c\", \"d\", \"e\", "
         "\"f\", \"g\"."},
        {"name twice in the file", "a,b,B\n1,2,3\n", {"a", {"b"}},
         "More than one variable of \"data.csv\" is named \"b\": rename all but one."},
        {"text column", good + rows, {"a", {"id"}},
         "The variable \"id\" in \"data.csv\" is not numeric (line 2 holds \"P0\")."},
        {"chosen twice", good + rows, {"a", {"b", "A"}}, "The variable \"a\" is chosen twice."},
        {"one incomplete control", "a,b\n1,2\n2,\n3,1\n", {"a", {"b"}},
         "1 control has no value for one or more of the chosen variables (line 3 of \"data.csv\"): complete it, "
         "or leave out incomplete controls."},
        {"many incomplete controls", "a,b\n,1\n,2\n,3\n,4\n,5\n,6\n,7\n1,2\n", {"a", {"b"}},
         "7 controls have no value for one or more of the chosen variables (lines 2, 3, 4, 5, 6 and 2 more of "
         "\"data.csv\"): complete them, or leave out incomplete controls."},
        {"N below 3", "a,b\n1,2\n2,\n3,1\n", {"a", {"b"}, true},
         "\"data.csv\" has only 2 controls with a value for every chosen variable (1 incomplete left out): the "
         "analysis needs at least 3."},
        {"every control incomplete", "a,b\n1,\n,2\n", {"a", {"b"}, true},
         "\"data.csv\" has no control with a value for every chosen variable (2 incomplete left out): the analysis "
         "needs at least 3."},
        {"k too large for N", "a,b,c,d\n1,2,3,4\n2,1,4,3\n3,3,1,1\n4,5,2,9\n", {"a", {"b", "c", "d"}},
         " With a control sample size of  4, the maximum number of covariates is  2 "},
        {"no spread", "a,b\n1,2\n2,2\n3,2\n4,2\n", {"a", {"b"}},
         "The variable \"b\" has the same value for every control: a variable without spread cannot be analysed."},
        {"extra fields", "a,b\n1,2\n2,3,4\n", {"a", {"b"}},
         "\"data.csv\": line 3 has 3 fields, but the header row names 2 columns"},
        {"header only", "a,b\n", {"a", {"b"}}, "\"data.csv\" holds no controls: the analysis needs at least 3."},
        {"a variable that follows from others", "a,b,c,d\n1,4,5,1\n2,1,3,0\n3,5,8,2\n4,2,6,1\n5,7,12,3\n",
         {"a", {"d", "b", "c"}},
         "Analysis cannot proceed as the correlation matrix of the chosen variables is not positive definite: "
         "\"c\" is linearly dependent on \"a\" and \"b\" (its values follow from theirs). Drop one of these "
         "variables."},
    };
    TempFolder files;
    for (const Refusal& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome r = Summarise(files.Write("data.csv", c.csv), c.choice);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.Error(), c.message);
    }
}

TEST(RawDataRefusals, DamagedMissingOrTooLargeFiles)
{
    TempFolder files;
    const std::vector<ReadstatColumn> good = {{"a", {1, 2, 3, 4}, {}, {}}, {"b", {4, 1, 3, 2}, {}, {}}};
    WriteReadstatFile(files.Path("good.sav"), ReadstatKind::Sav, good);
    WriteReadstatFile(files.Path("good.dta"), ReadstatKind::Dta, good);
    const std::string sav = TempFolder::Read(files.Path("good.sav")), dta = TempFolder::Read(files.Path("good.dta"));
    fs::create_directories(files.Path("folder.csv"));
    RawReadLimits small, narrow, few, tiny;
    small.rows = 3, narrow.columns = 1, few.numbers = 7, tiny.bytes = 10;
    struct FileRefusal {
        const char* name;
        std::string path;
        RawReadLimits limits;
        std::string message;
    } cases[] = {
        {"no file", files.Path("none.csv"), {}, "Cannot read \"none.csv\": No such file or directory"},
        {"a folder", files.Path("folder.csv"), {}, "Cannot read \"folder.csv\": It is a directory, not a regular file."},
        {"empty", files.Write("empty.sav", ""), {}, "\"empty.sav\" is empty."},
        {"not SPSS", files.Write("text.sav", "a,b\n1,2\n"), {},
         "Cannot read \"text.sav\" as an SPSS data file: "},
        {"cut SPSS", files.Write("cut.sav", sav.substr(0, sav.size() / 2)), {},
         "Cannot read \"cut.sav\" as an SPSS data file: "},
        {"cut Stata", files.Write("cut.dta", dta.substr(0, dta.size() / 2)), {},
         "Cannot read \"cut.dta\" as a Stata data file: "},
        {"SPSS rows", files.Path("good.sav"), small, "\"good.sav\" is too large: Harrow reads at most 3 rows of raw data."},
        {"Stata columns", files.Path("good.dta"), narrow,
         "\"good.dta\" is too large: Harrow reads at most 1 columns of raw data."},
        {"SPSS numbers", files.Path("good.sav"), few,
         "\"good.sav\" is too large: Harrow reads at most 7 numbers of raw data."},
        {"CSV rows", files.Write("rows.csv", "a,b\n1,2\n2,1\n3,3\n4,4\n"), small,
         "\"rows.csv\" is too large: Harrow reads at most 3 rows of raw data."},
        {"CSV numbers", files.Write("numbers.csv", "a,b\n1,2\n2,1\n3,3\n4,4\n"), few,
         "\"numbers.csv\" is too large: Harrow reads at most 7 numbers of raw data."},
        {"bytes", files.Path("good.sav"), tiny,
         "\"good.sav\" is too large: Harrow reads files of at most 10 bytes of raw data."},
        {"no header row", files.Write("blank.csv", "\n\n"), {},
         "\"" + files.Path("blank.csv") + "\": the file is empty"},
    };
    for (const FileRefusal& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome r = Summarise(c.path, {"a", {"b"}}, c.limits);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.Error().substr(0, c.message.size()), c.message);
    }
}

TEST(RawDataFiles, FormatByContentThenExtension)
{
    EXPECT_EQ(DetectRawFileFormat("x.csv", "$FL2@(#) SPSS"), RawFileFormat::Spss);
    EXPECT_EQ(DetectRawFileFormat("x", "$FL3@(#)"), RawFileFormat::Spss);
    EXPECT_EQ(DetectRawFileFormat("x.txt", "<stata_dta><header>"), RawFileFormat::Stata);
    EXPECT_EQ(DetectRawFileFormat("dir.sav/x.DTA", "q\x02\x01"), RawFileFormat::Stata);
    EXPECT_EQ(DetectRawFileFormat("x.ZSAV", "garbage"), RawFileFormat::Spss);
    EXPECT_EQ(DetectRawFileFormat("dir.sav/x", "a,b"), RawFileFormat::Csv);
}

TEST(RawDataAnalysis, OverviewAndSourceLine)
{
    TempFolder files;
    platform::RecordingMessages messages;
    platform::ScopedMessages scoped(messages);
    RawDataTable table;
    ASSERT_TRUE(LoadRawDataFile(files.Write("o.csv", "id;x;y\nA;1,5;\nB;2,5;4\nC;;6\n"), table));
    std::vector<RawVariableOverview> list = NumericVariables(table);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].name, "x");
    EXPECT_EQ(list[0].count, 2);
    EXPECT_EQ(list[0].mean, 2.0L);
    EXPECT_EQ(list[1].count, 2);
    EXPECT_EQ(list[1].mean, 5.0L);

    RawSummary s;
    s.fileName = "o.csv";
    s.N = 28;
    s.dropped = 1;
    EXPECT_EQ(RawDataSourceLine(s),
              " Summary statistics computed from raw data: \"o.csv\", N = 28 controls, 1 incomplete control left out");
    s.dropped = 0;
    EXPECT_EQ(RawDataSourceLine(s),
              " Summary statistics computed from raw data: \"o.csv\", N = 28 controls, 0 incomplete controls left out");
}

}  // namespace
