#include "analysis/raw_data/raw_data_reader.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <new>

#include "analysis/files/text_file.h"
#include "foundation/messages.h"

namespace {

std::string LowerExtension(const std::string& path)
{
    std::size_t slash = path.find_last_of("/\\");
    std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    std::string extension = path.substr(dot);
    for (char& ch : extension) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return extension;
}

std::string BaseName(const std::string& path)
{
    std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool StartsWith(const std::string& text, const char* prefix)
{
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

// The file's first bytes; the file has been checked to be a regular file.
std::string ReadHead(const std::string& path, const std::string& name)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw RawDataError("Cannot read \"" + name + "\": " + std::strerror(errno));
    char head[64] = {};
    in.read(head, sizeof head);
    return std::string(head, static_cast<std::size_t>(in.gcount()));
}

}  // namespace

std::string RawFileTooLargeMessage(const std::string& fileName, const std::string& what)
{
    return "\"" + fileName + "\" is too large: Harrow reads " + what + " of raw data.";
}

RawFileFormat DetectRawFileFormat(const std::string& path, const std::string& head)
{
    // SPSS files open with "$FL2" (.sav) or "$FL3" (.zsav); Stata 13 and
    // later with an XML-like tag. Older Stata files carry a version byte.
    if (StartsWith(head, "$FL2") || StartsWith(head, "$FL3")) return RawFileFormat::Spss;
    if (StartsWith(head, "<stata_dta>")) return RawFileFormat::Stata;
    const std::string extension = LowerExtension(path);
    if (extension == ".sav" || extension == ".zsav") return RawFileFormat::Spss;
    if (extension == ".dta") return RawFileFormat::Stata;
    return RawFileFormat::Csv;
}

void ReadRawDataFile(const std::string& path, RawDataTable& table, const RawReadLimits& limits)
{
    table = RawDataTable();
    const std::string name = BaseName(path);
    table.fileName = name;
    try {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0)
            throw RawDataError("Cannot read \"" + name + "\": " + std::strerror(errno));
        if (!S_ISREG(info.st_mode))
            throw RawDataError("Cannot read \"" + name + "\": " + platform::NotRegularFileReason(info.st_mode));
        if (static_cast<std::uint64_t>(info.st_size) > limits.bytes)
            throw RawDataError(RawFileTooLargeMessage(name, "files of at most " + GroupedNumber(limits.bytes) + " bytes"));
        if (info.st_size == 0) throw RawDataError("\"" + name + "\" is empty.");

        RawFileFormat format = DetectRawFileFormat(path, ReadHead(path, name));
        if (format == RawFileFormat::Csv)
            ReadCsvRawData(path, table, limits);
        else
            ReadReadstatFile(path, format, table, limits);
        if (table.columns.empty()) throw RawDataError("\"" + name + "\" holds no variables.");
    } catch (...) {
        table = RawDataTable();
        table.fileName = name;
        throw;
    }
}

bool LoadRawDataFile(const std::string& path, RawDataTable& table, const RawReadLimits& limits)
{
    try {
        ReadRawDataFile(path, table, limits);
        return true;
    } catch (const RawDataError& e) {
        platform::ShowError(e.what());
    } catch (const std::bad_alloc&) {
        platform::ShowError("Not enough memory to read \"" + BaseName(path) + "\".");
    }
    table = RawDataTable();
    return false;
}
