#include "analysis/report/summary_sentence.h"

#include "analysis/files/csv_table.h"
#include "foundation/c_locale_format.h"

namespace {

const std::string Minus = "\u2212";

// Fixed decimals, the true minus sign, and no sign on a value that rounds
// to zero ("0.00", not "-0.00").
std::string Number(extended value, int decimals)
{
    std::string text = FormatC("%.*Lf", decimals, value);
    if (text[0] != '-') return text;
    if (text.find_first_not_of("-0.") == std::string::npos) return text.substr(1);
    return Minus + text.substr(1);
}

std::string Percent(extended value) { return Number(value, 2) + "%"; }

// The name as the user gave it, or what the report calls the variable.
std::string VariableName(const AnalysisInputs& in, int variable, const std::string& unnamed)
{
    const std::string name =
        static_cast<std::size_t>(variable) < in.names.size() ? TrimCsvField(in.names[variable]) : "";
    return name.empty() ? unnamed : name;
}

// "A", "A and B", "A, B, and C".
std::string Listed(const std::vector<std::string>& items)
{
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) text += items.size() == 2 ? " and " : (i + 1 == items.size() ? ", and " : ", ");
        text += items[i];
    }
    return text;
}

std::string CaseScore(const AnalysisInputs& in)
{
    const std::string task = VariableName(in, 0, "");
    return task.empty() ? "the case's score on the task" : "the case's " + task + " score";
}

std::string Direction(const AnalysisInputs& in, extended zccc)
{
    const std::string against = in.k > 0 ? "its predicted score" : "the control mean";
    if (zccc < 0) return "below " + against;
    if (zccc > 0) return "above " + against;
    return "equal to " + against;
}

}  // namespace

std::string ApaPValue(double p)
{
    if (p < 0.001) return "< .001";
    const std::string text = FormatC("%.3f", p);
    if (text[0] != '0') return "> .999";  // would round to 1.000
    return "= " + text.substr(1);
}

std::string SummarySentence(const AnalysisInputs& in, const AnalysisOutputs& out, int credibleLimit)
{
    const tBayesResult& r = out.result;
    std::string text = "Compared with " + std::to_string(in.N) + " controls, ";
    if (in.k > 0) {
        std::vector<std::string> covariates;
        for (int j = 1; j <= in.k; ++j) covariates.push_back(VariableName(in, j, "covariate " + std::to_string(j)));
        text += "and controlling for " + Listed(covariates) + ", ";
    }
    text += CaseScore(in) + " was " + Direction(in, r.zccc) + ": ";
    text += std::string(in.k > 0 ? "Z-CCC" : "Z-CC") + " = " + Number(r.zccc, 2) + ", ";
    std::string percentLimits;
    if (credibleLimit == OneSidedLower) {
        text += "one-sided 95% lower limit " + Number(r.zcccLower, 2);
        percentLimits = "one-sided 95% lower limit " + Percent(r.pctLower);
    } else if (credibleLimit == OneSidedUpper) {
        text += "one-sided 95% upper limit " + Number(r.zcccUpper, 2);
        percentLimits = "one-sided 95% upper limit " + Percent(r.pctUpper);
    } else {
        text += "95% CI [" + Number(r.zcccLower, 2) + ", " + Number(r.zcccUpper, 2) + "]";
        percentLimits = "95% CI " + Percent(r.pctLower) + " to " + Percent(r.pctUpper);
    }
    text += "; one-tailed p " + ApaPValue(static_cast<double>(r.pOneTailed));
    text += "; an estimated " + Percent(r.pctBelow) + " of the control population (" + percentLimits +
            ") would score lower.";
    return text;
}
