// The one place that checks a series case by case against single runs, to
// the last bit: the other layers check only what they add to the engine.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <typeinfo>
#include <vector>

#include "distributions/distributions.h"
#include "distributions/float_errors.h"
#include "engine/case_series_engine.h"
#include "foundation/messages.h"
#include "reference_engine.h"
#include "same_bits.h"
#include "tests/support/recording_messages.h"
#include "tests/support/summary_data.h"

namespace {

std::string TypeOf(const std::exception& e)
{
    if (dynamic_cast<const EFloatingPointError*>(&e)) return "EFloatingPointError";
    if (dynamic_cast<const EArgumentError*>(&e)) return "EArgumentError";
    if (dynamic_cast<const EAnalysisError*>(&e)) return "EAnalysisError";
    return typeid(e).name();
}

// A failure as "type: message".
std::string Failure(const std::exception_ptr& failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        return TypeOf(e) + ": " + e.what();
    }
}

// A single run of one case, its error kept as the series keeps it.
tSeriesCaseResult SingleRun(const tSummaryData& d, const tVector& scores, int iterations, bool twoSided)
{
    tSeriesCaseResult o;
    try {
        BayesDeficitEngine(d, scores, Options(iterations, twoSided), o.condMean, o.condSD, o.result, &o.mcse);
        o.analysed = true;
    } catch (const std::exception&) {
        o.failure = std::current_exception();
        ClearFloatingPointErrors();
    }
    return o;
}

void ExpectSameBits(const tSeriesCaseResult& s, const tSeriesCaseResult& single)
{
    ASSERT_EQ(s.analysed, single.analysed);
    ASSERT_EQ(!s.failure, s.analysed);
    if (!s.analysed) {
        EXPECT_EQ(Failure(s.failure), Failure(single.failure));
        return;
    }
    EXPECT_TRUE(SameBits(s.condMean, single.condMean) && SameBits(s.condSD, single.condSD));
    EXPECT_TRUE(SameBits(s.result, single.result) && SameBits(s.mcse, single.mcse));
}

// A case: its scores, and how its single run ends ("" analysed, or the error type).
struct tCase {
    const char* what;
    tVector scores;
    const char* expected;
};

// A varied series for a control sample, each case given as z-scores of the
// task and of every covariate.
std::vector<tCase> VariedCases(const tSummaryData& d)
{
    const struct {
        const char* what;
        extended taskZ, covariateZ;
        const char* expected;
        extended rawCovariate1;  // when nonzero, the first covariate's raw score
    } rows[] = {
        {"deficit", -2.5L, -0.5L, "", 0},
        {"no deficit", 0, 0, "", 0},
        {"above the predicted score", 1.5L, -1, "", 0},
        {"extremely low task score", -40, 0.3L, "", 0},
        {"extreme covariates", 0.2L, 25, "", 0},
        {"draw beyond the normal function's range", -200000, 0, "EArgumentError", 0},
        {"covariate overflows the conditional mean", -1, 0, "EFloatingPointError", 1.18e4932L},
    };
    std::vector<tCase> cases;
    for (const auto& row : rows) {
        tVector x;
        x[1] = d.means[1] + row.taskZ * d.sds[1];
        for (int i = 2; i <= d.k + 1; ++i) x[i] = d.means[i] + row.covariateZ * d.sds[i];
        if (row.rawCovariate1 != 0) x[2] = row.rawCovariate1;
        cases.push_back({row.what, x, row.expected});
    }
    return cases;
}

// A residual variance of exactly 0: a case at its predicted score meets
// 0 / 0 in its first draw, every other case a division by zero in every draw.
std::vector<tCase> ZeroResidualCases(tSummaryData& d)
{
    extended prediction = 0, residualVariance = 0;
    d = ZeroResidualVariance(prediction, residualVariance);
    EXPECT_EQ(residualVariance, 0);
    std::vector<tCase> cases(2, {"at the prediction", d.caseScores, "EFloatingPointError"});
    cases[0].scores[1] = prediction;
    cases[1].what = "above the prediction";
    cases[1].scores[1] = prediction + 1;
    return cases;
}

