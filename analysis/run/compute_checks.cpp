#include "analysis/run/compute_checks.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <stdexcept>

#include "distributions/float_errors.h"
#include "analysis/worksheet/cell_names.h"
#include "analysis/worksheet/input_rules.h"
#include "analysis/run/run_failure.h"
#include "foundation/c_locale_format.h"
#include "foundation/messages.h"

const char* const NotPositiveDefiniteMessage =
    "Analysis cannot proceed as the correlation matrix is not positive definite: check that you entered the "
    "correct values for the correlations (alternatively it may be that one variable is linearly dependent on "
    "other variables and should be dropped)";

namespace {


ComputeCheckResult RefuseField(int field)
{
    ComputeCheckResult r;
    r.focus.target = ComputeFocus::Field;
    r.focus.field = field;
    return r;
}

ComputeCheckResult RefuseCell(int row, int column)
{
    ComputeCheckResult r;
    r.focus.target = ComputeFocus::GridCell;
    r.focus.row = row;
    r.focus.column = column;
    return r;
}

void RequireFinite(extended value)
{
    if (std::isnan(value)) throw EFloatingPointError("Invalid floating point operation");
    if (std::isinf(value)) throw EFloatingPointError("Floating point overflow");
}

}  // namespace

std::string MaxCovariatesMessage(int N)
{
    return FormatC(" With a control sample size of %2d, the maximum number of covariates is %2d ", N, N - 2);
}

ComputeCheckResult CheckComputeInputs(const WorksheetData& data)
{
    double covariates = static_cast<double>(CheckNumericField(data.fields[CovariatesField], CovariatesCaption));
    if (InputError || !CheckCovariateCount(CovariatesCaption, covariates)) return RefuseField(CovariatesField);
    int k = static_cast<int>(std::trunc(covariates));

    double sampleSize = static_cast<double>(CheckNumericField(data.fields[SampleSizeField], SampleSizeCaption));
    if (InputError || !CheckSampleSize(SampleSizeCaption, sampleSize)) return RefuseField(SampleSizeField);
    // Sample sizes beyond int range are whole numbers too: keep N finite.
    double clamped = std::min(std::trunc(sampleSize), 2147483647.0);
    int N = static_cast<int>(clamped);

    if (!(k < N - 1)) {
        platform::ShowError(MaxCovariatesMessage(N));
        return RefuseField(CovariatesField);
    }

    // Every row the analysis reads is checked, even when the grid shows fewer
    // rows than the covariate count asks for.
    int rows = std::min(std::max(data.GridRows, k + 1), GridRowCapacity);
    for (int column = MeanColumn; column < GridColumns; ++column) {
        for (int row = 0; row < rows; ++row) {
            // The cell is named by its variable where the row has a name.
            const std::string label = CellLabel(data, row, column);
            double value = static_cast<double>(CheckNumericField(data.Cell(row, column), label));
            if (InputError) return RefuseCell(row, column);
            if (column == SDColumn && !CheckPositiveSD(label, value)) return RefuseCell(row, column);
        }
    }

    ComputeCheckResult passed;
    passed.passed = true;
    passed.k = k;
    passed.N = N;
    return passed;
}

void PrefillCorrelationEntry(const WorksheetData& data, int p, tMatrixEntryBuffer& buffer)
{
    p = std::clamp(p, 1, StoredCorrelationsCapacity);
    buffer = tMatrixEntryBuffer();
    const bool stored = data.PreviousDataLoaded || data.CorrelationsEntered;
    for (int c = 1; c <= p; ++c)
        for (int r = 1; r <= p; ++r) buffer[c][r] = stored ? data.StoredCorrelations[c][r] : (c == r ? 1.0 : 0.0);
}

void StoreCorrelationEntry(const tMatrixEntryBuffer& buffer, int p, WorksheetData& data)
{
    p = std::clamp(p, 1, StoredCorrelationsCapacity);
    for (int c = 1; c <= p; ++c)
        for (int r = 1; r <= p; ++r) data.StoredCorrelations[c][r] = buffer[c][r];
    data.CorrelationsEntered = true;
}

