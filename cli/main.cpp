// harrow-cli: the worksheet's analysis from the command line.
#include <cstdio>
#include <map>
#include <string>

#include <CLI/CLI.hpp>

#include "cli/case_series_command.h"
#include "cli/cli_command.h"
#include "cli/help_text.h"
#include "foundation/messages.h"

int main(int argc, char** argv)
{
    CLI::App app(CliDescription, "harrow-cli");
    app.footer(CliHelpFooter);
    app.get_formatter()->column_width(34);
    app.set_version_flag("--version", std::string("harrow-cli ") + HARROW_VERSION, "Print the version and exit");

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
    CLI::Option* notes = app.add_option("--notes", request.notesPath,
                   "Text file whose lines appear in the report as the user's notes")
        ->type_name("FILE");
    CaseSeriesRequest series;
    CLI::Option* cases =
        app.add_option("--cases", series.casesPath,
                       "Case series: analyse every case of this CSV file against the worksheet's control sample "
                       "and print one CSV row per case (see CASE SERIES below)")
            ->type_name("CASES.csv")
            ->excludes(notes);
    app.add_option("--output", series.outputPath,
                   "With --cases: write the results to this file (whole, or not at all) instead of standard output")
        ->type_name("FILE")
        ->needs(cases);
    app.add_flag("--json", request.json,
                 "Print one JSON object with the results instead of the report (with --cases: JSON Lines, one "
                 "object per case)");
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
    if (*cases) {
        series.worksheetPath = request.worksheetPath;
        series.credibleLimit = request.credibleLimit;
        series.json = request.json;
        return RunCaseSeriesCli(series, stdout);
    }
    return RunHarrowCli(request, stdout);
}
