#pragma once
// The results of a case series as JSON Lines: one object per case, with the
// keys and values of the CSV output (null where the CSV field is empty).
#include <string>
#include <vector>

#include "analysis/case_series/case_series.h"

std::string FormatSeriesJsonLines(const SummaryData& controls, const std::vector<SeriesResult>& results,
                                  bool exactOnly = false);
