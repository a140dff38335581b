#include <gtest/gtest.h>

#include <string>

#include "distributions/distributions.h"
#include "distributions/float_errors.h"
#include "tests/support/summary_data.h"
#include "foundation/messages.h"

namespace {

class AnalysisFailures : public ::testing::Test {
protected:
    // The error must tell the user what to do, and no estimates may come out.
    void ExpectAnalysisError(const tSummaryData& d)
    {
        tEngineRun run;
        run.result.pctBelow = -1;
        run.condMean = -1;
        try {
            BayesDeficitEngine(d.k, d.N, 1000, true, true, 95, d.sds, d.means, d.caseScores, d.corr, run.condMean,
                               run.condSD, run.result);
            FAIL() << "no error";
        } catch (const EAnalysisError& e) {
            EXPECT_NE(std::string(e.what()).find("Express that variable in other units"), std::string::npos);
            EXPECT_NE(std::string(e.what()).find("run the analysis again"), std::string::npos);
        }
        EXPECT_EQ(run.result.pctBelow, -1);
        EXPECT_EQ(run.condMean, -1);
    }

    platform::RecordingMessages messages;
    platform::ScopedMessages scope{messages};
};

// A covariate whose mean lies millions of SDs from zero: no unit helps.
TEST_F(AnalysisFailures, CovariateFarFromZeroBreaksTheFactorisation)
{
    tSummaryData d = WorkedExample();
    d.means[2] = 1e7L;
    d.sds[2] = 1;
    ASSERT_TRUE(IsPositiveDefinite(2, d.corr));
    ExpectAnalysisError(d);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].kind, platform::MessageKind::Information);
    EXPECT_EQ(messages.shown[0].text, "Not pos def 2nd : sum=  0.000000000  i=  2  j=   2");
}

TEST_F(AnalysisFailures, TinyScalesBreakAnInversion)
{
    tSummaryData d = WorkedExample();
    d.sds[1] = d.sds[2] = 0.0001L;
    d.corr[1][2] = d.corr[2][1] = 0.999L;
    ASSERT_TRUE(IsPositiveDefinite(2, d.corr));
    ExpectAnalysisError(d);  // the conditional moments
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(AnalysisFailures, OverflowEndsTheRunBeforeAnyDraw)
{
    tSummaryData d = WorkedExample();
    d.sds[1] = 1e3000L;
    EXPECT_THROW(RunEngine(d, 1000, true), EFloatingPointError);
    ClearFloatingPointErrors();
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

// A task mean far above its SD: the residual sum of squares is lost in the
// cancellation of the cross-products and comes out below zero. Its square
// root is the invalid operation, found before any draw.
TEST_F(AnalysisFailures, NegativeResidualVarianceIsAnInvalidOperation)
{
    tSummaryData d = WorkedExample();
    d.means[1] = 3e9L;
    d.sds[1] = 0.001L;
    d.caseScores[1] = 3e9L - 0.001L;
    tMatrix B, residVar, XtXInv;
    RegressionFromSummary(d.corr, d.sds, d.means, 1, d.k, d.N, B, residVar, XtXInv);
    ASSERT_LT(residVar[1][1], 0);
    EXPECT_EQ(FloatingPointErrorOf(d), "Invalid floating point operation");
    EXPECT_EQ(Seed1, Seed1_start);
    EXPECT_EQ(Seed2, Seed2_start);
}

// A residual variance of exactly 0 makes sigma 0; a case exactly at its
// predicted score then gives zeta = 0 / 0, which must not reach F as a NaN.
TEST_F(AnalysisFailures, ZeroOverZeroDrawIsAnInvalidOperation)
{
    extended prediction = 0;
    extended residualVariance = 0;
    tSummaryData d = ZeroResidualVariance(prediction, residualVariance);
    ASSERT_EQ(residualVariance, 0);
    d.caseScores[1] = prediction;
    EXPECT_EQ(FloatingPointErrorOf(d), "Invalid floating point operation");
    d.caseScores[1] += 1;
    EXPECT_EQ(FloatingPointErrorOf(d), "Floating point division by zero");
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
