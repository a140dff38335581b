#pragma once
// Bit-for-bit comparison of engine results: the ten bytes that hold each
// extended value (the rest of its storage is padding), so that -0 and +0
// and NaN payloads count as different.
#include <cstring>

#include "engine/bayes_deficit_engine.h"

inline bool SameBits(extended a, extended b)
{
    return std::memcmp(&a, &b, 10) == 0;
}

inline bool SameBits(const tBayesResult& a, const tBayesResult& b)
{
    return SameBits(a.pOneTailed, b.pOneTailed) && SameBits(a.pTwoTailed, b.pTwoTailed) &&
           SameBits(a.pctBelow, b.pctBelow) && SameBits(a.pctLower, b.pctLower) &&
           SameBits(a.pctUpper, b.pctUpper) && SameBits(a.zccc, b.zccc) && SameBits(a.zcccLower, b.zcccLower) &&
           SameBits(a.zcccUpper, b.zcccUpper);
}

inline bool SameBits(const tMonteCarloError& a, const tMonteCarloError& b)
{
    return SameBits(a.pctBelow, b.pctBelow) && SameBits(a.pOneTailed, b.pOneTailed) &&
           SameBits(a.pTwoTailed, b.pTwoTailed);
}
