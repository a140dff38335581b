#include "foundation/c_locale_format.h"

#include <locale.h>

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// The "C" locale, made once; uselocale switches only the calling thread.
locale_t CLocale()
{
    static locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return c;
}

}  // namespace

ScopedCLocale::ScopedCLocale() : previous_(uselocale(CLocale())) {}
ScopedCLocale::~ScopedCLocale() { uselocale(previous_); }

std::string FormatC(const char* format, ...)
{
    ScopedCLocale c;
    char small[256];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    if (n < 0) return std::string();
    if (static_cast<std::size_t>(n) < sizeof small) return std::string(small, static_cast<std::size_t>(n));
    std::vector<char> big(static_cast<std::size_t>(n) + 1);
    va_start(args, format);
    std::vsnprintf(big.data(), big.size(), format, args);
    va_end(args);
    return std::string(big.data(), static_cast<std::size_t>(n));
}

bool ReadCNumber(const std::string& text, double& value)
{
    if (text.empty()) return false;
    // Plain decimal notation only: no blanks, hexadecimal, "inf" or "nan".
    for (char ch : text) {
        bool allowed = (ch >= '0' && ch <= '9') || ch == '+' || ch == '-' || ch == '.' || ch == 'e' || ch == 'E';
        if (!allowed) return false;
    }
    ScopedCLocale c;
    char* end = nullptr;
    double v = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(v)) return false;
    value = v;
    return true;
}

std::string GroupedNumber(std::uint64_t n)
{
    std::string digits = std::to_string(n);
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
        grouped += digits[i];
    }
    return grouped;
}
