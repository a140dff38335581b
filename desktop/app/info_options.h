#pragma once
// The desktop program's own command-line options, answered before the toolkit
// starts, so they need no display: --version and --help. Every other
// argument is left to the toolkit.
#include <string>

// The text to print for the first of --version or --help among the
// arguments, or "" when neither is there (the program then opens its window).
std::string InfoOptionText(int argc, const char* const* argv, const std::string& version);
