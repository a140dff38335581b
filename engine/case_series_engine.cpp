// A case series on shared draws. In a single run the residual SD and the
// regression coefficients of every draw come from the random stream and the
// control sample alone; the case enters only through its predicted score and
// its standardised distance. Every single run resets the stream, so every
// case of a series sees the very same draws: they are made once (or, when
// they do not fit in memory, made again chunk by chunk for each batch of
// cases) and each case is evaluated on them with exactly the operations, in
// exactly the order, of its own single run.
#include "engine/case_series_engine.h"

#include <algorithm>
#include <atomic>
#include <cfenv>
#include <cmath>
#include <memory>
#include <thread>

#include "distributions/distributions.h"
#include "distributions/float_errors.h"
#include "engine/analysis_steps.h"
#include "engine/covariate_units.h"
#include "engine/credible_limits.h"
#include "engine/parallel_tasks.h"

namespace {

constexpr int MaxHelpers = 3;
constexpr int FloatingPointErrorFlags = FE_OVERFLOW | FE_DIVBYZERO | FE_INVALID;

// Draws first .. first + count - 1 of the shared part: per draw sigma, then
// beta[1..p].
class tControlDraws {
public:
    tControlDraws(int p, int capacity) : stride_(p + 1), values_(new extended[static_cast<std::size_t>(capacity) * (p + 1)]) {}

    int first = 1;
    int count = 0;
    const extended* Draw(int n) const { return &values_[static_cast<std::size_t>(n) * stride_]; }
    extended* Draw(int n) { return &values_[static_cast<std::size_t>(n) * stride_]; }

private:
    int stride_;
    std::unique_ptr<extended[]> values_;
};

// The random stream's part of a run, as the one-thread loop makes it.
class tControlGenerator {
public:
    explicit tControlGenerator(const tDrawSetup& setup) : setup_(setup), chiSquare_(setup.nu) {}

    // From the start of the stream, as every single run.
    void Restart()
    {
        Seed1 = Seed1_start;
        Seed2 = Seed2_start;
        next_ = 1;
        error = nullptr;
        errorAt = 0;
        flags = 0;
    }

    // The next `wanted` draws (fewer when a variate raises an error: `error`
    // holds it, and no later draw exists). `flags` gathers the
    // floating-point flags that the single runs would meet here.
    void Fill(int wanted, tControlDraws& draws)
    {
        const int p = setup_.p;
        draws.first = next_;
        draws.count = 0;
        ClearFloatingPointErrors();
        extended variates[MatrixCapacity + 2];  // chi-square, then z[1..p]
        while (draws.count < wanted && !error) {
            try {
                variates[0] = chiSquare_.Random_variate();
                for (int j = 1; j <= p; ++j) variates[j] = normal_.Random_variate();
            } catch (...) {
                error = std::current_exception();
                errorAt = next_;
                break;
            }
            extended* out = draws.Draw(draws.count);
            out[0] = DrawCoefficients(setup_, variates, out);
            ++draws.count;
            ++next_;
        }
        flags |= std::fetestexcept(FloatingPointErrorFlags);
        ClearFloatingPointErrors();
    }

    std::exception_ptr error;
    int errorAt = 0;
    int flags = 0;

private:
    const tDrawSetup& setup_;
    tChi_square_distribution chiSquare_;
    tNormal_distribution normal_{0.0L, 1.0L};
    int next_ = 1;
};

// One case on its way through the series.
struct tSeriesCase {
    tSeriesCaseResult* result = nullptr;
    bool failed = false;
    extended caseScore = 0;
    tVector caseDesign;
    extended mean = 0;
    extended sd = 0;
    tBayesResult estimates;
    tProbabilitySums sums;
    int flags = 0;
    std::unique_ptr<tDrawStore> draws;

    void Fail(std::exception_ptr error)
    {
        result->failure = error;
        failed = true;
        draws.reset();
    }
};

class tSeries {
public:
    tSeries(int k, int iterations, int lo, int hi, const tVector& sds, const tVector& means, const tMatrix& corr,
            const tDrawSetup& control)
        : k_(k), iterations_(iterations), lo_(lo), hi_(hi), sds_(sds), means_(means), corr_(corr), control_(control)
    {
    }

