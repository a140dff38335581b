#include "analysis/worksheet/three_decimals.h"

#include "foundation/c_locale_format.h"

std::string ThreeDecimals(long double value) { return FormatC("%.3Lf", value); }
