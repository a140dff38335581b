#pragma once
// Number formatting and reading that always use a decimal point, whatever
// locale the user (or the toolkit, which installs the user's locale at start)
// has set. Every number in the report, the matrix window and the data file
// goes through these.
#include <locale.h>

#include <cstdint>
#include <string>

// printf-style formatting in the "C" locale; "%5.3f", "%11.3Lf", "%1.6g", ...
std::string FormatC(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Reads a whole text as a real in the "C" locale (strtod syntax: sign,
// digits, point, exponent). True only when the entire text is one finite
// number; value is left alone otherwise.
bool ReadCNumber(const std::string& text, double& value);

// Switches the calling thread to the "C" locale for a scope, for code that
// formats with the plain printf family.
class ScopedCLocale {
public:
    ScopedCLocale();
    ~ScopedCLocale();
    ScopedCLocale(const ScopedCLocale&) = delete;
    ScopedCLocale& operator=(const ScopedCLocale&) = delete;

private:
    locale_t previous_;
};

// A whole number with thousands separated by commas, as messages and
// captions write counts: 1000000 -> "1,000,000".
std::string GroupedNumber(std::uint64_t n);
