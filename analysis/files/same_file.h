#pragma once
// Whether two names given by the user lead to one file, for refusing an
// output that would replace an input or be written twice.
#include <string>

namespace platform {

// The absolute name a file will have: the real folder (links and "." or
// ".." resolved) and the name in it; for a name that exists, the real name
// of what it leads to. A folder that does not exist yet is taken as written.
std::string PlannedPath(const std::string& path);

// True when both names exist and are one file (same device and inode, so a
// hard link or another spelling counts), or when their planned paths agree.
bool SameFile(const std::string& a, const std::string& b);

// "Cannot write \"<output>\": it is the <what>, which is only read." for an
// output that names an input (what: "worksheet file", "cases file", ...).
std::string OutputIsInputMessage(const std::string& output, const std::string& what);

}  // namespace platform
