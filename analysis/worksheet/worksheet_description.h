#pragma once
// The text that explains the program at the top of the worksheet.
#include <string>

// One paragraph: what the program tests and gives, what it takes, how to use
// it, and the build date in parentheses.
std::string WorksheetDescription();
