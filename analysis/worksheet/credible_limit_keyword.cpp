#include "analysis/worksheet/credible_limit_keyword.h"

#include "analysis/worksheet/worksheet_data.h"

const char* CredibleLimitKeyword(int credibleLimit)
{
    if (credibleLimit == OneSidedLower) return "lower";
    if (credibleLimit == OneSidedUpper) return "upper";
    return "two-sided";
}