std::vector<std::string> CorrelationNames(const WorksheetData& data, int p)
{
    std::vector<std::string> names;
    for (int i = 0; i < std::min(p, data.GridRows); ++i) names.push_back(data.Cell(i, NameColumn));
    return names;
}

void GatherAnalysisInputs(const WorksheetData& data, int k, int N, AnalysisInputs& in)
{
    if (k < 0 || k + 1 > MatrixCapacity) throw std::out_of_range("number of covariates out of range");
    in = AnalysisInputs();
    in.k = k;
    in.N = N;
    for (int i = 1; i <= in.p(); ++i) in.names.push_back(data.Cell(i - 1, NameColumn));
    ClearFloatingPointErrors();
    for (int i = 1; i <= in.p(); ++i) {
        in.means[i] = ParseNumber(data.Cell(i - 1, MeanColumn));
        in.sds[i] = ParseNumber(data.Cell(i - 1, SDColumn));
        in.scores[i] = ParseNumber(data.Cell(i - 1, ScoreColumn));
        for (int j = 1; j <= in.p(); ++j) in.corr[i][j] = data.StoredCorrelations[i][j];
    }
    RaiseFloatingPointErrors();
    for (int i = 1; i <= in.p(); ++i) {
        RequireFinite(in.means[i]);
        RequireFinite(in.sds[i]);
        RequireFinite(in.scores[i]);
        for (int j = 1; j <= in.p(); ++j) RequireFinite(in.corr[i][j]);
    }
}

bool CheckCorrelationMatrix(const SummaryData& controls)
{
    if (IsPositiveDefinite(controls.p(), controls.corr)) return true;
    platform::ShowError(NotPositiveDefiniteMessage);
    return false;
}

void StandardiseCase(AnalysisInputs& in)
{
    ClearFloatingPointErrors();
    StandardiseScores(in.scores, in.means, in.sds, in.p(), 1.0L, 0.0L, in.zScores);
    RaiseFloatingPointErrors();
    for (int i = 1; i <= in.p(); ++i) RequireFinite(in.zScores[i]);
}

void RequireFiniteResults(extended condMean, extended condSD, const tBayesResult& r)
{
    for (extended v : {condMean, condSD, r.pOneTailed, r.pTwoTailed, r.pctBelow, r.pctLower, r.pctUpper, r.zccc,
                       r.zcccLower, r.zcccUpper})
        RequireFinite(v);
}

bool IsTwoSidedLimit(int credibleLimit)
{
    return credibleLimit != OneSidedLower && credibleLimit != OneSidedUpper;
}

RunOptions AnalysisOptions(int credibleLimit)
{
    RunOptions options;
    options.twoSided = IsTwoSidedLimit(credibleLimit);
    options.draws = AnalysisIterations;
    options.level = AnalysisCredibleLevel;
    options.resetSeed = true;
    return options;
}

void RunAnalysis(const AnalysisInputs& in, int credibleLimit, AnalysisOutputs& out)
{
    try {
        ClearFloatingPointErrors();
        BayesDeficitEngine(in, in.scores, AnalysisOptions(credibleLimit), out.condMean, out.condSD, out.result,
                           &out.mcse, &out.summary);
        RaiseFloatingPointErrors();
        RequireFiniteResults(out.condMean, out.condSD, out.result);
    } catch (...) {
        ClearFloatingPointErrors();
        RethrowAsAnalysisError();
    }
    out.exact = ComputeExactValues(in, credibleLimit);
}

bool PrepareAnalysis(const WorksheetData& data, int k, int N, AnalysisInputs& in)
{
    try {
        GatherAnalysisInputs(data, k, N, in);
    } catch (...) {
        ClearFloatingPointErrors();
        RethrowAsAnalysisError();
    }
    return CheckAndStandardise(in);
}

bool CheckAndStandardise(AnalysisInputs& in)
{
    if (!CheckCorrelationMatrix(in)) return false;
    try {
        StandardiseCase(in);
    } catch (...) {
        ClearFloatingPointErrors();
        RethrowAsAnalysisError();
    }
    return true;
}
