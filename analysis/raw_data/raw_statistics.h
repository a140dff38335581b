#pragma once
// From the controls' raw scores to the summary statistics the analysis
// takes: the chosen variables (the task and 0 to 5 covariates), the
// controls with a value for each of them, and N, the means, the SDs (divisor
// N - 1) and the correlations in extended precision, two passes over the
// data (means first, then sums of centred products), so that large means
// with small spreads lose nothing.
#include <string>
#include <vector>

#include "analysis/raw_data/raw_data_table.h"
#include "engine/summary_data.h"
#include "matrix/matrix_handling.h"

struct RawDataChoice {
    std::string task;
    std::vector<std::string> covariates;  // in the order of the analysis
    bool dropIncomplete = false;          // leave out controls with a missing value
};

// The control sample (names as the file has them, N the controls used,
// correlations with 1 on the diagonal) and where it came from.
struct RawSummary : SummaryData {
    std::string fileName;
    int dropped = 0;  // incomplete controls left out
};

// A numeric variable as the raw-data window lists it: its values on their
// own, before any choice leaves controls out.
struct RawVariableOverview {
    std::string name;
    long count = 0;        // controls with a value
    long missing = 0;      // controls without one
    extended mean = 0;     // of those values (0 when there are none)
    extended sd = 0;       // divisor count - 1, centred on the mean (0 when count < 2)
};
std::vector<RawVariableOverview> NumericVariables(const RawDataTable& table);

// Index of the column that name chooses (the file's names compared without
// regard to case or surrounding blanks), -1 when none, -2 when several.
int FindRawColumn(const RawDataTable& table, const std::string& name);

// The checks in order: at most 5 covariates; each name known, unique in the
// file, numeric and chosen once; missing values (refused, naming the first
// controls, unless they are to be left out); at least 3 controls and
// k < N - 1; no variable without spread; a positive-definite correlation
// matrix (else the variable that depends linearly on the ones before it is
// named). The first refusal is shown in an error box and false returned.
bool SummariseRawData(const RawDataTable& table, const RawDataChoice& choice, RawSummary& summary);

// The refusal texts, for the front ends' tests.
std::string CovariateCountMessage(std::size_t chosen);
std::string UnknownVariableMessage(const std::string& name, const RawDataTable& table);  // lists the numeric variables
// "\"c.csv\" holds no controls: ..." (rows 0), "\"c.csv\" has only 2 controls with a value for every
// chosen variable (3 incomplete left out): ...".
std::string TooFewControlsMessage(const std::string& fileName, std::size_t rows, std::size_t usable,
                                  std::size_t dropped);
// The refusal of a correlation matrix that is not positive definite: the variable and those it follows from.
std::string LinearlyDependentMessage(const std::string& name, const std::vector<std::string>& on);
std::string AmbiguousVariableMessage(const std::string& name, const std::string& fileName);
std::string NotNumericMessage(const std::string& name, const std::string& fileName, const std::string& reason);
std::string ChosenTwiceMessage(const std::string& name);
std::string NoSpreadMessage(const std::string& name);
extern const char* const NoTaskMessage;
