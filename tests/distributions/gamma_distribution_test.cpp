#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "stream_helpers.h"

TEST(ChiSquareDistribution, FirstVariatesFromTheStartState)
{
    const std::pair<extended, std::array<double, 3>> cases[] = {
        {1, {0.7635467766, 0.0375224570, 0.3794075962}},
        {2, {1.3006233177, 3.4828050590, 4.3136580999}},
        {3, {0.7170780084, 0.7838371726, 1.2178485707}},
        {10, {5.1588068978, 5.4747964015, 5.7598911244}}};
    for (const auto& c : cases) {
        Restart_stream();
        tChi_square_distribution chi(c.first);
        for (double expected : c.second) EXPECT_NEAR(chi.Random_variate(), expected, 1e-9) << double(c.first);
    }
}

TEST(ChiSquareDistribution, ExponentialCaseQuantileAndChangeOfDf)
{
    Restart_stream();
    tChi_square_distribution chi(2);
    EXPECT_TRUE(chi.Mean() == 2 && chi.Variance() == 4);
    std::int32_t before1 = Seed1, before2 = Seed2;
    extended x = chi.Random_variate();
    EXPECT_EQ(Uniforms_between(before1, before2, Seed1, Seed2), 1);
    EXPECT_NEAR(chi.Distribution_function(x), 1 - std::exp(-double(x) / 2), 1e-10);
    EXPECT_TRUE(chi.Set_parameters(1, 99, 99));
    EXPECT_EQ(chi.Degrees_of_freedom, 1);
    EXPECT_NEAR(chi.Quantile(0.95L), 3.84145882, 1e-8);
    EXPECT_REFUSED(tChi_square_distribution(0), Argument_error_text(1301) + "0");
    EXPECT_REFUSED(tChi_square_distribution(2 * Value_limit), Argument_error_text(1303) + "2147483647");
}

TEST(GammaDistribution, LimitsMomentsDensityAndSupportAtZero)
{
    EXPECT_REFUSED(tGamma_distribution(0, 1), Argument_error_text(1301) + "0");
    EXPECT_REFUSED(tGamma_distribution(1, Value_limit), Argument_error_text(1307) + "2147483647");
    tGamma_distribution gamma(3, 2), exponential(1, 3), two(2, 1), half(0.5L, 1);
    EXPECT_TRUE(gamma.Mean() == 1.5L && gamma.Variance() == 0.75L);
    EXPECT_TRUE(exponential.Density(0) == 3 && exponential.In_support(0));
    EXPECT_TRUE(two.Density(0) == 0 && two.Density(-1) == 0);
    EXPECT_NEAR(two.Density(1), std::exp(-1.0), 1e-10);
    EXPECT_TRUE(half.Density(0) == 0 && !half.In_support(0) && half.In_support(1e-300L));
}

// Known values; above shape 500 the cube-root approximation takes over.
TEST(GammaDistribution, DistributionFunction)
{
    const struct {
        extended shape, rate, x;
        long double expected, tolerance;
    } cases[] = {
        {2, 2, 1.5L, 1 - 4 * std::exp(-3.0L), 1e-10L}, {600, 1, 550, 0.0184L, 5e-5L}, {600, 1, 600, 0.5054L, 5e-5L},
    };
    for (const auto& c : cases) {
        tGamma_distribution gamma(c.shape, c.rate);
        EXPECT_LE(std::fabs(gamma.Distribution_function(c.x) - c.expected), c.tolerance)
            << double(c.shape) << ", " << double(c.rate) << " at " << double(c.x);
    }
    for (extended shape : {0.5L, 1.0L, 2.0L, 600.0L}) {
        tGamma_distribution gamma(shape, 1);
        EXPECT_EQ(gamma.Distribution_function(0) + gamma.Distribution_function(-1), 0);
        EXPECT_EQ(gamma.Distribution_function(3e9L), 1);
    }
    EXPECT_REFUSED(tGamma_distribution(2, 2).Distribution_function(2e9L), Argument_error_text(1361));
    EXPECT_EQ(tGamma_distribution(500, 1).Distribution_function(480), Incomplete_gamma(480, 500));
    // Nearly all mass lies beyond the support: the search stops at its end.
    tGamma_distribution far(1e9L, 0.25L);
    EXPECT_EQ(far.Quantile(0.5L), Value_limit);
}

TEST(GammaDistribution, ConstantsFollowEveryParameterChange)
{
    tGamma_distribution rate1(7, 1), rate2(7, 2);
    EXPECT_EQ(rate2.Log_normaliser, 7 * std::log(2.0L) - Log_gamma(7));
    EXPECT_EQ(rate1.Log_normaliser, -Log_gamma(7));
    // Back and forth through other shapes: the variates of a fresh object.
    rate1.Set_parameters(0.3L, 2, 0);
    rate1.Set_parameters(1, 5, 0);
    rate1.Set_parameters(7, 2, 0);
    Restart_stream();
    extended a = rate1.Random_variate();
    Restart_stream();
    EXPECT_EQ(rate2.Random_variate(), a);
}
