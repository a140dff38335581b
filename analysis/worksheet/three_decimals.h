#pragma once
// A number with three decimals and a decimal point in every locale, as the
// matrix window's cells and the figure's legend write it: "-0.250", "1.732".
#include <string>

std::string ThreeDecimals(long double value);
