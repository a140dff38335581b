#pragma once
// Writes small SPSS (.sav, .zsav) and Stata (.dta) files with libreadstat's
// writer, for the raw-data tests and the example files.
#include <readstat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

enum class ReadstatKind { Sav, Zsav, Dta };

// Special cells of a numeric column.
inline const double SystemMissing = std::nan("1");  // SPSS system-missing, Stata "."
inline const double TaggedMissing = std::nan("2");  // Stata ".a"

struct ReadstatColumn {
    std::string name;
    std::vector<double> numbers;       // numeric column (NaN as above)
    std::vector<std::string> texts;    // text column, when numbers is empty
    std::vector<double> userMissing;   // SPSS user-defined missing values
};

inline void WriteReadstatFile(const std::string& path, ReadstatKind kind, const std::vector<ReadstatColumn>& columns)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) throw std::runtime_error("cannot create " + path);
    readstat_writer_t* writer = readstat_writer_init();
    readstat_set_data_writer(writer, [](const void* data, size_t length, void* context) -> ssize_t {
        return static_cast<ssize_t>(std::fwrite(data, 1, length, static_cast<std::FILE*>(context)));
    });
    std::vector<readstat_variable_t*> variables;
    std::size_t rows = 0;
    for (const ReadstatColumn& c : columns) {
        bool text = c.numbers.empty();
        std::size_t width = 1;
        for (const std::string& t : c.texts) width = std::max(width, t.size());
        readstat_variable_t* v =
            readstat_add_variable(writer, c.name.c_str(), text ? READSTAT_TYPE_STRING : READSTAT_TYPE_DOUBLE, text ? width : 0);
        for (double m : c.userMissing) readstat_variable_add_missing_double_value(v, m);
        variables.push_back(v);
        rows = std::max(rows, text ? c.texts.size() : c.numbers.size());
    }
    readstat_error_t error = READSTAT_OK;
    // A fixed date: the same data always give the same bytes.
    readstat_writer_set_file_timestamp(writer, 1767225600);
    if (kind == ReadstatKind::Dta) {
        readstat_writer_set_file_format_version(writer, 118);
        error = readstat_begin_writing_dta(writer, file, static_cast<long>(rows));
    } else {
        if (kind == ReadstatKind::Zsav) readstat_writer_set_compression(writer, READSTAT_COMPRESS_BINARY);
        error = readstat_begin_writing_sav(writer, file, static_cast<long>(rows));
    }
    for (std::size_t r = 0; r < rows && error == READSTAT_OK; ++r) {
        readstat_begin_row(writer);
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const ReadstatColumn& col = columns[c];
            if (col.numbers.empty()) {
                error = readstat_insert_string_value(writer, variables[c], col.texts[r].c_str());
            } else {
                double x = col.numbers[r];
                if (!std::isnan(x))
                    error = readstat_insert_double_value(writer, variables[c], x);
                else if (kind == ReadstatKind::Dta && std::memcmp(&x, &TaggedMissing, sizeof x) == 0)
                    error = readstat_insert_tagged_missing_value(writer, variables[c], 'a');
                else
                    error = readstat_insert_missing_value(writer, variables[c]);
            }
            if (error != READSTAT_OK) break;
        }
        if (error == READSTAT_OK) error = readstat_end_row(writer);
    }
    if (error == READSTAT_OK) error = readstat_end_writing(writer);
    readstat_writer_free(writer);
    std::fclose(file);
    if (error != READSTAT_OK) throw std::runtime_error(std::string("readstat: ") + readstat_error_message(error));
}
