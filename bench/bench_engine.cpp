// One full analysis of 1,000,000 draws, as the worksheet runs it.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "engine/Bayes_Engines.h"

namespace {

struct tAnalysisInput {
    int k = 0;
    int N = 0;
    tVector sds, means, caseScores;
    tMatrix corr;
};

// One covariate: the worked example (task 50/10, covariate 10/2, r = 0.5).
tAnalysisInput OneCovariate()
{
    tAnalysisInput in;
    in.k = 1;
    in.N = 20;
    in.sds[1] = 10; in.sds[2] = 2;
    in.means[1] = 50; in.means[2] = 10;
    in.caseScores[1] = 30; in.caseScores[2] = 8;
    in.corr[1][1] = in.corr[2][2] = 1;
    in.corr[1][2] = in.corr[2][1] = 0.5L;
    return in;
}

// Five covariates (age, education, a reading score, two other tasks) in a
// sample of 40 controls.
tAnalysisInput FiveCovariates()
{
    tAnalysisInput in;
    in.k = 5;
    in.N = 40;
    const extended sd[] = {12, 14.5L, 3.1L, 9, 6.5L, 4};
    const extended mean[] = {60, 55.2L, 12.4L, 101, 33, 18};
    const extended score[] = {38, 71, 10, 95, 29, 15};
    const extended r[6][6] = {{1, -0.35L, 0.42L, 0.5L, 0.3L, 0.25L},   {-0.35L, 1, -0.2L, -0.1L, -0.15L, -0.05L},
                              {0.42L, -0.2L, 1, 0.55L, 0.2L, 0.1L},    {0.5L, -0.1L, 0.55L, 1, 0.35L, 0.3L},
                              {0.3L, -0.15L, 0.2L, 0.35L, 1, 0.4L},    {0.25L, -0.05L, 0.1L, 0.3L, 0.4L, 1}};
    for (int i = 1; i <= 6; ++i) {
        in.sds[i] = sd[i - 1];
        in.means[i] = mean[i - 1];
        in.caseScores[i] = score[i - 1];
        for (int j = 1; j <= 6; ++j) in.corr[i][j] = r[i - 1][j - 1];
    }
    return in;
}

void RunAnalysis(benchmark::State& state, const tAnalysisInput& in)
{
    for (auto _ : state) {
        extended condMean = 0;
        extended condSD = 0;
        tBayesResult result;
        BayesDeficitEngine(in.k, in.N, DrawStoreCapacity, true, true, 95, in.sds, in.means, in.caseScores, in.corr,
                           condMean, condSD, result);
        benchmark::DoNotOptimize(result);
    }
}

void BM_AnalysisOneCovariate(benchmark::State& state) { RunAnalysis(state, OneCovariate()); }
void BM_AnalysisFiveCovariates(benchmark::State& state) { RunAnalysis(state, FiveCovariates()); }

// On a machine shared with other work the fastest repetition is the one to
// quote (run with --benchmark_repetitions=N).
double Fastest(const std::vector<double>& times) { return *std::min_element(times.begin(), times.end()); }

}  // namespace

BENCHMARK(BM_AnalysisOneCovariate)->Unit(benchmark::kMillisecond)->UseRealTime()->ComputeStatistics("min", Fastest);
BENCHMARK(BM_AnalysisFiveCovariates)->Unit(benchmark::kMillisecond)->UseRealTime()->ComputeStatistics("min", Fastest);

BENCHMARK_MAIN();
