#pragma once
// One run of harrow-cli after its options are parsed: read the worksheet
// file (and the notes), check, analyse, and print the report or the JSON
// object. Messages go through the message channel in use (standard error
// in the program); nothing reaches standard output unless the run succeeds.
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "analysis/figure/figure_data.h"
#include "analysis/figure/figure_layout.h"
#include "analysis/run/run_failure.h"
#include "foundation/messages.h"
#include "cli/worksheet_analysis.h"

// Every command's one way out of an error it did not foresee: the message in
// the user's terms, and ExitAnalysisFailed. Refusals return their own codes.
template <class Command>
int RunCliCommand(Command&& command)
{
    try {
        return command();
    } catch (...) {
        platform::ShowError(CommandFailureMessage(std::current_exception()));
    }
    return ExitAnalysisFailed;
}

struct CliRequest {
    std::string worksheetPath;
    int credibleLimit = TwoSided;
    std::string notesPath;  // empty: no notes
    bool json = false;
    bool summary = false;   // the summary sentence alone instead of the report (--summary)
    bool exact = false;     // the frequentist test's block in the report (--exact)
    std::string plotPath;   // empty: no figure file (--plot)
    FigureOptions plotOptions;  // --plot-width, --plot-no-title
    std::string pdfPath;    // empty: no PDF of the report (--pdf)
};

// Draws the files --plot and --pdf ask for. The program supplies one that
// draws with Qt; a build without Qt has none, and refuses the two options.
class CliFigureWriter {
public:
    virtual ~CliFigureWriter() = default;
    // The figure as PNG, SVG or PDF by the name's extension, drawn as the
    // options say. Each writes its file whole or not at all, and throws
    // platform::FileWriteError.
    virtual void WritePlot(const std::string& path, const FigureData& figure, const FigureOptions& options) = 0;
    // The report's pages as printing lays them out, then the figure's page.
    virtual void WritePdf(const std::string& path, const std::vector<std::string>& reportLines,
                          const FigureData& figure) = 0;
};

// The refusal of the --plot and --pdf names, before anything is read or
// drawn (RunHarrowCli checks them first): a --plot name without .png, .svg
// or .pdf, a --pdf name without .pdf, and a name that is the worksheet, the
// notes or the other output file, and one that cannot be written (a folder,
// a pipe, a refused link, a folder without permission). Shows the message
// and returns false.
bool CheckOutputPaths(const CliRequest& request);

// Refuses (message shown, false) an output that names one of the inputs,
// given with what each is called ("worksheet file", "cases file", ...);
// empty input names are passed over.
bool CheckOutputIsNoInput(const std::string& output, const std::vector<std::pair<std::string, std::string>>& inputs);

// Refuses (message shown, false) an output that cannot be written, before
// any work is done: a folder, pipe or device, a folder that may not be
// written, a link that is not followed (platform::CheckWriteTarget).
bool CheckOutputWritable(const std::string& output);

// Reads a notes file into lines (CR LF, LF or CR line ends; UTF-8, or
// Windows-1252 when it is not UTF-8). Shows an error and returns false when
// it cannot be read, is not a regular file or is unreasonably large.
bool ReadNotesFile(const std::string& path, std::vector<std::string>& lines);

// Never throws; returns one of CliExitCode. The figure files are written
// before the report is printed; when one cannot be written, nothing is
// printed on standard output. `figures` may be null when neither --plot nor
// --pdf is given.
// Writes the whole text to `out` and flushes it; on failure shows "Cannot
// write the <what>: <reason>" and returns false.
bool WriteOutputText(std::FILE* out, const std::string& text, const char* what);

int RunHarrowCli(const CliRequest& request, std::FILE* out, CliFigureWriter* figures = nullptr);
