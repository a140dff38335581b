#pragma once
// harrow-cli on raw control data (--controls): read the file, choose the
// variables, compute the summary statistics, and either print them (no
// case given) or analyse the case exactly as a summary-data analysis of
// those statistics and print its report or JSON object.
#include <cstdio>
#include <string>
#include <vector>

#include "analysis/raw_data/raw_statistics.h"
#include "analysis/worksheet/worksheet_data.h"

struct RawCliRequest {
    std::string controlsPath;
    RawDataChoice choice;
    bool hasCase = false;
    std::string caseScores;  // comma-separated, task first
    int credibleLimit = TwoSided;
    std::string notesPath;   // empty: no notes
    bool json = false;
    bool summary = false;    // the summary sentence alone instead of the report
    bool exact = false;      // the frequentist test's block in the report
};

// The case's scores from "--case": as many comma-separated numbers as
// chosen variables, each read as the worksheet reads a score. False after
// the refusal (its message shown).
bool ReadCaseOption(const std::string& text, const RawSummary& summary, tVector& scores);

// The summary statistics as printed without a case: the file, N, the
// controls left out, each variable's mean and SD, and the correlation
// matrix, every number with its full precision (21 significant digits)
// and a decimal point.
std::string FormatRawStatistics(const RawSummary& summary);

// Never throws; returns one of CliExitCode.
int RunRawDataCli(const RawCliRequest& request, std::FILE* out);

// --controls with --cases: the case series against the summary statistics
// of the raw data (series.worksheetPath is not used).
struct CaseSeriesRequest;
int RunRawCaseSeriesCli(const RawCliRequest& request, const CaseSeriesRequest& series, std::FILE* out);
