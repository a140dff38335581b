#include "analysis/files/csv_table.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <functional>
#include <memory>

#include <csv.h>

#include "analysis/files/text_encoding.h"
#include "analysis/files/text_file.h"
#include "foundation/c_locale_format.h"
#include "foundation/plain_text.h"

namespace {

bool IsBlank(char ch) { return ch == ' ' || ch == '\t'; }
bool IsLineEnd(char ch) { return ch == '\r' || ch == '\n'; }

std::string LineText(int line) { return "line " + std::to_string(line); }

// The line of the first byte that is not UTF-8 text (or is NUL), 0 if none.
int FirstLineNotText(const std::string& text, std::size_t start)
{
    int line = 1;
    for (std::size_t i = start; i < text.size();) {
        char ch = text[i];
        if (ch == '\n' || (ch == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) ++line;
        if (ch == '\0') return line;
        std::size_t n = Utf8SequenceLength(text, i);
        if (n == 0) return line;
        i += n;
    }
    return 0;
}

struct ParserDeleter {
    void operator()(csv_parser* p) const
    {
        csv_free(p);
        delete p;
    }
};

// Feeds the text (after any byte-order mark) to libcsv one physical line at a
// time, so that a record that is not open when a line starts begins on that
// line. The sink's Field and Record are libcsv's callbacks; Line(n) is told
// before the content of line n is fed. Returns false with the message on a
// stray quote, an open quote at the end or a lack of memory; when the sink
// stops (its `stopped` set), returns false with the message untouched.
template <class Sink>
bool FeedLines(const std::string& text, std::size_t start, char separator, Sink& sink, std::string& message)
{
    std::unique_ptr<csv_parser, ParserDeleter> parser(new csv_parser);
    if (csv_init(parser.get(), CSV_STRICT | CSV_STRICT_FINI) != 0) {
        message = "out of memory";
        return false;
    }
    csv_set_delim(parser.get(), static_cast<unsigned char>(separator));
    int line = 1;
    for (std::size_t i = start; i < text.size(); ++line) {
        // One physical line with its line end (CR LF, LF or CR).
        std::size_t end = i;
        while (end < text.size() && !IsLineEnd(text[end])) ++end;
        if (end < text.size()) end += (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1;
        sink.Line(line, text, i, end);
        const std::size_t length = end - i;
        if (csv_parse(parser.get(), text.data() + i, length, Sink::Field, Sink::Record, &sink) != length) {
            if (sink.stopped) return false;
            if (csv_error(parser.get()) == CSV_ENOMEM) message = "out of memory";
            else
                message = LineText(line) +
                          ": a quote stands inside a field or after a closing quote (a field in quotes must be "
                          "quoted whole, with quotes inside it written twice)";
            return false;
        }
        if (sink.stopped) return false;
        i = end;
    }
    if (csv_fini(parser.get(), Sink::Field, Sink::Record, &sink) != 0) {
        message = LineText(sink.recordLine) + ": a quoted field is not closed before the end of the file";
        return false;
    }
    return !sink.stopped;
}

// Notes whether a record starts on the line: only lines with content start one.
struct LineTracker {
    int recordLine = 0;
    bool recordOpen = false;
    bool stopped = false;

    void Line(int line, const std::string& text, std::size_t begin, std::size_t end)
    {
        if (recordOpen) return;
        for (std::size_t j = begin; j < end; ++j)
            if (!IsBlank(text[j]) && !IsLineEnd(text[j])) {
                recordOpen = true;
                recordLine = line;
                return;
            }
    }
};

// The first field that is a number written with a decimal comma.
struct DecimalCommaFinder : LineTracker {
    int foundLine = 0;
    std::string found;

    static void Field(void* s, std::size_t len, void* data)
    {
        auto* self = static_cast<DecimalCommaFinder*>(data);
        if (self->foundLine) return;
        const std::string field(static_cast<const char*>(s), len);
        double ignored;
        if (field.find(',') != std::string::npos && ReadCsvNumber(field, ',', ignored) == CsvNumber::Ok) {
            self->foundLine = self->recordLine;
            self->found = TrimCsvField(field);
        }
    }
    static void Record(int, void* data) { static_cast<DecimalCommaFinder*>(data)->recordOpen = false; }
};

// Hands each record to the reader's callbacks as soon as it is complete.
struct RecordSink : LineTracker {
    CsvHead* head = nullptr;
    const CsvRowReader* reader = nullptr;
    bool headerSeen = false;
    CsvRow row;

    static void Field(void* s, std::size_t len, void* data)
    {
        auto* self = static_cast<RecordSink*>(data);
        if (self->stopped) return;
        ++self->row.fieldCount;
        const char* text = static_cast<const char*>(s);
        if (self->row.fields.size() < self->reader->fieldLimit) self->row.fields.emplace_back(text, len);
        else
            for (std::size_t i = 0; i < len && !self->row.textBeyond; ++i)
                self->row.textBeyond = !IsBlank(text[i]);
    }
    static void Record(int, void* data)
    {
        auto* self = static_cast<RecordSink*>(data);
        self->recordOpen = false;
        if (self->stopped) return;
        self->row.line = self->recordLine;
        if (!self->headerSeen) {
            self->headerSeen = true;
            self->head->headerLine = self->row.line;
            self->head->header.swap(self->row.fields);
            self->head->fieldCount = self->row.fieldCount;
            self->stopped = self->reader->header && !self->reader->header(*self->head);
        } else {
            self->stopped = self->reader->row && !self->reader->row(self->row);
        }
        self->row.fields.clear();
        self->row.fieldCount = 0;
        self->row.textBeyond = false;
    }
};

// A number with points read either way in a file of decimal commas: the
// points as a decimal point ("1.5", "1.234") or as thousands separators
// ("1.234.567", "1.234,5": one to three digits, then groups of three). A
// date ("12.03.2024") is neither.
bool IsNumberWithPoints(const std::string& text)
{
    double ignored;
    if (ReadCsvNumber(text, '.', ignored) == CsvNumber::Ok) return true;
    std::size_t i = (text[0] == '+' || text[0] == '-') ? 1 : 0;
    std::size_t lead = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++lead;
    if (lead < 1 || lead > 3) return false;
    int groups = 0;
    while (i < text.size() && text[i] == '.') {
        std::size_t digits = 0;
        for (++i; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) ++digits;
        if (digits != 3) return false;
        ++groups;
    }
    if (groups == 0) return false;
    if (i == text.size()) return true;
    return ReadCsvNumber("0" + text.substr(i), ',', ignored) == CsvNumber::Ok;  // the decimal part ",5"
}

}  // namespace

char DetectCsvSeparator(const std::string& text)
{
    std::size_t i = text.compare(0, 3, ByteOrderMark) == 0 ? 3 : 0;
    // Skip empty and blank lines before the header row.
    while (i < text.size() && (IsBlank(text[i]) || IsLineEnd(text[i]))) ++i;
    int commas = 0;
    int semicolons = 0;
    bool quoted = false;
    for (; i < text.size(); ++i) {
        char ch = text[i];
        if (ch == '"') quoted = !quoted;
        else if (quoted) continue;
        else if (IsLineEnd(ch)) break;
        else if (ch == ',') ++commas;
        else if (ch == ';') ++semicolons;
    }
    return semicolons > commas ? ';' : ',';
}

bool ReadCsvRows(const std::string& text, CsvHead& head, const CsvRowReader& reader, std::string& message)
{
    head = CsvHead();
    std::size_t start = text.compare(0, 3, ByteOrderMark) == 0 ? 3 : 0;
    if (int line = FirstLineNotText(text, start)) {
        message = LineText(line) + " is not UTF-8 text: save the file as CSV in UTF-8";
        return false;
    }
    head.separator = DetectCsvSeparator(text);
    // The decimal mark is decided once for the whole file, before any number
    // is read: a comma file writes decimal points; a semicolon file writes
    // decimal commas as soon as one field anywhere in it is a number with a
    // comma ("999,5"), decimal points otherwise. In a file with decimal
    // commas a point may be a thousands separator ("1.234"), so a number
    // with a point is refused there, not guessed (see CsvNumber::Ambiguous).
    if (head.separator == ';') {
        DecimalCommaFinder finder;
        if (!FeedLines(text, start, head.separator, finder, message)) return false;
        if (finder.foundLine) {
            head.decimalMark = ',';
            head.decimalCommaLine = finder.foundLine;
            head.decimalCommaExample = finder.found;
        }
    }
    RecordSink sink;
    sink.head = &head;
    sink.reader = &reader;
    if (!FeedLines(text, start, head.separator, sink, message)) {
        if (sink.stopped) message.clear();
        return false;
    }
    if (!sink.headerSeen) {
        message = "the file is empty: its first line must be the header row naming the columns";
        return false;
    }
    return true;
}

bool ParseCsvText(const std::string& text, CsvTable& table, std::string& message)
{
    table = CsvTable();
    CsvRowReader reader;
    reader.row = [&](const CsvRow& row) {
        table.rows.push_back(row);
        return true;
    };
    CsvHead head;
    const bool parsed = ReadCsvRows(text, head, reader, message);
    table.separator = head.separator;
    table.decimalMark = head.decimalMark;
    table.decimalCommaLine = head.decimalCommaLine;
    table.decimalCommaExample = head.decimalCommaExample;
    table.headerLine = head.headerLine;
    table.header = std::move(head.header);
    if (!parsed) table = CsvTable();
    return parsed;
}

bool ReadCsvFileText(const std::string& path, std::string& text, std::string& message)
{
    // Only a regular file is read: a pipe or device in its place is refused.
    const platform::RegularFile opened(path);
    return ReadCsvFileText(opened, path, text, message);
}

bool ReadCsvFileText(const platform::RegularFile& opened, const std::string& path, std::string& text,
                     std::string& message)
{
    platform::FileReadResult file = opened.ReadAll(CsvFileByteLimit);
    if (!file.ok()) {
        message = "Cannot read \"" + path + "\": " + file.reason;
        return false;
    }
    if (file.tooLarge) {
        message = "Cannot read \"" + path + "\": the file is larger than " +
                  std::to_string(CsvFileByteLimit / (1024 * 1024)) + " MiB";
        return false;
    }
    text = std::move(file.bytes);
    return true;
}

bool ReadCsvFile(const std::string& path, CsvTable& table, std::string& message)
{
    std::string text;
    if (!ReadCsvFileText(path, text, message)) return false;
    std::string problem;
    if (!ParseCsvText(text, table, problem)) {
        message = "\"" + path + "\": " + problem;
        return false;
    }
    return true;
}

CsvHead HeadOf(const CsvTable& table)
{
    CsvHead head;
    head.separator = table.separator;
    head.decimalMark = table.decimalMark;
    head.decimalCommaLine = table.decimalCommaLine;
    head.decimalCommaExample = table.decimalCommaExample;
    head.headerLine = table.headerLine;
    head.header = table.header;
    return head;
}

std::string TrimCsvField(const std::string& field) { return TrimmedOf(field, " \t"); }

bool HasTextBeyond(const CsvRow& row, std::size_t width)
{
    if (row.textBeyond) return true;
    for (std::size_t f = width; f < row.fields.size(); ++f)
        if (!TrimCsvField(row.fields[f]).empty()) return true;
    return false;
}

std::size_t RecordFieldCount(const CsvRow& row) { return std::max(row.fieldCount, row.fields.size()); }

std::string CsvColumnKey(const std::string& name)
{
    std::string key = TrimCsvField(name);
    for (char& ch : key)
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
    return key;
}

std::string NormaliseCsvNumber(const std::string& field, char decimalMark)
{
    std::string text = TrimCsvField(field);
    if (decimalMark == ',')
        for (char& ch : text)
            if (ch == ',') ch = '.';
    return text;
}

CsvNumber ReadCsvNumber(const std::string& field, char decimalMark, double& value)
{
    std::string text = NormaliseCsvNumber(field, decimalMark);
    if (text.empty()) return CsvNumber::Empty;
    if (decimalMark == ',' && field.find('.') != std::string::npos)
        return IsNumberWithPoints(TrimCsvField(field)) ? CsvNumber::Ambiguous : CsvNumber::Invalid;
    // sign? digits* ('.' digits*)? ((e|E) sign? digits+)?, with a digit in the mantissa.
    std::size_t i = 0;
    if (text[i] == '+' || text[i] == '-') ++i;
    std::string word;
    for (std::size_t j = i; j < text.size(); ++j) word += static_cast<char>(std::tolower(static_cast<unsigned char>(text[j])));
    if (word == "inf" || word == "infinity" || word == "nan") return CsvNumber::NotFinite;
    int digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
    }
    if (digits == 0) return CsvNumber::Invalid;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        int exponentDigits = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++exponentDigits;
        if (exponentDigits == 0) return CsvNumber::Invalid;
    }
    if (i != text.size()) return CsvNumber::Invalid;
    // The syntax is strtod's: only a value beyond the double range fails here.
    return ReadCNumber(text, value) ? CsvNumber::Ok : CsvNumber::NotFinite;
}