std::vector<tVector> ScoresOf(const std::vector<tCase>& cases)
{
    std::vector<tVector> scores;
    for (const tCase& c : cases) scores.push_back(c.scores);
    return scores;
}

// The series with the shared draws kept whole, and again made in chunks
// (a chunk that does not divide the draw count) for batches of cases; and
// each case alone, as a series of one case takes the single run's way.
void ExpectSeriesMatchesSingleRuns(const tSummaryData& d, const std::vector<tCase>& cases, int iterations,
                                   bool twoSided, bool alone)
{
    const std::vector<tVector> scores = ScoresOf(cases);
    std::vector<tSeriesCaseResult> singles;
    for (const tCase& c : cases) {
        singles.push_back(SingleRun(d, c.scores, iterations, twoSided));
        const std::string outcome = singles.back().analysed ? "" : Failure(singles.back().failure);
        EXPECT_EQ(outcome.substr(0, outcome.find(':')), c.expected) << c.what << ": " << outcome;
    }
    tSeriesMemory chunked;
    chunked.sharedDraws = (iterations / 7 + 3) * (d.k + 2) * sizeof(extended);
    chunked.caseDraws = 2 * iterations * sizeof(double);
    for (const tSeriesMemory& memory : {tSeriesMemory(), chunked}) {
        SCOPED_TRACE(memory.sharedDraws == chunked.sharedDraws ? "in chunks" : "kept whole");
        std::vector<tSeriesCaseResult> results;
        std::vector<int> done;
        ASSERT_TRUE(CaseSeriesEngine(
            d, scores, Options(iterations, twoSided), [&](int n) { done.push_back(n); return true; }, results, memory));
        ASSERT_EQ(results.size(), cases.size());
        ASSERT_EQ(done.size(), cases.size());
        for (std::size_t c = 0; c < cases.size(); ++c) {
            SCOPED_TRACE(cases[c].what);
            EXPECT_EQ(done[c], static_cast<int>(c + 1));
            ExpectSameBits(results[c], singles[c]);
            if (!alone) continue;
            std::vector<tSeriesCaseResult> one;
            ASSERT_TRUE(CaseSeriesEngine(d, {scores[c]}, Options(iterations, twoSided), nullptr, one, memory));
            ExpectSameBits(one.at(0), singles[c]);
        }
    }
}

// The worksheet's lower and upper choices both take the one-sided positions
// (twoSided false), the two-sided choice the two-sided ones. The full draw
// count fills the shared store exactly for five covariates.
TEST(CaseSeriesEngine, EveryCaseMatchesItsSingleRunBitForBit)
{
    tSummaryData naturalScale = WorkedExample();  // computed in rescaled covariate units
    naturalScale.means[2] = 1.5e6L;
    naturalScale.sds[2] = 999999;
    tSummaryData zeroResidual;
    const std::vector<tCase> zeroResidualCases = ZeroResidualCases(zeroResidual);
    std::vector<tCase> firstTwo = VariedCases(FiveCovariates());
    firstTwo.resize(2);
    const struct {
        const char* what;
        tSummaryData sample;
        std::vector<tCase> cases;
        int iterations;
        std::vector<bool> sides;  // twoSided
    } series[] = {
        {"worked example", WorkedExample(), VariedCases(WorkedExample()), 20000, {true, false}},
        {"five covariates", FiveCovariates(), VariedCases(FiveCovariates()), 20000, {true, false}},
        {"natural scale", naturalScale, VariedCases(naturalScale), 20000, {true, false}},
        {"zero residual variance", zeroResidual, zeroResidualCases, 1000, {true}},
        {"five covariates, full draws", FiveCovariates(), firstTwo, DrawStoreCapacity, {true}},
    };
    for (const auto& s : series)
        for (bool twoSided : s.sides) {
            SCOPED_TRACE(std::string(s.what) + ", " + std::to_string(s.iterations) + " draws" +
                         (twoSided ? ", two-sided" : ", one-sided"));
            ExpectSeriesMatchesSingleRuns(s.sample, s.cases, s.iterations, twoSided, s.iterations < DrawStoreCapacity);
        }
}

