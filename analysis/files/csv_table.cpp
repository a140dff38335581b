#include "analysis/files/csv_table.h"

#include <cctype>
#include <memory>

#include <csv.h>

#include "analysis/files/text_file.h"
#include "foundation/c_locale_format.h"

namespace {

const char ByteOrderMark[] = "\xEF\xBB\xBF";

bool IsBlank(char ch) { return ch == ' ' || ch == '\t'; }
bool IsLineEnd(char ch) { return ch == '\r' || ch == '\n'; }

std::string LineText(int line) { return "line " + std::to_string(line); }

// Length of the UTF-8 sequence starting at s[i], 0 when it is not valid
// (overlong forms, surrogates and values past U+10FFFF included).
std::size_t Utf8SequenceLength(const std::string& s, std::size_t i)
{
    auto byte = [&](std::size_t j) { return static_cast<unsigned char>(s[j]); };
    unsigned char b = byte(i);
    if (b < 0x80) return 1;
    std::size_t n;
    unsigned min;
    unsigned cp;
    if ((b & 0xE0) == 0xC0) { n = 2; min = 0x80; cp = b & 0x1F; }
    else if ((b & 0xF0) == 0xE0) { n = 3; min = 0x800; cp = b & 0x0F; }
    else if ((b & 0xF8) == 0xF0) { n = 4; min = 0x10000; cp = b & 0x07; }
    else return 0;
    if (i + n > s.size()) return 0;
    for (std::size_t j = 1; j < n; ++j) {
        if ((byte(i + j) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (byte(i + j) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return n;
}

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

// Collects libcsv's fields and records, tagging each record with the line
// it starts on. The text is fed one physical line at a time, so a record
// that is not open when a line starts begins on that line.
struct Collector {
    std::vector<std::string> record;
    int recordLine = 0;
    bool recordOpen = false;
    std::vector<CsvRow> records;

    static void Field(void* s, std::size_t len, void* data)
    {
        auto* self = static_cast<Collector*>(data);
        self->record.emplace_back(static_cast<const char*>(s), len);
    }
    static void Record(int, void* data)
    {
        auto* self = static_cast<Collector*>(data);
        CsvRow row;
        row.line = self->recordLine;
        row.fields.swap(self->record);
        self->records.push_back(std::move(row));
        self->recordOpen = false;
    }
};

struct ParserDeleter {
    void operator()(csv_parser* p) const
    {
        csv_free(p);
        delete p;
    }
};

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

bool ParseCsvText(const std::string& text, CsvTable& table, std::string& message)
{
    table = CsvTable();
    std::size_t start = text.compare(0, 3, ByteOrderMark) == 0 ? 3 : 0;
    if (int line = FirstLineNotText(text, start)) {
        message = LineText(line) + " is not UTF-8 text: save the file as CSV in UTF-8";
        return false;
    }
    table.separator = DetectCsvSeparator(text);

    std::unique_ptr<csv_parser, ParserDeleter> parser(new csv_parser);
    if (csv_init(parser.get(), CSV_STRICT | CSV_STRICT_FINI) != 0) {
        message = "out of memory";
        return false;
    }
    csv_set_delim(parser.get(), static_cast<unsigned char>(table.separator));

    Collector collector;
    int line = 1;
    for (std::size_t i = start; i < text.size(); ++line) {
        // One physical line with its line end (CR LF, LF or CR).
        std::size_t end = i;
        while (end < text.size() && !IsLineEnd(text[end])) ++end;
        if (end < text.size()) end += (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1;

        if (!collector.recordOpen) {
            bool content = false;
            for (std::size_t j = i; j < end && !content; ++j) content = !IsBlank(text[j]) && !IsLineEnd(text[j]);
            if (content) {
                collector.recordOpen = true;
                collector.recordLine = line;
            }
        }
        std::size_t length = end - i;
        if (csv_parse(parser.get(), text.data() + i, length, Collector::Field, Collector::Record, &collector) !=
            length) {
            if (csv_error(parser.get()) == CSV_ENOMEM) message = "out of memory";
            else
                message = LineText(line) +
                          ": a quote stands inside a field or after a closing quote (a field in quotes must be "
                          "quoted whole, with quotes inside it written twice)";
            return false;
        }
        i = end;
    }
    if (csv_fini(parser.get(), Collector::Field, Collector::Record, &collector) != 0) {
        message = LineText(collector.recordLine) + ": a quoted field is not closed before the end of the file";
        return false;
    }

    if (collector.records.empty()) {
        message = "the file is empty: its first line must be the header row naming the columns";
        return false;
    }
    table.headerLine = collector.records.front().line;
    table.header = std::move(collector.records.front().fields);
    table.rows.assign(std::make_move_iterator(collector.records.begin() + 1),
                      std::make_move_iterator(collector.records.end()));
    return true;
}

bool ReadCsvFile(const std::string& path, CsvTable& table, std::string& message)
{
    // Only a regular file is read: a pipe or device in its place is refused.
    const platform::RegularFile opened(path);
    return ReadCsvFile(opened, path, table, message);
}

bool ReadCsvFile(const platform::RegularFile& opened, const std::string& path, CsvTable& table, std::string& message)
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
    std::string problem;
    if (!ParseCsvText(file.bytes, table, problem)) {
        message = "\"" + path + "\": " + problem;
        return false;
    }
    return true;
}

std::string TrimCsvField(const std::string& field)
{
    std::size_t b = 0;
    std::size_t e = field.size();
    while (b < e && IsBlank(field[b])) ++b;
    while (e > b && IsBlank(field[e - 1])) --e;
    return field.substr(b, e - b);
}

std::string CsvColumnKey(const std::string& name)
{
    std::string key = TrimCsvField(name);
    for (char& ch : key)
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
    return key;
}

std::string NormaliseCsvNumber(const std::string& field, char separator)
{
    std::string text = TrimCsvField(field);
    if (separator == ';')
        for (char& ch : text)
            if (ch == ',') ch = '.';
    return text;
}

CsvNumber ReadCsvNumber(const std::string& field, char separator, double& value)
{
    std::string text = NormaliseCsvNumber(field, separator);
    if (text.empty()) return CsvNumber::Empty;
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

bool ParseCsvNumber(const std::string& field, char separator, double& value)
{
    return ReadCsvNumber(field, separator, value) == CsvNumber::Ok;
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

std::string SpreadsheetText(const std::string& field)
{
    if (!field.empty() && std::string("=+-@\t\r").find(field.front()) != std::string::npos) return "'" + field;
    return field;
}
