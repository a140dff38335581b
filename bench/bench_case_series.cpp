// 100 cases at k = 5 against one control sample: as a case series and as
// 100 single runs, each of 1,000,000 draws. The peak resident memory of the
// process is reported with each; run the series alone
// (--benchmark_filter=Series) to read its own peak.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>
#include <vector>

#include "engine/case_series_engine.h"
#include "tests/support/summary_data.h"

namespace {

constexpr int Cases = 100;

std::vector<tVector> VariedCases(const tSummaryData& d)
{
    std::vector<tVector> cases;
    for (int c = 0; c < Cases; ++c) {
        tVector x;
        x[1] = d.means[1] + d.sds[1] * (-3.5L + 0.05L * c);  // from far below to above the mean
        for (int i = 2; i <= d.k + 1; ++i) x[i] = d.means[i] + d.sds[i] * (((c * 7 + i * 3) % 11) - 5) / 2.5L;
        cases.push_back(x);
    }
    return cases;
}

double PeakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;  // kilobytes on Linux
}

void BM_SeriesOf100Cases(benchmark::State& state)
{
    const tSummaryData d = FiveCovariates();
    const std::vector<tVector> cases = VariedCases(d);
    for (auto _ : state) {
        std::vector<tSeriesCaseResult> results;
        CaseSeriesEngine(d, cases, Options(DrawStoreCapacity, true), nullptr, results);
        benchmark::DoNotOptimize(results);
    }
    state.counters["peak_MB"] = PeakMegabytes();
}

void BM_SingleRunsOf100Cases(benchmark::State& state)
{
    const tSummaryData d = FiveCovariates();
    const std::vector<tVector> cases = VariedCases(d);
    for (auto _ : state) {
        for (const tVector& x : cases) {
            extended condMean = 0;
            extended condSD = 0;
            tBayesResult result;
            tMonteCarloError mcse;
            BayesDeficitEngine(d, x, Options(DrawStoreCapacity, true), condMean,
                               condSD, result, &mcse);
            benchmark::DoNotOptimize(result);
        }
    }
    state.counters["peak_MB"] = PeakMegabytes();
}

double Fastest(const std::vector<double>& times) { return *std::min_element(times.begin(), times.end()); }

}  // namespace

BENCHMARK(BM_SeriesOf100Cases)->Unit(benchmark::kSecond)->MeasureProcessCPUTime()->UseRealTime()->Iterations(1)->ComputeStatistics("min", Fastest);
BENCHMARK(BM_SingleRunsOf100Cases)
    ->Unit(benchmark::kSecond)
    ->MeasureProcessCPUTime()->UseRealTime()
    ->Iterations(1)
    ->ComputeStatistics("min", Fastest);

BENCHMARK_MAIN();