TEST(CaseSeriesEngine, ProgressCanCancel)
{
    const std::vector<tVector> scores = ScoresOf(VariedCases(WorkedExample()));
    std::vector<tSeriesCaseResult> results;
    int calls = 0;
    EXPECT_FALSE(CaseSeriesEngine(WorkedExample(), scores, Options(2000, true), [&](int n) { ++calls; return n < 2; },
                                  results));
    EXPECT_EQ(calls, 2);
    EXPECT_TRUE(CaseSeriesEngine(WorkedExample(), {}, Options(2000, true), nullptr, results));
    EXPECT_TRUE(results.empty());
}

// A control sample that cannot be analysed ends the whole series with the
// error (and the message) every single run of it gives.
TEST(CaseSeriesEngine, ControlSampleFailuresEndTheSeries)
{
    platform::RecordingMessages messages;
    platform::ScopedMessages scope{messages};
    tSummaryData far = WorkedExample();  // breaks the factorisation in any unit
    far.means[2] = 1e7L;
    far.sds[2] = 1;
    tSummaryData negative = WorkedExample();  // residual variance below zero
    negative.means[1] = 3e9L;
    negative.sds[1] = 0.001L;
    for (const tSummaryData& d : {far, negative}) {
        const std::vector<tVector> scores = ScoresOf(VariedCases(d));
        const tSeriesCaseResult single = SingleRun(d, scores[0], 1000, true);
        ASSERT_FALSE(single.analysed);
        messages.shown.clear();
        std::vector<tSeriesCaseResult> results;
        int calls = 0;
        try {
            CaseSeriesEngine(d, scores, Options(1000, true), [&](int) { return ++calls, true; }, results);
            ADD_FAILURE() << "no error";
        } catch (const std::exception&) {
            EXPECT_EQ(Failure(std::current_exception()), Failure(single.failure));
            ClearFloatingPointErrors();
        }
        EXPECT_EQ(calls, 0);
        EXPECT_LE(messages.shown.size(), 1u) << "the factorisation's message once, not once per case";
    }
}

// The Monte Carlo error of the worked example against the probabilities of
// the plain loop, their SD taken in two passes.
TEST(CaseSeriesEngine, MonteCarloErrorOfTheWorkedExample)
{
    const int draws = 100000;
    std::vector<extended> f;
    ReferenceRun(WorkedExample(), draws, true, nullptr, &f);
    ASSERT_EQ(f.size(), static_cast<std::size_t>(draws));
    long double mean = 0, squares = 0;
    for (long double v : f) mean += v;
    mean /= f.size();
    for (long double v : f) squares += (v - mean) * (v - mean);
    const double expected = 100 * std::sqrt(static_cast<double>(squares / (f.size() - 1)) / draws);

    const tSeriesCaseResult single = SingleRun(WorkedExample(), WorkedExample().caseScores, draws, true);
    ASSERT_TRUE(single.analysed);
    const tMonteCarloError& e = single.mcse;
    EXPECT_NEAR(static_cast<double>(e.pctBelow), expected, expected * 1e-12);
    EXPECT_GT(e.pctBelow, 0.013L);  // about 0.0052 percentage points at 1,000,000 draws
    EXPECT_LT(e.pctBelow, 0.022L);
    EXPECT_EQ(e.pOneTailed, e.pctBelow / 100);
    EXPECT_EQ(e.pTwoTailed, e.pctBelow / 50);
}

}  // namespace
