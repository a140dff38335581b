#include "foundation/program_info.h"

// HARROW_VERSION and HARROW_RELEASE_YEAR come from the project's CMake
// settings, for this file alone.
namespace platform {

std::string ProgramVersion() { return HARROW_VERSION; }

std::string ProgramLicenceNotice()
{
    return "Harrow is free software: you can redistribute it and/or modify it under the terms of the GNU "
           "General Public License as published by the Free Software Foundation, either version 3 of the "
           "License, or (at your option) any later version. It is distributed in the hope that it will be "
           "useful, but WITHOUT ANY WARRANTY; without even the implied warranty of MERCHANTABILITY or FITNESS "
           "FOR A PARTICULAR PURPOSE. The full text of the licence is in the file LICENSE that comes with the "
           "program's source (on Debian systems: /usr/share/common-licenses/GPL-3).";
}

std::string ProgramCitation()
{
    return std::string("Harrow (Version ") + HARROW_VERSION + ") [Computer software]. (" + HARROW_RELEASE_YEAR +
           "). The Harrow developers.";
}

}  // namespace platform