    // The steps of a single run before its draws, with their checks.
    void Prepare(const tVector& scores, tSeriesCase& c)
    {
        try {
            ClearFloatingPointErrors();
            c.caseScore = scores[1];
            c.caseDesign = scores;
            c.caseDesign[1] = 1.0L;
            ComputeCaseMoments(k_, sds_, means_, corr_, c.caseDesign, c.caseScore, c.mean, c.sd, c.estimates.zccc);
            RaiseFloatingPointErrors();
        } catch (const EFloatingPointError&) {
            c.Fail(std::current_exception());
        } catch (const EArgumentError&) {
            c.Fail(std::current_exception());
        } catch (const EAnalysisError&) {
            c.Fail(std::current_exception());
        }
    }

    // The case's part of draws.first .. : mu := beta . x~, zeta := (y* - mu) /
    // sigma, F(zeta) added in draw order; a NaN zeta or an error of F ends
    // the case as it ends the single run.
    void Evaluate(const tControlDraws& draws, tSeriesCase& c) const
    {
        if (c.failed) return;
        if (!c.draws) c.draws.reset(new tDrawStore);
        tNormal_distribution standard(0.0L, 1.0L);
        tDrawStore& store = *c.draws;
        const int p = control_.p;
        ClearFloatingPointErrors();
        for (int n = 0; n < draws.count; ++n) {
            const extended* d = draws.Draw(n);
            const extended zeta = CaseDistance(c.caseScore, c.caseDesign, p, d[0], d);
            extended f = 0;
            try {
                f = DrawProbability(zeta, draws.first + n, store, standard);
            } catch (...) {
                ClearFloatingPointErrors();
                c.Fail(std::current_exception());
                return;
            }
            c.sums.Add(f);
        }
        c.flags |= std::fetestexcept(FloatingPointErrorFlags);
        ClearFloatingPointErrors();
    }

    // The steps of a single run after its draws.
    void Finish(const tControlGenerator& generator, tSeriesCase& c) const
    {
        if (c.failed) return;
        if (generator.error) {
            c.Fail(generator.error);
            return;
        }
        try {
            ClearFloatingPointErrors();
            std::feraiseexcept(generator.flags | c.flags);
            RaiseFloatingPointErrors();
            tBayesResult& estimates = c.estimates;
            ProbabilitiesFromSum(c.sums.sum, iterations_, estimates);
            double lower = 0;
            double upper = 0;
            SelectCredibleLimits(*c.draws, iterations_, lo_, hi_, lower, upper);
            c.draws.reset();
            tNormal_distribution standard(0.0L, 1.0L);
            estimates.zcccLower = lower;
            estimates.zcccUpper = upper;
            estimates.pctLower = standard.Distribution_function(estimates.zcccLower) * 100;
            estimates.pctUpper = standard.Distribution_function(estimates.zcccUpper) * 100;
            RaiseFloatingPointErrors();
            tSeriesCaseResult& r = *c.result;
            r.condMean = c.mean;
            r.condSD = c.sd;
            r.result = estimates;
            r.mcse = MonteCarloErrorOf(c.sums, iterations_);
            r.analysed = true;
        } catch (const EFloatingPointError&) {
            c.Fail(std::current_exception());
        } catch (const EArgumentError&) {
            c.Fail(std::current_exception());
        }
    }

private:
    int k_;
    int iterations_;
    int lo_;
    int hi_;
    const tVector& sds_;
    const tVector& means_;
    const tMatrix& corr_;
    const tDrawSetup& control_;
};

int Helpers()
{
    const unsigned cores = std::thread::hardware_concurrency();
    return cores < 2 ? 0 : std::min(static_cast<int>(cores) - 1, MaxHelpers);
}

}  // namespace

