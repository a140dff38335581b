#include <gtest/gtest.h>

#include <cmath>

#include "stream_helpers.h"

TEST(NormalDistribution, FirstVariatesAndTheUniformsTheyUse)
{
    Restart_stream();
    tNormal_distribution normal(0, 1);
    const std::pair<double, int> expected[] = {{-1.0674340313, 2}, {-1.1479177399, 8}, {-1.0376897801, 2}};
    for (const auto& [variate, uniforms] : expected) {
        std::int32_t before1 = Seed1, before2 = Seed2;
        EXPECT_NEAR(normal.Random_variate(), variate, 1e-10);
        EXPECT_EQ(Uniforms_between(before1, before2, Seed1, Seed2), uniforms) << variate;
    }
}

// Known values of the standard normal, each within its tolerance.
TEST(NormalDistribution, KnownValues)
{
    tNormal_distribution normal(0, 1);
    const struct {
        const char* what;
        extended value;
        long double expected, tolerance;
    } cases[] = {
        {"F(0)", normal.Distribution_function(0), 0.5L, 0},
        {"F(1.959964)", normal.Distribution_function(1.959964L), 0.975L, 1e-7L},
        {"density at 0", normal.Density(0), 1 / std::sqrt(2 * M_PIl), 1e-15L},
        {"P(-1 < z < 1)", normal.Interval_probability(-1, 1), 0.6826894921L, 1e-10L},
        {"quantile 0.5", normal.Quantile(0.5L), 0, 0},
        {"quantile 0.975", normal.Quantile(0.975L), 1.95996398L, 1e-8L},
        {"quantile 0.025", normal.Quantile(0.025L), -1.95996398L, 1e-8L},
        // Beyond the support's ends no check; inside, too far from the mean.
        {"F(-3e9)", normal.Distribution_function(-3e9L), 0, 0}, {"F(3e9)", normal.Distribution_function(3e9L), 1, 0},
        {"F(65535)", normal.Distribution_function(65535), 1, 0},
        {"upper tail", normal.Interval_probability(0, 3e9L), 0.5L, 0},
        {"F(hi)", normal.Interval_probability(-3e9L, 0), 0.5L, 0},
        {"clamped", normal.Interval_probability(1, -1), 0, 0},
        {"quantile 0", normal.Quantile(0), -Value_limit, 0}, {"quantile 1", normal.Quantile(1), Value_limit, 0},
        {"quantile 4e-12", normal.Quantile(4e-12L), -Value_limit, 0},
        {"quantile 1 - 4e-12", normal.Quantile(1 - 4e-12L), Value_limit, 0},
    };
    for (const auto& c : cases)  // a tolerance of 0: exactly
        EXPECT_LE(std::fabs(c.value - c.expected), c.tolerance) << c.what << ": " << double(c.value);
    EXPECT_REFUSED(normal.Distribution_function(65537), Argument_error_text(1361));
    EXPECT_REFUSED(normal.Distribution_function(Value_limit), Argument_error_text(1361));  // the ends are inside
    EXPECT_REFUSED(normal.Distribution_function(-Value_limit), Argument_error_text(1361));
    EXPECT_REFUSED(normal.Quantile(-1e-30L), Argument_error_text(1302) + "0");
    EXPECT_REFUSED(normal.Quantile(1 + 1e-15L), Argument_error_text(1315) + "1");
}

TEST(NormalDistribution, QuantileSearchFarFromZero)
{
    // Far from zero the first bracket's width differs from 2s by more than the
    // tolerance through rounding alone; the downward search must still run.
    const extended mean = 1e9L + 0.1L;
    tNormal_distribution shifted(mean, 2);
    const extended s = 2 * shifted.Standard_deviation();
    ASSERT_FALSE(Nearly_equal((mean + s) - (mean - s), 2 * s));
    EXPECT_NEAR(static_cast<double>(shifted.Quantile(0.001L) - mean), -3.0902323062 * std::sqrt(2.0), 1e-8);
    // More mass than p lies below the support: the search stops at its end.
    tNormal_distribution far(-2147383647.0L, 1e9L);
    EXPECT_EQ(far.Quantile(1e-6L), -Value_limit);
}

TEST(NormalDistribution, ParameterLimitsAndFailedChange)
{
    EXPECT_REFUSED(tNormal_distribution(0, 0), Argument_error_text(1305) + "0");
    EXPECT_REFUSED(tNormal_distribution(0, Value_limit), Argument_error_text(1307) + "2147483647");
    EXPECT_REFUSED(tNormal_distribution(-Value_limit, 1), Argument_error_text(1301) + "-2147483647");
    // A refused change: refused values in the records, old cached parameters.
    tNormal_distribution normal(1, 4);
    EXPECT_REFUSED(normal.Set_parameters(5, -2, 7), Argument_error_text(1305) + "0");
    EXPECT_TRUE(normal.Parameters[1].Value == 5 && normal.Parameters[2].Value == -2 && normal.Parameters[3].Value == 7);
    EXPECT_TRUE(normal.Mean() == 1 && normal.Variance() == 4);
    EXPECT_TRUE(normal.Set_parameters(10, 4, 0));
    Restart_stream();  // the standard deviation 2 scales variates and quantiles
    EXPECT_NEAR(normal.Random_variate(), 10 + 2 * -1.0674340313, 1e-9);
    EXPECT_NEAR(normal.Quantile(0.975L), 10 + 2 * 1.95996398, 1e-7);
    EXPECT_NEAR(normal.Distribution_function(12), 0.8413447461, 1e-9);
}
