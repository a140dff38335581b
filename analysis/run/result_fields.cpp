#include "analysis/run/result_fields.h"

#include <cmath>

#include "analysis/worksheet/credible_limit_keyword.h"

OutputValue OutputValue::OfText(const std::string& text)
{
    OutputValue v;
    v.kind = Text;
    v.text = text;
    return v;
}

OutputValue OutputValue::OfInteger(long long value)
{
    OutputValue v;
    v.kind = Integer;
    v.integer = value;
    return v;
}

OutputValue OutputValue::OfReal(extended value)
{
    // Tested as the double written: an extended beyond its range is no number.
    OutputValue v;
    const double real = static_cast<double>(value);
    if (!std::isfinite(real)) return v;
    v.kind = Real;
    v.real = real;
    return v;
}

std::vector<OutputField> RunHeadFields(int k, int N, int credibleLimit)
{
    return {{"k", OutputValue::OfInteger(k)},
            {"N", OutputValue::OfInteger(N)},
            {"limit", OutputValue::OfText(CredibleLimitKeyword(credibleLimit))}};
}

std::vector<OutputField> EstimateFields(extended condMean, extended condSD, const tBayesResult& r,
                                        const tMonteCarloError& error)
{
    return {{"condMean", OutputValue::OfReal(condMean)},
            {"condSD", OutputValue::OfReal(condSD)},
            {"pOneTailed", OutputValue::OfReal(r.pOneTailed)},
            {"pTwoTailed", OutputValue::OfReal(r.pTwoTailed)},
            {"pctBelow", OutputValue::OfReal(r.pctBelow)},
            {"pctLower", OutputValue::OfReal(r.pctLower)},
            {"pctUpper", OutputValue::OfReal(r.pctUpper)},
            {"zccc", OutputValue::OfReal(r.zccc)},
            {"zcccLower", OutputValue::OfReal(r.zcccLower)},
            {"zcccUpper", OutputValue::OfReal(r.zcccUpper)},
            {"pctBelowMcse", OutputValue::OfReal(error.pctBelow)},
            {"pOneTailedMcse", OutputValue::OfReal(error.pOneTailed)},
            {"pTwoTailedMcse", OutputValue::OfReal(error.pTwoTailed)}};
}

std::vector<OutputField> ExactFields(const ExactOutcome& exact)
{
    const tExactResult& e = exact.values;
    std::vector<OutputField> fields{{"t", OutputValue::OfReal(e.t)},
                                    {"df", OutputValue::OfInteger(e.df)},
                                    {"pOneTailed", OutputValue::OfReal(e.pOneTailed)},
                                    {"pTwoTailed", OutputValue::OfReal(e.pTwoTailed)},
                                    {"pctBelow", OutputValue::OfReal(e.pctBelow)},
                                    {"zcccLower", OutputValue::OfReal(e.zcccLower)},
                                    {"zcccUpper", OutputValue::OfReal(e.zcccUpper)},
                                    {"pctLower", OutputValue::OfReal(e.pctLower)},
                                    {"pctUpper", OutputValue::OfReal(e.pctUpper)}};
    if (!exact.computed)
        for (OutputField& field : fields) field.value = OutputValue();
    return fields;
}
