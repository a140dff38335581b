#pragma once
// The Compute command's refusals as one table, for every layer that refuses:
// the worksheet, the box's text, where the user carries on (the analysis
// layer reports it, the desktop program focuses it) and what harrow-cli says
// of the same worksheet as a file. Data only: the command-line tests link
// none of the program's code.
#include <array>
#include <string>
#include <vector>

#include "analysis/worksheet/worksheet_data.h"
#include "foundation/messages.h"

// A worksheet as the worksheet file holds it: the two field texts, the grid
// rows (name, mean, SD, score; the task first) and the lower triangle of the
// correlations row by row, the diagonal included.
struct RefusalWorksheet {
    std::string k, n;
    std::vector<std::array<std::string, 4>> rows;
    std::vector<std::string> triangle;
};

// The file's lines, one item a line.
inline std::vector<std::string> WorksheetLines(const RefusalWorksheet& w)
{
    std::vector<std::string> lines{w.k, w.n};
    for (const auto& row : w.rows) lines.insert(lines.end(), row.begin(), row.end());
    lines.insert(lines.end(), w.triangle.begin(), w.triangle.end());
    return lines;
}

// Where the user carries on after the box.
struct RefusalFocus {
    enum Place { Field, GridCell, MatrixCell };
    Place place;
    int row;         // Field: CovariatesField or SampleSizeField; else the grid's row (0: the task) or the matrix's
    int column = 0;  // GridCell: MeanColumn, SDColumn or ScoreColumn; MatrixCell: the matrix's column
};

inline bool operator==(const RefusalFocus& a, const RefusalFocus& b)
{
    return a.place == b.place && a.row == b.row && a.column == b.column;
}

// harrow-cli names no line for a refusal of the matrix as a whole; a file
// cannot hold a worksheet whose counts are not numbers it can read.
constexpr int NoLine = 0;
constexpr int NotInAFile = -1;

struct WorksheetRefusal {
    const char* name;
    RefusalWorksheet worksheet;
    platform::MessageKind kind;
    std::string message;  // the box's text, '\r' for a line break
    RefusalFocus focus;
    bool typed;           // the desktop types it: only keys its fields and cells take
    int cliLine;          // the file line harrow-cli names
    int cliExit;
};

namespace worksheet_refusals {

// One covariate, 20 controls: the example the command line ships.
inline RefusalWorksheet OneCovariate()
{
    return {"1", "20", {{"Task", "50", "10", "30"}, {"Educ", "10", "2", "8"}}, {"1.000", "0.500", "1.000"}};
}

inline RefusalWorksheet TwoCovariates()
{
    return {"2", "30", {{"Task", "100", "15", "70"}, {"Age", "40", "10", "45"}, {"Educ", "12", "3", "10"}},
            {"1.000", "0.500", "1.000", "0.400", "0.300", "1.000"}};
}

// k covariates of one row each, all correlations 0.1.
inline RefusalWorksheet Covariates(const char* k, const char* n, int count)
{
    RefusalWorksheet w{k, n, {{"Task", "50", "10", "30"}}, {}};
    for (int c = 1; c <= count; ++c) w.rows.push_back({"Cov " + std::to_string(c), "1", "1", "1"});
    for (int i = 1; i <= count + 1; ++i)
        for (int t = 1; t <= i; ++t) w.triangle.push_back(t == i ? "1.000" : "0.100");
    return w;
}

inline RefusalWorksheet With(RefusalWorksheet w, int row, int column, const char* text)
{
    w.rows.at(row).at(column - NameColumn) = text;
    return w;
}

inline RefusalWorksheet Fields(RefusalWorksheet w, const char* k, const char* n)
{
    w.k = k;
    w.n = n;
    return w;
}

const std::string kNotEntered = "\r\rData have not been entered in this field.";
const std::string kNotNumeric = "  )\r\rEnter numeric data only.";
const std::string kNotPositive = "  )\rStandard deviations must have a positive value.";
const std::string kCountRange = "  )\rThe value must be a whole number from 0 to 5.";
const std::string kTaskWithEduc = "The correlation of Task with Educ must lie strictly between -1 and +1.";
const std::string kNotPositiveDefinite =
    "Analysis cannot proceed as the correlation matrix is not positive definite: check that you entered the correct "
    "values for the correlations (alternatively it may be that one variable is linearly dependent on other "
    "variables and should be dropped)";

}  // namespace worksheet_refusals

