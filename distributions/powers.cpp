// Powers with integer and real exponents.
#include <cmath>

#include "distributions/distributions.h"

extended Integer_power(extended base, std::int32_t n)
{
    extended result = 1;
    if (n == 0) return 1;
    std::uint32_t m = n < 0 ? 0u - static_cast<std::uint32_t>(n) : static_cast<std::uint32_t>(n);
    extended q = base;
    for (;;) {
        if (m % 2 == 1) result = result * q;
        m = m / 2;
        if (m == 0) break;
        q = q * q;  // not squared after the last bit
    }
    if (n < 0) return 1 / result;
    return result;
}

extended Real_power(extended base, extended exponent)
{
    if (exponent == 0) return 1;
    if (base == 0 && exponent > 0) return 0;
    extended whole = std::trunc(exponent);
    if (exponent - whole == 0 && std::fabs(exponent) <= Value_limit)
        return Integer_power(base, static_cast<std::int32_t>(whole));
    return std::exp(std::log(base) * exponent);
}
