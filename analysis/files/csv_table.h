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
#include <functional>
#include <string>
#include <vector>

struct CsvRow {
    int line = 0;                     // physical line (1-based) where the record starts
    std::vector<std::string> fields;  // as many as the record has (rows may be ragged), see CsvRowReader
    std::size_t fieldCount = 0;       // fields in the record, those not kept included
    bool textBeyond = false;          // a field not kept holds more than blanks
};

struct CsvTable {
    char separator = ',';             // ',' or ';'
    char decimalMark = '.';           // '.' or ',' (only in a semicolon file)
    int decimalCommaLine = 0;         // as CsvHead
    std::string decimalCommaExample;
    int headerLine = 0;               // line of the header row
    std::vector<std::string> header;  // the header row's fields
    std::vector<CsvRow> rows;         // the data rows in file order
};

// Files larger than this are refused before they are read.
constexpr std::size_t CsvFileByteLimit = 32u * 1024u * 1024u;

// The separator of the file: ',' or ';', whichever occurs more often outside
// quotes in the header row (the first non-empty record); ',' on a tie.
char DetectCsvSeparator(const std::string& text);

// The header row and what the rows' numbers are written with, as the
// streaming reader finds them.
struct CsvHead {
    char separator = ',';
    char decimalMark = '.';
    int decimalCommaLine = 0;          // with decimalMark ',': the first line with a decimal comma
    std::string decimalCommaExample;   // ... and that number, for messages
    int headerLine = 0;
    std::vector<std::string> header;
    std::size_t fieldCount = 0;        // fields of the header row, those not kept included
};

// The head of a table read whole, as the streaming reader hands it over.
CsvHead HeadOf(const CsvTable& table);

// What the streaming reader calls: `header` once the header row is read,
// then `row` for each data row in file order; either returns false to stop
// the reading (and keeps its own message). Either may be empty.
// Fields past `fieldLimit` in a record are counted, not kept, so that a line
// of millions of separators costs no more than its text.
struct CsvRowReader {
    std::function<bool(const CsvHead& head)> header;
    std::function<bool(const CsvRow& row)> row;
    std::size_t fieldLimit = static_cast<std::size_t>(-1);
};

// Reads the text one record at a time: no more than the text and one row
// are held, so a file refused for its size or content costs little beyond
// its text. The decimal mark is decided for the whole file before the first
// row (a semicolon file with at least one number written with a decimal
// comma uses decimal commas; every other file decimal points). Returns false
// with a message as ParseCsvText, or with an empty message when a callback
// stopped the reading.
bool ReadCsvRows(const std::string& text, CsvHead& head, const CsvRowReader& reader, std::string& message);

// The text of a file for ReadCsvRows, checked as ReadCsvFile checks it; the
// second form reads a file already opened once (the raw-data reader's).
namespace platform { class RegularFile; }
bool ReadCsvFileText(const std::string& path, std::string& text, std::string& message);
bool ReadCsvFileText(const platform::RegularFile& file, const std::string& path, std::string& text,
                     std::string& message);

// Parses the text of a whole file (byte-order mark allowed) into a table. On refusal
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


// Reads one field as a number. Blanks around it are ignored; then an optional
// sign, digits with at most one decimal mark, and an optional exponent (e or
// E, optional sign, digits); at least one digit before the exponent. The
// decimal mark is the file's (CsvTable::decimalMark, '.' or ','). Refused
// (false, value untouched): an empty field, anything else (thousands
// separators, "inf", "nan", hexadecimal) and numbers too large for a double.
// The value is the double nearest the text.
bool ParseCsvNumber(const std::string& field, char decimalMark, double& value);

// The same, telling why a field was refused, for messages.
enum class CsvNumber {
    Ok,
    Empty,      // nothing but blanks
    NotFinite,  // "inf", "nan" (any case, signed) or a number too large for a double
    Ambiguous,  // decimal mark ',' and points that may be thousands separators ("1.234", "1.234,5")
    Invalid,    // anything else that is not a number as above
};
CsvNumber ReadCsvNumber(const std::string& field, char decimalMark, double& value);

// "line 4, column 2 (\"Volume\"): the number \"1.234\" is ambiguous: ..." for a
// field ReadCsvNumber calls Ambiguous (column 1-based, its header name).
std::string AmbiguousCsvNumberMessage(const CsvHead& head, int line, std::size_t column, const std::string& field);

// The field without the blanks (spaces and tabs) around it: empty when it
// holds nothing else.
std::string TrimCsvField(const std::string& field);

// True when a field past the first width fields holds more than blanks: the
// empty fields spreadsheets pad rows with are no fields of their own.
bool HasTextBeyond(const CsvRow& row, std::size_t width);
// The fields of the record, those not kept included.
std::size_t RecordFieldCount(const CsvRow& row);

// The key a column is matched by its name: the name trimmed, A-Z lowered.
std::string CsvColumnKey(const std::string& name);

// The field with the decimal comma turned into a point when the decimal
// mark is ',', blanks around it removed: the text ParseCsvNumber reads.
std::string NormaliseCsvNumber(const std::string& field, char decimalMark);

// One field as it must be written in a CSV file with this separator: as it
// is, or in double quotes (quotes doubled) when it holds the separator, a
// quote, a line break or blanks at either end.
std::string QuoteCsvField(const std::string& field, char separator = ',');

// A number as a CSV file is written with: the fewest digits that read back
// to the same double ("-2", "0.1", "1e-05"), in any locale, with the decimal
// mark given ('.' or ','). Finite values only.
std::string FormatCsvNumber(double value, char decimalMark);

// A text field as a spreadsheet must take it as text: one that begins with
// =, +, -, @, a tab or a carriage return would be run as a formula (or lose
// its start), so it gets a leading apostrophe; any other is as it is.
std::string SpreadsheetText(const std::string& field);
