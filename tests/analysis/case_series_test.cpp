// The cases file (matching columns to variables, refusing files and rows)
// and the parts of a series that need no Monte Carlo run: rows refused before
// the engine, the output's keys and quoting, cancelling.
#include "analysis/case_series/case_series.h"

#include <gtest/gtest.h>

#include <cstring>

#include "analysis/files/csv_table.h"
#include "analysis/worksheet/input_rules.h"
#include "foundation/c_locale_format.h"

namespace {

const std::vector<std::string> kNames{"Task", "Educ", "Age"};

// "line label: s1 s2 s3" or "line label! error", one per case, joined by " / ".
std::string Render(const std::vector<SeriesCase>& cases, std::size_t variables)
{
    std::string s;
    for (const SeriesCase& c : cases) {
        s += (s.empty() ? "" : " / ") + std::to_string(c.line) + " " + c.label;
        if (!c.error.empty()) {
            s += "! " + c.error;
            continue;
        }
        s += ":";
        for (std::size_t i = 1; i <= variables; ++i) s += " " + FormatC("%.21Lg", c.scores[i]);
    }
    return s;
}

struct CasesFileCase {
    const char* what;
    std::string text;
    std::string expected;  // Render() of the cases, or the file's refusal
    std::vector<std::string> names = kNames;
};

TEST(CasesFileTest, MatchesColumnsByNameAndRefusesFilesAndRows)
{
    // The worksheet's own conversion is what a single run uses; the cases
    // file must give the same bits in both files' forms.
    const std::string typed = "2 A: " + FormatC("%.21Lg", ParseNumber("0.123456789"));
    const CasesFileCase cases[] = {
        {"a point", "case,Task\nA,0.123456789\n", typed, {"Task"}},
        {"a decimal comma", "case;Task\nA;0,123456789\n", typed, {"Task"}},
        {"a plus sign", "case,Task\nA,+0.123456789\n", typed, {"Task"}},
        {"columns in any order, any case, blanks around names", "id, age ,TASK,educ\nP1,70,30,8\n",
         "2 P1: 30 8 70"},
        {"semicolons, decimal commas, byte-order mark, CR LF",
         "\xEF\xBB\xBF" "case;Task;Educ;Age\r\nP1;30,5;8;70,25\r\nP2;-1,5;12,5;1e2\r\n",
         "2 P1: 30.5 8 70.25 / 3 P2: -1.5 12.5 100"},
        {"quoted labels, padding columns, blank rows", "case,Task,Educ,Age,,\n\"Smith, J.\",1,2,3,,\n,,,,,\n\"x\"\"y\",4,5,6\n",
         "2 Smith, J.: 1 2 3 / 4 x\"y: 4 5 6"},
        {"bad rows are refused one by one",
         "case,Task,Educ,Age\nA,1,2\nB,1,2,3,4\nC,1,,3\nD,1,two,3\nE,1,2,inf\nF,1,2,1e999\nG,1,2,3\nH,1,2,3,\n",
         "2 A! the row has 3 fields, the header row has 4 / 3 B! the row has 5 fields, the header row has 4 / "
         "4 C! the score for \"Educ\" is empty / 5 D! the score for \"Educ\" is not a number: \"two\" / "
         "6 E! the score for \"Age\" is not a finite number: \"inf\" / "
         "7 F! the score for \"Age\" is not a finite number: \"1e999\" / 8 G: 1 2 3 / 9 H: 1 2 3"},
        {"a decimal comma in a comma file splits the field", "case,Task,Educ,Age\nA,1,5,2,3\n",
         "2 A! the row has 5 fields, the header row has 4"},
        {"unknown column", "case,Task,Educ,Age,IQ\nA,1,2,3,4\n",
         "the column \"IQ\" is not a variable of the analysis (Task, Educ, Age)"},
        {"missing column", "case,Task,Age\nA,1,2\n",
         "there is no column for the variable \"Educ\" (the header row must name every variable: Task, Educ, Age)"},
        {"duplicated column", "case,Task,Educ,Age, task \nA,1,2,3,4\n",
         "the column \"task\" appears twice (columns 2 and 5)"},
        {"header name missing", "case,Task,,Educ,Age\nA,1,2,3,4\n", "column 3 of the header row has no name"},
        {"no header row", "A,1,2,3\nB,4,5,6\n",
         "line 1 holds numbers, not a header row: the first line must name the columns (the case's label, then "
         "Task, Educ, Age)"},
        {"no cases", "case,Task,Educ,Age\n\n,,,\n", "there are no cases below the header row"},
        {"a variable without a name", "case,Task\nA,1\n",
         "variable 2 has no name: the cases file's columns are matched to the variables by their names",
         {"Task", "  "}},
        {"two variables of one name", "case,Task\nA,1\n",
         "variables 1 and 2 have the same name \"educ\": the cases file's columns are matched to the variables by "
         "their names",
         {"Educ ", "educ"}},
    };
    for (const CasesFileCase& c : cases) {
        CsvTable table;
        std::string message;
        ASSERT_TRUE(ParseCsvText(c.text, table, message)) << c.what << ": " << message;
        std::vector<SeriesCase> read;
        bool ok = ReadCasesTable(table, c.names, read, message);
        EXPECT_EQ(ok ? Render(read, c.names.size()) : message, c.expected) << c.what;
    }
}

TEST(CasesFileTest, AFileOfMoreThanTheMostCasesIsRefused)
{
    CsvTable table;
    table.header = {"case", "Task"};
    table.rows.assign(MaxSeriesCases, CsvRow{2, {"A", "1"}});
    std::vector<SeriesCase> read;
    std::string message;
    EXPECT_TRUE(ReadCasesTable(table, {"Task"}, read, message)) << message;
    table.rows.push_back(table.rows.back());
    EXPECT_FALSE(ReadCasesTable(table, {"Task"}, read, message));
    EXPECT_EQ(message, "there are more than 100,000 cases: split the file into smaller ones");
}

SummaryData ThreeVariables()
{
    SummaryData controls;
    controls.k = 2;
    controls.N = 30;
    controls.names = {"Task", "Educ", "Age"};
    for (int i = 1; i <= 3; ++i) {
        controls.means[i] = 10 * i;
        controls.sds[i] = 0.5;
        for (int j = 1; j <= 3; ++j) controls.corr[i][j] = i == j ? 1 : 0.3;
    }
    return controls;
}

TEST(CaseSeriesTest, RowsRefusedInTheFileKeepTheirMessageAndHaveNoNumbers)
{
    SummaryData controls = ThreeVariables();
    std::vector<SeriesCase> cases(1);
    cases[0].label = "read";
    cases[0].error = "the score for \"Educ\" is empty";
    std::vector<std::pair<int, int>> seen;
    std::vector<SeriesResult> results;
    ASSERT_TRUE(RunCaseSeries(controls, TwoSided, cases,
                              [&](int done, int total) {
                                  seen.emplace_back(done, total);
                                  return true;
                              },
                              results));
    EXPECT_EQ(seen.back(), std::make_pair(1, 1));
    EXPECT_EQ(CountRefused(results), 1);
    EXPECT_EQ(FormatSeriesCsv(controls, results),
              "case,k,N,limit,z_Task,z_Educ,z_Age,condMean,condSD,pOneTailed,pTwoTailed,pctBelow,pctLower,pctUpper,"
              "zccc,zcccLower,zcccUpper,pctBelowMcse,pOneTailedMcse,pTwoTailedMcse,"
              "exact_t,exact_df,exact_pOneTailed,exact_pTwoTailed,exact_pctBelow,exact_zcccLower,exact_zcccUpper,exact_pctLower,exact_pctUpper,error\r\n"
              "read,,,,,,,,,,,,,,,,,,,,,,,,,,,,,\"the score for \"\"Educ\"\" is empty\"\r\n");
}

TEST(CaseSeriesTest, CancelledSeriesStopsAndSaysSo)
{
    std::vector<SeriesCase> cases(3);
    for (int c = 0; c < 3; ++c) cases[c].scores[1] = 10 + c;
    std::vector<SeriesResult> results;
    EXPECT_FALSE(RunCaseSeries(ThreeVariables(), TwoSided, cases, [](int, int) { return false; }, results));
}

TEST(CaseSeriesTest, OutputQuotesNamesAndWritesTheShortestDigits)
{
    SummaryData controls = ThreeVariables();
    controls.names = {" Task, raw ", "Educ", "Age"};
    SeriesResult r;
    r.input.label = "P1";
    r.analysed = true;
    r.zScores[1] = -2;
    r.result.pctBelow = 0.1;
    std::vector<std::string> keys = SeriesKeys(controls);
    EXPECT_EQ(keys.at(4), "z_Task, raw");
    std::string csv = FormatSeriesCsv(controls, {r});
    EXPECT_EQ(csv.substr(0, 30), "case,k,N,limit,\"z_Task, raw\",z");
    EXPECT_NE(csv.find("\r\nP1,2,30,two-sided,-2,0,"), std::string::npos) << csv;
    EXPECT_NE(csv.find(",0.1,"), std::string::npos) << csv;
    EXPECT_EQ(csv.substr(csv.size() - 3), ",\r\n");  // no error
    // The table window's cells: the same text, numbers sorted as numbers.
    const SeriesTable table = MakeSeriesTable(controls, {r});
    EXPECT_EQ(table.header, keys);
    ASSERT_EQ(table.rows.size(), 1u);
    EXPECT_EQ(table.rows[0][4].text, "-2");
    EXPECT_TRUE(table.rows[0][4].isNumber);
    EXPECT_EQ(table.rows[0][4].number, -2);
    EXPECT_FALSE(table.rows[0][0].isNumber);
    // A value beyond the range of a double is left empty, not written "inf".
    r.condMean = 1e400L;
    csv = FormatSeriesCsv(controls, {r});
    EXPECT_EQ(csv.find("inf"), std::string::npos) << csv;
    EXPECT_NE(csv.find(",-2,0,0,,0,"), std::string::npos) << csv;
}

// Every number of the CSV, in either locale, reads back as the same double.
TEST(CaseSeriesTest, CsvNumbersReadBackToTheSameDoubles)
{
    const double values[] = {-2, 0.1, 1.0 / 3, -6.02214076e23, 1e-5, 5e-324, 1.7976931348623157e308, -0.0,
                             123456.789, 0.062879432, 2.5e-7};
    const std::size_t count = sizeof values / sizeof values[0];
    SummaryData controls = ThreeVariables();
    controls.k = static_cast<int>(count) - 1;
    controls.names.clear();
    SeriesResult r;
    r.input.label = "P1; first";
    r.analysed = true;
    for (std::size_t i = 0; i < count; ++i) {
        controls.names.push_back("v" + std::to_string(i));
        r.zScores[static_cast<int>(i) + 1] = values[i];
    }
    const struct {
        SeriesCsvLocale locale;
        char separator;
        char decimalMark;
    } locales[] = {{SeriesCsvLocale::Point, ',', '.'}, {SeriesCsvLocale::Comma, ';', ','}};
    for (const auto& l : locales) {
        CsvTable table;
        std::string message;
        ASSERT_TRUE(ParseCsvText(FormatSeriesCsv(controls, {r}, false, l.locale), table, message)) << message;
        EXPECT_EQ(table.separator, l.separator);
        EXPECT_EQ(table.decimalMark, l.decimalMark);
        ASSERT_EQ(table.rows.size(), 1u);
        const std::vector<std::string>& fields = table.rows[0].fields;
        EXPECT_EQ(fields[0], "P1; first");
        EXPECT_EQ(fields[4], "-2");
        for (std::size_t i = 0; i < count; ++i) {
            double read = 1;
            ASSERT_TRUE(ParseCsvNumber(fields[4 + i], table.decimalMark, read)) << fields[4 + i];
            EXPECT_EQ(std::memcmp(&read, &values[i], sizeof read), 0) << fields[4 + i];
        }
    }
}

// Text a spreadsheet would run as a formula (or whose start it would drop)
// is written with a leading apostrophe; numbers and other text as they are.
TEST(CaseSeriesTest, TextThatASpreadsheetWouldRunIsWrittenAsText)
{
    const struct {
        std::string label;
        std::string written;
    } cases[] = {
        {"=HYPERLINK(\"http://x\",\"y\")", "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\""},
        {"+cmd|' /C calc'!A0", "'+cmd|' /C calc'!A0"},
        {"-2+3", "'-2+3"},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"\tP1", "'\tP1"},
        {"\rP1", "\"'\rP1\""},
        {"P-1 = ok", "P-1 = ok"},
        {"'quoted", "'quoted"},
    };
    const SummaryData controls = ThreeVariables();
    for (const auto& c : cases) {
        SeriesResult r;
        r.input.label = c.label;
        r.error = "=1+1";
        const std::string csv = FormatSeriesCsv(controls, {r});
        const std::string row = csv.substr(csv.find("\r\n") + 2);
        EXPECT_EQ(row, c.written + std::string(SeriesKeys(controls).size() - 1, ',') + "'=1+1\r\n") << c.label;
    }
}

}  // namespace
