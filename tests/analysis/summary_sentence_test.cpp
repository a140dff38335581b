// The summary sentence: its wording for a deficit, a case above its
// predicted score, one-sided limits and no covariates; the names the user
// gave; APA p-values; decimal points and true minus signs in every locale.
#include <gtest/gtest.h>

#include "analysis/report/summary_sentence.h"
#include "tests/support/comma_locale.h"

namespace {

const std::string M = "\u2212";  // the minus sign

struct Analysis {
    AnalysisInputs in;
    AnalysisOutputs out;
};

// The worked example's numbers: 20 controls, the task and one covariate.
Analysis Deficit(int k, std::vector<std::string> names)
{
    Analysis a;
    a.in.k = k;
    a.in.N = 20;
    a.in.names = std::move(names);
    // p one- and two-tailed, percentage below with its limits, Z-CCC with its limits.
    a.out.result = tBayesResult{0.062879L, 0, 6.2879L, 0.6123L, 20.0468L, -1.7320508L, -2.5064L, -0.8431L};
    return a;
}

Analysis Above()
{
    Analysis a = Deficit(2, {"Naming", "Age", "Education"});
    a.out.result = tBayesResult{0.000493L, 0, 99.9507L, 97.13L, 99.99458L, 2.9L, 1.9L, 3.871L};
    return a;
}

TEST(SummarySentence, WordingForEachKindOfResult)
{
    const struct {
        const char* what;
        Analysis analysis;
        int limit;
        std::string sentence;
    } cases[] = {
        {"deficit, two-sided", Deficit(1, {"Task", "Educ"}), TwoSided,
         "Compared with 20 controls, and controlling for Educ, the case's Task score was below its predicted score: "
         "Z-CCC = " + M + "1.73, 95% CI [" + M + "2.51, " + M + "0.84]; one-tailed p = .063; an estimated 6.29% "
         "of the control population (95% CI 0.61% to 20.05%) would score lower."},
        {"above, two covariates, p below .001", Above(), TwoSided,
         "Compared with 20 controls, and controlling for Age and Education, the case's Naming score was above its "
         "predicted score: Z-CCC = 2.90, 95% CI [1.90, 3.87]; one-tailed p < .001; an estimated 99.95% of the "
         "control population (95% CI 97.13% to 99.99%) would score lower."},
        {"lower limit", Deficit(1, {"Task", "Educ"}), OneSidedLower,
         "Compared with 20 controls, and controlling for Educ, the case's Task score was below its predicted score: "
         "Z-CCC = " + M + "1.73, one-sided 95% lower limit " + M + "2.51; one-tailed p = .063; an estimated 6.29% "
         "of the control population (one-sided 95% lower limit 0.61%) would score lower."},
        {"upper limit", Deficit(1, {"Task", "Educ"}), OneSidedUpper,
         "Compared with 20 controls, and controlling for Educ, the case's Task score was below its predicted score: "
         "Z-CCC = " + M + "1.73, one-sided 95% upper limit " + M + "0.84; one-tailed p = .063; an estimated 6.29% "
         "of the control population (one-sided 95% upper limit 20.05%) would score lower."},
        {"no covariates", Deficit(0, {"Task"}), TwoSided,
         "Compared with 20 controls, the case's Task score was below the control mean: Z-CC = " + M + "1.73, "
         "95% CI [" + M + "2.51, " + M + "0.84]; one-tailed p = .063; an estimated 6.29% of the control "
         "population (95% CI 0.61% to 20.05%) would score lower."},
        {"names not given", Deficit(3, {" ", "", "Age", ""}), TwoSided,
         "Compared with 20 controls, and controlling for covariate 1, Age, and covariate 3, the case's score on "
         "the task was below its predicted score: Z-CCC = " + M + "1.73, 95% CI [" + M + "2.51, " + M + "0.84]; "
         "one-tailed p = .063; an estimated 6.29% of the control population (95% CI 0.61% to 20.05%) would score "
         "lower."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SummarySentence(c.analysis.in, c.analysis.out, c.limit), c.sentence) << c.what;
}

TEST(SummarySentence, ApaPValuesAndNoSignOnZero)
{
    const struct {
        double p;
        const char* written;
    } values[] = {{0.062879, "= .063"}, {0.5, "= .500"}, {0.001, "= .001"}, {0.00099, "< .001"},
                  {0, "< .001"},        {0.9994, "= .999"}, {0.9996, "> .999"}};
    for (const auto& v : values) EXPECT_EQ(ApaPValue(v.p), v.written) << v.p;

    Analysis a = Deficit(1, {"Task", "Educ"});
    a.out.result.zccc = -0.004L;
    EXPECT_NE(SummarySentence(a.in, a.out, TwoSided).find("Z-CCC = 0.00,"), std::string::npos);
}

TEST(SummarySentence, DecimalPointsInACommaLocale)
{
    const Analysis a = Deficit(1, {"Task", "Educ"});
    const std::string inC = SummarySentence(a.in, a.out, TwoSided);
    REQUIRE_COMMA_LOCALE(german);
    EXPECT_EQ(SummarySentence(a.in, a.out, TwoSided), inC);
}

}  // namespace
