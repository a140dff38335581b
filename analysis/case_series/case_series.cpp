#include "analysis/case_series/case_series.h"

#include <cmath>

#include "analysis/files/csv_table.h"
#include "analysis/run/run_failure.h"
#include "distributions/float_errors.h"
#include "engine/case_series_engine.h"
#include "foundation/c_locale_format.h"

namespace {

// The frequentist test alone for the cases that passed their z-scores.
bool ExactOnlySeries(const ExactSeries& exact, const std::vector<tVector>& scores, const std::vector<std::size_t>& rows,
                     int refused, int total, const SeriesProgress& progress, std::vector<SeriesResult>& results)
{
    constexpr std::size_t ProgressEvery = 1000;
    for (std::size_t e = 0; e < rows.size(); ++e) {
        SeriesResult& r = results[rows[e]];
        r.exact = exact.Evaluate(scores[e]);
        r.analysed = r.exact.computed;
        if (!r.analysed) r.error = r.exact.failure;
        const bool report = (e + 1) % ProgressEvery == 0 || e + 1 == rows.size();
        if (report && progress && !progress(refused + static_cast<int>(e + 1), total)) return false;
    }
    return true;
}

}  // namespace

std::string SeriesFailureText(const std::exception_ptr& error)
{
    // Message boxes break lines at '\r'; an output field keeps to one line.
    std::string line;
    for (char ch : AnalysisFailureMessage(error)) {
        bool lineEnd = ch == '\r' || ch == '\n';
        if (!lineEnd) line += ch;
        else if (!line.empty() && line.back() != ' ') line += ' ';
    }
    return line;
}

bool RunCaseSeries(const SummaryData& controls, int credibleLimit, const std::vector<SeriesCase>& cases,
                   const SeriesProgress& progress, std::vector<SeriesResult>& results, bool exactOnly)
{
    const int total = static_cast<int>(cases.size());
    results.assign(cases.size(), SeriesResult());

    // z-scores as a single run computes them; the rows that pass go to the engine.
    std::vector<tVector> engineScores;
    std::vector<std::size_t> engineRow;
    for (std::size_t c = 0; c < cases.size(); ++c) {
        SeriesResult& r = results[c];
        r.input = cases[c];
        r.credibleLimit = credibleLimit;
        if (!r.input.error.empty()) {
            r.error = r.input.error;
            continue;
        }
        AnalysisInputs in;
        in.k = controls.k;
        in.N = controls.N;
        in.means = controls.means;
        in.sds = controls.sds;
        in.scores = r.input.scores;
        try {
            StandardiseCase(in);
        } catch (...) {
            ClearFloatingPointErrors();
            r.error = SeriesFailureText(std::current_exception());
            continue;
        }
        r.zScores = in.zScores;
        engineScores.push_back(in.scores);
        engineRow.push_back(c);
    }
    const int refused = total - static_cast<int>(engineRow.size());
    if (progress && !progress(refused, total)) return false;

    const ExactSeries exact(controls.k, controls.N, controls.sds, controls.means, controls.corr, credibleLimit);
    if (exactOnly) return ExactOnlySeries(exact, engineScores, engineRow, refused, total, progress, results);

    std::vector<tSeriesCaseResult> engineResults;
    auto engineProgress = [&](int done) { return !progress || progress(refused + done, total); };
    try {
        if (!CaseSeriesEngine(controls, engineScores, AnalysisOptions(credibleLimit), engineProgress, engineResults))
            return false;
    } catch (...) {
        // The control sample alone failed: told as a single run tells it.
        ClearFloatingPointErrors();
        RethrowAsAnalysisError();
    }

    for (std::size_t e = 0; e < engineRow.size(); ++e) {
        SeriesResult& r = results[engineRow[e]];
        const tSeriesCaseResult& out = engineResults[e];
        if (!out.analysed) {
            r.error = SeriesFailureText(out.failure);
            continue;
        }
        r.condMean = out.condMean;
        r.condSD = out.condSD;
        r.result = out.result;
        r.mcse = out.mcse;
        try {
            RequireFiniteResults(r.condMean, r.condSD, r.result);
            r.exact = exact.Evaluate(engineScores[e]);
            r.analysed = true;
        } catch (...) {
            r.error = SeriesFailureText(std::current_exception());
        }
    }
    return true;
}

std::string SeriesProgressText(int done, int total, double elapsedSeconds)
{
    std::string text = FormatC("Case series: %d of %d cases done", done, total);
    if (done <= 0 || done >= total) return text;
    long s = std::lround(elapsedSeconds / done * (total - done));
    if (s >= 3600) return text + FormatC(", about %ld h %02ld min left", s / 3600, (s % 3600) / 60);
    if (s >= 60) return text + FormatC(", about %ld min %02ld s left", s / 60, s % 60);
    return text + FormatC(", about %ld s left", s);
}

