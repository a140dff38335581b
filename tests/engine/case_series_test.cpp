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
#include "tests/support/summary_data.h"

namespace {

// What a single run of one case gives: its numbers, or its error.
struct tSingleOutcome {
    tSeriesCaseResult run;
    std::string errorType;
    std::string message;
};

std::string TypeOf(const std::exception& e)
{
    if (dynamic_cast<const EFloatingPointError*>(&e)) return "EFloatingPointError";
    if (dynamic_cast<const EArgumentError*>(&e)) return "EArgumentError";
    if (dynamic_cast<const EAnalysisError*>(&e)) return "EAnalysisError";
    return typeid(e).name();
}

tSingleOutcome SingleRun(const tSummaryData& d, const tVector& scores, int iterations, bool twoSided)
{
    tSingleOutcome o;
    try {
        BayesDeficitEngine(d.k, d.N, iterations, true, twoSided, 95, d.sds, d.means, scores, d.corr, o.run.condMean,
                           o.run.condSD, o.run.result, &o.run.mcse);
        o.run.analysed = true;
    } catch (const std::exception& e) {
        o.errorType = TypeOf(e);
        o.message = e.what();
        ClearFloatingPointErrors();
    }
    return o;
}

void ExpectSameBits(const tSeriesCaseResult& s, const tSingleOutcome& single)
{
    ASSERT_EQ(s.analysed, single.run.analysed);
    if (!s.analysed) {
        ASSERT_TRUE(s.failure);
        try {
            std::rethrow_exception(s.failure);
        } catch (const std::exception& e) {
            EXPECT_EQ(TypeOf(e), single.errorType);
            EXPECT_EQ(std::string(e.what()), single.message);
        }
        return;
    }
    EXPECT_FALSE(s.failure);
    const tSeriesCaseResult& r = single.run;
    EXPECT_TRUE(SameBits(s.condMean, r.condMean));
    EXPECT_TRUE(SameBits(s.condSD, r.condSD));
    EXPECT_TRUE(SameBits(s.result, r.result));
    EXPECT_TRUE(SameBits(s.mcse, r.mcse));
}

// A varied series for a control sample, each case given as z-scores of the
// task and of every covariate ("expected" says how its single run ends).
struct tCaseRow {
    const char* what;
    extended taskZ;
    extended covariateZ;  // every covariate
    const char* expected;  // "" (analysed) or the error type
    extended rawCovariate1 = 0;  // when nonzero, the first covariate's raw score
};

const std::vector<tCaseRow> VariedCases = {
    {"deficit", -2.5L, -0.5L, ""},
    {"no deficit", 0, 0, ""},
    {"above the predicted score", 1.5L, -1, ""},
    {"extremely low task score", -40, 0.3L, ""},
    {"extreme covariates", 0.2L, 25, ""},
    {"draw beyond the normal function's range", -200000, 0, "EArgumentError"},
    {"covariate overflows the conditional mean", -1, 0, "EFloatingPointError", 1.18e4932L},
};

std::vector<tVector> ScoresOf(const tSummaryData& d, const std::vector<tCaseRow>& rows)
{
    std::vector<tVector> scores;
    for (const tCaseRow& row : rows) {
        tVector x;
        x[1] = d.means[1] + row.taskZ * d.sds[1];
        for (int i = 2; i <= d.k + 1; ++i) x[i] = d.means[i] + row.covariateZ * d.sds[i];
        if (row.rawCovariate1 != 0) x[2] = row.rawCovariate1;
        scores.push_back(x);
    }
    return scores;
}

// The series with the shared draws kept whole, and again made in chunks
// (a chunk that does not divide the draw count) for batches of cases.
void ExpectSeriesMatchesSingleRuns(const tSummaryData& d, const std::vector<tCaseRow>& rows, int iterations,
                                   bool twoSided)
{
    const std::vector<tVector> scores = ScoresOf(d, rows);
    std::vector<tSingleOutcome> singles;
    for (std::size_t c = 0; c < rows.size(); ++c) {
        singles.push_back(SingleRun(d, scores[c], iterations, twoSided));
        EXPECT_EQ(singles.back().errorType, rows[c].expected) << rows[c].what << ": " << singles.back().message;
    }
    tSeriesMemory chunked;
    chunked.sharedDraws = (iterations / 7 + 3) * (d.k + 2) * sizeof(extended);
    chunked.caseDraws = 2 * iterations * sizeof(double);
    for (const tSeriesMemory& memory : {tSeriesMemory(), chunked}) {
        SCOPED_TRACE(memory.sharedDraws == chunked.sharedDraws ? "in chunks" : "kept whole");
        std::vector<tSeriesCaseResult> results;
        std::vector<int> done;
        ASSERT_TRUE(CaseSeriesEngine(d.k, d.N, iterations, twoSided, 95, d.sds, d.means, d.corr, scores,
                                     [&](int n) { done.push_back(n); return true; }, results, memory));
        ASSERT_EQ(results.size(), rows.size());
        ASSERT_EQ(done.size(), rows.size());
        for (std::size_t c = 0; c < rows.size(); ++c) {
            SCOPED_TRACE(rows[c].what);
            EXPECT_EQ(done[c], static_cast<int>(c + 1));
            ExpectSameBits(results[c], singles[c]);
        }
    }
}

// The worksheet's lower and upper choices both take the one-sided positions
// (twoSided false), the two-sided choice the two-sided ones. The full draw
// count fills the shared store exactly for five covariates; two cases, as a
// series of one case is simply its single run.
TEST(CaseSeriesEngine, EveryCaseMatchesItsSingleRunBitForBit)
{
    const std::vector<tCaseRow> firstTwo(VariedCases.begin(), VariedCases.begin() + 2);
    tSummaryData naturalScale = WorkedExample();  // computed in rescaled covariate units
    naturalScale.means[2] = 1.5e6L;
    naturalScale.sds[2] = 999999;
    const struct {
        tSummaryData sample;
        const std::vector<tCaseRow>& rows;
        int iterations;
        bool twoSided;
    } series[] = {
        {WorkedExample(), VariedCases, 20000, true},
        {WorkedExample(), VariedCases, 20000, false},
        {FiveCovariates(), VariedCases, 20000, true},
        {FiveCovariates(), VariedCases, 20000, false},
        {naturalScale, VariedCases, 20000, true},
        {naturalScale, VariedCases, 20000, false},
        {FiveCovariates(), firstTwo, DrawStoreCapacity, true},
    };
    for (const auto& s : series) {
        SCOPED_TRACE("k = " + std::to_string(s.sample.k) + ", " + std::to_string(s.iterations) + " draws" +
                     (s.twoSided ? ", two-sided" : ", one-sided"));
        ExpectSeriesMatchesSingleRuns(s.sample, s.rows, s.iterations, s.twoSided);
    }
}

TEST(CaseSeriesEngine, ProgressCanCancel)
{
    const tSummaryData d = WorkedExample();
    const std::vector<tVector> scores = ScoresOf(d, VariedCases);
    std::vector<tSeriesCaseResult> results;
    int calls = 0;
    EXPECT_FALSE(CaseSeriesEngine(d.k, d.N, 2000, true, 95, d.sds, d.means, d.corr, scores,
                                  [&](int n) { ++calls; return n < 2; }, results));
    EXPECT_EQ(calls, 2);
    EXPECT_TRUE(CaseSeriesEngine(d.k, d.N, 2000, true, 95, d.sds, d.means, d.corr, {}, nullptr, results));
    EXPECT_TRUE(results.empty());
}

// A residual variance of exactly 0: a case at its predicted score meets
// 0 / 0 in its first draw, every other case a division by zero in every
// draw; each gets the error of its own single run, whole or in chunks.
TEST(CaseSeriesEngine, FloatingPointErrorsStayWithTheirCase)
{
    extended prediction = 0;
    extended residualVariance = 0;
    const tSummaryData d = ZeroResidualVariance(prediction, residualVariance);
    ASSERT_EQ(residualVariance, 0);
    std::vector<tVector> scores(2, d.caseScores);
    scores[0][1] = prediction;
    scores[1][1] = scores[0][1] + 1;
    const char* expected[] = {"Invalid floating point operation", "Floating point division by zero"};
    tSeriesMemory chunked;
    chunked.sharedDraws = 300 * 3 * sizeof(extended);
    for (const tSeriesMemory& memory : {tSeriesMemory(), chunked}) {
        std::vector<tSeriesCaseResult> results;
        ASSERT_TRUE(CaseSeriesEngine(d.k, d.N, 1000, true, 95, d.sds, d.means, d.corr, scores, nullptr, results,
                                     memory));
        for (int c = 0; c < 2; ++c) {
            const tSingleOutcome single = SingleRun(d, scores[c], 1000, true);
            EXPECT_EQ(single.message, expected[c]);
            ExpectSameBits(results[c], single);
            std::vector<tSeriesCaseResult> alone;  // a series of one case takes the single run's way
            ASSERT_TRUE(CaseSeriesEngine(d.k, d.N, 1000, true, 95, d.sds, d.means, d.corr, {scores[c]}, nullptr,
                                         alone, memory));
            ExpectSameBits(alone[0], single);
        }
    }
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
        const std::vector<tVector> scores = ScoresOf(d, VariedCases);
        const tSingleOutcome single = SingleRun(d, scores[0], 1000, true);
        ASSERT_FALSE(single.run.analysed);
        messages.shown.clear();
        std::vector<tSeriesCaseResult> results;
        int calls = 0;
        try {
            CaseSeriesEngine(d.k, d.N, 1000, true, 95, d.sds, d.means, d.corr, scores,
                             [&](int) { return ++calls, true; }, results);
            ADD_FAILURE() << "no error";
        } catch (const std::exception& e) {
            EXPECT_EQ(TypeOf(e), single.errorType);
            EXPECT_EQ(std::string(e.what()), single.message);
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
    std::vector<extended> f;
    ReferenceRun(WorkedExample(), DrawStoreCapacity, true, nullptr, &f);
    ASSERT_EQ(f.size(), static_cast<std::size_t>(DrawStoreCapacity));
    long double mean = 0;
    for (long double v : f) mean += v;
    mean /= f.size();
    long double squares = 0;
    for (long double v : f) squares += (v - mean) * (v - mean);
    const double expected = 100 * std::sqrt(static_cast<double>(squares / (f.size() - 1))) / 1000;

    const tSummaryData d = WorkedExample();
    const tSingleOutcome single = SingleRun(d, d.caseScores, DrawStoreCapacity, true);
    ASSERT_TRUE(single.run.analysed);
    const tMonteCarloError& e = single.run.mcse;
    EXPECT_NEAR(static_cast<double>(e.pctBelow), expected, expected * 1e-12);
    EXPECT_GT(e.pctBelow, 0.004L);  // about 0.0052 percentage points
    EXPECT_LT(e.pctBelow, 0.007L);
    EXPECT_EQ(e.pOneTailed, e.pctBelow / 100);
    EXPECT_EQ(e.pTwoTailed, e.pctBelow / 50);
}

}  // namespace
