#pragma once
// The distributions of the frequentist test in extended precision: the
// central t probabilities, the noncentral t quantile in its noncentrality
// and the normal distribution function, accurate far into the tails.
#include "distributions/extended.h"

// T_df(t), and 1 - T_df(t) without cancellation.
extended StudentLowerTail(extended t, int df);
extended StudentUpperTail(extended t, int df);

// The noncentrality delta with P(T'(df, delta) <= c) = q, 0 < q < 1.
// Raises EAnalysisError when it cannot be found.
extended NoncentralityForProbability(extended c, int df, extended q);

// Phi(z), relative accuracy kept in the lower tail.
extended NormalLowerTail(extended z);
