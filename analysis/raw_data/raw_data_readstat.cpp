// SPSS and Stata files through libreadstat: numeric variables keep their
// values, every missing kind (system-missing, SPSS user-defined missing
// values and ranges, Stata's . and .a to .z) becomes NaN; text variables are
// listed but not read.
#include <readstat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <limits>
#include <memory>

#include "analysis/raw_data/raw_data_reader.h"
#include "analysis/files/text_encoding.h"
#include "analysis/files/text_file.h"

namespace {

struct ReadstatContext {
    RawDataTable* table = nullptr;
    const RawReadLimits* limits = nullptr;
    std::string tooLarge;  // set when a limit stopped the reading
    std::size_t numericColumns = 0;
};

bool IsNumericType(readstat_type_t type)
{
    return type != READSTAT_TYPE_STRING && type != READSTAT_TYPE_STRING_REF;
}

bool WithinNumbers(ReadstatContext& c, std::size_t rows)
{
    if (c.numericColumns == 0 || rows <= c.limits->numbers / c.numericColumns) return true;
    c.tooLarge = GroupedNumber(c.limits->numbers) + " numbers";
    return false;
}

int OnMetadata(readstat_metadata_t* metadata, void* context)
{
    auto& c = *static_cast<ReadstatContext*>(context);
    int64_t rows = readstat_get_row_count(metadata);
    if (rows > 0 && static_cast<uint64_t>(rows) > c.limits->rows) {
        c.tooLarge = GroupedNumber(c.limits->rows) + " rows";
        return READSTAT_HANDLER_ABORT;
    }
    int64_t variables = readstat_get_var_count(metadata);
    if (variables > 0 && static_cast<uint64_t>(variables) > c.limits->columns) {
        c.tooLarge = GroupedNumber(c.limits->columns) + " columns";
        return READSTAT_HANDLER_ABORT;
    }
    if (rows > 0) c.table->rows = static_cast<std::size_t>(rows);
    return READSTAT_HANDLER_OK;
}

int OnVariable(int index, readstat_variable_t* variable, const char*, void* context)
{
    auto& c = *static_cast<ReadstatContext*>(context);
    if (index < 0 || static_cast<std::size_t>(index) != c.table->columns.size()) return READSTAT_HANDLER_ABORT;
    if (c.table->columns.size() >= c.limits->columns) {
        c.tooLarge = GroupedNumber(c.limits->columns) + " columns";
        return READSTAT_HANDLER_ABORT;
    }
    RawColumn column;
    const char* name = readstat_variable_get_name(variable);
    column.name = name ? name : "";
    // Names are UTF-8 in the program; a file whose names are not (an old or
    // damaged one) is read as the Windows character set.
    if (!IsUtf8(column.name)) column.name = Windows1252ToUtf8(column.name);
    column.numeric = IsNumericType(readstat_variable_get_type(variable));
    if (!column.numeric) column.notNumericReason = "it holds text";
    if (column.numeric) {
        ++c.numericColumns;
        if (!WithinNumbers(c, c.table->rows)) return READSTAT_HANDLER_ABORT;
        column.values.assign(c.table->rows, std::numeric_limits<double>::quiet_NaN());
    }
    const bool numeric = column.numeric;
    c.table->columns.push_back(std::move(column));
    return numeric ? READSTAT_HANDLER_OK : READSTAT_HANDLER_SKIP_VARIABLE;
}

int OnValue(int row, readstat_variable_t* variable, readstat_value_t value, void* context)
{
    auto& c = *static_cast<ReadstatContext*>(context);
    int index = readstat_variable_get_index(variable);
    if (row < 0 || index < 0 || static_cast<std::size_t>(index) >= c.table->columns.size())
        return READSTAT_HANDLER_ABORT;
    RawColumn& column = c.table->columns[static_cast<std::size_t>(index)];
    if (!column.numeric) return READSTAT_HANDLER_OK;
    auto r = static_cast<std::size_t>(row);
    if (r >= column.values.size()) {
        // A file that does not give its row count: the rows grow as they come.
        if (r >= c.limits->rows) {
            c.tooLarge = GroupedNumber(c.limits->rows) + " rows";
            return READSTAT_HANDLER_ABORT;
        }
        if (!WithinNumbers(c, r + 1)) return READSTAT_HANDLER_ABORT;
        column.values.resize(r + 1, std::numeric_limits<double>::quiet_NaN());
    }
    if (c.table->rows < r + 1) c.table->rows = r + 1;
    bool numericValue = readstat_value_type_class(value) == READSTAT_TYPE_CLASS_NUMERIC;
    double v = numericValue ? readstat_double_value(value) : std::numeric_limits<double>::quiet_NaN();
    if (!numericValue || readstat_value_is_missing(value, variable) || !std::isfinite(v))
        v = std::numeric_limits<double>::quiet_NaN();
    column.values[r] = v;
    return READSTAT_HANDLER_OK;
}

// The library reads through these from the descriptor opened once, never
// opening the file again by its name.
struct OpenedInput {
    int fd = -1;
};

int OnOpen(const char*, void* io)
{
    return ::lseek(static_cast<OpenedInput*>(io)->fd, 0, SEEK_SET) == 0 ? 0 : -1;
}

int OnClose(void*) { return 0; }  // the descriptor is the caller's

readstat_off_t OnSeek(readstat_off_t offset, readstat_io_flags_t whence, void* io)
{
    const int from = whence == READSTAT_SEEK_SET ? SEEK_SET : whence == READSTAT_SEEK_CUR ? SEEK_CUR : SEEK_END;
    return ::lseek(static_cast<OpenedInput*>(io)->fd, offset, from);
}

ssize_t OnRead(void* buffer, size_t count, void* io)
{
    for (;;) {
        const ssize_t n = ::read(static_cast<OpenedInput*>(io)->fd, buffer, count);
        if (n >= 0 || errno != EINTR) return n;
    }
}

readstat_error_t OnUpdate(long, readstat_progress_handler, void*, void*) { return READSTAT_OK; }

struct ParserDeleter {
    void operator()(readstat_parser_t* parser) const { readstat_parser_free(parser); }
};

}  // namespace

