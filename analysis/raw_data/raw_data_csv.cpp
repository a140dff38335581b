// Raw control data in a CSV file, read with the shared CSV reader: the
// header row names the variables, each further row is a control. A column
// is numeric when every cell that is not empty holds a number; an empty
// cell is a missing value.
#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/files/csv_table.h"
#include "analysis/files/text_file.h"
#include "analysis/raw_data/raw_data_reader.h"
#include "foundation/plain_text.h"

namespace {

bool IsBlankText(const std::string& text) { return TrimCsvField(text).empty(); }

// A cell quoted in a message, cut short when long.
std::string Quoted(const std::string& cell) { return QuotedText(cell, 40); }

// Builds the table row by row as the CSV reader hands the rows over, so that
// a file refused for its size holds no more than its text and what was kept.
class RawCsvBuilder {
public:
    RawCsvBuilder(RawDataTable& table, const RawReadLimits& limits) : table_(table), limits_(limits) {}

    void Header(const CsvHead& head)
    {
        head_ = head;
        const std::size_t columns = std::max(head.header.size(), head.fieldCount);
        if (columns > limits_.columns)
            throw RawDataError(
                RawFileTooLargeMessage(table_.fileName, "at most " + GroupedNumber(limits_.columns) + " columns"));
        table_.rows = 0;
        table_.rowWord = "line";
        table_.rowNumbers.clear();
        table_.columns.assign(columns, RawColumn());
        ambiguous_.assign(columns, Ambiguity());
        for (std::size_t c = 0; c < columns; ++c) table_.columns[c].name = head.header[c];
    }

    void Row(const CsvRow& row)
    {
        const std::size_t columns = table_.columns.size();
        if (table_.rows == limits_.rows)
            throw RawDataError(RawFileTooLargeMessage(table_.fileName, "at most " + GroupedNumber(limits_.rows) + " rows"));
        if (HasTextBeyond(row, columns))
            throw RawDataError("\"" + table_.fileName + "\": line " + std::to_string(row.line) + " has " +
                               std::to_string(RecordFieldCount(row)) +
                               " fields, but the header row names " + std::to_string(columns) + " columns");
        ++table_.rows;
        table_.rowNumbers.push_back(row.line);
        for (std::size_t c = 0; c < columns; ++c) {
            RawColumn& column = table_.columns[c];
            if (!column.numeric) continue;
            const std::string empty;
            const std::string& cell = c < row.fields.size() ? row.fields[c] : empty;
            double value = std::numeric_limits<double>::quiet_NaN();
            const CsvNumber read = IsBlankText(cell) ? CsvNumber::Empty : ReadCsvNumber(cell, head_.decimalMark, value);
            if (read == CsvNumber::Ambiguous && ambiguous_[c].line == 0) ambiguous_[c] = {row.line, cell};
            if (read != CsvNumber::Ok && read != CsvNumber::Empty && read != CsvNumber::Ambiguous) {
                // A column of text: its points were never numbers.
                column.numeric = false;
                column.notNumericReason = "line " + std::to_string(row.line) + " holds " + Quoted(cell);
                numbers_ -= column.values.size();
                column.values.clear();
                column.values.shrink_to_fit();
                continue;
            }
            if (numbers_ == limits_.numbers)
                throw RawDataError(
                    RawFileTooLargeMessage(table_.fileName, "at most " + GroupedNumber(limits_.numbers) + " numbers"));
            ++numbers_;
            column.values.push_back(value);
        }
    }

    // A numeric column with a number whose point may be a thousands
    // separator is not read at all.
    void Finish() const
    {
        for (std::size_t c = 0; c < table_.columns.size(); ++c)
            if (table_.columns[c].numeric && ambiguous_[c].line != 0)
                throw RawDataError("\"" + table_.fileName + "\": " +
                                   AmbiguousCsvNumberMessage(head_, ambiguous_[c].line, c + 1, ambiguous_[c].cell));
    }

private:
    struct Ambiguity {
        int line = 0;
        std::string cell;
    };
    RawDataTable& table_;
    const RawReadLimits& limits_;
    CsvHead head_;
    std::vector<Ambiguity> ambiguous_;
    std::size_t numbers_ = 0;
};

}  // namespace

void ReadCsvRawData(const platform::RegularFile& file, const std::string& path, RawDataTable& table,
                    const RawReadLimits& limits)
{
    if (file.Size() > CsvFileByteLimit)
        throw RawDataError(RawFileTooLargeMessage(table.fileName, "CSV files of at most " +
                                                                      GroupedNumber(CsvFileByteLimit) + " bytes"));
    std::string text;
    std::string message;
    if (!ReadCsvFileText(file, path, text, message)) throw RawDataError(message);
    RawCsvBuilder builder(table, limits);
    CsvRowReader reader;
    reader.header = [&](const CsvHead& head) { return builder.Header(head), true; };
    reader.row = [&](const CsvRow& row) { return builder.Row(row), true; };
    reader.fieldLimit = limits.columns + 1;  // a wider header is refused, a wider row too
    CsvHead head;
    std::string problem;
    if (!ReadCsvRows(text, head, reader, problem)) throw RawDataError("\"" + path + "\": " + problem);
    builder.Finish();
}

void FillRawDataFromCsv(const CsvTable& csv, RawDataTable& table, const RawReadLimits& limits)
{
    RawCsvBuilder builder(table, limits);
    builder.Header(HeadOf(csv));
    for (const CsvRow& row : csv.rows) builder.Row(row);
    builder.Finish();
}
