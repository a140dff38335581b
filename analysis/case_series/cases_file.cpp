#include "analysis/case_series/cases_file.h"

#include <algorithm>
#include <map>

#include "analysis/worksheet/input_rules.h"
#include "foundation/plain_text.h"

namespace {

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

// Reads the scores of one row into the case, or says why it cannot be.
// Returns false (with the file's message) for a number whose decimal mark is
// ambiguous: then the whole file is refused.
bool ReadCaseRow(const CsvRow& row, const std::vector<int>& variableOfColumn, std::size_t width,
                 const std::vector<std::string>& names, const CsvHead& head, SeriesCase& c, std::string& message)
{
    c.line = row.line;
    c.label = row.fields.empty() ? std::string() : row.fields[0];
    if (row.fields.size() < width || HasTextBeyond(row, width)) {
        c.error = "the row has " + std::to_string(RecordFieldCount(row)) +
                  " fields, the header row has " + std::to_string(width);
        return true;
    }
    for (std::size_t column = 1; column < width; ++column) {
        int variable = variableOfColumn[column];
        const std::string& field = row.fields[column];
        const std::string what = "the score for " + QuotedText(names[variable]);
        double value = 0;
        switch (ReadCsvNumber(field, head.decimalMark, value)) {
        case CsvNumber::Ok:
            c.scores[variable + 1] = CaseScoreFromField(field, head.decimalMark, value);
            break;
        case CsvNumber::Empty:
            c.error = what + " is empty";
            return true;
        case CsvNumber::NotFinite:
            c.error = what + " is not a finite number: " + QuotedText(field);
            return true;
        case CsvNumber::Ambiguous:
            message = AmbiguousCsvNumberMessage(head, row.line, column + 1, field);
            return false;
        case CsvNumber::Invalid:
            c.error = what + " is not a number: " + QuotedText(field);
            return true;
        }
    }
    return true;
}

// The cases of a file, read row by row as the CSV reader hands them over.
class CasesReader {
public:
    CasesReader(const std::vector<std::string>& names, std::vector<SeriesCase>& cases, std::string& message)
        : names_(names), cases_(cases), message_(message)
    {
        cases_.clear();
    }

    bool Header(const CsvHead& head);
    bool Row(const CsvRow& row);
    bool Finish();

private:
    const std::vector<std::string>& names_;
    std::vector<SeriesCase>& cases_;
    std::string& message_;
    CsvHead head_;
    std::size_t width_ = 0;
    std::vector<int> variableOfColumn_;
};

}  // namespace

extended CaseScoreFromField(const std::string& field, char decimalMark, double nearest)
{
    std::string text = NormaliseCsvNumber(field, decimalMark);
    if (text.find_first_of("eE") != std::string::npos) return nearest;
    if (text[0] == '+') text.erase(0, 1);
    return ParseNumber(text);  // already checked: no message, InputError stays false
}

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
                      " have the same name " + QuotedText(names[i]) +
                      ": the cases file's columns are matched to the variables by their names";
            return false;
        }
    }
    return true;
}

bool CasesReader::Header(const CsvHead& head)
{
    head_ = head;
    const std::vector<std::string>& names = names_;
    std::string& message = message_;
    if (!CheckSeriesVariableNames(names, message)) return false;
    std::map<std::string, int> variableOfKey;
    for (std::size_t i = 0; i < names.size(); ++i) variableOfKey[CsvColumnKey(names[i])] = static_cast<int>(i);

    // Header columns past the last named one are padding.
    std::size_t width = head.header.size();
    while (width > 1 && IsBlank(head.header[width - 1])) --width;

    bool numericHeader = width > 1;
    for (std::size_t column = 1; column < width; ++column) {
        double ignored;
        numericHeader = numericHeader && ParseCsvNumber(head.header[column], head.decimalMark, ignored);
    }
    if (numericHeader) {
        message = "line " + std::to_string(head.headerLine) +
                  " holds numbers, not a header row: the first line must name the columns (the case's label, "
                  "then " + ListNames(names) + ")";
        return false;
    }

    std::vector<int> variableOfColumn(width, -1);
    std::vector<std::size_t> columnOfVariable(names.size(), 0);
    for (std::size_t column = 1; column < width; ++column) {
        const std::string& name = head.header[column];
        auto found = variableOfKey.find(CsvColumnKey(name));
        if (CsvColumnKey(name).empty()) {
            message = "column " + std::to_string(column + 1) + " of the header row has no name";
            return false;
        }
        if (found == variableOfKey.end()) {
            message = "the column " + QuotedText(name) + " is not a variable of the analysis (" + ListNames(names) + ")";
            return false;
        }
        if (columnOfVariable[found->second] != 0) {
            message = "the column " + QuotedText(name) + " appears twice (columns " +
                      std::to_string(columnOfVariable[found->second] + 1) + " and " + std::to_string(column + 1) +
                      ")";
            return false;
        }
        columnOfVariable[found->second] = column;
        variableOfColumn[column] = found->second;
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (columnOfVariable[i] == 0) {
            message = "there is no column for the variable " + QuotedText(names[i]) +
                      " (the header row must name every variable: " + ListNames(names) + ")";
            return false;
        }
    }
    width_ = width;
    variableOfColumn_ = std::move(variableOfColumn);
    return true;
}

bool CasesReader::Row(const CsvRow& row)
{
    if (AllBlank(row.fields)) return true;
    if (cases_.size() == static_cast<std::size_t>(MaxSeriesCases)) {
        cases_.clear();
        message_ = "there are more than 100,000 cases: split the file into smaller ones";
        return false;
    }
    SeriesCase c;
    if (!ReadCaseRow(row, variableOfColumn_, width_, names_, head_, c, message_)) {
        cases_.clear();
        return false;
    }
    cases_.push_back(std::move(c));
    return true;
}

bool CasesReader::Finish()
{
    if (cases_.empty()) {
        message_ = "there are no cases below the header row";
        return false;
    }
    return true;
}


bool ReadCasesTable(const CsvTable& table, const std::vector<std::string>& names, std::vector<SeriesCase>& cases,
                    std::string& message)
{
    CasesReader reader(names, cases, message);
    if (!reader.Header(HeadOf(table))) return false;
    for (const CsvRow& row : table.rows)
        if (!reader.Row(row)) return false;
    return reader.Finish();
}

bool ReadCasesFile(const std::string& path, const std::vector<std::string>& names, std::vector<SeriesCase>& cases,
                   std::string& message)
{
    std::string text;
    if (!ReadCsvFileText(path, text, message)) return false;
    // Row by row: a file refused for its size never holds more than its text.
    std::string problem;
    CasesReader cases_reader(names, cases, problem);
    CsvRowReader reader;
    reader.header = [&](const CsvHead& head) { return cases_reader.Header(head); };
    reader.row = [&](const CsvRow& row) { return cases_reader.Row(row); };
    // Past this many fields a header names no variable and a row has too many.
    reader.fieldLimit = 1000;
    CsvHead head;
    std::string parseProblem;
    if (!ReadCsvRows(text, head, reader, parseProblem) || !cases_reader.Finish()) {
        cases.clear();
        message = "\"" + path + "\": " + (parseProblem.empty() ? problem : parseProblem);
        return false;
    }
    return true;
}
