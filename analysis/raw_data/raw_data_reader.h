#pragma once
// One way in for the controls' raw scores, whatever the file: CSV text,
// SPSS (.sav, .zsav) or Stata (.dta). The format is taken from the file's
// first bytes where they tell (SPSS and newer Stata files say what they
// are), otherwise from its extension; anything else is read as CSV text.
// Both front ends read raw data through this.
#include <stdexcept>
#include <string>

#include "analysis/raw_data/raw_data_table.h"

enum class RawFileFormat { Csv, Spss, Stata };

// head: the file's first bytes (a few dozen are enough).
RawFileFormat DetectRawFileFormat(const std::string& path, const std::string& head);

// What stops a reading: the message names the file and says what is wrong.
class RawDataError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the whole file into table within the limits. Throws RawDataError
// (unreadable, damaged, empty or too large file); table is then left empty.
void ReadRawDataFile(const std::string& path, RawDataTable& table, const RawReadLimits& limits = {});

// The same, showing the refusal in an error box (false) instead of throwing.
bool LoadRawDataFile(const std::string& path, RawDataTable& table, const RawReadLimits& limits = {});

// The format readers, for ReadRawDataFile; each reads the file opened once
// (path only names it), fills table (fileName set by the caller) or throws
// RawDataError.
namespace platform { class RegularFile; }
void ReadReadstatFile(const platform::RegularFile& file, RawFileFormat format, RawDataTable& table,
                      const RawReadLimits& limits);
void ReadCsvRawData(const platform::RegularFile& file, const std::string& path, RawDataTable& table,
                    const RawReadLimits& limits);
// The CSV reader's table as raw data (fileName set by the caller).
struct CsvTable;
void FillRawDataFromCsv(const CsvTable& csv, RawDataTable& table, const RawReadLimits& limits);
