// Raw control data in a CSV file, read with the shared CSV reader: the
// header row names the variables, each further row is a control. A column
// is numeric when every cell that is not empty holds a number; an empty
// cell is a missing value.
#include <cmath>
#include <limits>

#include "analysis/files/csv_table.h"
#include "analysis/files/text_file.h"
#include "analysis/raw_data/raw_data_reader.h"

namespace {

bool IsBlankText(const std::string& text) { return TrimCsvField(text).empty(); }

// A cell quoted in a message, cut short when long.
std::string Quoted(const std::string& cell)
{
    constexpr std::size_t Shown = 40;
    return "\"" + (cell.size() > Shown ? cell.substr(0, Shown) + "..." : cell) + "\"";
}

}  // namespace

void ReadCsvRawData(const platform::RegularFile& file, const std::string& path, RawDataTable& table,
                    const RawReadLimits& limits)
{
    if (file.Size() > CsvFileByteLimit)
        throw RawDataError(RawFileTooLargeMessage(table.fileName, "CSV files of at most " +
                                                                      GroupedNumber(CsvFileByteLimit) + " bytes"));
    CsvTable csv;
    std::string message;
    if (!ReadCsvFile(file, path, csv, message)) throw RawDataError(message);
    FillRawDataFromCsv(csv, table, limits);
}

void FillRawDataFromCsv(const CsvTable& csv, RawDataTable& table, const RawReadLimits& limits)
{
    const std::size_t columns = csv.header.size();
    if (columns > limits.columns)
        throw RawDataError(RawFileTooLargeMessage(table.fileName, "at most " + GroupedNumber(limits.columns) + " columns"));
    if (csv.rows.size() > limits.rows)
        throw RawDataError(RawFileTooLargeMessage(table.fileName, "at most " + GroupedNumber(limits.rows) + " rows"));

    table.rows = csv.rows.size();
    table.rowWord = "line";
    table.rowNumbers.clear();
    for (const CsvRow& row : csv.rows) {
        for (std::size_t f = columns; f < row.fields.size(); ++f)
            if (!IsBlankText(row.fields[f]))
                throw RawDataError("\"" + table.fileName + "\": line " + std::to_string(row.line) + " has " +
                                   std::to_string(row.fields.size()) + " fields, but the header row names " +
                                   std::to_string(columns) + " columns");
        table.rowNumbers.push_back(row.line);
    }

    std::size_t numbers = 0;
    table.columns.resize(columns);
    for (std::size_t c = 0; c < columns; ++c) {
        RawColumn& column = table.columns[c];
        column.name = csv.header[c];
        bool counted = false;
        for (const CsvRow& row : csv.rows) {
            const std::string empty;
            const std::string& cell = c < row.fields.size() ? row.fields[c] : empty;
            double value = std::numeric_limits<double>::quiet_NaN();
            if (!IsBlankText(cell) && !ParseCsvNumber(cell, csv.separator, value)) {
                column.numeric = false;
                column.notNumericReason = "line " + std::to_string(row.line) + " holds " + Quoted(cell);
                if (counted) numbers -= table.rows;
                column.values.clear();
                column.values.shrink_to_fit();
                break;
            }
            if (!counted) {
                counted = true;
                if (numbers + table.rows > limits.numbers)
                    throw RawDataError(RawFileTooLargeMessage(
                        table.fileName, "at most " + GroupedNumber(limits.numbers) + " numbers"));
                numbers += table.rows;
                column.values.reserve(table.rows);
            }
            column.values.push_back(value);
        }
    }
}
