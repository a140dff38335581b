#include "cli/cli_command.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <new>

#include "analysis/text_encoding.h"
#include "analysis/text_file.h"
#include "cli/json_result.h"
#include "foundation/messages.h"

namespace {

// Far beyond any notes a report can carry; stops a stray device file.
constexpr std::size_t NotesByteLimit = 1024 * 1024;

void ShowRefusedLine(const std::string& path, int line)
{
    if (line > 0)
        std::fprintf(stderr, "harrow-cli: the refused entry is on line %d of \"%s\".\n", line, path.c_str());
}

bool WriteText(std::FILE* out, const std::string& text)
{
    return std::fwrite(text.data(), 1, text.size(), out) == text.size();
}

}  // namespace

bool ReadNotesFile(const std::string& path, std::vector<std::string>& lines)
{
    // Opened without waiting: a pipe in the file's place is refused, not read.
    const platform::FileReadResult file = platform::ReadRegularFile(path, NotesByteLimit);
    if (!file.ok()) {
        platform::ShowError("Cannot read notes file \"" + path + "\": " + file.reason);
        return false;
    }
    if (file.tooLarge) {
        platform::ShowError("Cannot read notes file \"" + path + "\": larger than 1 MiB");
        return false;
    }
    lines = SplitNotes(TextFromFileBytes(file.bytes));  // UTF-8, or older Windows-1252 text
    return true;
}

int RunHarrowCli(const CliRequest& request, std::FILE* out)
{
    try {
        WorksheetAnalysis analysis;
        if (!ReadWorksheetFile(request.worksheetPath, analysis.data)) return ExitRefused;
        analysis.data.credibleLimit = request.credibleLimit;
        if (!request.notesPath.empty() && !ReadNotesFile(request.notesPath, analysis.data.notes))
            return ExitRefused;

        if (!PrepareWorksheetAnalysis(analysis)) {
            ShowRefusedLine(request.worksheetPath, analysis.refusedLine);
            return ExitRefused;
        }
        RunAnalysis(analysis.in, analysis.data.credibleLimit, analysis.out);

        std::string text;
        if (request.json) {
            text = FormatJsonResult(analysis.in, analysis.out, analysis.data.credibleLimit) + "\n";
        } else {
            for (const std::string& line : ReportLines(analysis)) text += line + "\n";
        }
        if (!WriteText(out, text) || std::fflush(out) != 0) {
            platform::ShowError(std::string("Cannot write the report: ") + std::strerror(errno));
            return ExitAnalysisFailed;
        }
        return ExitReportWritten;
    } catch (const std::bad_alloc&) {
        platform::ShowError("Out of memory");
    } catch (const std::exception& e) {
        platform::ShowError(e.what());
    } catch (...) {
        platform::ShowError("The analysis stopped with an unknown error");
    }
    return ExitAnalysisFailed;
}
