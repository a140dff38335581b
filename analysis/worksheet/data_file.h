#pragma once
// The previous-data file ("Harrow.txt", see data_file_location.h): the worksheet's
// two field texts, the grid rows and the lower triangle of the correlations,
// one item per line, CR LF line ends. With p = covariates + 1 the file has
// 2 + 4p + p(p + 1)/2 lines:
//   covariate field text, sample-size field text        (as typed)
//   for each of p grid rows: name, mean, SD, score        (as typed)
//   for i = 1..p, t = 1..i: StoredCorrelations[t][i]       ("%1.3f")
// Nothing here shows a message: the caller turns a failed result into one.
#include <array>
#include <string>

#include "analysis/worksheet/worksheet_data.h"

struct DataFileResult {
    enum Status {
        Ok,
        Missing,        // reading: no file of that name
        FileError,      // the file could not be opened, written or replaced
        InvalidNumber,  // reading: a number was bad or missing
    };
    Status status = Ok;
    // For FileError the file and the system's reason, e.g. "Cannot save the
    // file \"/x/Harrow.txt\".\rPermission denied" ('\r' starts a new line in
    // a message box); for InvalidNumber "Invalid numeric input"; else empty.
    std::string message;
    bool ok() const { return status == Ok; }
};

inline constexpr char InvalidNumericInputMessage[] = "Invalid numeric input";

// folder + "/" + DataFileName; just DataFileName when the folder is empty
// (the current folder then).
std::string DataFilePath(const std::string& folder);

// Writes the worksheet for an analysis of p variables (1 .. 20): p grid
// rows whatever GridRows says, so the file always reads back, and the p x p
// triangle. The text goes to a temporary file in the same folder that then
// replaces the old file (platform::WriteWholeFile), so a failed write leaves
// the old file as it was; a pipe, directory or a link to a file that is not
// the user's own in the file's place is refused (FileError), never written.
// Line breaks inside a text are written as blanks. A ticked "Also report
// the frequentist test" adds a last line "1"; reading sets reportExact from
// it (files without it: not ticked).
DataFileResult WriteDataFile(const std::string& path, const WorksheetData& data, int p);

// The covariate count a worksheet file can hold: a whole number from 0 to
// MaxCovariatesInFile. Reading refuses a file with any other; saving one
// would write a file that does not read back.
inline constexpr int MaxCovariatesInFile = StoredCorrelationsCapacity - 1;
bool ReadFileCovariateCount(const std::string& text, int& k);

// Reads the file into data: the two fields (each read as a number, shown
// again with "%1.6g"), GridRows = p, p grid rows, the correlation triangle
// ([t][i] from the t-th value of row i, mirrored into [i][t] as the entry
// window keeps both triangles; then [i][i] = 1.0).
// p comes from the covariate field as a whole number from 0 to 19.
// Missing: data untouched. On InvalidNumber (bad number, covariate count not
// whole or out of range, short file) everything read before the bad item is
// kept, nothing after it is changed. PreviousDataLoaded is not touched here.
// Lines longer than 1,000 bytes are cut there (never inside a character).
// The file is UTF-8, as written; a leading byte-order mark is skipped, and a
// file that is not UTF-8 (an older worksheet) is read as Windows-1252. Only a regular file is
// read (platform::ReadRegularFile: never waits on a pipe); anything else in
// its place is a FileError that says what it is.
// fieldLines, when given, gets the two field lines as stored (the texts the
// fields held when the file was written, without the "%1.6g" reformatting),
// for a reader that checks them as the fields would.
using StoredFieldLines = std::array<std::string, FieldsStored>;
DataFileResult ReadDataFile(const std::string& path, WorksheetData& data, StoredFieldLines* fieldLines = nullptr);

// Start-up: with a file, ReadDataFile and PreviousDataLoaded = result ok;
// without one, PreviousDataLoaded = false and WriteDefaultNames. The result
// is ReadDataFile's (Missing without file) for the caller to report.
DataFileResult LoadPreviousData(const std::string& path, WorksheetData& data);

// Clear Data: deletes the file if it exists (a link is removed, never the
// file it leads to). FileError when it cannot be deleted, and when the name
// is a directory, pipe or anything else that is not a regular file: that is
// not the program's file and is left alone.
DataFileResult DeleteDataFile(const std::string& path);
