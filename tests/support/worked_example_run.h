#pragma once
// The worked example (examples/worked-example.txt) run the way the
// worksheet runs it: checks, preparation, the engine with its draws'
// summary, the report lines and the figure's data. One run per credible
// limit per test program.
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "analysis/run/compute_checks.h"
#include "analysis/figure/figure_data.h"
#include "analysis/report/report.h"

struct WorkedExampleRun {
    WorksheetData data;
    AnalysisInputs in;
    AnalysisOutputs out;
    std::vector<std::string> report;
    FigureData figure;
};

inline const WorkedExampleRun& RunWorkedExample(int credibleLimit)
{
    static std::map<int, WorkedExampleRun> runs;
    auto found = runs.find(credibleLimit);
    if (found != runs.end()) return found->second;
    WorkedExampleRun run;
    WorksheetData& d = run.data;
    d.fields[CovariatesField] = "1";
    d.fields[SampleSizeField] = "20";
    d.SetGridRows(2);
    const char* cells[2][4] = {{"Task", "50", "10", "30"}, {"Educ", "10", "2", "8"}};
    for (int row = 0; row < 2; ++row)
        for (int column = NameColumn; column <= ScoreColumn; ++column) d.Cell(row, column) = cells[row][column - 1];
    d.StoredCorrelations[1][2] = d.StoredCorrelations[2][1] = 0.5;
    d.credibleLimit = credibleLimit;
    const ComputeCheckResult check = CheckComputeInputs(d);
    if (!check.passed || !PrepareAnalysis(d, check.k, check.N, run.in)) throw std::logic_error("worked example refused");
    RunAnalysis(run.in, credibleLimit, run.out);
    run.report = ReportLines(false, d, run.in, run.out);
    run.figure = MakeFigureData(d, run.in, run.out);
    return runs.emplace(credibleLimit, run).first->second;
}

// The numbers of the report's line "Effect size (Z-CCC) = ... (95% ...)", as
// printed: the point estimate, then the limit or limits.
inline std::vector<std::string> ReportedZcccNumbers(const std::vector<std::string>& report)
{
    for (const std::string& line : report) {
        if (line.rfind(" Effect size (Z-CCC) = ", 0) != 0) continue;
        std::vector<std::string> numbers;
        const std::regex number("-?[0-9]+\\.[0-9]+");
        for (auto it = std::sregex_iterator(line.begin(), line.end(), number); it != std::sregex_iterator(); ++it)
            numbers.push_back(it->str());
        return numbers;
    }
    return {};
}

// A figure's text with its minus signs (U+2212) written as the report
// writes them, so that its numbers can be compared with the report's.
inline std::string WithReportMinus(std::string text)
{
    for (std::size_t at; (at = text.find("\xE2\x88\x92")) != std::string::npos;) text.replace(at, 3, "-");
    return text;
}
