#include "analysis/case_series/cases_file.h"

#include <map>

#include "analysis/worksheet/input_rules.h"

namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

bool IsBlank(const std::string& field) { return TrimCsvField(field).empty(); }

bool AllBlank(const std::vector<std::string>& fields)
{
    for (const std::string& f : fields)
        if (!IsBlank(f)) return false;
    return true;
}

std::string ListNames(const std::vector<std::string>& names)
{
    std::string list;
    for (std::size_t i = 0; i < names.size(); ++i) list += (i ? ", " : "") + names[i];
    return list;
}

// The number as the worksheet's grid reads it (its own digit walk), when the
// text is one the grid accepts; otherwise the nearest double.
extended CaseScoreValue(const std::string& field, char separator, double nearest)
{
    std::string text = NormaliseCsvNumber(field, separator);
    if (text.find_first_of("eE") != std::string::npos) return nearest;
    if (text[0] == '+') text.erase(0, 1);
    return ParseNumber(text);  // already checked: no message, InputError stays false
}

// Reads the scores of one row into the case, or says why it cannot be.
void ReadCaseRow(const CsvRow& row, const std::vector<int>& variableOfColumn, std::size_t width,
                 const std::vector<std::string>& names, char separator, SeriesCase& c)
{
    c.line = row.line;
    c.label = row.fields.empty() ? std::string() : row.fields[0];
    // Spreadsheets pad rows with empty fields past the last column: allowed.
    std::size_t used = row.fields.size();
    while (used > width && IsBlank(row.fields[used - 1])) --used;
    if (used != width) {
        c.error = "the row has " + std::to_string(row.fields.size()) + " fields, the header row has " +
                  std::to_string(width);
        return;
    }
    for (std::size_t column = 1; column < width; ++column) {
        int variable = variableOfColumn[column];
        const std::string& field = row.fields[column];
        const std::string what = "the score for " + Quoted(names[variable]);
        double value = 0;
        switch (ReadCsvNumber(field, separator, value)) {
        case CsvNumber::Ok:
            c.scores[variable + 1] = CaseScoreValue(field, separator, value);
            break;
        case CsvNumber::Empty:
            c.error = what + " is empty";
            return;
        case CsvNumber::NotFinite:
            c.error = what + " is not a finite number: " + Quoted(field);
            return;
        case CsvNumber::Invalid:
            c.error = what + " is not a number: " + Quoted(field);
            return;
        }
    }
}

}  // namespace

bool CheckSeriesVariableNames(const std::vector<std::string>& names, std::string& message)
{
    std::map<std::string, std::size_t> seen;
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::string key = CsvColumnKey(names[i]);
        if (key.empty()) {
            message = "variable " + std::to_string(i + 1) +
                      " has no name: the cases file's columns are matched to the variables by their names";
            return false;
        }
        if (!seen.emplace(key, i).second) {
            message = "variables " + std::to_string(seen[key] + 1) + " and " + std::to_string(i + 1) +
                      " have the same name " + Quoted(names[i]) +
                      ": the cases file's columns are matched to the variables by their names";
            return false;
        }
    }
    return true;
}

bool ReadCasesTable(const CsvTable& table, const std::vector<std::string>& names, std::vector<SeriesCase>& cases,
                    std::string& message)
{
    cases.clear();
    if (!CheckSeriesVariableNames(names, message)) return false;
    std::map<std::string, int> variableOfKey;
    for (std::size_t i = 0; i < names.size(); ++i) variableOfKey[CsvColumnKey(names[i])] = static_cast<int>(i);

    // Header columns past the last named one are padding.
    std::size_t width = table.header.size();
    while (width > 1 && IsBlank(table.header[width - 1])) --width;

    bool numericHeader = width > 1;
    for (std::size_t column = 1; column < width; ++column) {
        double ignored;
        numericHeader = numericHeader && ParseCsvNumber(table.header[column], table.separator, ignored);
    }
    if (numericHeader) {
        message = "line " + std::to_string(table.headerLine) +
                  " holds numbers, not a header row: the first line must name the columns (the case's label, "
                  "then " + ListNames(names) + ")";
        return false;
    }

    std::vector<int> variableOfColumn(width, -1);
    std::vector<std::size_t> columnOfVariable(names.size(), 0);
    for (std::size_t column = 1; column < width; ++column) {
        const std::string& name = table.header[column];
        auto found = variableOfKey.find(CsvColumnKey(name));
        if (CsvColumnKey(name).empty()) {
            message = "column " + std::to_string(column + 1) + " of the header row has no name";
            return false;
        }
        if (found == variableOfKey.end()) {
            message = "the column " + Quoted(name) + " is not a variable of the analysis (" + ListNames(names) + ")";
            return false;
        }
        if (columnOfVariable[found->second] != 0) {
            message = "the column " + Quoted(name) + " appears twice (columns " +
                      std::to_string(columnOfVariable[found->second] + 1) + " and " + std::to_string(column + 1) +
                      ")";
            return false;
        }
        columnOfVariable[found->second] = column;
        variableOfColumn[column] = found->second;
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (columnOfVariable[i] == 0) {
            message = "there is no column for the variable " + Quoted(names[i]) +
                      " (the header row must name every variable: " + ListNames(names) + ")";
            return false;
        }
    }

    for (const CsvRow& row : table.rows) {
        if (AllBlank(row.fields)) continue;
        if (cases.size() == static_cast<std::size_t>(MaxSeriesCases)) {
            cases.clear();
            message = "there are more than 100,000 cases: split the file into smaller ones";
            return false;
        }
        SeriesCase c;
        ReadCaseRow(row, variableOfColumn, width, names, table.separator, c);
        cases.push_back(std::move(c));
    }
    if (cases.empty()) {
        message = "there are no cases below the header row";
        return false;
    }
    return true;
}

bool ReadCasesFile(const std::string& path, const std::vector<std::string>& names, std::vector<SeriesCase>& cases,
                   std::string& message)
{
    CsvTable table;
    if (!ReadCsvFile(path, table, message)) return false;
    std::string problem;
    if (!ReadCasesTable(table, names, cases, problem)) {
        message = "\"" + path + "\": " + problem;
        return false;
    }
    return true;
}
