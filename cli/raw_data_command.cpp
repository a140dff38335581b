#include "cli/raw_data_command.h"

#include <algorithm>
#include <exception>

#include "analysis/files/csv_table.h"
#include "analysis/raw_data/raw_data_analysis.h"
#include "analysis/raw_data/raw_data_reader.h"
#include "analysis/run/compute_workflow.h"
#include "analysis/report/summary_sentence.h"
#include "analysis/run/run_failure.h"
#include "cli/case_series_command.h"
#include "cli/cli_command.h"
#include "cli/json_result.h"
#include "foundation/c_locale_format.h"
#include "foundation/messages.h"

namespace {

std::string Full(extended value) { return FormatC("%.21Lg", value); }

std::string Padded(const std::string& text, std::size_t width)
{
    return text.size() < width ? text + std::string(width - text.size(), ' ') : text;
}

std::vector<std::string> SplitCommas(const std::string& text)
{
    std::vector<std::string> items;
    std::size_t start = 0;
    for (;;) {
        std::size_t comma = text.find(',', start);
        items.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos) return items;
        start = comma + 1;
    }
}

}  // namespace

bool ReadCaseOption(const std::string& text, const RawSummary& summary, tVector& scores)
{
    std::vector<std::string> items = SplitCommas(text);
    for (std::string& item : items) item = TrimCsvField(item);
    if (items.size() != static_cast<std::size_t>(summary.p())) {
        std::string names;
        for (const std::string& name : summary.names) names += (names.empty() ? "" : ", ") + name;
        platform::ShowError("--case gives " + std::to_string(items.size()) + " score" +
                            (items.size() == 1 ? "" : "s") + ", but the task and " + std::to_string(summary.k) +
                            " covariate" + (summary.k == 1 ? "" : "s") + " need " + std::to_string(summary.p()) +
                            ", in this order: " + names + ".");
        return false;
    }
    return ReadCaseScores(summary, items, scores);
}

std::string FormatRawStatistics(const RawSummary& s)
{
    std::size_t width = std::string("Variable").size();
    for (const std::string& name : s.names) width = std::max(width, name.size());
    width += 2;
    constexpr std::size_t NumberWidth = 30;

    std::string text = "Summary statistics computed from raw data: \"" + s.fileName + "\"\n";
    text += "N = " + std::to_string(s.N) + " controls, " + std::to_string(s.dropped) + " incomplete control" +
            (s.dropped == 1 ? "" : "s") + " left out\n\n";
    text += Padded("Variable", width) + Padded("Mean", NumberWidth) + "SD\n";
    for (int i = 1; i <= s.p(); ++i)
        text += Padded(s.names[static_cast<std::size_t>(i - 1)], width) + Padded(Full(s.means[i]), NumberWidth) +
                Full(s.sds[i]) + "\n";
    text += "\nCorrelations\n" + std::string(width, ' ');
    for (int j = 1; j <= s.p(); ++j) text += Padded(s.names[static_cast<std::size_t>(j - 1)], NumberWidth);
    text.erase(text.find_last_not_of(' ') + 1);
    text += "\n";
    for (int i = 1; i <= s.p(); ++i) {
        std::string line = Padded(s.names[static_cast<std::size_t>(i - 1)], width);
        for (int j = 1; j <= s.p(); ++j) line += Padded(Full(s.corr[i][j]), NumberWidth);
        line.erase(line.find_last_not_of(' ') + 1);
        text += line + "\n";
    }
    return text;
}

int RunRawDataCli(const RawCliRequest& request, std::FILE* out)
{
    return RunCliCommand([&]() -> int {
        std::vector<std::string> notes;
        if (!request.notesPath.empty() && !ReadNotesFile(request.notesPath, notes)) return ExitRefused;
        RawDataTable table;
        if (!LoadRawDataFile(request.controlsPath, table)) return ExitRefused;
        RawSummary summary;
        if (!SummariseRawData(table, request.choice, summary)) return ExitRefused;

        if (!request.hasCase) {
            std::string text = request.json ? FormatJsonRawStatistics(summary) + "\n" : FormatRawStatistics(summary);
            return WriteOutputText(out, text, "output") ? ExitReportWritten : ExitAnalysisFailed;
        }

        tVector scores;
        if (!ReadCaseOption(request.caseScores, summary, scores)) return ExitRefused;
        const PreparedCompute prepared = PrepareSummaryCompute(summary, scores, ComputePurpose::SingleCase);
        if (prepared.status != PreparedCompute::Ready) return ExitRefused;
        const AnalysisInputs& in = prepared.in;
        AnalysisOutputs outputs;
        RunAnalysis(in, request.credibleLimit, outputs);

        std::string text;
        if (request.json) {
            text = FormatJsonResult(in, outputs, request.credibleLimit, &summary) + "\n";
        } else if (request.summary) {
            text = SummarySentence(in, outputs, request.credibleLimit) + "\n";
        } else {
            ReportHeading heading = RawReportHeading(summary, request.credibleLimit, notes);
            heading.reportExact = request.exact;
            for (const std::string& line : ReportLines(false, heading, in, outputs)) text += line + "\n";
        }
        return WriteOutputText(out, text, "output") ? ExitReportWritten : ExitAnalysisFailed;
    });
}

int RunRawCaseSeriesCli(const RawCliRequest& request, const CaseSeriesRequest& series, std::FILE* out)
{
    return RunCliCommand([&]() -> int {
        if (!CheckSeriesOutput(series, request.controlsPath)) return ExitRefused;
        RawDataTable table;
        if (!LoadRawDataFile(request.controlsPath, table)) return ExitRefused;
        RawSummary summary;
        if (!SummariseRawData(table, request.choice, summary)) return ExitRefused;
        const PreparedCompute prepared = PrepareSummaryCompute(summary, tVector(), ComputePurpose::CaseSeries);
        if (prepared.status != PreparedCompute::Ready) return ExitRefused;
        return RunCaseSeriesOnControls(prepared.in, series, out);
    });
}
