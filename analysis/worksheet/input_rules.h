#pragma once
// Parsers, key filters and range checks for everything the user types, with
// their messages (shown through the platform message channel), and three
// small conversions used by the Compute command and the data file.
//
// Every message here is a warning box; '\r' in a text starts a new line.
#include <string>

#include "matrix/matrix_handling.h"

// Texts shown by the checks, kept here so that windows and tests share them.
extern const char* const InvalidEntryMessage;     // ParseNumber's refusal
extern const char* const MaxInputLengthMessage;   // "Maximum length of input is 6 characters."
extern const char* const KeyRefusedMessage;       // FilterNumericKey's refusal
constexpr std::size_t MaxInputLength = 6;

// Outcome of the last ParseNumber or CheckNumericField: true when refused
// (or, for CheckNumericField, empty). Read it right after the call.
extern bool InputError;

// The program's own number parser (blanks skipped, leading '-', one decimal
// point; ',' counts as the point). Sets InputError; shows the invalid-entry
// warning on refusal. An empty text gives 0 without a message. A refused text
// gives 0, or the value read so far when the refusal was a second point.
extended ParseNumber(const std::string& text);
// The same for a labelled field, stricter (',' refused), with its own warnings
// ("...Data have not been entered in this field." / "...Enter numeric data only.").
// A text without a digit ("-", ".", "-.", blanks) counts as empty: a number
// needs at least one digit. A control character in the quoted text is shown
// as \xHH.
extended CheckNumericField(const std::string& text, const std::string& label);
// True when the text holds at least one digit, as every number does.
bool HasDigit(const std::string& text);

// The character to let through ("," becomes "."), or '\0' to swallow it (with
// a beep and a warning). Backspace, Tab, Enter, '-', '.', digits pass.
char FilterNumericKey(char key);
// For texts longer than 6 characters: beep, warning, and the first 6
// characters. Shorter texts come back untouched, without a message.
std::string LimitInputLength(const std::string& text);

// Range checks: true when acceptable, otherwise a warning with the label and
// the value as "%3.3f" and false. A value is whole when value - trunc(value)
// is 0; the bounds apply to the truncated value.
bool CheckPositiveSD(const std::string& label, double value);       // value > 0
bool CheckCovariateCount(const std::string& label, double value);   // whole, 0..5
bool CheckSampleSize(const std::string& label, double value);       // whole, >= 3

// The report line that echoes one input box: " Number of covariates = 2".
// A label without ':' gives " Unnamed input X = " + label + value.
std::string FormatInputLine(const std::string& label, const std::string& value);

// out(i) = q * x(i) - (q * mean(i) - offset), q = scale / sd(i), i = 1..count.
void StandardiseScores(const tVector& x, const tVector& mean, const tVector& sd, int count, extended scale,
                       extended offset, tVector& out);

