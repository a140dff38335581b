#pragma once
// Reading a CSV file into a table of text fields, for every file of scores a
// user brings from a spreadsheet (cases files, raw control data).
//
// The file: UTF-8 text, with or without a byte-order mark; the first record
// is the header row, the others are data rows. Fields are separated by commas
// (numbers with decimal points) or by semicolons (numbers with decimal points
// or decimal commas, as spreadsheets export in many locales). Quoted fields
// follow RFC 4180: a field in double quotes may hold separators, line breaks
// and quotes written twice (""). Blanks around an unquoted field are dropped.
// Line ends may be CR LF, LF or CR. Empty lines are skipped.
//
// Parsing is done by libcsv (strict mode: a stray quote is an error).
#include <cstddef>
#include <string>
#include <vector>

struct CsvRow {
    int line = 0;                     // physical line (1-based) where the record starts
    std::vector<std::string> fields;  // as many as the record has (rows may be ragged)
};

struct CsvTable {
    char separator = ',';             // ',' or ';'
    int headerLine = 0;               // line of the header row
    std::vector<std::string> header;  // the header row's fields
    std::vector<CsvRow> rows;         // the data rows in file order
};

// Files larger than this are refused before they are read.
constexpr std::size_t CsvFileByteLimit = 32u * 1024u * 1024u;

// The separator of the file: ',' or ';', whichever occurs more often outside
// quotes in the header row (the first non-empty record); ',' on a tie.
char DetectCsvSeparator(const std::string& text);

// Parses the text of a whole file (byte-order mark allowed). On refusal
// returns false with a message in the user's terms that names the line, e.g.
// "line 3 is not UTF-8 text"; the file's name is not in it. Refused: an
// empty text (no header row), text that is not UTF-8 or holds a NUL byte, a
// quote outside a quoted field or a quoted field left open.
bool ParseCsvText(const std::string& text, CsvTable& table, std::string& message);

// Reads and parses a file (UTF-8 name). On refusal returns false with a
// message that names the file: "Cannot read \"x.csv\": ..." for a file that
// cannot be read or is larger than CsvFileByteLimit, "\"x.csv\": line 3 ..."
// for a file that cannot be parsed.
bool ReadCsvFile(const std::string& path, CsvTable& table, std::string& message);

namespace platform { class RegularFile; }
// The same from a file already opened (and checked) under the name path.
bool ReadCsvFile(const platform::RegularFile& file, const std::string& path, CsvTable& table, std::string& message);

// Reads one field as a number. Blanks around it are ignored; then an optional
// sign, digits with at most one decimal mark, and an optional exponent (e or
// E, optional sign, digits); at least one digit before the exponent. The
// decimal mark is a point; in a semicolon file (separator ';') a comma is
// taken as the decimal mark too. Refused (false, value untouched): an empty
// field, anything else (thousands separators, "inf", "nan", hexadecimal) and
// numbers too large for a double. The value is the double nearest the text.
bool ParseCsvNumber(const std::string& field, char separator, double& value);

// The same, telling why a field was refused, for messages.
enum class CsvNumber {
    Ok,
    Empty,      // nothing but blanks
    NotFinite,  // "inf", "nan" (any case, signed) or a number too large for a double
    Invalid,    // anything else that is not a number as above
};
CsvNumber ReadCsvNumber(const std::string& field, char separator, double& value);

// The field without the blanks (spaces and tabs) around it: empty when it
// holds nothing else.
std::string TrimCsvField(const std::string& field);

// The key a column is matched by its name: the name trimmed, A-Z lowered.
std::string CsvColumnKey(const std::string& name);

// The field with the decimal comma turned into a point when the separator is
// ';', blanks around it removed: the text ParseCsvNumber reads.
std::string NormaliseCsvNumber(const std::string& field, char separator);

// One field as it must be written in a CSV file with this separator: as it
// is, or in double quotes (quotes doubled) when it holds the separator, a
// quote, a line break or blanks at either end.
std::string QuoteCsvField(const std::string& field, char separator = ',');

// A text field as a spreadsheet must take it as text: one that begins with
// =, +, -, @, a tab or a carriage return would be run as a formula (or lose
// its start), so it gets a leading apostrophe; any other is as it is.
std::string SpreadsheetText(const std::string& field);
