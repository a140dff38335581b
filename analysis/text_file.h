#pragma once
// Writing a whole file in one step: either the file ends up holding exactly
// the given bytes, or it is left as it was (and no new file appears).
#include <stdexcept>
#include <string>

namespace platform {

class FileWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Creates or replaces the file (UTF-8 name) with bytes. The data go to a
// temporary file beside it, which replaces the target only once everything
// is written and flushed to disk; a replaced file keeps its permissions, and
// a name that is a link writes to the file linked to. A device or pipe is
// written in place.
// Throws FileWriteError whose message names the file and gives the system's
// reason, e.g. "Cannot save the file \"/x/a.txt\".\rPermission denied".
void WriteWholeFile(const std::string& path, const std::string& bytes);

// Turns every LF into CR LF (text with LF line ends into the CR LF form of
// text files). A CR already before the LF is kept as the line's own.
std::string LfToCrLf(const std::string& text);

}  // namespace platform