bool CaseSeriesEngine(int k, int N, int iterations, bool twoSided, int credPct, const tVector& givenSds,
                      const tVector& givenMeans, const tMatrix& corr, const std::vector<tVector>& givenCaseScores,
                      const std::function<bool(int done)>& progress, std::vector<tSeriesCaseResult>& results,
                      const tSeriesMemory& memory)
{
    int lo = 0;
    int hi = 0;
    CheckEngineCall(k, iterations, twoSided, credPct, lo, hi);
    // The units each case's single run computes in (one choice: it depends
    // on the control sample alone).
    const tCovariateUnits units = ChooseCovariateUnits(k, N, givenSds, givenMeans, corr);
    const tVector sds = InCovariateUnits(units, k, givenSds);
    const tVector means = InCovariateUnits(units, k, givenMeans);
    std::vector<tVector> rescaledCaseScores;
    if (units.rescaled)
        for (const tVector& scores : givenCaseScores) rescaledCaseScores.push_back(InCovariateUnits(units, k, scores));
    const std::vector<tVector>& caseScores = units.rescaled ? rescaledCaseScores : givenCaseScores;
    // The steps of a single run that depend on the control sample alone, in
    // its order: the conditional moments' inversions need no case.
    tRegression regression;
    ComputeRegression(k, N, sds, means, corr, regression);
    {
        tMatrix condVar;
        tVector condMeans;
        const bool momentsComputed = ConditionalMoments(k + 1, k, corr, sds, means, means, condVar, condMeans);
        RaiseFloatingPointErrors();
        if (!momentsComputed) ThrowInversionFailure();
    }
    tDrawSetup control;
    FinishControlSetup(k, N, regression, control);

    const int count = static_cast<int>(caseScores.size());
    results.assign(caseScores.size(), tSeriesCaseResult());
    if (count == 1) {
        // One case: its single run, whose own pipeline keeps both cores busy,
        // is quicker than making the shared draws first.
        tSeriesCaseResult& r = results[0];
        try {
            BayesDeficitEngine(k, N, iterations, true, twoSided, credPct, sds, means, caseScores[0], corr, r.condMean,
                               r.condSD, r.result, &r.mcse);
            r.analysed = true;
        } catch (const EFloatingPointError&) {
            r.failure = std::current_exception();
        } catch (const EArgumentError&) {
            r.failure = std::current_exception();
        } catch (const EAnalysisError&) {
            r.failure = std::current_exception();
        }
        ClearFloatingPointErrors();
        return !progress || progress(1);
    }
    tSeries series(k, iterations, lo, hi, sds, means, corr, control);
    std::vector<tSeriesCase> cases(caseScores.size());
    for (int c = 0; c < count; ++c) {
        cases[c].result = &results[c];
        series.Prepare(caseScores[c], cases[c]);
    }

    // Progress is told on the calling thread, one case at a time.
    std::atomic<int> finished{0};
    int told = 0;
    bool cancelled = false;
    auto tell = [&]() -> bool {
        const int done = finished.load();
        while (!cancelled && told < done) {
            ++told;
            if (progress && !progress(told)) cancelled = true;
        }
        return !cancelled;
    };

    const int p = k + 1;
    const std::size_t drawBytes = static_cast<std::size_t>(p + 1) * sizeof(extended);
    const int chunkDraws =
        static_cast<int>(std::min<std::size_t>(iterations, std::max<std::size_t>(1, memory.sharedDraws / drawBytes)));
    tControlGenerator generator(control);
    tControlDraws draws(p, chunkDraws);
    const int helpers = Helpers();

    if (chunkDraws == iterations) {
        // Every draw kept: made once, then every case on its own.
        generator.Restart();
        generator.Fill(iterations, draws);
        const bool completed = RunParallelTasks(
            count, helpers,
            [&](int c) {
                series.Evaluate(draws, cases[c]);
                series.Finish(generator, cases[c]);
                ++finished;
            },
            tell);
        return completed && !cancelled;
    }

    // Chunks: a batch of cases goes through the draws chunk by chunk, the
    // stream restarted for each batch.
    const int batchSize =
        static_cast<int>(std::max<std::size_t>(memory.caseDraws / sizeof(double) / iterations, helpers + 1));
    for (int start = 0; start < count; start += batchSize) {
        const int batch = std::min(batchSize, count - start);
        generator.Restart();
        int made = 0;
        while (made < iterations && !generator.error) {
            generator.Fill(std::min(chunkDraws, iterations - made), draws);
            made += draws.count;
            if (!RunParallelTasks(
                    batch, helpers, [&](int c) { series.Evaluate(draws, cases[start + c]); }, tell))
                return false;
        }
        if (!RunParallelTasks(
                batch, helpers,
                [&](int c) {
                    series.Finish(generator, cases[start + c]);
                    ++finished;
                },
                tell))
            return false;
    }
    return !cancelled;
}
