#include <gtest/gtest.h>

#include <cmath>

#include "stream_helpers.h"

// Known values of the special functions, each within its tolerance.
TEST(GammaFunctions, KnownValues)
{
    const extended below3 = std::nextafter(3.0L, 0.0L);
    const struct {
        const char* what;
        extended value;
        long double expected, tolerance;
    } cases[] = {
        {"log gamma(1)", Log_gamma(1), -4.6e-12L, 1e-12L},
        {"log gamma(1/2)", Log_gamma(0.5L), 0.5723649429247001L, 1e-10L},
        {"P(0.5, 1.92072941)", Incomplete_gamma(1.92072941L, 0.5L), 0.95L, 1e-8L},
        // P(2, x) = 1 - e^-x (1 + x); x = a + 1 takes the fraction, below it the series.
        {"P(2, 3) by the fraction", Incomplete_gamma(3, 2), 1 - 4 * std::exp(-3.0L), 1e-10L},
        {"P(2, 3-) by the series", Incomplete_gamma(below3, 2), 1 - 4 * std::exp(-3.0L), 1e-10L},
        {"P(2, 40)", Incomplete_gamma(40, 2), 1 - 41 * std::exp(-40.0L), 1e-15L},
        // Near the cap the fraction converges slowly, but it ends near one half.
        {"P near the cap", Incomplete_gamma(2147483600, 2147483000), 0.5L, 0.1L},
        {"8^(1/3)", Real_power(8, 1.0L / 3), 2, 1e-15L},
    };
    for (const auto& c : cases) EXPECT_NEAR(c.value, c.expected, c.tolerance) << c.what;
    EXPECT_TRUE(Incomplete_gamma(0, 0.5L) == 0 && Incomplete_gamma(0, 7) == 0);
    EXPECT_EQ(Incomplete_gamma(3, 2), 1 - Incomplete_gamma_fraction(3, 2));
    EXPECT_EQ(Incomplete_gamma(below3, 2), Incomplete_gamma_series(below3, 2));
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
    EXPECT_EQ(Real_power(8, 1.0L / 3), std::exp(std::log(8.0L) * (1.0L / 3)));
    EXPECT_TRUE(Integer_power(2, -2) == 0.25L && Integer_power(-3, 5) == -243 && Integer_power(7, 0) == 1);
    EXPECT_EQ(Integer_power(2, 62), 4611686018427387904.0L);
}
