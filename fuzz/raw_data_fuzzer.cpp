// Fuzz target: a file of raw control data as both front ends read it (CSV
// text, or SPSS / Stata where the bytes say so), the overview of its
// numeric variables, the choice of the task and covariates, the summary
// statistics with their refusals, a short engine run and every output.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "analysis/raw_data/raw_data_analysis.h"
#include "analysis/raw_data/raw_data_reader.h"
#include "analysis/run/compute_workflow.h"
#include "cli/json_result.h"
#include "fuzz/memory_input_file.h"
#include "cli/raw_data_command.h"
#include "distributions/distributions.h"
#include "distributions/float_errors.h"

namespace {

// A few hundred draws instead of a million: the same code paths.
constexpr int FuzzIterations = 200;

// Small limits, so that the caps are reached too.
RawReadLimits FuzzLimits()
{
    RawReadLimits limits;
    limits.rows = 2000;
    limits.columns = 64;
    limits.numbers = 20000;
    return limits;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    WriteMemoryInput(data, size);
    RawDataTable table;
    if (!LoadRawDataFile(MemoryInputPath(), table, FuzzLimits())) return 0;
    std::vector<RawVariableOverview> numeric = NumericVariables(table);
    if (numeric.empty()) return 0;

    // The task and up to five covariates among the numeric variables (the
    // same one twice when there are too few, which must be refused).
    RawDataChoice choice;
    choice.task = numeric[0].name;
    std::size_t covariates = size % 6;
    for (std::size_t j = 1; j <= covariates; ++j) choice.covariates.push_back(numeric[j % numeric.size()].name);
    choice.dropIncomplete = size % 2 == 0;
    RawSummary summary;
    if (!SummariseRawData(table, choice, summary)) return 0;
    FormatRawStatistics(summary);
    FormatJsonRawStatistics(summary);

    tVector scores;
    for (int i = 1; i <= summary.p(); ++i) scores[i] = summary.means[i] - summary.sds[i];
    AnalysisInputs in;
    AnalysisOutputs out;
    try {
        const PreparedCompute prepared = PrepareSummaryCompute(summary, scores, ComputePurpose::SingleCase);
        if (prepared.status != PreparedCompute::Ready) return 0;
        in = prepared.in;
        ClearFloatingPointErrors();
        RunOptions options;
        options.draws = FuzzIterations;
        BayesDeficitEngine(in, in.scores, options, out.condMean, out.condSD, out.result);
        RaiseFloatingPointErrors();
    } catch (const EFloatingPointError&) {
        return 0;
    } catch (const EAnalysisError&) {
        return 0;
    } catch (const EArgumentError&) {
        return 0;
    }
    ReportLines(false, RawReportHeading(summary, TwoSided, {}), in, out);
    FormatJsonResult(in, out, TwoSided, &summary);
    return 0;
}
