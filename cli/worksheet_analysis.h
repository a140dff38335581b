#pragma once
// The Compute command of the worksheet, run on a worksheet file instead of
// the windows: the same checks in the same order with the same messages
// (shown through the message channel), the correlations checked as the
// matrix window checks them, the engine run as the worksheet runs it.
#include <string>
#include <vector>

#include "analysis/run/compute_workflow.h"
#include "analysis/worksheet/worksheet_data.h"

// Process exit codes of harrow-cli.
enum CliExitCode : int {
    ExitReportWritten = 0,
    ExitAnalysisFailed = 1,  // the run stopped with an error (numbers too extreme, output failed, ...)
    ExitRefused = 2,         // usage error, unreadable or damaged file, input refused
    ExitSomeRowsRefused = 3, // case series: results written, but some rows could not be analysed
};

// A worksheet ready for the engine: the record read from the file, the
// gathered inputs, and where a refusal was found.
struct WorksheetAnalysis {
    WorksheetData data;
    AnalysisInputs in;
    AnalysisOutputs out;
    // Line of the worksheet file holding the refused entry (1-based), 0 when
    // the refusal is not tied to one line.
    int refusedLine = 0;
};

// Reads the worksheet file as the desktop program reads it at start-up,
// except that the two fields keep their texts as stored, to be checked as
// the fields would check them. On failure shows an error message that names
// the file and returns false.
bool ReadWorksheetFile(const std::string& path, WorksheetData& data);

// After a refusal: says on standard error which line of the worksheet file
// holds the refused entry, when one does (line > 0).
void ShowRefusedLine(const std::string& path, int line);

// Line of the file that holds a field (CovariatesField, SampleSizeField), a
// grid cell (row 0 = task, column 1..4) or a stored correlation (matrix row
// i, column t, t <= i), for analyses of p variables.
int FieldLine(int field);
int GridCellLine(int row, int column);
int CorrelationLine(int p, int row, int column);

// Everything before the engine run: the fields' length (at most six
// characters, as the worksheet's fields take; the length warning), then the
// Compute workflow with the stored correlations accepted as they are. False when an
// input was refused (its message shown). Throws what GatherAnalysisInputs
// and StandardiseCase throw.
bool PrepareWorksheetAnalysis(WorksheetAnalysis& analysis, ComputePurpose purpose = ComputePurpose::SingleCase);

// The report lines as the results window shows a first report.
std::vector<std::string> ReportLines(const WorksheetAnalysis& analysis);
