#pragma once
// A case series: every case of a cases file analysed against one control
// sample, each with exactly the numbers a single run of that case gives.
// Shared by the command line and the desktop program; the control sample
// (SummaryData, positive definite) may come from a worksheet or from raw
// control data.
#include <functional>
#include <string>
#include <vector>

#include "analysis/case_series/cases_file.h"
#include "analysis/run/compute_checks.h"
#include "analysis/run/result_fields.h"
#include "analysis/worksheet/worksheet_data.h"
#include "engine/bayes_deficit_engine.h"

// One row of the results.
struct SeriesResult {
    SeriesCase input;       // label, line, scores; input.error when the row was refused
    int credibleLimit = TwoSided;  // the kind of the 95% limits pctLower .. zcccUpper hold
    bool analysed = false;  // false: `error` says why
    std::string error;      // one line
    tVector zScores;
    extended condMean = 0;
    extended condSD = 0;
    tBayesResult result;
    tMonteCarloError mcse;
    ExactOutcome exact;
};

// Called with the number of cases finished (refused rows included) and the
// total; may be called from a worker thread. Returns false to cancel.
using SeriesProgress = std::function<bool(int done, int total)>;

// Runs the series: each case's z-scores and analysis as in a single run
// (1,000,000 draws, the random stream reset for each case, 95% limits of
// the chosen kind). A case whose run fails gets the message a single run of
// it would show. Returns false when cancelled (results are then incomplete).
// Errors of the control sample alone (the regression cannot be formed) are
// thrown as a single run throws them: EAnalysisError with the user's message.
// With exactOnly there is no Monte Carlo run: each case gets its z-scores
// and the frequentist test's values (a case whose values cannot be computed
// is refused with that message), in moments.
bool RunCaseSeries(const SummaryData& controls, int credibleLimit, const std::vector<SeriesCase>& cases,
                   const SeriesProgress& progress, std::vector<SeriesResult>& results, bool exactOnly = false);

// "Case series: 3 of 10 cases done, about 1 min 05 s left" (no time before
// the first case is done), for the progress shown while a series runs.
std::string SeriesProgressText(int done, int total, double elapsedSeconds);

// What the user is told when a series has ended and its results were saved
// in savedTo: how many cases were analysed and, line by line, the rows that
// were not (at most 20, then how many more). '\r' starts a new line.
std::string SeriesSummaryText(const std::vector<SeriesResult>& results, const std::string& savedTo);

// Rows refused (input or run), in input order.
int CountRefused(const std::vector<SeriesResult>& results);

// The message a single run shows for an error that ended it
// (AnalysisFailureMessage), on one line.
std::string SeriesFailureText(const std::exception_ptr& error);

// The output's columns and values: "case", the single run's "k", "N",
// "limit" (RunHeadFields), "z_<name>" for each variable, its estimates and
// Monte Carlo errors (EstimateFields), the frequentist test's values with
// "exact_" before their keys (ExactFields, empty when they could not be
// computed), "error". With exactOnly the estimates are left out.
using SeriesValue = OutputValue;
std::vector<std::string> SeriesKeys(const SummaryData& controls, bool exactOnly = false);
std::vector<SeriesValue> SeriesValues(const SummaryData& controls, const SeriesResult& result, bool exactOnly = false);

// A number as the JSON Lines write it: 17 significant digits, decimal point.
std::string FormatSeriesReal(double value);

// How the CSV writes numbers and separates fields: decimal points and
// commas, or decimal commas and semicolons, as spreadsheets in many locales
// read CSV files.
enum class SeriesCsvLocale { Point, Comma };

// The results as the rows the CSV file holds, before quoting: the header of
// SeriesKeys, then one row per case; each cell's text is the file's field,
// and a number cell also keeps its value (for sorting by number).
struct SeriesCell {
    std::string text;
    bool isNumber = false;
    double number = 0;
};
struct SeriesTable {
    std::vector<std::string> header;
    std::vector<std::vector<SeriesCell>> rows;
};
SeriesTable MakeSeriesTable(const SummaryData& controls, const std::vector<SeriesResult>& results,
                            bool exactOnly = false, SeriesCsvLocale locale = SeriesCsvLocale::Point);

// The results as CSV text (MakeSeriesTable's cells): the header row of
// SeriesKeys, then one row per case in input order, separated as the locale
// says, CR LF line ends, fields quoted where needed, text beginning as a
// formula would with an apostrophe
// (SpreadsheetText); a refused row has only its label and its error.
std::string FormatSeriesCsv(const SummaryData& controls, const std::vector<SeriesResult>& results,
                            bool exactOnly = false, SeriesCsvLocale locale = SeriesCsvLocale::Point);
