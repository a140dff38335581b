#include "foundation/plain_text.h"

const char* const WhiteSpace = " \t\n\v\f\r";

std::string TrimmedOf(const std::string& text, const char* blanks)
{
    const std::size_t from = text.find_first_not_of(blanks);
    if (from == std::string::npos) return std::string();
    return text.substr(from, text.find_last_not_of(blanks) - from + 1);
}

std::string QuotedText(const std::string& text, std::size_t shown)
{
    return "\"" + (text.size() > shown ? text.substr(0, shown) + "..." : text) + "\"";
}
