// One full analysis of 1,000,000 draws, as the worksheet runs it: without
// and with the side outputs (the Monte Carlo error and the draws' summary
// for the figure), which must cost no measurable time.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "engine/bayes_deficit_engine.h"
#include "engine/draw_summary.h"
#include "tests/support/summary_data.h"

namespace {

void RunAnalysis(benchmark::State& state, const tSummaryData& in, bool sideOutputs)
{
    for (auto _ : state) {
        extended condMean = 0;
        extended condSD = 0;
        tBayesResult result;
        tMonteCarloError mcse;
        tDrawSummary summary;
        BayesDeficitEngine(in, in.caseScores, Options(DrawStoreCapacity, true), condMean, condSD, result,
                           sideOutputs ? &mcse : nullptr, sideOutputs ? &summary : nullptr);
        benchmark::DoNotOptimize(result);
        benchmark::DoNotOptimize(summary);
    }
}

void BM_AnalysisOneCovariate(benchmark::State& state) { RunAnalysis(state, WorkedExample(), false); }
void BM_AnalysisFiveCovariates(benchmark::State& state) { RunAnalysis(state, FiveCovariates(), false); }
void BM_AnalysisOneCovariateWithSummary(benchmark::State& state) { RunAnalysis(state, WorkedExample(), true); }
void BM_AnalysisFiveCovariatesWithSummary(benchmark::State& state) { RunAnalysis(state, FiveCovariates(), true); }

// On a machine shared with other work the fastest repetition is the one to
// quote (run with --benchmark_repetitions=N).
double Fastest(const std::vector<double>& times) { return *std::min_element(times.begin(), times.end()); }

}  // namespace

BENCHMARK(BM_AnalysisOneCovariate)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->ComputeStatistics("min", Fastest);
BENCHMARK(BM_AnalysisFiveCovariates)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->ComputeStatistics("min", Fastest);
BENCHMARK(BM_AnalysisOneCovariateWithSummary)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()->UseRealTime()
    ->ComputeStatistics("min", Fastest);
BENCHMARK(BM_AnalysisFiveCovariatesWithSummary)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()->UseRealTime()
    ->ComputeStatistics("min", Fastest);

BENCHMARK_MAIN();
