#pragma once
// The two small text operations messages and readers share: trimming and
// quoting. Each caller names the blanks it trims (a worksheet field trims
// spaces only, a CSV field spaces and tabs, a pasted block any white space).
#include <string>

// The text without the characters of `blanks` at either end.
std::string TrimmedOf(const std::string& text, const char* blanks);

// Any white space of the C locale: space, tab, line feed, vertical tab, form
// feed, carriage return.
extern const char* const WhiteSpace;

// The text in double quotes for a message, cut after `shown` bytes with
// "..." when longer.
std::string QuotedText(const std::string& text, std::size_t shown = std::string::npos);
