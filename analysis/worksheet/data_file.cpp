#include "analysis/worksheet/data_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "foundation/c_locale_format.h"
#include "analysis/files/text_encoding.h"
#include "analysis/files/text_file.h"

namespace {

constexpr std::size_t LineLimit = 1000;
// No sound file comes near this (at most 292 lines of short texts); a file
// that does is read no further.
constexpr std::size_t ByteBudget = 4 * 1024 * 1024;

DataFileResult Failure(DataFileResult::Status status, const std::string& message)
{
    DataFileResult r;
    r.status = status;
    r.message = message;
    return r;
}

DataFileResult SystemFailure(const std::string& what, const std::string& path, int error)
{
    return Failure(DataFileResult::FileError, what + " the file \"" + path + "\".\r" + std::strerror(error));
}

DataFileResult InvalidNumber() { return Failure(DataFileResult::InvalidNumber, InvalidNumericInputMessage); }

// A text as one line of the file: line breaks would shift every later item.
std::string OneLine(std::string text)
{
    for (char& ch : text)
        if (ch == '\r' || ch == '\n') ch = ' ';
    return text;
}

// Reads lines and numbers the way the file was written, within fixed bounds.
class Reader {
public:
    explicit Reader(const std::string& text) : text_(text) {}

    // One line without its CR LF (or LF); cut at LineLimit characters. False
    // at the end of the file.
    bool ReadLine(std::string& line)
    {
        line.clear();
        int ch = Get();
        if (ch == EOF) return false;
        while (ch != EOF && ch != '\n') {
            if (line.size() < LineLimit + 1) line += static_cast<char>(ch);
            ch = Get();
        }
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() > LineLimit) line = CutAtCharacter(line, LineLimit);
        lineStart_ = next_;
        return true;
    }

    // Blanks and line ends skipped, one number, then the rest of its line.
    // line, when given, gets the whole line the number stands on.
    bool ReadNumber(double& value, std::string* line = nullptr)
    {
        int ch = Get();
        while (ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n') {
            if (ch == '\n') lineStart_ = next_;
            ch = Get();
        }
        std::string token;
        while (ch != EOF && ch != ' ' && ch != '\t' && ch != '\r' && ch != '\n') {
            if (token.size() <= 64) token += static_cast<char>(ch);
            ch = Get();
        }
        while (ch != EOF && ch != '\n') ch = Get();
        if (line) {
            const std::size_t end = ch == '\n' ? next_ - 1 : next_;
            *line = CutAtCharacter(text_.substr(lineStart_, end - lineStart_), LineLimit);
            if (!line->empty() && line->back() == '\r') line->pop_back();
        }
        lineStart_ = next_;
        return token.size() <= 64 && ReadCNumber(token, value);
    }

private:
    int Get() { return next_ < text_.size() ? static_cast<unsigned char>(text_[next_++]) : EOF; }

    const std::string& text_;
    std::size_t next_ = 0;
    std::size_t lineStart_ = 0;  // where ReadNumber's current line began
};

}  // namespace

std::string DataFilePath(const std::string& folder)
{
    if (folder.empty()) return DataFileName;
    if (folder.back() == '/' || folder.back() == '\\') return folder + DataFileName;
    return folder + "/" + DataFileName;
}

bool ReadFileCovariateCount(const std::string& text, int& k)
{
    return ReadWholeNumberText(text, k) && k >= 0 && k <= MaxCovariatesInFile;
}

DataFileResult WriteDataFile(const std::string& path, const WorksheetData& data, int p)
{
    if (p < 1) p = 1;
    if (p > StoredCorrelationsCapacity) p = StoredCorrelationsCapacity;

    std::string text;
    for (int f = 0; f < FieldsStored; ++f) text += OneLine(data.fields[f]) + "\r\n";
    for (int r = 0; r < p; ++r)
        for (int c = NameColumn; c < GridColumns; ++c) text += OneLine(data.Cell(r, c)) + "\r\n";
    // The window's lower triangle: row i, column t is element [t][i], the
    // element that reading fills.
    for (int i = 1; i <= p; ++i)
        for (int t = 1; t <= i; ++t) text += FormatC("%1.3f", data.StoredCorrelations[t][i]) + "\r\n";
    // The tick box for the frequentist test: a line of its own only when
    // ticked, so that every other file stays as it always was.
    if (data.reportExact) text += "1\r\n";

    // Written beside the old file and renamed over it: a failure on the way
    // leaves the old file whole.
    try {
        platform::WriteWholeFile(path, text);
    } catch (const platform::FileWriteError& e) {
        return Failure(DataFileResult::FileError, e.what());
    }
    return DataFileResult();
}

DataFileResult ReadDataFile(const std::string& path, WorksheetData& data, StoredFieldLines* fieldLines)
{
    // Opened without waiting: a pipe or device in the file's place is refused.
    const platform::FileReadResult file = platform::ReadRegularFile(path, ByteBudget);
    if (file.status == platform::FileReadResult::Missing) return Failure(DataFileResult::Missing, "");
    if (!file.ok()) return Failure(DataFileResult::FileError, "Cannot read the file \"" + path + "\".\r" + file.reason);
    // Older worksheets are in the single-byte Windows character set.
    const std::string text = TextFromFileBytes(file.bytes);
    Reader in(text);

    for (int f = 0; f < FieldsStored; ++f) {
        double v = 0;
        if (!in.ReadNumber(v, fieldLines ? &(*fieldLines)[f] : nullptr)) return InvalidNumber();
        data.fields[f] = FormatC("%1.6g", v);
    }

    int k = 0;
    if (!ReadFileCovariateCount(data.fields[CovariatesField], k)) return InvalidNumber();
    int p = k + 1;

    data.SetGridRows(p);
    for (int r = 0; r < p; ++r) {
        for (int c = NameColumn; c < GridColumns; ++c) {
            std::string line;
            if (!in.ReadLine(line)) return InvalidNumber();
            data.Cell(r, c) = line;
        }
    }

    for (int i = 1; i <= p; ++i) {
        for (int t = 1; t <= i; ++t) {
            double v = 0;
            if (!in.ReadNumber(v)) return InvalidNumber();
            data.StoredCorrelations[t][i] = v;
            data.StoredCorrelations[i][t] = v;  // both triangles alike, as the entry window keeps them
        }
        data.StoredCorrelations[i][i] = 1.0;
    }
    double tick = 0;
    data.reportExact = in.ReadNumber(tick) && tick == 1;
    return DataFileResult();
}

DataFileResult LoadPreviousData(const std::string& path, WorksheetData& data)
{
    DataFileResult r = ReadDataFile(path, data);
    if (r.status == DataFileResult::Missing || r.status == DataFileResult::FileError) {
        // Nothing was read: the worksheet starts as on a first run.
        data.PreviousDataLoaded = false;
        data.WriteDefaultNames();
        return r;
    }
    data.PreviousDataLoaded = r.ok();
    return r;
}

DataFileResult DeleteDataFile(const std::string& path)
{
    struct stat entry;
    if (::lstat(path.c_str(), &entry) != 0) {
        if (errno == ENOENT) return DataFileResult();
        return SystemFailure("Cannot delete", path, errno);
    }
    // A link goes, never what it leads to; a directory or pipe of that name
    // is not the program's file.
    if (!S_ISREG(entry.st_mode) && !S_ISLNK(entry.st_mode))
        return Failure(DataFileResult::FileError,
                       "Cannot delete the file \"" + path + "\".\r" + platform::NotRegularFileReason(entry.st_mode));
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) return SystemFailure("Cannot delete", path, errno);
    return DataFileResult();
}
