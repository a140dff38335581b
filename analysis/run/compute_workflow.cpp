#include "analysis/run/compute_workflow.h"

#include <memory>

namespace {

// A series takes its cases from a file: the worksheet's score cells count as
// zeros, so an empty or half-typed score does not stop it.
WorksheetData ControlsOnly(const WorksheetData& data)
{
    WorksheetData controls = data;
    for (int row = 0; row < GridRowCapacity; ++row) controls.Cell(row, ScoreColumn) = "0";
    return controls;
}

// Ready, or the positive-definiteness refusal, which focuses the covariate
// count: that is where the correlations were chosen.
PreparedCompute& Finished(PreparedCompute& prepared, bool positiveDefinite)
{
    prepared.status = positiveDefinite ? PreparedCompute::Ready : PreparedCompute::NotPositiveDefinite;
    if (!positiveDefinite) {
        prepared.focus.target = ComputeFocus::Field;
        prepared.focus.field = CovariatesField;
    }
    return prepared;
}

}  // namespace

PreparedCompute PrepareCompute(WorksheetData& data, ComputePurpose purpose, CorrelationEntry& entry,
                               WorksheetKeeper& keeper)
{
    PreparedCompute prepared;
    WorksheetData checked = purpose == ComputePurpose::CaseSeries ? ControlsOnly(data) : data;
    const ComputeCheckResult check = CheckComputeInputs(checked);
    if (!check.passed) {
        prepared.focus = check.focus;
        return prepared;
    }
    prepared.k = check.k;
    prepared.N = check.N;
    const int p = check.k + 1;

    // Without covariates there is no correlation to enter.
    auto buffer = std::make_unique<tMatrixEntryBuffer>();
    PrefillCorrelationEntry(data, p, *buffer);
    if (p > 1) {
        prepared.correlation = entry.Enter(*buffer, p, CorrelationNames(data, p));
        if (prepared.correlation.outcome == CorrelationAnswer::Cancelled) {
            prepared.status = PreparedCompute::Cancelled;
            return prepared;
        }
        if (prepared.correlation.outcome == CorrelationAnswer::Refused) {
            prepared.status = PreparedCompute::CorrelationRefused;
            return prepared;
        }
        StoreCorrelationEntry(*buffer, p, data);
    }
    keeper.Keep(data, p);

    checked.StoredCorrelations = data.StoredCorrelations;
    return Finished(prepared, PrepareAnalysis(checked, check.k, check.N, prepared.in));
}

PreparedCompute PrepareSummaryCompute(const SummaryData& controls, const tVector& caseScores,
                                      ComputePurpose purpose)
{
    PreparedCompute prepared;
    prepared.k = controls.k;
    prepared.N = controls.N;
    static_cast<SummaryData&>(prepared.in) = controls;
    // A series standardises its own cases; the zeros stand for none.
    if (purpose == ComputePurpose::SingleCase) prepared.in.scores = caseScores;
    return Finished(prepared, CheckAndStandardise(prepared.in));
}
