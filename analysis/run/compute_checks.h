#pragma once
// The Compute command without its windows: the checks of the two fields and
// the grid (in their order, with their messages), the gathering of the
// analysis inputs, the positive-definiteness refusal and the engine run.
// The correlation entry and the saving of the data file come between the
// checks and the gathering; the caller does them.
#include <string>

#include "engine/bayes_deficit_engine.h"
#include "engine/draw_summary.h"
#include "analysis/run/exact_values.h"
#include "analysis/worksheet/matrix_entry_rules.h"
#include "matrix/matrix_handling.h"
#include "analysis/worksheet/worksheet_data.h"

// Where the focus goes after a refusal.
struct ComputeFocus {
    enum Target { None, Field, GridCell };
    Target target = None;
    int field = 0;   // Field: CovariatesField or SampleSizeField
    int row = 0;     // GridCell: grid row (0 = task) ...
    int column = 0;  // ... and column (MeanColumn, SDColumn or ScoreColumn)
};

struct ComputeCheckResult {
    bool passed = false;
    int k = 0;  // covariates, when passed
    int N = 0;  // control sample size, when passed
    ComputeFocus focus;  // when refused (the message has been shown)
};

// " With a control sample size of %2d, the maximum number of covariates is %2d "
std::string MaxCovariatesMessage(int N);

// Steps 1 to 4: covariate field (CheckNumericField, CheckCovariateCount),
// sample-size field (CheckNumericField, CheckSampleSize), k < N - 1 (error
// box), then the grid: all means, then all SDs (also CheckPositiveSD under
// the cell's label), then all scores, rows top-down, each labelled as
// CellLabel names it ("the mean of Memory (Test No.1)", or "Test No.1"). The grid check covers GridRows rows, and at least the k + 1 rows
// the analysis reads. The first failure shows its message and ends the check.
ComputeCheckResult CheckComputeInputs(const WorksheetData& data);

// Step 5: the correlation window starts from the stored p x p block when the
// data file was read at start-up (PreviousDataLoaded) or correlations were
// entered earlier in the session (CorrelationsEntered), from the identity
// otherwise. Both use [column][row]; entries outside the block are zeroed.
void PrefillCorrelationEntry(const WorksheetData& data, int p, tMatrixEntryBuffer& buffer);
// After "Continue": the p x p block back into StoredCorrelations, kept
// for every later entry of the session.
void StoreCorrelationEntry(const tMatrixEntryBuffer& buffer, int p, WorksheetData& data);
// The names of the p variables in the matrix's order (the task first), as
// the grid holds them: the matrix window's labels and its messages.
std::vector<std::string> CorrelationNames(const WorksheetData& data, int p);

// Everything the engine and the report need: the control sample and the case.
struct AnalysisInputs : SummaryData {
    tVector scores;   // the case's, 1: task, 2 .. p: covariates
    tVector zScores;  // filled by StandardiseCase
};

struct AnalysisOutputs {
    extended condMean = 0;
    extended condSD = 0;
    tBayesResult result;
    tMonteCarloError mcse;  // not in the report: for the JSON output and the case series
    tDrawSummary summary;   // for the figure
    ExactOutcome exact;     // the frequentist test, computed after the run
};

extern const char* const NotPositiveDefiniteMessage;

// Step 8: names, means, SDs and scores of rows 0 .. k (the name cell, and
// ParseNumber of columns 2, 3, 4) and the p x p correlations, row i, column
// j = StoredCorrelations[i][j].
// Throws EFloatingPointError when a cell's number overflows.
void GatherAnalysisInputs(const WorksheetData& data, int k, int N, AnalysisInputs& in);

// Step 9: IsPositiveDefinite; on failure the error box and false (the caller
// focuses the covariate field).
bool CheckCorrelationMatrix(const SummaryData& controls);

// Step 10: z-scores with StandardiseScores (scale 1, offset 0). Throws
// EFloatingPointError when one is not finite.
void StandardiseCase(AnalysisInputs& in);

// The engine's call as every analysis makes it: 1,000,000 draws, 95% limits.
inline constexpr int AnalysisIterations = 1000000;
inline constexpr int AnalysisCredibleLevel = 95;

// What an analysis refuses after the engine: a result that is not finite
// (EFloatingPointError).
void RequireFiniteResults(extended condMean, extended condSD, const tBayesResult& result);

// Two-sided limits for the two-sided choice, one-sided positions for the
// lower and the upper choice.
bool IsTwoSidedLimit(int credibleLimit);

// Every analysis's run options for the credible-limit choice: 1,000,000
// draws, the stream reset, 95% limits of the chosen kind.
RunOptions AnalysisOptions(int credibleLimit);

// Step 11: BayesDeficitEngine(k, N, 1,000,000, reset seed, two-sided when the
// choice is 0, 95%), with the Monte Carlo error and the draws' summary.
// Floating-point flags are cleared before and checked after the run: EFloatingPointError instead of infinities or NaNs in the
// report. Every error of the run ends it as EAnalysisError with the user's
// message (AnalysisFailureMessage: what happened in terms of the entries,
// the technical text as details).
void RunAnalysis(const AnalysisInputs& in, int credibleLimit, AnalysisOutputs& out);

// Steps 8 to 10 in a row: GatherAnalysisInputs, CheckCorrelationMatrix and
// StandardiseCase. False after the positive-definiteness refusal (its box has
// been shown; focus the covariate field). Their errors are thrown as
// EAnalysisError with the user's message (AnalysisFailureMessage).
bool PrepareAnalysis(const WorksheetData& data, int k, int N, AnalysisInputs& in);

// Steps 9 and 10 on inputs gathered elsewhere (raw data), as PrepareAnalysis
// does them.
bool CheckAndStandardise(AnalysisInputs& in);