// In the order of the checks: the two fields, k < N - 1, the grid (all means,
// then all SDs, then all scores, rows top-down), the correlations, the matrix.
inline const std::vector<WorksheetRefusal>& WorksheetRefusals()
{
    using namespace worksheet_refusals;
    const auto W = platform::MessageKind::Warning;
    const auto E = platform::MessageKind::Error;
    const RefusalFocus k{RefusalFocus::Field, CovariatesField}, n{RefusalFocus::Field, SampleSizeField};
    const auto cell = [](int row, int column) { return RefusalFocus{RefusalFocus::GridCell, row, column}; };
    const RefusalFocus r21{RefusalFocus::MatrixCell, 2, 1};
    const RefusalWorksheet one = OneCovariate(), two = TwoCovariates();
    // The worked example with r21 as typed.
    const auto Correlated = [](RefusalWorksheet w, const char* r21) {
        w.triangle.at(1) = r21;
        return w;
    };
    const std::string kField = "INPUT ERROR\r(  Number of covariates :   ";
    const std::string nField = "INPUT ERROR\r(  Sample size (N) of control sample:  ";
    static const std::vector<WorksheetRefusal> rows{
        {"no covariate count", Fields(one, "", "20"), W,
         "INPUT ERROR\r\r(  Number of covariates :   )" + kNotEntered, k, true, NotInAFile, 2},
        {"a word for the covariate count", Fields(one, "two", "20"), W, kField + "two" + kNotNumeric, k, false,
         NotInAFile, 2},
        {"six covariates", Covariates("6", "20", 6), W, kField + "6.000" + kCountRange, k, true, 1, 2},
        {"a negative covariate count", Fields(one, "-1", "20"), W, kField + "-1.000" + kCountRange, k, false,
         NotInAFile, 2},
        {"a covariate count not whole", Fields(one, "2.5", "20"), W, kField + "2.500" + kCountRange, k, false,
         NotInAFile, 2},
        {"no sample size", Fields(two, "2", ""), W,
         "INPUT ERROR\r\r(  Sample size (N) of control sample:  )" + kNotEntered, n, true, NotInAFile, 2},
        {"a sample size of 2", Fields(one, "1", "2"), W,
         nField + "2.000  )\rThe value for sample size must be an integer greater than 2.", n, true, 2, 2},
        {"a sample size with a comma", Fields(two, "2", "3,0"), W, nField + "3,0" + kNotNumeric, n, false,
         NotInAFile, 2},
        {"three covariates for 4 controls", Covariates("3", "4", 3), E,
         " With a control sample size of  4, the maximum number of covariates is  2 ", k, true, 1, 2},
        {"all means before any SD", With(With(two, 2, MeanColumn, ""), 1, SDColumn, ""), W,
         "INPUT ERROR\r\r(  the mean of Educ (Test No.3)  )" + kNotEntered, cell(2, MeanColumn), true, 12, 2},
        {"a sign alone for a mean", With(one, 0, MeanColumn, "-"), W,
         "INPUT ERROR\r\r(  the mean of Task (Test No.1)  -)" + kNotEntered, cell(0, MeanColumn), true, 4, 2},
        {"a mean with a comma", With(one, 1, MeanColumn, "1,5"), W,
         "INPUT ERROR\r(  the mean of Educ (Test No.2)  1,5" + kNotNumeric, cell(1, MeanColumn), false, 8, 2},
        {"all SDs before any score", With(With(two, 1, SDColumn, ""), 0, ScoreColumn, ""), W,
         "INPUT ERROR\r\r(  the SD of Age (Test No.2)  )" + kNotEntered, cell(1, SDColumn), true, 9, 2},
        {"an SD of 0", With(two, 1, SDColumn, "0"), W, "INPUT ERROR\r(  the SD of Age (Test No.2)  0.000" + kNotPositive,
         cell(1, SDColumn), true, 9, 2},
        // A row without a name is named by its number.
        {"a negative SD in a row without a name", With(With(two, 2, NameColumn, ""), 2, SDColumn, "-2"), W,
         "INPUT ERROR\r(  Test No.3  -2.000" + kNotPositive, cell(2, SDColumn), true, 13, 2},
        {"a word for a score", With(two, 0, ScoreColumn, "x"), W,
         "INPUT ERROR\r(  the score of Task (Test No.1)  x" + kNotNumeric, cell(0, ScoreColumn), false, 6, 2},
        // Every row the analysis reads is checked, even beyond the grid's
        // rows ("3.0" does not size the grid) ...
        {"a row the covariate count asks for beyond the grid", Fields(two, "3.0", "30"), W,
         "INPUT ERROR\r\r(  Test No.4  )" + kNotEntered, cell(3, MeanColumn), false, NotInAFile, 2},
        // ... and every row the grid shows, even beyond the covariates.
        {"a row of the grid beyond the covariates", With(Fields(two, "1", "30"), 2, SDColumn, "0"), W,
         "INPUT ERROR\r(  the SD of Educ (Test No.3)  0.000" + kNotPositive, cell(2, SDColumn), false, NotInAFile, 2},
        {"a correlation of 1.0", Correlated(one, "1.0"), W, kTaskWithEduc, r21, true, 12, 2},
        {"a correlation of 1.5", Correlated(one, "1.5"), W, kTaskWithEduc, r21, true, 12, 2},
        {"a correlation of -1", Correlated(one, "-1"), W, kTaskWithEduc, r21, true, 12, 2},
        {"a matrix that is not positive definite",
         {"2", "30", two.rows, {"1.000", "0.900", "1.000", "0.900", "-0.900", "1.000"}}, E, kNotPositiveDefinite, k,
         true, NoLine, 2},
    };
    return rows;
}
