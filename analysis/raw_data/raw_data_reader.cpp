#include "analysis/raw_data/raw_data_reader.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <new>

#include "analysis/files/file_names.h"
#include "analysis/files/text_file.h"
#include "foundation/messages.h"

namespace {

std::string BaseName(const std::string& path)
{
    std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool StartsWith(const std::string& text, const char* prefix)
{
    return text.compare(0, std::strlen(prefix), prefix) == 0;
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
        // Opened once: every read below comes from this descriptor, so a pipe
        // put in the file's place meanwhile can neither be read nor block.
        const platform::RegularFile file(path);
        if (!file.ok()) throw RawDataError("Cannot read \"" + name + "\": " + file.Reason());
        if (file.Size() > limits.bytes)
            throw RawDataError(RawFileTooLargeMessage(name, "files of at most " + GroupedNumber(limits.bytes) + " bytes"));
        if (file.Size() == 0) throw RawDataError("\"" + name + "\" is empty.");

        RawFileFormat format = DetectRawFileFormat(path, file.Head(64));
        if (format == RawFileFormat::Csv)
            ReadCsvRawData(file, path, table, limits);
        else
            ReadReadstatFile(file, format, table, limits);
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
