#pragma once
// Who the program is: its version, its licence and how to cite it. Both
// programs, the About box and the manual pages say it in these words; the
// version is the build's project version (CMakeLists.txt), nowhere else.
#include <string>

namespace platform {

// "1.0": the project version the program was built as.
std::string ProgramVersion();

// The licence in three sentences: free software under the GNU GPL version 3
// or later, without warranty, where the full text is.
std::string ProgramLicenceNotice();

// One reference naming the program and its version, to cite in a report or
// a paper.
std::string ProgramCitation();

}  // namespace platform
