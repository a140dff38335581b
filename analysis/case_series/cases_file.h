#pragma once
// The cases file of a case series: a CSV file (see csv_table.h) whose header
// row names the columns; the first column holds each case's label, the
// others its scores, one column per variable of the analysis. Columns are
// matched to the variables by name: letters A-Z in either case, blanks
// around the name ignored, in any order. Rows whose fields are all empty are
// not cases and are skipped.
//
// A file is refused as a whole (with a message naming the column) when a
// variable has no column, a column names no variable, two columns name the
// same variable, a header name is empty, or the file holds no cases or more
// than MaxSeriesCases; also
// when the variables themselves cannot be matched (a variable without a name
// or two variables of the same name).
//
// A row is refused on its own (its `error` says why; the other rows stay)
// when it has a different number of fields than the header row, or a score
// that is empty, not a number or not finite.
#include <string>
#include <vector>

#include "analysis/files/csv_table.h"
#include "matrix/matrix_handling.h"

// A series of more cases than this is refused (the file is split instead):
// a file of tiny rows would otherwise hold millions of cases.
constexpr int MaxSeriesCases = 100000;

struct SeriesCase {
    int line = 0;         // line of the cases file where the row starts
    std::string label;    // the first column, as written
    tVector scores;       // 1: task, 2..p: covariates, in the variables' order
    std::string error;    // empty when the row can be analysed
};

// A score the CSV number syntax accepts (ReadCsvNumber gave `nearest`), as
// the worksheet's grid reads it (its own digit walk) when the text is one the
// grid accepts, otherwise the nearest double. Every typed or read score of a
// case goes through here, so "+21", "21" and "2.1e1" are one number.
extended CaseScoreFromField(const std::string& field, char decimalMark, double nearest);

// Checks that the variables (task first, then the covariates, as named in the
// worksheet's grid or chosen from a raw-data file) can be matched by name.
bool CheckSeriesVariableNames(const std::vector<std::string>& names, std::string& message);

// Matches the table's columns to the variables and reads every row. On a
// file-level refusal returns false with the message (the file is not named).
// Scores are converted to numbers as the worksheet converts the numbers
// typed into its grid, so that a case in the cases file and the same case
// typed into the worksheet give the same numbers to the last bit; numbers
// with an exponent (which cannot be typed there) are read as the nearest
// double.
bool ReadCasesTable(const CsvTable& table, const std::vector<std::string>& names, std::vector<SeriesCase>& cases,
                    std::string& message);

// ReadCsvFile and ReadCasesTable; a refusal's message names the file.
bool ReadCasesFile(const std::string& path, const std::vector<std::string>& names, std::vector<SeriesCase>& cases,
                   std::string& message);
