#include <gtest/gtest.h>

#include <string>

#include "distributions/distributions.h"
#include "distributions/float_errors.h"
#include "foundation/messages.h"
#include "tests/support/recording_messages.h"
#include "tests/support/summary_data.h"

namespace {

class AnalysisFailures : public ::testing::Test {
protected:
    platform::RecordingMessages messages;
    platform::ScopedMessages scope{messages};
};

// The error must tell the user what to do, and no estimates may come out.
TEST_F(AnalysisFailures, ScalesThatBreakTheAlgebraAskForOtherUnits)
{
    tSummaryData far = WorkedExample();  // a covariate millions of SDs from zero: no unit helps
    far.means[2] = 1e7L;
    far.sds[2] = 1;
    tSummaryData tiny = WorkedExample();  // breaks an inversion of the conditional moments
    tiny.sds[1] = tiny.sds[2] = 0.0001L;
    tiny.corr[1][2] = tiny.corr[2][1] = 0.999L;
    const struct {
        const char* what;
        tSummaryData d;
        std::string shown;  // the factorisation's own message, if any
    } cases[] = {{"covariate far from zero", far, "Not pos def 2nd : sum=  0.000000000  i=  2  j=   2"},
                 {"tiny scales", tiny, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        messages.shown.clear();
        ASSERT_TRUE(IsPositiveDefinite(2, c.d.corr));
        tEngineRun run;
        run.result.pctBelow = run.condMean = -1;
        try {
            BayesDeficitEngine(c.d, c.d.caseScores, Options(1000, true), run.condMean, run.condSD, run.result);
            ADD_FAILURE() << "no error";
        } catch (const EAnalysisError& e) {
            EXPECT_NE(std::string(e.what()).find("Express that variable in other units"), std::string::npos);
            EXPECT_NE(std::string(e.what()).find("run the analysis again"), std::string::npos);
        }
        EXPECT_EQ(run.result.pctBelow, -1);
        EXPECT_EQ(run.condMean, -1);
        ASSERT_EQ(messages.shown.size(), c.shown.empty() ? 0u : 1u);
        if (c.shown.empty()) continue;
        EXPECT_EQ(messages.shown[0].kind, platform::MessageKind::Information);
        EXPECT_EQ(messages.shown[0].text, c.shown);
    }
}

std::string FloatingPointErrorOf(const tSummaryData& d)
{
    try {
        RunEngine(d, 1000, true);
    } catch (const EFloatingPointError& error) {
        ClearFloatingPointErrors();
        return error.what();
    } catch (const std::exception& error) {
        return std::string("other error: ") + error.what();
    }
    return "no error";
}

TEST_F(AnalysisFailures, FloatingPointErrorsEndTheRun)
{
    tSummaryData overflow = WorkedExample();  // before any draw
    overflow.sds[1] = 1e3000L;
    // A task mean far above its SD: the residual sum of squares is lost in the
    // cancellation of the cross-products and comes out below zero. Its square
    // root is the invalid operation, found before any draw.
    tSummaryData negative = WorkedExample();
    negative.means[1] = 3e9L;
    negative.sds[1] = 0.001L;
    negative.caseScores[1] = 3e9L - 0.001L;
    tMatrix B, residVar, XtXInv;
    RegressionFromSummary(negative.corr, negative.sds, negative.means, 1, 1, 20, B, residVar, XtXInv);
    ASSERT_LT(residVar[1][1], 0);
    // A residual variance of exactly 0 makes sigma 0; a case exactly at its
    // predicted score then gives zeta = 0 / 0, which must not reach F as a NaN.
    extended prediction = 0, residualVariance = 0;
    tSummaryData atPrediction = ZeroResidualVariance(prediction, residualVariance);
    ASSERT_EQ(residualVariance, 0);
    atPrediction.caseScores[1] = prediction;
    tSummaryData abovePrediction = atPrediction;
    abovePrediction.caseScores[1] += 1;
    const struct {
        const char* what;
        tSummaryData d;
        const char* error;
        bool beforeAnyDraw;
    } cases[] = {{"overflow", overflow, "Floating point overflow", true},
                 {"negative residual variance", negative, "Invalid floating point operation", true},
                 {"0 / 0 in a draw", atPrediction, "Invalid floating point operation", false},
                 {"division by zero in a draw", abovePrediction, "Floating point division by zero", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(FloatingPointErrorOf(c.d), c.error);
        if (!c.beforeAnyDraw) continue;
        EXPECT_EQ(Seed1, Seed1_start);
        EXPECT_EQ(Seed2, Seed2_start);
    }
}

// F of a zeta beyond 65536 raises an argument error; it must reach the caller
// with the random source where the plain loop leaves it: just after the draw.
TEST_F(AnalysisFailures, ExtremeDrawRaisesArgumentError)
{
    tSummaryData d = WorkedExample();
    d.sds[1] = 1;
    d.caseScores[1] = 50 - 200000;
    EXPECT_THROW(RunEngine(d, DrawStoreCapacity, true), EArgumentError);
    const std::int32_t seed1 = Seed1;
    const std::int32_t seed2 = Seed2;

    Seed1 = Seed1_start;
    Seed2 = Seed2_start;
    tChi_square_distribution chiSquare(18);
    tNormal_distribution normal(0, 1);
    chiSquare.Random_variate();
    normal.Random_variate();
    normal.Random_variate();
    EXPECT_EQ(seed1, Seed1);
    EXPECT_EQ(seed2, Seed2);
}

TEST_F(AnalysisFailures, CallsOutsideTheEngineCapacity)
{
    const tSummaryData d = WorkedExample();
    EXPECT_THROW(RunEngine(d, 0, true), std::invalid_argument);
    EXPECT_THROW(RunEngine(d, DrawStoreCapacity + 1, true), std::invalid_argument);
    EXPECT_THROW(RunEngine(d, 10, true), std::invalid_argument);  // lower limit at position 0
}

}  // namespace
