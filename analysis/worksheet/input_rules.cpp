#include "analysis/worksheet/input_rules.h"


#include <algorithm>
#include <cctype>
#include <cmath>

#include "foundation/c_locale_format.h"
#include "foundation/messages.h"
#include "foundation/plain_text.h"

const char* const InvalidEntryMessage =
    "There is an invalid data entry, which will be highlighted once you click 'OK', please re-enter.";
const char* const MaxInputLengthMessage = "Maximum length of input is 6 characters.";
const char* const KeyRefusedMessage = "INPUT ERROR\r\rEnter numeric data only.";

bool InputError = false;

namespace {

// The shared walk of both parsers. Sets refused; returns the value read
// (0 after a refused character other than a second point).
extended WalkNumber(const std::string& text, bool commaIsPoint, bool& refused)
{
    double v = 0;
    bool integerPart = true;
    extended power = 1;  // 10^k, built by exact multiplication
    bool negative = false;
    refused = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char ch = text[i];
        if (ch == ' ') continue;
        if (ch == '-') {
            if (i == 0) {
                negative = true;
                continue;
            }
            v = 0;
            refused = true;
            break;
        }
        if (ch == '.' || (commaIsPoint && ch == ',')) {
            if (!integerPart) {
                refused = true;
                break;
            }
            integerPart = false;
            power = 10;  // k = 1
            continue;
        }
        if (ch >= '0' && ch <= '9') {
            int d = ch - '0';
            if (integerPart) {
                v = static_cast<double>(static_cast<extended>(v) * 10 + d);
            } else {
                v = static_cast<double>(static_cast<extended>(v) + static_cast<extended>(d) / power);
                // Far beyond what a double can hold the digits add nothing;
                // the power stops growing before it would overflow.
                if (power < 1e4900L) power = power * 10;
            }
            continue;
        }
        v = 0;
        refused = true;
        break;
    }
    return negative ? -static_cast<extended>(v) : static_cast<extended>(v);
}

void ShowRangeWarning(const std::string& label, double value, const char* rule)
{
    platform::ShowWarning("INPUT ERROR\r(  " + label + "  " + FormatC("%3.3f", value) + "  )\r" + rule);
}

// value - trunc(value) == 0 in double precision; NaN and infinities fail.
bool IsWhole(double value)
{
    double t = std::trunc(value);
    return value - t == 0;
}


// A typed text quoted in a message: a control character (a NUL byte from a
// file would end the message there) is shown as \xHH.
std::string Quoted(const std::string& text)
{
    std::string shown;
    for (char ch : text) {
        const unsigned char byte = static_cast<unsigned char>(ch);
        if (byte < 0x20 || byte == 0x7F) {
            shown += FormatC("\\x%02X", byte);
        } else {
            shown += ch;
        }
    }
    return shown;
}

}  // namespace

extended ParseNumber(const std::string& text)
{
    InputError = false;
    if (text.empty()) return 0;
    bool refused = false;
    extended v = WalkNumber(text, true, refused);
    if (refused) {
        InputError = true;
        platform::ShowWarning(InvalidEntryMessage);
    }
    return v;
}

bool HasDigit(const std::string& text)
{
    return std::any_of(text.begin(), text.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
}

extended CheckNumericField(const std::string& text, const std::string& label)
{
    const std::string notEntered = "INPUT ERROR\r\r(  " + label + "  " + Quoted(text) + ")" + "\r" + "\r" +
                                   "Data have not been entered in this field.";
    if (text.empty()) {
        InputError = true;
        platform::ShowWarning(notEntered);
        return 0;
    }
    InputError = false;
    bool refused = false;
    extended v = WalkNumber(text, false, refused);
    if (refused) {
        InputError = true;
        platform::ShowWarning("INPUT ERROR\r(  " + label + "  " + Quoted(text) + "  )" + "\r" + "\r" +
                              "Enter numeric data only.");
    } else if (!HasDigit(text)) {
        // "-", "." or blanks alone: no number was entered.
        InputError = true;
        platform::ShowWarning(notEntered);
        return 0;
    }
    return v;
}

char FilterNumericKey(char key)
{
    if (key == ',') key = '.';
    if (key == 8 || key == 9 || key == 13 || key == '-' || key == '.' || (key >= '0' && key <= '9')) return key;
    platform::Beep();
    platform::ShowWarning(KeyRefusedMessage);
    return '\0';
}

std::string LimitInputLength(const std::string& text)
{
    // Characters, not bytes: a UTF-8 sequence is never cut in two.
    std::size_t characters = 0;
    std::size_t cut = text.size();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (characters == MaxInputLength) {
            cut = i;
            break;
        }
        ++characters;
    }
    if (cut == text.size()) return text;
    platform::Beep();
    platform::ShowWarning(MaxInputLengthMessage);
    return text.substr(0, cut);
}

bool CheckPositiveSD(const std::string& label, double value)
{
    if (value > 0) return true;
    ShowRangeWarning(label, value, "Standard deviations must have a positive value.");
    return false;
}

bool CheckCovariateCount(const std::string& label, double value)
{
    // Bounds compared on the truncated value in double: no conversion of a
    // huge value to an integer.
    if (IsWhole(value) && std::trunc(value) >= 0 && std::trunc(value) <= 5) return true;
    ShowRangeWarning(label, value, "The value must be a whole number from 0 to 5.");
    return false;
}

bool CheckSampleSize(const std::string& label, double value)
{
    if (IsWhole(value) && std::trunc(value) >= 3) return true;
    ShowRangeWarning(label, value, "The value for sample size must be an integer greater than 2.");
    return false;
}

std::string FormatInputLine(const std::string& label, const std::string& value)
{
    std::string trimmed = TrimmedOf(label, " ");
    std::size_t n = trimmed.size();
    std::size_t m = std::min(n + 1, label.size());
    std::size_t p = 0;  // 1-based position of the ':', 0 for none
    for (std::size_t pos = m; pos >= 1; --pos) {
        if (label[pos - 1] == ':') {
            p = pos;
            break;
        }
    }
    if (p > 0) return " " + trimmed.substr(0, p - 1) + "= " + value;
    return " Unnamed input X = " + label + value;
}

void StandardiseScores(const tVector& x, const tVector& mean, const tVector& sd, int count, extended scale,
                       extended offset, tVector& out)
{
    if (count > MatrixCapacity) count = MatrixCapacity;
    for (int i = 1; i <= count; ++i) {
        extended q = scale / sd[i];
        out[i] = q * x[i] - (q * mean[i] - offset);
    }
}
