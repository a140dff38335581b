#pragma once
// How long a grid cell's text may be: names up to 40 characters, numbers up
// to 15 (enough for "1043.25" or "-12.345" and more). Only a text beyond its
// length is cut, with one warning.
#include <cstddef>
#include <string>

constexpr std::size_t MaxNameLength = 40;
constexpr std::size_t MaxNumberLength = 15;
extern const char* const MaxNameLengthMessage;    // "Maximum length of a name is 40 characters."
extern const char* const MaxNumberLengthMessage;  // "Maximum length of a number is 15 characters."

// The most characters the grid's column takes (names or numbers).
std::size_t CellLengthLimit(int column);
// The text cut to the column's limit, in characters (a UTF-8 sequence is
// never cut in two); true in `cut` when something was cut. No message.
std::string CutCellText(const std::string& text, int column, bool& cut);
// The warning for a text cut in that column.
const char* CellLengthMessage(int column);