bool ParseCsvNumber(const std::string& field, char decimalMark, double& value)
{
    return ReadCsvNumber(field, decimalMark, value) == CsvNumber::Ok;
}

std::string QuoteCsvField(const std::string& field, char separator)
{
    bool needsQuotes = !field.empty() && (IsBlank(field.front()) || IsBlank(field.back()));
    for (char ch : field)
        if (ch == separator || ch == '"' || IsLineEnd(ch)) needsQuotes = true;
    if (!needsQuotes) return field;
    // libcsv's writer: the field in quotes, quotes inside doubled.
    std::string quoted(2 * field.size() + 2, '\0');
    quoted.resize(csv_write(&quoted[0], quoted.size(), field.data(), field.size()));
    return quoted;
}

std::string FormatCsvNumber(double value, char decimalMark)
{
    // std::to_chars ignores the locale and gives the shortest round trip.
    char text[64];
    std::string number(text, std::to_chars(text, text + sizeof text, value).ptr);
    for (char& ch : number)
        if (ch == '.') ch = decimalMark;
    return number;
}

std::string AmbiguousCsvNumberMessage(const CsvHead& head, int line, std::size_t column, const std::string& field)
{
    std::string name = column >= 1 && column <= head.header.size() ? TrimCsvField(head.header[column - 1]) : "";
    return LineText(line) + ", column " + std::to_string(column) + (name.empty() ? "" : " (\"" + name + "\")") +
           ": the number \"" + TrimCsvField(field) + "\" is ambiguous: this file writes decimal commas (" +
           LineText(head.decimalCommaLine) + " holds \"" + head.decimalCommaExample +
           "\"), so its point may be a thousands separator or a decimal point. Write every number of the file "
           "with a decimal comma and without thousands separators";
}

std::string SpreadsheetText(const std::string& field)
{
    if (!field.empty() && std::string("=+-@\t\r").find(field.front()) != std::string::npos) return "'" + field;
    return field;
}
