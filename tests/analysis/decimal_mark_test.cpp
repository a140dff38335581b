// A file's decimal mark is decided once for the whole file; a number whose
// point may be a thousands separator in a file of decimal commas is refused
// by the raw-data reader and the cases-file reader alike.
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>

#include "analysis/case_series/cases_file.h"
#include "analysis/files/csv_table.h"
#include "analysis/raw_data/raw_data_reader.h"
#include "tests/support/temp_folder.h"

namespace {

struct MarkCase {
    const char* what;
    const char* text;  // a semicolon or comma file: label column, then "Volume" and "Age"
    char mark;         // the decimal mark decided
    const char* refusal;  // "" when the file is read; else the refusal after the file's name
    double meanVolume;    // when read
};

// Named in test output by its description, not its bytes.
void PrintTo(const MarkCase& c, std::ostream* out) { *out << c.what; }

const std::string Refused1234 =
    "line 3, column 2 (\"Volume\"): the number \"1.234\" is ambiguous: this file writes decimal commas (line 2 "
    "holds \"999,5\"), so its point may be a thousands separator or a decimal point. Write every number of the "
    "file with a decimal comma and without thousands separators";

const MarkCase Cases[] = {
    {"decimal commas and points that may be thousands", "id;Volume;Age\nA;999,5;1\nB;1.234;2\nC;850;3\nD;1.010;4\n",
     ',', Refused1234.c_str(), 0},
    {"decimal commas only", "id;Volume;Age\nA;999,5;1\nB;1234;2\nC;850;3\nD;1010;4\n", ',', "", 1023.375},
    {"a decimal comma in another column decides", "id;Volume;Age\nA;1.5;1\nB;2;2,5\n", ',',
     "line 2, column 2 (\"Volume\"): the number \"1.5\" is ambiguous: this file writes decimal commas (line 3 "
     "holds \"2,5\"), so its point may be a thousands separator or a decimal point. Write every number of the "
     "file with a decimal comma and without thousands separators",
     0},
    {"semicolons with decimal points", "id;Volume;Age\nA;999.5;1\nB;1.234;2\n", '.', "", 500.367},
    {"commas with decimal points", "id,Volume,Age\nA,999.5,1\nB,\"1,234\",2\n", '.', "", 0},
};

class DecimalMark : public ::testing::TestWithParam<MarkCase> {
protected:
    TempFolder temp;
    const std::string path = temp.Write("volumes.csv", GetParam().text);
};

TEST_P(DecimalMark, DecidedOncePerFileAndAmbiguousPointsRefused)
{
    const MarkCase& c = GetParam();
    CsvTable csv;
    std::string message;
    ASSERT_TRUE(ParseCsvText(c.text, csv, message)) << message;
    EXPECT_EQ(csv.decimalMark, c.mark);

    RawDataTable raw;
    raw.fileName = "controls.csv";
    std::string rawRefusal;
    try {
        ReadRawDataFile(path, raw);
    } catch (const RawDataError& e) {
        rawRefusal = e.what();
    }
    std::vector<SeriesCase> cases;
    std::string casesRefusal;
    ReadCasesFile(path, {"Volume", "Age"}, cases, casesRefusal);

    if (*c.refusal) {
        const std::string fileName = path.substr(path.rfind('/') + 1);
        EXPECT_EQ(rawRefusal, "\"" + fileName + "\": " + c.refusal);
        EXPECT_EQ(casesRefusal, "\"" + path + "\": " + c.refusal);
        EXPECT_TRUE(cases.empty());
        return;
    }
    ASSERT_EQ(rawRefusal, "");
    ASSERT_EQ(raw.columns.size(), 3u);
    EXPECT_EQ(casesRefusal, "");
    if (c.meanVolume == 0) {  // the quoted "1,234" is not a number in a comma file
        EXPECT_FALSE(raw.columns[1].numeric);
        return;
    }
    double sum = 0;
    for (double v : raw.columns[1].values) sum += v;
    EXPECT_NEAR(sum / raw.columns[1].values.size(), c.meanVolume, 1e-3);
    double caseSum = 0;
    for (const SeriesCase& s : cases) caseSum += static_cast<double>(s.scores[1]);
    EXPECT_NEAR(caseSum / cases.size(), c.meanVolume, 1e-3);
}

INSTANTIATE_TEST_SUITE_P(Files, DecimalMark, ::testing::ValuesIn(Cases),
                         [](const ::testing::TestParamInfo<MarkCase>& info) {
                             std::string name;
                             for (const char* ch = info.param.what; *ch; ++ch)
                                 if (std::isalnum(static_cast<unsigned char>(*ch))) name += *ch;
                             return name;
                         });

}  // namespace