std::string SeriesSummaryText(const std::vector<SeriesResult>& results, const std::string& savedTo)
{
    constexpr int ListedRows = 20;
    const int total = static_cast<int>(results.size());
    const int refused = CountRefused(results);
    std::string text = FormatC("Case series: %d of %d cases analysed.", total - refused, total) +
                       "\rThe results are saved in \"" + savedTo + "\".";
    if (refused == 0) return text;
    text += "\r\rRows not analysed (their message is in the error column):";
    int listed = 0;
    for (const SeriesResult& r : results) {
        if (r.analysed) continue;
        if (listed++ == ListedRows) {
            text += FormatC("\r... and %d more", refused - ListedRows);
            break;
        }
        text += "\rline " + std::to_string(r.input.line) + " (case \"" + r.input.label + "\"): " + r.error;
    }
    return text;
}

int CountRefused(const std::vector<SeriesResult>& results)
{
    int refused = 0;
    for (const SeriesResult& r : results) refused += r.analysed ? 0 : 1;
    return refused;
}

std::vector<std::string> SeriesKeys(const SummaryData& controls, bool exactOnly)
{
    std::vector<std::string> keys{"case"};
    for (const OutputField& field : RunHeadFields(0, 0, TwoSided)) keys.push_back(field.key);
    for (const std::string& name : controls.names) keys.push_back("z_" + TrimCsvField(name));
    if (!exactOnly)
        for (const OutputField& field : EstimateFields(0, 0, tBayesResult(), tMonteCarloError()))
            keys.push_back(field.key);
    for (const OutputField& field : ExactFields(ExactOutcome())) keys.push_back("exact_" + field.key);
    keys.push_back("error");
    return keys;
}

std::vector<SeriesValue> SeriesValues(const SummaryData& controls, const SeriesResult& r, bool exactOnly)
{
    const std::size_t count = SeriesKeys(controls, exactOnly).size();
    std::vector<SeriesValue> values;
    values.push_back(OutputValue::OfText(r.input.label));
    if (!r.analysed) {
        values.resize(count - 1);
        values.push_back(OutputValue::OfText(r.error));
        return values;
    }
    auto append = [&values](const std::vector<OutputField>& fields) {
        for (const OutputField& field : fields) values.push_back(field.value);
    };
    append(RunHeadFields(controls.k, controls.N, r.credibleLimit));
    for (int i = 1; i <= controls.k + 1; ++i) values.push_back(OutputValue::OfReal(r.zScores[i]));
    if (!exactOnly) append(EstimateFields(r.condMean, r.condSD, r.result, r.mcse));
    append(ExactFields(r.exact));
    values.emplace_back();  // no error
    return values;
}

std::string FormatSeriesReal(double value) { return FormatC("%#.17g", value); }

SeriesTable MakeSeriesTable(const SummaryData& controls, const std::vector<SeriesResult>& results, bool exactOnly,
                            SeriesCsvLocale locale)
{
    SeriesTable table;
    table.header = SeriesKeys(controls, exactOnly);
    for (const SeriesResult& r : results) {
        std::vector<SeriesCell> cells;
        for (const SeriesValue& v : SeriesValues(controls, r, exactOnly)) {
            SeriesCell cell;
            switch (v.kind) {
            case SeriesValue::Text: cell.text = SpreadsheetText(v.text); break;
            case SeriesValue::Integer:
                cell.text = std::to_string(v.integer);
                cell.isNumber = true;
                cell.number = static_cast<double>(v.integer);
                break;
            case SeriesValue::Real:
                cell.text = FormatCsvNumber(v.real, locale == SeriesCsvLocale::Comma ? ',' : '.');
                cell.isNumber = true;
                cell.number = v.real;
                break;
            case SeriesValue::Missing: break;
            }
            cells.push_back(std::move(cell));
        }
        table.rows.push_back(std::move(cells));
    }
    return table;
}

std::string FormatSeriesCsv(const SummaryData& controls, const std::vector<SeriesResult>& results, bool exactOnly,
                            SeriesCsvLocale locale)
{
    const bool comma = locale == SeriesCsvLocale::Comma;
    const char separator = comma ? ';' : ',';
    std::string text;
    auto appendRow = [&text, separator](const std::vector<std::string>& fields) {
        for (std::size_t i = 0; i < fields.size(); ++i)
            text += (i ? std::string(1, separator) : std::string()) + QuoteCsvField(fields[i], separator);
        text += "\r\n";
    };
    const SeriesTable table = MakeSeriesTable(controls, results, exactOnly, locale);
    appendRow(table.header);
    for (const std::vector<SeriesCell>& row : table.rows) {
        std::vector<std::string> fields;
        for (const SeriesCell& cell : row) fields.push_back(cell.text);
        appendRow(fields);
    }
    return text;
}
