// Parsers, key filter, length limit, range checks, echo line, standardisation
// and program folder, with the exact texts of their messages.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tests/support/recording_messages.h"
#include "tests/support/comma_locale.h"
#include "distributions/float_errors.h"
#include "analysis/worksheet/input_rules.h"
#include "foundation/messages.h"

using platform::MessageKind;

namespace {

class InputChecks : public ::testing::Test {
protected:
    // The one warning shown since the last Clear ("" and a failure otherwise).
    std::string Warning()
    {
        EXPECT_EQ(messages.shown.size(), 1u);
        if (messages.shown.size() != 1) return "";
        EXPECT_EQ(messages.shown[0].kind, MessageKind::Warning);
        return messages.shown[0].text;
    }

    platform::RecordingMessages messages;
    platform::ScopedMessages scope{messages};
};

TEST_F(InputChecks, ParseNumberAcceptsAndRefusesAsItsRulesSay)
{
    const struct {
        const char* text;
        double value;
        bool refused;
    } cases[] = {
        {"", 0, false},    {" 1 2 ", 12, false}, {"5.", 5, false},    {".5", 0.5, false},     {"-", 0, false},
        {".", 0, false},   {"-5", -5, false},    {"1,5", 1.5, false}, {"12.50", 12.5, false}, {" -5", 0, true},
        {"5-", 0, true},   {"1e3", 0, true},     {"+5", 0, true},     {"1/2", 0, true},
        {"1.2.3", 1.2, true},  // a second point keeps the value read so far
    };
    for (const auto& c : cases) {
        messages.Clear();
        InputError = !c.refused;
        EXPECT_DOUBLE_EQ(static_cast<double>(ParseNumber(c.text)), c.value) << c.text;
        EXPECT_EQ(InputError, c.refused) << c.text;
        if (c.refused)
            EXPECT_EQ(Warning(), "There is an invalid data entry, which will be highlighted once you click 'OK', "
                                 "please re-enter.");
        else
            EXPECT_TRUE(messages.shown.empty()) << c.text;
    }
    // Fraction digits beyond the range of powers of ten: no hang, no harm.
    ClearFloatingPointErrors();
    EXPECT_NEAR(static_cast<double>(ParseNumber("0." + std::string(5000, '9'))), 1.0, 1e-15);
    EXPECT_FALSE(InputError);
    EXPECT_NO_THROW(RaiseFloatingPointErrors());
}

// The messages of the Compute command's cells: tests/support/worksheet_refusals.h.
TEST_F(InputChecks, CheckNumericFieldMessages)
{
    // A control character (a NUL byte from a file) is shown escaped, not cut.
    CheckNumericField(std::string("1\0" "2\r", 4), "Test No.1");
    EXPECT_TRUE(InputError);
    EXPECT_EQ(Warning(), "INPUT ERROR\r(  Test No.1  1\\x002\\x0D  )\r\rEnter numeric data only.");
    // A number needs a digit: a text without one is refused as not entered.
    for (const char* noDigit : {"", ".", "-.", " ", "- . "}) {
        messages.Clear();
        EXPECT_EQ(CheckNumericField(noDigit, "Test No.1"), 0);
        EXPECT_TRUE(InputError) << noDigit;
        EXPECT_EQ(Warning(), std::string("INPUT ERROR\r\r(  Test No.1  ") + noDigit +
                                 ")\r\rData have not been entered in this field.");
    }
    messages.Clear();
    EXPECT_EQ(CheckNumericField("-3.5", "Test No.1"), -3.5L);
    EXPECT_FALSE(InputError);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(InputChecks, RangeChecksRefuseWhatIsOutOfRange)
{
    const double inf = std::numeric_limits<double>::infinity(), nan = std::nan("");
    for (double ok : {0.0, 1.0, 5.0}) EXPECT_TRUE(CheckCovariateCount("k", ok));
    for (double ok : {3.0, 1e12}) EXPECT_TRUE(CheckSampleSize("N", ok));
    EXPECT_TRUE(CheckPositiveSD("SD", 0.001));
    EXPECT_TRUE(messages.shown.empty());
    for (double bad : {0.5, 6.0, -1.0, inf, nan, 1e300}) EXPECT_FALSE(CheckCovariateCount("k", bad)) << bad;
    for (double bad : {-inf, nan, 2.5}) EXPECT_FALSE(CheckSampleSize("N", bad)) << bad;
    EXPECT_FALSE(CheckPositiveSD("SD", nan));
    EXPECT_EQ(messages.shown.size(), 10u);
    InputError = false;
    CheckPositiveSD("SD", -1);
    EXPECT_FALSE(InputError);  // range checks leave the parser flag alone
}

TEST_F(InputChecks, MessagesUseADecimalPointInACommaLocale)
{
    REQUIRE_COMMA_LOCALE(german);
    EXPECT_FALSE(CheckCovariateCount("k", 2.5));
    EXPECT_NE(Warning().find("  2.500  )"), std::string::npos);
}

TEST_F(InputChecks, KeyFilterAndLengthLimit)
{
    EXPECT_EQ(FilterNumericKey(','), '.');
    for (char ok : {'0', '9', '-', '.', '\b', '\t', '\r'}) EXPECT_EQ(FilterNumericKey(ok), ok);
    EXPECT_EQ(LimitInputLength("123456"), "123456");
    EXPECT_EQ(LimitInputLength(""), "");
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(messages.beeps, 0);
    const char refused[] = {' ', 'a', '+', '\x16', '\n'};  // '\x16': a paste shortcut
    for (char bad : refused) EXPECT_EQ(FilterNumericKey(bad), '\0');
    EXPECT_EQ(messages.beeps, 5);
    ASSERT_EQ(messages.shown.size(), 5u);
    for (const auto& m : messages.shown) EXPECT_EQ(m.text, "INPUT ERROR\r\rEnter numeric data only.");

    messages.Clear();
    EXPECT_EQ(LimitInputLength("1234567"), "123456");
    EXPECT_EQ(messages.beeps, 1);
    EXPECT_EQ(Warning(), "Maximum length of input is 6 characters.");
    // Characters, not bytes: a letter of two bytes is never cut in two.
    const std::string e = "\xc3\xa9";
    EXPECT_EQ(LimitInputLength(e + e + e + e + e + e + e), e + e + e + e + e + e);
    EXPECT_EQ(LimitInputLength(e + e + e), e + e + e);
}

TEST(Conversions, EchoLineAndStandardisedScores)
{
    EXPECT_EQ(FormatInputLine("Number of covariates : ", "2"), " Number of covariates = 2");
    EXPECT_EQ(FormatInputLine("Sample size (N) of control sample:", "30"), " Sample size (N) of control sample= 30");
    EXPECT_EQ(FormatInputLine("Count", "7"), " Unnamed input X = Count7");
    EXPECT_EQ(FormatInputLine("", "7"), " Unnamed input X = 7");
    EXPECT_EQ(FormatInputLine("a:b:", "1"), " a:b= 1");
    EXPECT_EQ(FormatInputLine("Ratio: x", "1"), " Ratio= 1");

    tVector x, mean, sd, out;
    x[1] = 130, mean[1] = 100, sd[1] = 15;
    x[2] = 85, mean[2] = 100, sd[2] = 10;
    StandardiseScores(x, mean, sd, 2, 1, 0, out);
    EXPECT_NEAR(static_cast<double>(out[1]), 2.0, 1e-15);
    EXPECT_NEAR(static_cast<double>(out[2]), -1.5, 1e-15);
    EXPECT_EQ(out[3], 0);  // beyond count: untouched
    StandardiseScores(x, mean, sd, 2, 10, 50, out);  // T scores
    EXPECT_NEAR(static_cast<double>(out[1]), 70.0, 1e-13);
}

}  // namespace
