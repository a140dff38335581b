// harrow-cli: the worksheet's analysis from the command line.
#include <cstdio>
#include <map>
#include <string>

#include <CLI/CLI.hpp>

#include "cli/cli_command.h"
#include "cli/help_text.h"
#include "foundation/messages.h"

int main(int argc, char** argv)
{
    CLI::App app(CliDescription, "harrow-cli");
    app.footer(CliHelpFooter);
    app.get_formatter()->column_width(34);

    CliRequest request;
    std::string limit = "two-sided";
    const std::map<std::string, int> limits{
        {"two-sided", TwoSided}, {"lower", OneSidedLower}, {"upper", OneSidedUpper}};

    CLI::Validator limitNames = CLI::IsMember({"two-sided", "lower", "upper"});
    limitNames.description("");  // the type name already lists them
    app.add_option("--limit", limit,
                   "Credible limit on the effect size and the percentage: two-sided (95% interval, the "
                   "default), lower or upper (95% one-sided limit)")
        ->type_name("two-sided|lower|upper")
        ->check(limitNames);
    app.add_option("--notes", request.notesPath,
                   "Text file whose lines appear in the report as the user's notes")
        ->type_name("FILE");
    app.add_flag("--json", request.json, "Print one JSON object with the results instead of the report");
    app.add_option("FILE", request.worksheetPath, "Worksheet file (the desktop program's Harrow.txt format)")
        ->required()
        ->type_name("");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        int code = app.exit(e);  // prints the help, or the error with a hint
        return code == 0 ? ExitReportWritten : ExitRefused;
    }
    request.credibleLimit = limits.at(limit);

    platform::StderrMessages messages;
    platform::ScopedMessages scoped(messages);
    return RunHarrowCli(request, stdout);
}
