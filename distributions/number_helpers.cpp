// Small numeric helpers of the distribution unit: whole-number test and the
// locale-independent formatting of a bound in an argument-error message.
#include <charconv>
#include <cmath>

#include "distributions/distributions.h"

bool Is_whole_number(extended x)
{
    // nearbyintl rounds to nearest, ties to even, in the default rounding mode.
    return std::fabs(x) < Value_limit && Nearly_equal(std::nearbyintl(x), x);
}

std::string Format_bound(extended x)
{
    if (!std::isfinite(x)) return std::isnan(x) ? "NAN" : (x > 0 ? "INF" : "-INF");
    // Fixed notation with twelve decimals; to_chars never consults the locale.
    char buffer[64];
    std::to_chars_result written = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::fixed, 12);
    std::string text(buffer, written.ptr);
    std::string::size_type point = text.find('.');
    if (point != std::string::npos) {
        std::string::size_type last = text.find_last_not_of('0');
        text.erase(last == point ? point : last + 1);
    }
    // A tiny negative number rounds to zero: show it without a sign.
    if (text == "-0") text = "0";
    return text;
}
