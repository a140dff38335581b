#pragma once
// The result of one analysis as a single JSON object, for scripts:
// {"k", "N", "limit", "zScores", "condMean", "condSD", "pOneTailed",
//  "pTwoTailed", "pctBelow", "pctLower", "pctUpper", "zccc", "zcccLower",
//  "zcccUpper", "pctBelowMcse", "pOneTailedMcse", "pTwoTailedMcse"} (the
// last three: Monte Carlo standard errors of the three probabilities, in
// their units). Real numbers carry 17 significant digits, enough to give
// back every double exactly; k and N are integers.
#include <string>

#include "analysis/compute_checks.h"

// "two-sided", "lower" or "upper" for a credible-limit choice.
const char* CredibleLimitKeyword(int credibleLimit);

// One line of JSON text, without a line end.
std::string FormatJsonResult(const AnalysisInputs& in, const AnalysisOutputs& out, int credibleLimit);
