#include "cli/worksheet_analysis.h"

#include <cstdio>

#include "analysis/worksheet/input_rules.h"
#include "analysis/worksheet/matrix_entry_rules.h"
#include "foundation/messages.h"
#include "foundation/terminal_text.h"
#include "analysis/worksheet/data_file.h"
#include "analysis/report/report.h"

namespace {

// Lines before the grid: the two field texts.
constexpr int FieldLines = 2;
// Lines per grid row: name, mean, SD, score.
constexpr int LinesPerGridRow = GridColumns - 1;

}  // namespace

bool ReadWorksheetFile(const std::string& path, WorksheetData& data)
{
    StoredFieldLines fieldLines;
    DataFileResult r = ReadDataFile(path, data, &fieldLines);
    switch (r.status) {
    case DataFileResult::Ok:
        // Read as at start-up: the matrix entry starts from these correlations.
        data.PreviousDataLoaded = true;
        // The counts are checked as the fields hold them, not reformatted
        // (1000000 would become "1e+06", 100000.4 would become 100000).
        for (int f = 0; f < FieldsStored; ++f) data.fields[f] = fieldLines[f];
        return true;
    case DataFileResult::Missing:
        platform::ShowError("Cannot read \"" + path + "\": No such file or directory");
        return false;
    case DataFileResult::FileError:
        platform::ShowError(r.message);
        return false;
    case DataFileResult::InvalidNumber:
        platform::ShowError(r.message + ": \"" + path +
                            "\" is damaged or is not a worksheet file (a number is missing or unreadable, the "
                            "number of covariates is not a whole number from 0 to 19, or the file ends early)");
        return false;
    }
    return false;
}

void ShowRefusedLine(const std::string& path, int line)
{
    if (line > 0)
        std::fprintf(stderr, "harrow-cli: the refused entry is on line %d of \"%s\".\n", line,
                     platform::EscapeControlCharacters(path).c_str());
}

int FieldLine(int field) { return field + 1; }

int GridCellLine(int row, int column) { return FieldLines + LinesPerGridRow * row + column; }

int CorrelationLine(int p, int row, int column)
{
    return FieldLines + LinesPerGridRow * p + row * (row - 1) / 2 + column;
}

CorrelationCheck AcceptStoredCorrelations(WorksheetData& data, int p)
{
    tMatrixEntryBuffer buffer;
    PrefillCorrelationEntry(data, p, buffer);
    MatrixEntryState state(buffer, p, p, true);
    state.SetNames(CorrelationNames(data, p));
    // Nobody can be asked about cells left at "0.000": take them as confirmed.
    for (int c = 1; c <= p; ++c)
        for (int r = c + 1; r <= p; ++r) state.MarkConfirmed(c, r);

    MatrixContinueResult result = ContinueMatrix(state);
    CorrelationCheck check;
    if (!result.accepted) {
        check.row = result.row;
        check.column = result.column;
        return check;
    }
    StoreCorrelationEntry(buffer, p, data);
    check.accepted = true;
    return check;
}

bool PrepareWorksheetAnalysis(WorksheetAnalysis& analysis)
{
    analysis.refusedLine = 0;
    // A field takes at most six characters: a longer count could not have
    // been typed there, and is refused with the field's own message.
    for (int f = 0; f < FieldsStored; ++f) {
        const std::string& text = analysis.data.fields[f];
        if (LimitInputLength(text) != text) {
            analysis.refusedLine = FieldLine(f);
            return false;
        }
    }
    ComputeCheckResult checked = CheckComputeInputs(analysis.data);
    if (!checked.passed) {
        const ComputeFocus& focus = checked.focus;
        if (focus.target == ComputeFocus::Field) analysis.refusedLine = FieldLine(focus.field);
        if (focus.target == ComputeFocus::GridCell) analysis.refusedLine = GridCellLine(focus.row, focus.column);
        return false;
    }

    int p = checked.k + 1;
    CorrelationCheck correlations = AcceptStoredCorrelations(analysis.data, p);
    if (!correlations.accepted) {
        analysis.refusedLine = CorrelationLine(p, correlations.row, correlations.column);
        return false;
    }

    return PrepareAnalysis(analysis.data, checked.k, checked.N, analysis.in);
}

std::vector<std::string> ReportLines(const WorksheetAnalysis& analysis)
{
    std::vector<std::string> lines;
    AppendReport(lines, analysis.data, analysis.in, analysis.out);
    return lines;
}
