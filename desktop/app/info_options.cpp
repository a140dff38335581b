#include "desktop/app/info_options.h"

#include <cstring>

namespace {

constexpr char HelpText[] =
    "Usage: harrow [--help | --version]\n"
    "\n"
    "Harrow tests whether a single case shows a deficit on a task compared with a\n"
    "control sample, controlling for none to five covariates. The controls are\n"
    "given by their summary data (size, means, standard deviations, correlations)\n"
    "on the worksheet, or by their raw scores in a CSV, SPSS or Stata file\n"
    "(\"Raw data...\"). The report gives a Bayesian significance test, the effect\n"
    "size with a 95% credible interval or one-sided limit and the percentage of\n"
    "controls below the case, from 1,000,000 Monte Carlo draws, and on request\n"
    "the frequentist test's exact values. \"Case series...\" analyses every case\n"
    "of a CSV file and saves the results as CSV; the results window prints the\n"
    "report, saves it as text or PDF and shows the figure of the effect size's\n"
    "posterior distribution (saved as PNG, SVG or PDF).\n"
    "The program opens its worksheet window.\n"
    "\n"
    "The worksheet is kept between runs in the file Harrow.txt: beside the program\n"
    "when it runs from a folder it may write (its build folder, an unpacked copy);\n"
    "installed, in the user's data folder (~/.local/share/Harrow).\n"
    "\n"
    "Options:\n"
    "  --help     print this help and exit\n"
    "  --version  print the version and exit\n"
    "\n"
    "The same analysis without windows: harrow-cli (see harrow-cli --help).\n"
    "\n"
    "Harrow is free software under the GNU GPL, version 3 or later, without any\n"
    "warranty. Help > About Harrow shows the licence and how to cite the program\n"
    "by its name and version.\n";

}  // namespace

std::string InfoOptionText(int argc, const char* const* argv, const std::string& version)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) return "harrow " + version + "\n";
        if (std::strcmp(argv[i], "--help") == 0) return HelpText;
    }
    return std::string();
}
