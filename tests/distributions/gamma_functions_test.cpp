#include <gtest/gtest.h>

#include <cmath>

#include "stream_helpers.h"

TEST(LogGamma, KnownValues)
{
    EXPECT_NEAR(Log_gamma(1), -4.6e-12, 1e-12);
    EXPECT_NEAR(Log_gamma(0.5L), 0.5723649429247001, 1e-10);
}

TEST(IncompleteGamma, KnownValuesAndTheSwitchBetweenMethods)
{
    EXPECT_TRUE(Incomplete_gamma(0, 0.5L) == 0 && Incomplete_gamma(0, 7) == 0);
    EXPECT_NEAR(Incomplete_gamma(1.92072941L, 0.5L), 0.95, 1e-8);
    // P(2, x) = 1 - e^-x (1 + x); x = a + 1 takes the fraction, below it the series.
    extended below = std::nextafter(3.0L, 0.0L);
    EXPECT_EQ(Incomplete_gamma(3, 2), 1 - Incomplete_gamma_fraction(3, 2));
    EXPECT_EQ(Incomplete_gamma(below, 2), Incomplete_gamma_series(below, 2));
    EXPECT_NEAR(Incomplete_gamma(3, 2), 1 - 4 * std::exp(-3.0), 1e-10);
    EXPECT_NEAR(Incomplete_gamma(below, 2), 1 - 4 * std::exp(-3.0), 1e-10);
    EXPECT_NEAR(Incomplete_gamma(40, 2), 1 - 41 * std::exp(-40.0), 1e-15);
    // Near the cap the fraction converges slowly, but it ends near one half.
    EXPECT_NEAR(Incomplete_gamma(2147483600, 2147483000), 0.5, 0.1);
}

TEST(IncompleteGamma, ArgumentChecksInTheirOrder)
{
    EXPECT_REFUSED(Incomplete_gamma(-1, 2), Argument_error_text(1302) + "0");
    EXPECT_REFUSED(Incomplete_gamma(-1, 0), Argument_error_text(1302) + "0");
    EXPECT_REFUSED(Incomplete_gamma(1, 0), Argument_error_text(1301) + "0");
    EXPECT_REFUSED(Incomplete_gamma(3e9L, 2), Argument_error_text(1361));
    EXPECT_REFUSED(Incomplete_gamma(1, 3e9L), Argument_error_text(1361));
    EXPECT_REFUSED(Incomplete_gamma(Value_limit, Value_limit), "");
}

TEST(Powers, IntegerAndRealExponents)
{
    EXPECT_TRUE(Real_power(0, 0) == 1 && Real_power(0, 2) == 0 && Real_power(2, 3) == 8);
    EXPECT_NEAR(Real_power(8, 1.0L / 3), 2, 1e-15);
    EXPECT_EQ(Real_power(8, 1.0L / 3), std::exp(std::log(8.0L) * (1.0L / 3)));
    EXPECT_TRUE(Integer_power(2, -2) == 0.25L && Integer_power(-3, 5) == -243 && Integer_power(7, 0) == 1);
    EXPECT_EQ(Integer_power(2, 62), 4611686018427387904.0L);
}
