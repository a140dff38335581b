#include <gtest/gtest.h>

#include <clocale>
#include <limits>

#include "stream_helpers.h"

TEST(FormatBound, PlainDecimalWithoutTrailingZerosInAnyLocale)
{
    const std::pair<extended, const char*> cases[] = {
        {0, "0"}, {1, "1"}, {-Value_limit, "-2147483647"}, {2.5e-7L, "0.00000025"}, {2.0L / 3, "0.666666666667"}};
    bool comma_locale = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    for (const auto& c : cases) EXPECT_EQ(Format_bound(c.first), c.second) << comma_locale;
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_TRUE(Is_whole_number(3 + 1e-13L) && Is_whole_number(-2147483646));
    EXPECT_FALSE(Is_whole_number(2.5L) || Is_whole_number(Value_limit) || Nearly_equal(1, 1 + 6e-12L));
}

TEST(ArgumentErrors, RulesAndMessages)
{
    for (int id : {1301, 1302, 1303, 1304, 1305, 1306, 1307, 1308, 1309, 1310, 1311, 1312, 1315, 1361, 1363})
        EXPECT_EQ(Argument_error_text(id).rfind("Argument error", 0), std::string::npos) << id;
    EXPECT_EQ(Argument_error_text(1301), "Parameter 1 must be greater than ");
    // Exclusive limits refuse the bound itself; inclusive ones accept it.
    EXPECT_REFUSED(Check_bound(1311, 1.5L, 1.5L), Argument_error_text(1311) + "1.5");
    EXPECT_REFUSED(Check_bound(1302, -1e-300L, 0), Argument_error_text(1302) + "0");
    EXPECT_TRUE(Check_bound(1302, 0, 0) && Check_bound(1315, 1, 1) && Raise_if(false, 1363));
    EXPECT_REFUSED(Check_bound(1301, std::numeric_limits<extended>::quiet_NaN(), 0), Argument_error_text(1301) + "0");
    EXPECT_THROW(Check_bound(1304, 1, 1), std::logic_error);
}

TEST(DistributionBase, WholeParameterMissingVarianceAndAbstractCalls)
{
    // The root's own behaviour: one whole-number parameter in (0, 10), no variance.
    struct tBare : tDistribution {
        tBare() { Parameter_count = 1, Parameters[1] = {0, true, 0, 10}; }
        bool Has_variance() override { return false; }
    } bare;
    EXPECT_TRUE(bare.Set_parameters(3, 0, 0));
    EXPECT_REFUSED(bare.Set_parameters(2.5L, 0, 0), Argument_error_text(1304));
    EXPECT_REFUSED(bare.Set_parameters(0, 0, 0), Argument_error_text(1301) + "0");
    EXPECT_REFUSED(bare.Standard_deviation(), Argument_error_text(1363));
    EXPECT_THROW(bare.Quantile(0.5L), std::logic_error);
    EXPECT_THROW(bare.Mean(), std::logic_error);
    EXPECT_THROW(bare.Random_variate(), std::logic_error);
    // Outside the support the root answers without the interval probability;
    // the upper end itself already counts as beyond.
    EXPECT_EQ(bare.Distribution_function(-3e9L), 0);
    EXPECT_EQ(bare.Distribution_function(Value_limit), 1);
    EXPECT_EQ(bare.Distribution_function(3e9L), 1);
}
