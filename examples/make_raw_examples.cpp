// Writes raw-controls.sav (SPSS) and raw-controls.dta (Stata) from
// raw-controls.csv, the same controls in each, with libreadstat's writer:
//   bash examples/make-raw-examples.sh
// The missing cell of the CSV file becomes a system-missing value (SPSS)
// and "." (Stata); the "id" column stays text.
#include <cstdio>
#include <exception>
#include <string>

#include "analysis/files/csv_table.h"
#include "analysis/raw_data/raw_data_reader.h"
#include "tests/support/readstat_writer.h"

int main(int argc, char** argv)
{
    const std::string folder = argc > 1 ? argv[1] : "examples";
    try {
        CsvTable csv;
        std::string message;
        if (!ReadCsvFile(folder + "/raw-controls.csv", csv, message)) throw std::runtime_error(message);
        RawDataTable table;
        FillRawDataFromCsv(csv, table, RawReadLimits());
        std::vector<ReadstatColumn> columns;
        for (std::size_t c = 0; c < table.columns.size(); ++c) {
            ReadstatColumn column{table.columns[c].name, table.columns[c].values, {}, {}};
            if (!table.columns[c].numeric)
                for (const CsvRow& row : csv.rows) column.texts.push_back(row.fields.at(c));
            columns.push_back(column);
        }
        WriteReadstatFile(folder + "/raw-controls.sav", ReadstatKind::Sav, columns);
        WriteReadstatFile(folder + "/raw-controls.dta", ReadstatKind::Dta, columns);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_raw_examples: %s\n", e.what());
        return 1;
    }
    return 0;
}
