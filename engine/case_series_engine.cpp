// A case series run case by case: each case is a single run on a freshly
// reset random stream, after the control sample's own checks have passed
// once for the whole series.
#include "engine/case_series_engine.h"

#include "distributions/distributions.h"
#include "distributions/float_errors.h"
#include "engine/analysis_steps.h"

namespace {

// The failures a single run of one case can end with; anything else (a
// programming error, memory exhaustion) ends the series.
void AnalyseCase(int k, int N, int iterations, bool twoSided, int credPct, const tVector& sds, const tVector& means,
                 const tMatrix& corr, const tVector& scores, tSeriesCaseResult& r)
{
    try {
        BayesDeficitEngine(k, N, iterations, true, twoSided, credPct, sds, means, scores, corr, r.condMean, r.condSD,
                           r.result, &r.mcse);
        r.analysed = true;
    } catch (const EFloatingPointError&) {
        r.failure = std::current_exception();
    } catch (const EArgumentError&) {
        r.failure = std::current_exception();
    } catch (const EAnalysisError&) {
        r.failure = std::current_exception();
    }
}

}  // namespace

bool CaseSeriesEngine(int k, int N, int iterations, bool twoSided, int credPct, const tVector& sds,
                      const tVector& means, const tMatrix& corr, const std::vector<tVector>& caseScores,
                      const std::function<bool(int done)>& progress, std::vector<tSeriesCaseResult>& results)
{
    int lo = 0;
    int hi = 0;
    CheckEngineCall(k, iterations, twoSided, credPct, lo, hi);
    tDrawSetup control;
    PrepareControlSetup(k, N, sds, means, corr, control);
    // The conditional moments' inversions depend on the control sample alone.
    tMatrix condVar;
    tVector condMeans;
    const bool momentsComputed = ConditionalMoments(k + 1, k, corr, sds, means, means, condVar, condMeans);
    RaiseFloatingPointErrors();
    if (!momentsComputed) ThrowInversionFailure();

    results.assign(caseScores.size(), tSeriesCaseResult());
    for (std::size_t c = 0; c < caseScores.size(); ++c) {
        AnalyseCase(k, N, iterations, twoSided, credPct, sds, means, corr, caseScores[c], results[c]);
        if (progress && !progress(static_cast<int>(c + 1))) return false;
    }
    return true;
}
