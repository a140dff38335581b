#pragma once
// The parts of a file name the program decides by.
#include <string>

// The extension with its dot, in lower case (".csv"); "" without one. Both
// '/' and '\' end a folder name, so a dot in a folder is no extension.
std::string LowerExtension(const std::string& path);
