#include "cli/case_series_command.h"

#include <unistd.h>

#include <chrono>
#include <exception>
#include <mutex>

#include "analysis/case_series/case_series.h"
#include "analysis/run/run_failure.h"
#include "analysis/files/text_file.h"
#include "cli/cli_command.h"
#include "cli/series_json.h"
#include "cli/worksheet_analysis.h"
#include "foundation/messages.h"
#include "foundation/terminal_text.h"

namespace {

// The progress line on a terminal, rewritten in place; callable from any thread.
class TerminalProgress {
public:
    bool operator()(int done, int total)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto now = std::chrono::steady_clock::now();
        if (done < total && now - shown_ < std::chrono::milliseconds(200)) return true;
        shown_ = now;
        double elapsed = std::chrono::duration<double>(now - start_).count();
        std::string line = SeriesProgressText(done, total, elapsed);
        std::fprintf(stderr, "\r%-70s", line.c_str());
        std::fflush(stderr);
        return true;
    }
    void Finish() { std::fprintf(stderr, "\r%70s\r", ""); }

private:
    std::mutex mutex_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point shown_{};
};

void ReportRefusedRows(const std::string& path, const std::vector<SeriesResult>& results)
{
    for (const SeriesResult& r : results)
        if (!r.analysed)
            std::fprintf(stderr, "harrow-cli: line %d of \"%s\" (case \"%s\") was not analysed: %s\n", r.input.line,
                         platform::EscapeControlCharacters(path).c_str(),
                         platform::EscapeControlCharacters(r.input.label).c_str(),
                         platform::EscapeControlCharacters(r.error).c_str());
}

}  // namespace

bool CheckSeriesOutput(const CaseSeriesRequest& request, const std::string& controlsPath)
{
    if (request.outputPath.empty()) return true;
    return CheckOutputIsNoInput(request.outputPath, {{request.worksheetPath, "worksheet file"},
                                                     {request.casesPath, "cases file"},
                                                     {controlsPath, "raw data file"}}) &&
           CheckOutputWritable(request.outputPath);
}

int RunCaseSeriesCli(const CaseSeriesRequest& request, std::FILE* out)
{
    return RunCliCommand([&]() -> int {
        if (!CheckSeriesOutput(request)) return ExitRefused;
        WorksheetAnalysis analysis;
        if (!ReadWorksheetFile(request.worksheetPath, analysis.data)) return ExitRefused;
        analysis.data.credibleLimit = request.credibleLimit;
        if (!PrepareWorksheetAnalysis(analysis, ComputePurpose::CaseSeries)) {
            ShowRefusedLine(request.worksheetPath, analysis.refusedLine);
            return ExitRefused;
        }
        return RunCaseSeriesOnControls(analysis.in, request, out);
    });
}

int RunCaseSeriesOnControls(const SummaryData& controls, const CaseSeriesRequest& request, std::FILE* out)
{
    return RunCliCommand([&]() -> int {
        std::vector<SeriesCase> cases;
        std::string message;
        if (!ReadCasesFile(request.casesPath, controls.names, cases, message)) {
            platform::ShowError(message);
            return ExitRefused;
        }

        std::vector<SeriesResult> results;
        SeriesProgress progress;
        TerminalProgress terminal;
        bool showProgress = ::isatty(STDERR_FILENO) == 1;
        if (showProgress) progress = [&terminal](int done, int total) { return terminal(done, total); };
        RunCaseSeries(controls, request.credibleLimit, cases, progress, results, request.exactOnly);
        if (showProgress) terminal.Finish();
        ReportRefusedRows(request.casesPath, results);

        std::string text = request.json ? FormatSeriesJsonLines(controls, results, request.exactOnly)
                                          : FormatSeriesCsv(controls, results, request.exactOnly, request.csvLocale);
        if (!request.outputPath.empty())
            platform::WriteWholeFile(request.outputPath, text);
        else if (!WriteOutputText(out, text, "results"))
            return ExitAnalysisFailed;
        return CountRefused(results) == 0 ? ExitReportWritten : ExitSomeRowsRefused;
    });
}
