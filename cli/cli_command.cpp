#include "cli/cli_command.h"

#include <cerrno>
#include <cstring>
#include <exception>

#include "analysis/run/run_failure.h"
#include "analysis/files/text_encoding.h"
#include "analysis/files/same_file.h"
#include "analysis/files/text_file.h"
#include "analysis/files/write_target.h"
#include "analysis/figure/figure_format.h"
#include "analysis/report/summary_sentence.h"
#include "cli/json_result.h"
#include "foundation/messages.h"

namespace {

// Far beyond any notes a report can carry; stops a stray device file.
constexpr std::size_t NotesByteLimit = 1024 * 1024;

bool RefuseOutput(const std::string& message)
{
    platform::ShowError(message);
    return false;
}

bool CheckNotAnInput(const CliRequest& request, const std::string& output)
{
    return CheckOutputIsNoInput(output, {{request.worksheetPath, "worksheet file"}, {request.notesPath, "notes file"}});
}

}  // namespace

bool CheckOutputIsNoInput(const std::string& output, const std::vector<std::pair<std::string, std::string>>& inputs)
{
    for (const auto& input : inputs)
        if (!input.first.empty() && platform::SameFile(output, input.first))
            return RefuseOutput(platform::OutputIsInputMessage(output, input.second));
    return true;
}

bool CheckOutputWritable(const std::string& output)
{
    try {
        platform::CheckWriteTarget(output);
        return true;
    } catch (const platform::FileWriteError& e) {
        return RefuseOutput(e.what());
    }
}

bool CheckOutputPaths(const CliRequest& request)
{
    if (!request.plotPath.empty()) {
        if (FigureFormatOf(request.plotPath) == FigureFormat::Unknown)
            return RefuseOutput(UnknownFigureFormatMessage(request.plotPath));
        if (!CheckNotAnInput(request, request.plotPath)) return false;
    }
    if (!request.pdfPath.empty()) {
        if (FigureFormatOf(request.pdfPath) != FigureFormat::Pdf)
            return RefuseOutput("Cannot save the report as \"" + request.pdfPath + "\": the name must end in .pdf.");
        if (!CheckNotAnInput(request, request.pdfPath)) return false;
    }
    if (!request.plotPath.empty() && !request.pdfPath.empty() && platform::SameFile(request.plotPath, request.pdfPath))
        return RefuseOutput("Cannot write \"" + request.pdfPath + "\": --plot and --pdf name the same file.");
    for (const std::string* output : {&request.plotPath, &request.pdfPath})
        if (!output->empty() && !CheckOutputWritable(*output)) return false;
    return true;
}

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

int RunHarrowCli(const CliRequest& request, std::FILE* out, CliFigureWriter* figures)
{
    return RunCliCommand([&]() -> int {
        const bool drawing = !request.plotPath.empty() || !request.pdfPath.empty();
        if (drawing && !figures) {
            platform::ShowError("This harrow-cli was built without Qt: --plot and --pdf are not available.");
            return ExitRefused;
        }
        if (!CheckOutputPaths(request)) return ExitRefused;

        WorksheetAnalysis analysis;
        if (!ReadWorksheetFile(request.worksheetPath, analysis.data)) return ExitRefused;
        analysis.data.credibleLimit = request.credibleLimit;
        if (request.exact) analysis.data.reportExact = true;
        if (!request.notesPath.empty() && !ReadNotesFile(request.notesPath, analysis.data.notes))
            return ExitRefused;

        if (!PrepareWorksheetAnalysis(analysis)) {
            ShowRefusedLine(request.worksheetPath, analysis.refusedLine);
            return ExitRefused;
        }
        RunAnalysis(analysis.in, analysis.data.credibleLimit, analysis.out);

        if (drawing) {
            const FigureData figure =
                MakeFigureData(analysis.data, analysis.in, analysis.out);
            if (!request.plotPath.empty()) figures->WritePlot(request.plotPath, figure, request.plotOptions);
            if (!request.pdfPath.empty()) figures->WritePdf(request.pdfPath, ReportLines(analysis), figure);
        }

        std::string text;
        if (request.json) {
            text = FormatJsonResult(analysis.in, analysis.out, analysis.data.credibleLimit) + "\n";
        } else if (request.summary) {
            text = SummarySentence(analysis.in, analysis.out, analysis.data.credibleLimit) + "\n";
        } else {
            for (const std::string& line : ReportLines(analysis)) text += line + "\n";
        }
        if (!WriteOutputText(out, text, "report")) return ExitAnalysisFailed;
        return ExitReportWritten;
    });
}

bool WriteOutputText(std::FILE* out, const std::string& text, const char* what)
{
    if (std::fwrite(text.data(), 1, text.size(), out) == text.size() && std::fflush(out) == 0) return true;
    platform::ShowError(std::string("Cannot write the ") + what + ": " + std::strerror(errno));
    return false;
}
