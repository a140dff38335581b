#pragma once
// harrow-cli --cases: every case of a cases file against the worksheet's
// control sample, one output row per case. Refused rows are reported on
// standard error with their line; a progress line is shown on standard error
// only when it is a terminal.
#include <cstdio>
#include <string>

#include "analysis/case_series/case_series.h"

struct CaseSeriesRequest {
    std::string worksheetPath;
    std::string casesPath;
    std::string outputPath;  // empty: standard output
    int credibleLimit = 0;
    bool json = false;       // JSON Lines instead of CSV
    bool exactOnly = false;  // the frequentist test's values alone (--exact-only)
    SeriesCsvLocale csvLocale = SeriesCsvLocale::Point;  // --csv-locale
};

// Never throws; returns one of CliExitCode (ExitSomeRowsRefused when some
// rows could not be analysed).
// Refuses (message shown, false) an --output that names the worksheet, the
// cases file or the raw data file (controlsPath), or that cannot be written;
// checked before anything is read, so that a long series is never run for
// a file it cannot keep.
bool CheckSeriesOutput(const CaseSeriesRequest& request, const std::string& controlsPath = std::string());

int RunCaseSeriesCli(const CaseSeriesRequest& request, std::FILE* out);

// The same from the cases file on, for a control sample already prepared
// (from a worksheet or from raw data); request.worksheetPath is not used.
int RunCaseSeriesOnControls(const SummaryData& controls, const CaseSeriesRequest& request, std::FILE* out);
