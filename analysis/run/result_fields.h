#pragma once
// The values of one analysis under the keys the outputs for scripts use:
// the single run's JSON object and the case series' CSV and JSON Lines take
// keys and values from these tables, so that they cannot drift apart.
#include <string>
#include <vector>

#include "analysis/run/exact_values.h"
#include "engine/bayes_deficit_engine.h"

// One value as an output writes it. A real that is not finite is Missing
// (left empty or null rather than written as text no reader takes).
struct OutputValue {
    enum Kind { Text, Integer, Real, Missing };
    Kind kind = Missing;
    std::string text;
    long long integer = 0;
    double real = 0;

    static OutputValue OfText(const std::string& text);
    static OutputValue OfInteger(long long value);
    static OutputValue OfReal(extended value);
};

struct OutputField {
    std::string key;
    OutputValue value;
};

// "k", "N", "limit" ("two-sided", "lower" or "upper").
std::vector<OutputField> RunHeadFields(int k, int N, int credibleLimit);

// "condMean", "condSD", "pOneTailed", "pTwoTailed", "pctBelow", "pctLower",
// "pctUpper", "zccc", "zcccLower", "zcccUpper", then the Monte Carlo errors
// "pctBelowMcse", "pOneTailedMcse", "pTwoTailedMcse".
std::vector<OutputField> EstimateFields(extended condMean, extended condSD, const tBayesResult& result,
                                        const tMonteCarloError& error);

// The frequentist test's "t", "df", "pOneTailed", "pTwoTailed", "pctBelow",
// "zcccLower", "zcccUpper", "pctLower", "pctUpper"; every value Missing
// when they were not computed.
std::vector<OutputField> ExactFields(const ExactOutcome& exact);
