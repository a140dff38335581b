#include "desktop/app/info_options.h"

#include <cstring>

namespace {

constexpr char HelpText[] =
    "Usage: harrow [--help | --version]\n"
    "\n"
    "Harrow tests whether a single case shows a deficit on a task compared with a\n"
    "control sample, controlling for up to five covariates, from summary data of\n"
    "the controls. The program opens its worksheet window.\n"
    "\n"
    "The worksheet is kept between runs in the file Harrow.txt: beside the program\n"
    "when it runs from a folder it may write (its build folder, an unpacked copy);\n"
    "installed, in the user's data folder (~/.local/share/Harrow).\n"
    "\n"
    "Options:\n"
    "  --help     print this help and exit\n"
    "  --version  print the version and exit\n"
    "\n"
    "The same analysis without windows: harrow-cli (see harrow-cli --help).\n";

}  // namespace

std::string InfoOptionText(int argc, const char* const* argv, const std::string& version)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) return "harrow " + version + "\n";
        if (std::strcmp(argv[i], "--help") == 0) return HelpText;
    }
    return std::string();
}
