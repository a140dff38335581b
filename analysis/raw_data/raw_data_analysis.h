#pragma once
// A case analysed against summary statistics computed from raw data: the
// same preparation, engine run and report as a summary-data analysis of the
// same statistics, at full precision, with one line more under INPUTS that
// says where the statistics came from.
#include <string>
#include <vector>

#include "analysis/case_series/case_series.h"
#include "analysis/run/compute_checks.h"
#include "analysis/raw_data/raw_statistics.h"
#include "analysis/report/report.h"

// " Summary statistics computed from raw data: \"controls.csv\", N = 28
// controls, 2 incomplete controls left out"
std::string RawDataSourceLine(const RawSummary& summary);

// The case's score for each chosen variable (1: task, 2 .. p: covariates),
// each text read as a cases file's score (CaseScoreFromField: "+21" and
// "2.1e1" too), any other text as the worksheet reads a grid cell
// (CheckNumericField, labelled with the variable's name, its warning). False after the first refusal (its
// warning shown); the index of the refused score in refused (0-based).
bool ReadCaseScores(const RawSummary& summary, const std::vector<std::string>& texts, tVector& scores,
                    int* refused = nullptr);

// What the report echoes: k and N as the inputs, the credible-limit choice,
// the notes and the source line.
ReportHeading RawReportHeading(const RawSummary& summary, int credibleLimit, const std::vector<std::string>& notes);
