#pragma once
// The fixed-width report of one analysis, appended line by line to the
// results text. Numbers are formatted with a decimal point in every locale.
#include <string>
#include <vector>

#include "analysis/run/compute_checks.h"
#include "analysis/worksheet/worksheet_data.h"

// What the report echoes besides the numbers: the two field texts as typed,
// the credible-limit choice, the notes, and where the statistics came from
// (a line that stands right under " INPUTS:" when not empty: an analysis of
// raw data).
struct ReportHeading {
    std::string covariatesText;
    std::string sampleSizeText;
    int credibleLimit = TwoSided;
    std::vector<std::string> notes;
    std::string sourceLine;
    bool reportExact = false;  // the frequentist test's block after the credible limits
};

// A worksheet's: its two visible field texts, its choice and its notes.
ReportHeading ReportHeadingOf(const WorksheetData& data);

// Appends the report: a line of 102 underscores first only when lines is not
// empty; then the heading (with a Variables line of the names the user gave,
// in.names, when any was), the control sample and the case, the estimates,
// the credible-limit block of heading.credibleLimit with the Monte Carlo
// standard error of the point estimate.
void AppendReport(std::vector<std::string>& lines, const ReportHeading& heading, const AnalysisInputs& in,
                  const AnalysisOutputs& out);

// The same lines for a text held elsewhere (the results window): the
// separator comes first when that text already holds a line.
std::vector<std::string> ReportLines(bool afterEarlierLines, const ReportHeading& heading, const AnalysisInputs& in,
                                     const AnalysisOutputs& out);

// The report of a worksheet's analysis.
inline void AppendReport(std::vector<std::string>& lines, const WorksheetData& data, const AnalysisInputs& in,
                         const AnalysisOutputs& out)
{
    AppendReport(lines, ReportHeadingOf(data), in, out);
}
inline std::vector<std::string> ReportLines(bool afterEarlierLines, const WorksheetData& data,
                                            const AnalysisInputs& in, const AnalysisOutputs& out)
{
    return ReportLines(afterEarlierLines, ReportHeadingOf(data), in, out);
}
