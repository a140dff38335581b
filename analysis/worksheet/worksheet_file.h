#pragma once
// Worksheets the user keeps under names of their own (one file per set of
// norms), in the same format as the automatic last worksheet (data_file.h),
// and the list of those opened or saved most recently.
#include <string>
#include <vector>

#include "analysis/worksheet/data_file.h"

// Saves the worksheet under path: as many grid rows and correlations as the
// covariate field asks for. A covariate field that is not a whole number from
// 0 to 12 is refused (FileError with a message saying so): the file would not
// read back. Written through WriteDataFile (a failed write leaves the old
// file whole).
DataFileResult SaveWorksheetFile(const std::string& path, const WorksheetData& data);

// Reads a worksheet file into data. Only a file that reads whole replaces
// the worksheet (the correlations it holds are then the ones the matrix
// window starts from); otherwise data stays as it was and the message names
// the file and what is wrong with it.
DataFileResult OpenWorksheetFile(const std::string& path, WorksheetData& data);

// The recent-files list with path put first (once), at most `most` long.
inline constexpr std::size_t RecentFilesKept = 8;
std::vector<std::string> WithRecentFile(std::vector<std::string> recent, const std::string& path,
                                        std::size_t most = RecentFilesKept);
