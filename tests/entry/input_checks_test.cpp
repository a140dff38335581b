// Parsers, key filter, length limit, range checks, echo line, standardisation
// and program folder, with the exact texts of their messages.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <limits>
#include <sys/stat.h>

#include "comma_locale.h"
#include "entry/Metrics_Papers.h"
#include "platform/messages.h"

using platform::MessageKind;

namespace {

const std::string kInvalidEntry =
    "There is an invalid data entry, which will be highlighted once you click 'OK', please re-enter.";

class InputChecks : public ::testing::Test {
protected:
    platform::RecordingMessages messages;
    platform::ScopedMessages scope{messages};

    std::string OnlyWarning()
    {
        EXPECT_EQ(messages.shown.size(), 1u);
        if (messages.shown.size() != 1) return "";
        EXPECT_EQ(messages.shown[0].kind, MessageKind::Warning);
        return messages.shown[0].text;
    }
};

struct ParseCase {
    const char* text;
    double value;
    bool refused;
};

TEST_F(InputChecks, ParseNumberAcceptsAndRefusesAsTheParserRulesSay)
{
    const ParseCase cases[] = {
        {"", 0, false},      {" 1 2 ", 12, false}, {"5.", 5, false},    {".5", 0.5, false},  {"-", 0, false},
        {".", 0, false},     {"-5", -5, false},    {"1,5", 1.5, false}, {"12.50", 12.5, false},
        {"-0.25", -0.25, false},
        {" -5", 0, true},    {"5-", 0, true},      {"1e3", 0, true},    {"+5", 0, true},     {"1/2", 0, true},
        {"abc", 0, true},    {"1.2.3", 1.2, true},  // a second point keeps the value read so far
    };
    for (const ParseCase& c : cases) {
        messages.Clear();
        InputError = !c.refused;  // must be overwritten
        extended v = ParseNumber(c.text);
        EXPECT_EQ(InputError, c.refused) << '"' << c.text << '"';
        EXPECT_DOUBLE_EQ(static_cast<double>(v), c.value) << '"' << c.text << '"';
        if (c.refused)
            EXPECT_EQ(OnlyWarning(), kInvalidEntry) << c.text;
        else
            EXPECT_TRUE(messages.shown.empty()) << c.text;
    }
}

TEST_F(InputChecks, ParseNumberOfAVeryLongTextDoesNotHang)
{
    std::string digits(5000, '9');
    ParseNumber("0." + digits);  // powers of ten beyond the extended range
    EXPECT_FALSE(InputError);
    extended v = ParseNumber("0." + digits);
    EXPECT_NEAR(static_cast<double>(v), 1.0, 1e-15);
}

TEST_F(InputChecks, CheckNumericFieldMessages)
{
    extended v = CheckNumericField("", "Number of covariates : ");
    EXPECT_TRUE(InputError);
    EXPECT_EQ(v, 0);
    EXPECT_EQ(OnlyWarning(), "INPUT ERROR\r\r(  Number of covariates :   )\r\rData have not been entered in this field.");

    messages.Clear();
    CheckNumericField("1,5", "Test No.2");
    EXPECT_TRUE(InputError);
    EXPECT_EQ(OnlyWarning(), "INPUT ERROR\r(  Test No.2  1,5  )\r\rEnter numeric data only.");

    messages.Clear();
    CheckNumericField("x", "SD");
    EXPECT_TRUE(InputError);
    EXPECT_EQ(OnlyWarning(), "INPUT ERROR\r(  SD  x  )\r\rEnter numeric data only.");

    messages.Clear();
    v = CheckNumericField("-3.5", "Test No.1");
    EXPECT_FALSE(InputError);
    EXPECT_EQ(v, -3.5L);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(InputChecks, RangeChecksPassAndFailWithTheValueInTheMessage)
{
    const std::string cov = "Number of covariates : ";
    for (double ok : {1.0, 2.0, 5.0}) EXPECT_TRUE(CheckCovariateCount(cov, ok)) << ok;
    EXPECT_TRUE(messages.shown.empty());
    for (double bad : {0.0, 6.0, -1.0, 2.5}) {
        messages.Clear();
        EXPECT_FALSE(CheckCovariateCount(cov, bad)) << bad;
        EXPECT_EQ(messages.shown.size(), 1u);
    }
    EXPECT_EQ(OnlyWarning(),
              "INPUT ERROR\r(  Number of covariates :   2.500  )\rThe value must be a positive integer and be less than 6.");

    messages.Clear();
    const std::string n = "Sample size (N) of control sample:";
    EXPECT_TRUE(CheckSampleSize(n, 3));
    EXPECT_TRUE(CheckSampleSize(n, static_cast<double>(ParseNumber("3.0"))));
    EXPECT_TRUE(CheckSampleSize(n, 1e12));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_FALSE(CheckSampleSize(n, 2));
    EXPECT_EQ(OnlyWarning(), "INPUT ERROR\r(  Sample size (N) of control sample:  2.000  )\r"
                             "The value for sample size must be an integer greater than 2.");

    messages.Clear();
    EXPECT_TRUE(CheckPositiveSD("SD", 0.001));
    EXPECT_FALSE(CheckPositiveSD("SD", 0));
    EXPECT_EQ(OnlyWarning(), "INPUT ERROR\r(  SD  0.000  )\rStandard deviations must have a positive value.");
    messages.Clear();
    EXPECT_FALSE(CheckPositiveSD("SD", -1));
    EXPECT_EQ(OnlyWarning(), "INPUT ERROR\r(  SD  -1.000  )\rStandard deviations must have a positive value.");
}

TEST_F(InputChecks, RangeChecksRefuseValuesNoWholeNumberCanBe)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (double bad : {inf, -inf, nan, 1e300}) EXPECT_FALSE(CheckCovariateCount("k", bad));
    for (double bad : {-inf, nan, -1e300}) EXPECT_FALSE(CheckSampleSize("N", bad));
    EXPECT_FALSE(CheckPositiveSD("SD", nan));
    EXPECT_FALSE(InputError);  // range checks leave the parser flag alone
}

TEST_F(InputChecks, MessagesUseADecimalPointInACommaLocale)
{
    REQUIRE_COMMA_LOCALE(german);
    EXPECT_FALSE(CheckCovariateCount("k", 2.5));
    EXPECT_NE(OnlyWarning().find("  2.500  )"), std::string::npos);
}

TEST_F(InputChecks, FilterNumericKeyLetsNumbersThroughAndSwallowsTheRest)
{
    EXPECT_EQ(FilterNumericKey(','), '.');
    for (char ok : {'0', '5', '9', '-', '.', '\b', '\t', '\r'}) EXPECT_EQ(FilterNumericKey(ok), ok);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(messages.beeps, 0);
    int refused = 0;
    for (char bad : {' ', 'a', 'E', '+', '\x16', '\n', '\0'}) {
        EXPECT_EQ(FilterNumericKey(bad), '\0');
        ++refused;
        EXPECT_EQ(messages.beeps, refused);
        ASSERT_EQ(messages.shown.size(), static_cast<std::size_t>(refused));
        EXPECT_EQ(messages.shown.back().text, "INPUT ERROR\r\rEnter numeric data only.");
        EXPECT_EQ(messages.shown.back().kind, MessageKind::Warning);
    }
}

TEST_F(InputChecks, LimitInputLengthCutsToSixCharacters)
{
    EXPECT_EQ(LimitInputLength("123456"), "123456");
    EXPECT_EQ(LimitInputLength(""), "");
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(LimitInputLength("1234567"), "123456");
    EXPECT_EQ(messages.beeps, 1);
    EXPECT_EQ(OnlyWarning(), "Maximum length of input is 6 characters.");
    // Characters, not bytes: seven two-byte letters keep six whole ones.
    messages.Clear();
    EXPECT_EQ(LimitInputLength("\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9"),
              "\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9");
    EXPECT_EQ(LimitInputLength("\xc3\xa9\xc3\xa9\xc3\xa9"), "\xc3\xa9\xc3\xa9\xc3\xa9");
    EXPECT_EQ(messages.shown.size(), 1u);
}

TEST(FormatInputLine, EchoLines)
{
    EXPECT_EQ(FormatInputLine("Number of covariates : ", "2"), " Number of covariates = 2");
    EXPECT_EQ(FormatInputLine("Sample size (N) of control sample:", "30"), " Sample size (N) of control sample= 30");
    EXPECT_EQ(FormatInputLine("Count", "7"), " Unnamed input X = Count7");
    EXPECT_EQ(FormatInputLine("", "7"), " Unnamed input X = 7");
    EXPECT_EQ(FormatInputLine("a:b:", "1"), " a:b= 1");       // the last colon
    EXPECT_EQ(FormatInputLine("Ratio: x", "1"), " Ratio= 1");  // text after the colon dropped
}

TEST(StandardiseScores, ScoresInControlSDUnits)
{
    tVector x, mean, sd, out;
    x[1] = 130; mean[1] = 100; sd[1] = 15;
    x[2] = 85;  mean[2] = 100; sd[2] = 10;
    x[3] = 7;   mean[3] = 7;   sd[3] = 2;
    StandardiseScores(x, mean, sd, 3, 1, 0, out);
    EXPECT_NEAR(static_cast<double>(out[1]), 2.0, 1e-15);
    EXPECT_NEAR(static_cast<double>(out[2]), -1.5, 1e-15);
    EXPECT_EQ(out[3], 0);
    EXPECT_EQ(out[4], 0);  // beyond count: untouched
    StandardiseScores(x, mean, sd, 2, 10, 50, out);  // T scores
    EXPECT_NEAR(static_cast<double>(out[1]), 70.0, 1e-13);
    EXPECT_NEAR(static_cast<double>(out[2]), 35.0, 1e-13);
}

TEST(GetProgramPath, FolderOfTheProgramFile)
{
    EXPECT_EQ(GetProgramPath("C:\\Tools\\Stats\\Harrow.exe"), "C:\\Tools\\Stats");
    EXPECT_EQ(GetProgramPath("C:\\Harrow.exe"), "C:");
    EXPECT_EQ(GetProgramPath("C:\\Tools\\old.exe.d\\Harrow.exe"), "C:\\Tools");  // stops at the first ".exe"
    EXPECT_EQ(GetProgramPath("D:\\APPS\\HARROW.EXE"), "D:\\APPS");
    EXPECT_EQ(GetProgramPath("Harrow.exe"), "");
    EXPECT_EQ(GetProgramPath(""), "");
    // '/' separates folders too, and a program without ".exe" has a folder.
    EXPECT_EQ(GetProgramPath("/opt/harrow/bin/harrow"), "/opt/harrow/bin");
    EXPECT_EQ(GetProgramPath("/opt/harrow/Harrow.exe"), "/opt/harrow");
    EXPECT_EQ(GetProgramPath("C:/Tools\\Harrow.exe"), "C:/Tools");
    EXPECT_EQ(GetProgramPath("/harrow"), "/");
    EXPECT_EQ(GetProgramPath("harrow"), "");
}

TEST(GetProgramPath, RunningProgramFolderHoldsTheProgram)
{
    std::string folder = GetProgramPath();
    ASSERT_FALSE(folder.empty());
    char self[4096];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    ASSERT_GT(n, 0);
    std::string file(self, static_cast<std::size_t>(n));
    EXPECT_EQ(file.rfind(folder + "/", 0), 0u);
    EXPECT_EQ(file.find('/', folder.size() + 1), std::string::npos);
}

}  // namespace
