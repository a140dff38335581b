#pragma once
// The fixed-width report of one analysis, appended line by line to the
// results text. Numbers are formatted with a decimal point in every locale.
#include <string>
#include <vector>

#include "analysis/run/compute_checks.h"
#include "analysis/worksheet/worksheet_data.h"

// Appends the report: a line of 102 underscores first only when lines is not
// empty; the input lines echo the two visible field texts as typed, the notes
// are data.notes, the credible-limit block follows data.credibleLimit.
// A sourceLine, when given, stands right under " INPUTS:" (where the
// statistics came from, for an analysis of raw data).
void AppendReport(std::vector<std::string>& lines, const WorksheetData& data, const AnalysisInputs& in,
                  const AnalysisOutputs& out, const std::string& sourceLine = std::string());

// The same lines for a text held elsewhere (the results window): the
// separator comes first when that text already holds a line.
std::vector<std::string> ReportLines(bool afterEarlierLines, const WorksheetData& data, const AnalysisInputs& in,
                                     const AnalysisOutputs& out, const std::string& sourceLine = std::string());
