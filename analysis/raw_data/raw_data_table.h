#pragma once
// The controls' raw scores as read from a CSV, SPSS or Stata file: one
// column per variable of the file, one row per control. Only numeric
// columns keep their values; a missing value (an empty cell, a system- or
// user-defined missing value) is held as a quiet NaN.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/c_locale_format.h"

struct RawColumn {
    std::string name;             // as the file has it
    bool numeric = true;
    std::string notNumericReason; // why not, for the message: "line 4 holds \"NA\"", "it holds text"
    std::vector<double> values;   // numeric columns: one per row, NaN when missing
};

struct RawDataTable {
    std::string fileName;             // the file's own name, without its folder
    std::vector<RawColumn> columns;
    std::size_t rows = 0;
    // How a row is named in messages: "line" (CSV, with the file's line
    // numbers in rowNumbers) or "case" (SPSS, Stata: rowNumbers empty, row r
    // is case r + 1).
    std::string rowWord = "case";
    std::vector<long> rowNumbers;

    long RowNumber(std::size_t row) const
    {
        return row < rowNumbers.size() ? rowNumbers[row] : static_cast<long>(row) + 1;
    }
};

// What one reading may take in. A file beyond any of these is refused with
// a message that says which; nothing more than this is ever held in memory.
struct RawReadLimits {
    std::uint64_t bytes = 256ull * 1024 * 1024;
    std::size_t rows = 1000000;
    std::size_t columns = 5000;
    std::size_t numbers = 20000000;  // values kept, over all numeric columns
};

// "\"big.csv\" is too large: Harrow reads at most 1,000,000 rows." and the like.
std::string RawFileTooLargeMessage(const std::string& fileName, const std::string& what);
