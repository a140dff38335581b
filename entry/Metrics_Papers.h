#pragma once
// Parsers, key filters and range checks for everything the user types, with
// their messages (shown through the platform message channel), and three
// small conversions used by the Compute command and the data file.
#include <string>

#include "matrix/matrix_handling.h"

// Outcome of the last ParseNumber or CheckNumericField: true when refused
// (or, for CheckNumericField, empty). Read it right after the call.
extern bool InputError;

// The program's own number parser (blanks skipped, leading '-', one decimal
// point; ',' counts as the point). Sets InputError; shows the invalid-entry
// warning on refusal. An empty text gives 0 without a message.
extended ParseNumber(const std::string& text);
// The same for a labelled field, stricter (',' refused), with its own warnings.
extended CheckNumericField(const std::string& text, const std::string& label);

// The character to let through ("," becomes "."), or '\0' to swallow it (with
// a beep and a warning).
char FilterNumericKey(char key);
// For texts longer than 6 characters: beep, warning, and the first 6 characters.
std::string LimitInputLength(const std::string& text);

bool CheckPositiveSD(const std::string& label, double value);
bool CheckCovariateCount(const std::string& label, double value);
bool CheckSampleSize(const std::string& label, double value);

// The report line that echoes one input box: " Number of covariates = 2".
std::string FormatInputLine(const std::string& label, const std::string& value);

// out(i) = q * x(i) - (q * mean(i) - offset), q = scale / sd(i), i = 1..count.
void StandardiseScores(const tVector& x, const tVector& mean, const tVector& sd, int count, extended scale,
                       extended offset, tVector& out);

// The folder of the given program file (no trailing separator), or "".
std::string GetProgramPath(const std::string& programFile);
// The folder of the running program file.
std::string GetProgramPath();