void ReadReadstatFile(const platform::RegularFile& file, RawFileFormat format, RawDataTable& table,
                      const RawReadLimits& limits)
{
    std::unique_ptr<readstat_parser_t, ParserDeleter> parser(readstat_parser_init());
    if (!parser) throw std::bad_alloc();
    OpenedInput input{file.Descriptor()};
    readstat_set_open_handler(parser.get(), OnOpen);
    readstat_set_close_handler(parser.get(), OnClose);
    readstat_set_seek_handler(parser.get(), OnSeek);
    readstat_set_read_handler(parser.get(), OnRead);
    readstat_set_update_handler(parser.get(), OnUpdate);
    readstat_set_io_ctx(parser.get(), &input);
    readstat_set_metadata_handler(parser.get(), OnMetadata);
    readstat_set_variable_handler(parser.get(), OnVariable);
    readstat_set_value_handler(parser.get(), OnValue);

    ReadstatContext context;
    context.table = &table;
    context.limits = &limits;
    readstat_error_t error = format == RawFileFormat::Stata ? readstat_parse_dta(parser.get(), "", &context)
                                                            : readstat_parse_sav(parser.get(), "", &context);
    if (!context.tooLarge.empty())
        throw RawDataError(RawFileTooLargeMessage(table.fileName, "at most " + context.tooLarge));
    const char* kind = format == RawFileFormat::Stata ? "a Stata data file" : "an SPSS data file";
    if (error != READSTAT_OK)
        throw RawDataError("Cannot read \"" + table.fileName + "\" as " + kind + ": " +
                           readstat_error_message(error));
    // Rows named by the file but never given values stay missing.
    for (RawColumn& column : table.columns)
        if (column.numeric) column.values.resize(table.rows, std::numeric_limits<double>::quiet_NaN());
    table.rowWord = "case";
    table.rowNumbers.clear();
}
