#include "analysis/files/csv_table.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>

#include "tests/support/temp_folder.h"

namespace {

// "<separator> <line>[field|field] <line>[...] ...", the header first.
std::string Render(const CsvTable& t)
{
    auto record = [](int line, const std::vector<std::string>& fields) {
        std::string s = " " + std::to_string(line) + "[";
        for (std::size_t i = 0; i < fields.size(); ++i) s += (i ? "|" : "") + fields[i];
        return s + "]";
    };
    std::string s(1, t.separator);
    s += record(t.headerLine, t.header);
    for (const CsvRow& r : t.rows) s += record(r.line, r.fields);
    return s;
}

struct FileCase {
    const char* name;
    std::string text;
    std::string expected;  // Render() of the table, or the refusal message
};

TEST(CsvTableTest, ReadsOrRefusesEachFile)
{
    const std::string bom = "\xEF\xBB\xBF";
    const FileCase cases[] = {
        {"comma", "case,Task,Educ\nA,1.5,12\nB,-2,8\n", ", 1[case|Task|Educ] 2[A|1.5|12] 3[B|-2|8]"},
        {"semicolon, decimal comma, CR LF", "case;Task;Educ\r\nA;1,5;12\r\nB;2,25;8\r\n",
         "; 1[case|Task|Educ] 2[A|1,5|12] 3[B|2,25|8]"},
        {"semicolon, decimal point, no final line end", "case;Task\nA;1.5", "; 1[case|Task] 2[A|1.5]"},
        {"byte-order mark", bom + "case;Task\nA;1,5\n", "; 1[case|Task] 2[A|1,5]"},
        {"CR line ends", "a,b\r1,2\r3,4\r", ", 1[a|b] 2[1|2] 3[3|4]"},
        {"quoted separators, quotes and a line break", "case,Task\n\"Smith, J.\",1\n\"say \"\"hi\"\"\",2\n\"two\nlines\",3\n4,5\n",
         ", 1[case|Task] 2[Smith, J.|1] 3[say \"hi\"|2] 4[two\nlines|3] 6[4|5]"},
        {"semicolons in a quoted header name do not pick the separator", "\"a;b;c\",d\n1,2\n", ", 1[a;b;c|d] 2[1|2]"},
        {"blanks around fields, empty and blank lines skipped", "\n  \n a , b \n\n 1 ,\" 2 \"\n",
         ", 3[a|b] 5[1| 2 ]"},
        {"ragged rows kept as they are", "a,b,c\n1\n1,2,3,4\n,,\n", ", 1[a|b|c] 2[1] 3[1|2|3|4] 4[||]"},
        {"header only", "case,Task\n", ", 1[case|Task]"},
        {"UTF-8 names", "case,T\xC3\xA2" "che\n\xC3\xA9,1\n", ", 1[case|T\xC3\xA2""che] 2[\xC3\xA9|1]"},
        {"empty file", "", "the file is empty: its first line must be the header row naming the columns"},
        {"only a byte-order mark and blank lines", bom + "\r\n \r\n",
         "the file is empty: its first line must be the header row naming the columns"},
        {"Latin-1 text", "case,Task\nA\xE9,1\n", "line 2 is not UTF-8 text: save the file as CSV in UTF-8"},
        {"NUL byte", std::string("a,b\n1,2\n3,\0", 11), "line 3 is not UTF-8 text: save the file as CSV in UTF-8"},
        {"quote inside a field", "a,b\n1,x\"y\n",
         "line 2: a quote stands inside a field or after a closing quote (a field in quotes must be quoted whole, "
         "with quotes inside it written twice)"},
        {"text after a closing quote", "a,b\n\"1\"x,2\n",
         "line 2: a quote stands inside a field or after a closing quote (a field in quotes must be quoted whole, "
         "with quotes inside it written twice)"},
        {"quoted field never closed", "a,b\n1,2\n3,\"4\n5,6\n",
         "line 3: a quoted field is not closed before the end of the file"},
    };
    for (const FileCase& c : cases) {
        CsvTable table;
        std::string message;
        bool ok = ParseCsvText(c.text, table, message);
        EXPECT_EQ(ok ? Render(table) : message, c.expected) << c.name;
    }
}

TEST(CsvTableTest, ReadsNumbersWithTheFilesDecimalMark)
{
    using N = CsvNumber;
    struct NumberCase {
        const char* field;
        char decimalMark;
        CsvNumber status;
        double expected;
    } cases[] = {
        {"1.5", '.', N::Ok, 1.5},          {"  -2.25 ", '.', N::Ok, -2.25},   {"+3", '.', N::Ok, 3},
        {".5", '.', N::Ok, 0.5},           {"5.", '.', N::Ok, 5},             {"1e3", '.', N::Ok, 1000},
        {"2.5E-1", '.', N::Ok, 0.25},      {"1,5", ',', N::Ok, 1.5},          {"1.5", ',', N::Ambiguous, 0},
        {"-0,125", ',', N::Ok, -0.125},    {"", '.', N::Empty, 0},            {"   ", ',', N::Empty, 0},
        {"1,5", '.', N::Invalid, 0},       {"-", '.', N::Invalid, 0},         {".", '.', N::Invalid, 0},
        {"e5", '.', N::Invalid, 0},        {"1e", '.', N::Invalid, 0},        {"1.2.3", '.', N::Invalid, 0},
        {"1,234.5", ',', N::Invalid, 0},   {"1.234,5", ',', N::Ambiguous, 0},   {"0x10", '.', N::Invalid, 0},
        {"12 3", '.', N::Invalid, 0},      {"--1", '.', N::Invalid, 0},       {"1-", '.', N::Invalid, 0},
        {"abc", ',', N::Invalid, 0},       {"inf", '.', N::NotFinite, 0},     {"-Infinity", '.', N::NotFinite, 0},
        {"1.234", ',', N::Ambiguous, 0},   {"1.010", ',', N::Ambiguous, 0},   {"-1.234.567", ',', N::Ambiguous, 0},
        {"12.03.2024", ',', N::Invalid, 0}, {"999,5", ',', N::Ok, 999.5},  {"850", ',', N::Ok, 850},
        {"NaN", ',', N::NotFinite, 0},     {"1e999", '.', N::NotFinite, 0},   {"-1e400", ',', N::NotFinite, 0},
    };
    for (const NumberCase& c : cases) {
        double value = 7;
        EXPECT_EQ(ReadCsvNumber(c.field, c.decimalMark, value), c.status) << c.field;
        EXPECT_EQ(value, c.status == N::Ok ? c.expected : 7) << c.field;  // untouched on refusal
        EXPECT_EQ(ParseCsvNumber(c.field, c.decimalMark, value), c.status == N::Ok) << c.field;
    }
}

TEST(CsvTableTest, QuotesFieldsOnlyWhenNeededAndReadsThemBack)
{
    EXPECT_EQ(QuoteCsvField("plain"), "plain");
    EXPECT_EQ(QuoteCsvField("a;b"), "a;b");
    EXPECT_EQ(QuoteCsvField("a;b", ';'), "\"a;b\"");
    const std::string tricky[] = {"Smith, J.", "say \"hi\"", "two\nlines", "cr\rhere", " padded "};
    std::string text = "x";
    for (const std::string& field : tricky) text += "," + QuoteCsvField(field);
    text += "\n";
    CsvTable table;
    std::string message;
    ASSERT_TRUE(ParseCsvText(text, table, message)) << message;
    EXPECT_EQ(table.header, std::vector<std::string>({"x", "Smith, J.", "say \"hi\"", "two\nlines", "cr\rhere", " padded "}));
}

TEST(CsvTableTest, FilesThatCannotBeReadAreNamed)
{
    TempFolder temp;
    const std::string name = temp.Write("t.csv", "");
    CsvTable table;
    std::string message;

    ASSERT_EQ(::truncate(name.c_str(), CsvFileByteLimit + 1), 0);  // sparse: refused before it is read
    EXPECT_FALSE(ReadCsvFile(name, table, message));
    EXPECT_EQ(message, "Cannot read \"" + name + "\": the file is larger than 32 MiB");

    temp.Write("t.csv", "a,b\n1,\"2\n");
    EXPECT_FALSE(ReadCsvFile(name, table, message));
    EXPECT_EQ(message, "\"" + name + "\": line 2: a quoted field is not closed before the end of the file");

    temp.Write("t.csv", "a;b\n1;2,5\n");
    ASSERT_TRUE(ReadCsvFile(name, table, message)) << message;
    EXPECT_EQ(Render(table), "; 1[a|b] 2[1|2,5]");

    std::remove(name.c_str());
    EXPECT_FALSE(ReadCsvFile(name, table, message));
    EXPECT_EQ(message, "Cannot read \"" + name + "\": No such file or directory");
}

}  // namespace
