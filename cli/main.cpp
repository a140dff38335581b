// harrow-cli: the worksheet's analysis from the command line.
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include <CLI/CLI.hpp>

#include "cli/case_series_command.h"
#include "cli/cli_command.h"
#include "cli/help_formatter.h"
#include "cli/help_text.h"
#include "cli/raw_data_command.h"
#ifdef HARROW_CLI_FIGURES
#include "cli/figure_output.h"
#endif
#include "foundation/c_locale_format.h"
#include "foundation/messages.h"
#include "foundation/program_info.h"

int main(int argc, char** argv)
{
    CLI::App app(CliDescription, "harrow-cli");
    app.footer(CliHelpFooter);
    app.formatter(std::make_shared<CliHelpFormatter>());
    app.set_version_flag("--version", "harrow-cli " + platform::ProgramVersion(), "Print the version and exit");

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
                   "Text file whose lines appear in the report as the user's notes (not with --cases)")
        ->type_name("FILE");
    CaseSeriesRequest series;
    CLI::Option* cases =
        app.add_option("--cases", series.casesPath,
                       "Case series: analyse every case of this CSV file against the worksheet's control sample "
                       "and print one CSV row per case (see CASE SERIES below; not with --notes, --plot or --pdf)")
            ->type_name("CASES.csv")
            ->excludes(notes);
    app.add_option("--output", series.outputPath,
                   "With --cases: write the results to this file (whole, or not at all) instead of standard output")
        ->type_name("FILE")
        ->needs(cases);
    CLI::Option* json = app.add_flag("--json", request.json,
                 "Print one JSON object with the results instead of the report (with --cases: JSON Lines, one "
                 "object per case)");
    app.add_flag("--summary", request.summary,
                 "Print the summary sentence alone (one line, UTF-8, as for a paper) instead of the report; "
                 "--json holds it as \"summary\"")
        ->excludes(json)
        ->excludes(cases);
    std::string csvLocale = "point";
    app.add_option("--csv-locale", csvLocale,
                   "With --cases: point (decimal points, comma-separated, the default) or comma (decimal commas, "
                   "semicolon-separated) for spreadsheets in those locales")
        ->type_name("point|comma")
        ->check(CLI::IsMember({"point", "comma"}).description(""))
        ->needs(cases)
        ->excludes(json);
    app.add_flag("--exact", request.exact,
                 "Also report the frequentist test (exact values) after the credible limits");
    app.add_flag("--exact-only", series.exactOnly,
                 "With --cases: only the frequentist test's exact values, without the Monte Carlo run (fast)")
        ->needs(cases);
    // One analysis has one figure: not with a case series.
    CLI::Option* plot =
        app.add_option("--plot", request.plotPath,
                       "Also write the figure of the analysis (the posterior of Z-CCC) to FILE: PNG, SVG or PDF "
                       "by the name's ending (.png, .svg, .pdf); not with --cases")
            ->type_name("FILE")
            ->excludes(cases);
    const CLI::Validator plotWidths(
        [](std::string& text) {
            double mm = 0;
            if (ReadCNumber(text, mm) && mm >= MinFigureWidthMm && mm <= MaxFigureWidthMm) return std::string();
            return "\"" + text + "\" is not a width of 40 to 400 millimetres";
        },
        "");  // the help states the range
    app.add_option("--plot-width", request.plotOptions.widthMm,
                   "With --plot: the figure's printed width in millimetres, its text at least 7 points "
                   "(85 for a journal column, 175 for a page; 40 to 400)")
        ->type_name("MM")
        ->check(plotWidths)
        ->needs(plot);
    bool noTitle = false;
    app.add_flag("--plot-no-title", noTitle, "With --plot: the figure without its title (for a caption of your own)")
        ->needs(plot);
    app.add_option("--pdf", request.pdfPath,
                   "Also write the report and the figure as a PDF to FILE (ending in .pdf), laid out as the "
                   "desktop program's Save as PDF; not with --cases")
        ->type_name("FILE")
        ->excludes(cases);
    app.add_option("FILE", request.worksheetPath, "Worksheet file (the desktop program's Harrow.txt format)")
        ->type_name("");

    // Raw control data instead of a worksheet.
    RawCliRequest raw;
    app.add_option("--controls", raw.controlsPath,
                   "Raw scores of the controls (CSV, SPSS .sav/.zsav or Stata .dta) instead of a worksheet")
        ->type_name("FILE");
    app.add_option("--task", raw.choice.task, "With --controls: the task's variable")->type_name("NAME");
    app.add_option("--covariates", raw.choice.covariates, "With --controls: 0 to 5 covariates, in order (none: leave it out)")
        ->type_name("NAME[,NAME...]")
        ->delimiter(',');
    app.add_option("--case", raw.caseScores,
                   "With --controls: the case's scores, task first, comma-separated (without it the "
                   "summary statistics are printed)")
        ->type_name("SCORES");
    app.add_flag("--drop-incomplete", raw.choice.dropIncomplete,
                 "With --controls: leave out controls with a missing value among the chosen variables");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        int code = app.exit(e);  // prints the help, or the error with a hint
        return code == 0 ? ExitReportWritten : ExitRefused;
    }
    request.credibleLimit = limits.at(limit);
    request.plotOptions.title = !noTitle;

    platform::StderrMessages messages;
    platform::ScopedMessages scoped(messages);
    const bool rawOptions = app.count("--task") || app.count("--covariates") || app.count("--case") ||
                            raw.choice.dropIncomplete;
    std::string usage;
    if (raw.controlsPath.empty() && request.worksheetPath.empty())
        usage = "give a worksheet FILE or --controls FILE";
    else if (!raw.controlsPath.empty() && !request.worksheetPath.empty())
        usage = "give either a worksheet FILE or --controls FILE, not both";
    else if (raw.controlsPath.empty() && rawOptions)
        usage = "--task, --covariates, --case and --drop-incomplete go with --controls";
    else if (!raw.controlsPath.empty() && !app.count("--task"))
        usage = "--controls needs --task";
    else if (app.count("--case") && *cases)
        usage = "give either --case or --cases, not both";
    else if (request.summary && !raw.controlsPath.empty() && !app.count("--case"))
        usage = "--summary with --controls needs --case";
    else if (!raw.controlsPath.empty() && (app.count("--plot") || app.count("--pdf")))
        usage = "--plot and --pdf go with a worksheet FILE";
    if (!usage.empty()) {
        std::fprintf(stderr, "%s\nRun with --help for more information.\n", usage.c_str());
        return ExitRefused;
    }
    series.credibleLimit = request.credibleLimit;
    series.json = request.json;
    if (csvLocale == "comma") series.csvLocale = SeriesCsvLocale::Comma;
    if (!raw.controlsPath.empty()) {
        raw.hasCase = app.count("--case") > 0;
        raw.credibleLimit = request.credibleLimit;
        raw.notesPath = request.notesPath;
        raw.json = request.json;
        raw.summary = request.summary;
        raw.exact = request.exact;
        if (*cases) return RunRawCaseSeriesCli(raw, series, stdout);
        return RunRawDataCli(raw, stdout);
    }
    if (*cases) {
        series.worksheetPath = request.worksheetPath;
        return RunCaseSeriesCli(series, stdout);
    }
    std::unique_ptr<CliFigureWriter> figures;
#ifdef HARROW_CLI_FIGURES
    // Qt only for the figure options: plain runs start as fast as ever.
    if (!request.plotPath.empty() || !request.pdfPath.empty()) figures = StartFigureOutput(argc, argv);
#endif
    return RunHarrowCli(request, stdout, figures.get());
}
