#pragma once
// The result of one analysis as a single JSON object, for scripts:
// {"k", "N", "limit", "zScores", "condMean", "condSD", "pOneTailed",
//  "pTwoTailed", "pctBelow", "pctLower", "pctUpper", "zccc", "zcccLower",
//  "zcccUpper", "pctBelowMcse", "pOneTailedMcse", "pTwoTailedMcse"} (the
// last three: Monte Carlo standard errors of the three probabilities, in
// their units), then "exact": the frequentist test's values {"t", "df",
// "pOneTailed", "pTwoTailed", "pctBelow", "zcccLower", "zcccUpper",
// "pctLower", "pctUpper"} (the limits placed as the run's), or null when
// they could not be computed. Real numbers carry 17 significant digits, enough to give
// back every double exactly; k and N are integers.
#include <string>

#include "analysis/run/compute_checks.h"
#include "analysis/raw_data/raw_statistics.h"
#include "analysis/worksheet/credible_limit_keyword.h"


// One line of JSON text, without a line end. After "exact" comes "summary",
// the analysis's summary sentence (SummarySentence, UTF-8). For an analysis
// of raw data (raw given) the object ends with "source": "raw", "file" (the
// file's name) and "dropped" (incomplete controls left out).
std::string FormatJsonResult(const AnalysisInputs& in, const AnalysisOutputs& out, int credibleLimit,
                             const RawSummary* raw = nullptr);

// The summary statistics computed from raw data, one line: {"source":
// "raw", "file", "N", "dropped", "names", "means", "sds", "correlations"
// (rows of the full matrix)}.
std::string FormatJsonRawStatistics(const RawSummary& summary);
