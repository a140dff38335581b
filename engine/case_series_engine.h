#pragma once
// A case series: many cases against one control sample. Each case gets
// exactly the numbers BayesDeficitEngine gives for it on a freshly reset
// random stream (options.resetSeed is not read) (its Monte Carlo error included); the draws that depend only
// on the control sample (residual SD and regression coefficients) are made
// once and shared by every case.
#include <cstddef>
#include <exception>
#include <functional>
#include <vector>

#include "engine/bayes_deficit_engine.h"
#include "engine/draw_summary.h"

struct tSeriesCaseResult {
    bool analysed = false;         // false: `failure` holds what a single run of this case raises
    std::exception_ptr failure;
    extended condMean = 0;
    extended condSD = 0;
    tBayesResult result;
    tMonteCarloError mcse;
};

// caseScores[c] is laid out as BayesDeficitEngine's caseScores (1: task,
// 2..k+1: covariates); results[c] is its result, in the same order.
// A case whose single run raises EFloatingPointError, EArgumentError or
// EAnalysisError gets that exception (same type, same message) in `failure`,
// and the other cases go on. `progress` (may be empty) is called with the
// number of cases done so far, as cases complete, and returns false to
// cancel; the function then returns false and `results` is incomplete.
// Errors tied to the control sample alone are thrown before any case is
// analysed, as BayesDeficitEngine throws them: the regression cannot be
// formed, one of the conditional moments' inversions or the factorisation
// breaks down (its message is shown once), the residual scale is not finite;
// std::invalid_argument as BayesDeficitEngine for calls outside its capacity.
// Other exceptions (std::bad_alloc) end the series.
// Progress is called on the calling thread only; the cases themselves are
// worked out on every core (up to four threads).
// The shared random stream is left in no particular state (after the last
// draw the series made): callers that need the stream reset it, as every
// single run does.
// Memory: the shared draws take (k + 2) * 16 bytes each, kept whole when
// they fit in `memory.sharedDraws` (1,000,000 draws up to k = 5: 112 MB),
// plus 8 MB per thread for the case being worked out. Larger ones are made
// in chunks of that size, again for each batch of cases, whose own draws
// take `memory.caseDraws`; the peak stays near the sum of the two.
struct tSeriesMemory {
    std::size_t sharedDraws = 7 * sizeof(extended) * static_cast<std::size_t>(DrawStoreCapacity);
    std::size_t caseDraws = 4 * sizeof(double) * static_cast<std::size_t>(DrawStoreCapacity);
};

bool CaseSeriesEngine(const SummaryData& controls, const std::vector<tVector>& caseScores, const RunOptions& options,
                      const std::function<bool(int done)>& progress, std::vector<tSeriesCaseResult>& results,
                      const tSeriesMemory& memory = tSeriesMemory());
