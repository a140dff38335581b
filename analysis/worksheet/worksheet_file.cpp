#include "analysis/worksheet/worksheet_file.h"

#include <algorithm>

namespace {

DataFileResult Refusal(const std::string& message)
{
    DataFileResult r;
    r.status = DataFileResult::FileError;
    r.message = message;
    return r;
}

}  // namespace

DataFileResult SaveWorksheetFile(const std::string& path, const WorksheetData& data)
{
    int k = 0;
    if (!ReadFileCovariateCount(data.fields[CovariatesField], k))
        return Refusal("Cannot save the file \"" + path + "\".\rEnter the number of covariates (a whole number from 0 to " +
                       std::to_string(MaxCovariatesInFile) + ") first.");
    return WriteDataFile(path, data, k + 1);
}

DataFileResult OpenWorksheetFile(const std::string& path, WorksheetData& data)
{
    WorksheetData read;
    read.WriteDefaultNames();
    DataFileResult r = ReadDataFile(path, read);
    if (r.status == DataFileResult::Missing) return Refusal("Cannot open the file \"" + path + "\".\rIt does not exist.");
    if (r.status == DataFileResult::InvalidNumber)
        return Refusal("Cannot open the file \"" + path +
                       "\".\rIt is not a worksheet file: a number is missing or invalid.");
    if (!r.ok()) return r;
    // What the file does not hold stays as the user set it.
    read.notes = data.notes;
    read.credibleLimit = data.credibleLimit;
    read.PreviousDataLoaded = true;
    data = read;
    return r;
}

std::vector<std::string> WithRecentFile(std::vector<std::string> recent, const std::string& path, std::size_t most)
{
    recent.erase(std::remove(recent.begin(), recent.end(), path), recent.end());
    recent.insert(recent.begin(), path);
    if (recent.size() > most) recent.resize(most);
    return recent;
}
