// 100,000 cases at k = 5 against one control sample: the frequentist test's
// exact values alone, as a series with --exact-only computes them (the
// control sample's part once, then each case).
#include <benchmark/benchmark.h>

#include <vector>

#include "engine/exact_test.h"
#include "tests/support/summary_data.h"

namespace {

constexpr int Cases = 100000;

void ExactSeries(benchmark::State& state)
{
    const tSummaryData d = FiveCovariates();
    std::vector<tVector> cases;
    for (int c = 0; c < Cases; ++c) {
        tVector x;
        x[1] = d.means[1] + d.sds[1] * (-4.0L + 6.0L * c / Cases);  // from far below to above the mean
        for (int i = 2; i <= d.k + 1; ++i) x[i] = d.means[i] + d.sds[i] * (((c * 7 + i * 3) % 11) - 5) / 2.5L;
        cases.push_back(x);
    }
    for (auto _ : state) {
        const tExactDeficitTest test(d.k, d.N, d.sds, d.means, d.corr);
        extended sum = 0;
        for (const tVector& x : cases) sum += test.Evaluate(x, true, 95).zcccLower;
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * Cases);
}
BENCHMARK(ExactSeries)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
