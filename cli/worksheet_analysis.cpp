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

namespace {

// The matrix window's "Continue" on cells showing the stored block (three
// decimals, read back by ParseNumber). Nobody can be asked about cells left
// at "0.000": they count as answered Yes.
class StoredCorrelationAcceptance : public CorrelationEntry {
public:
    CorrelationAnswer Enter(tMatrixEntryBuffer& buffer, int p, const std::vector<std::string>& names) override
    {
        MatrixEntryState state(buffer, p, p, true);
        state.SetNames(names);
        for (int c = 1; c <= p; ++c)
            for (int r = c + 1; r <= p; ++r) state.MarkConfirmed(c, r);
        MatrixContinueResult result = ContinueMatrix(state);
        CorrelationAnswer answer;
        if (!result.accepted) {
            answer.outcome = CorrelationAnswer::Refused;
            answer.row = result.row;
            answer.column = result.column;
        }
        return answer;
    }
};

int RefusedLine(const PreparedCompute& prepared, int p)
{
    switch (prepared.status) {
    case PreparedCompute::InputRefused:
        if (prepared.focus.target == ComputeFocus::Field) return FieldLine(prepared.focus.field);
        if (prepared.focus.target == ComputeFocus::GridCell)
            return GridCellLine(prepared.focus.row, prepared.focus.column);
        return 0;
    case PreparedCompute::CorrelationRefused:
        return CorrelationLine(p, prepared.correlation.row, prepared.correlation.column);
    default:
        return 0;  // the matrix as a whole, or nothing refused
    }
}

}  // namespace

bool PrepareWorksheetAnalysis(WorksheetAnalysis& analysis, ComputePurpose purpose)
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
    StoredCorrelationAcceptance entry;
    NoWorksheetKeeping keeper;
    const PreparedCompute prepared = PrepareCompute(analysis.data, purpose, entry, keeper);
    if (prepared.status != PreparedCompute::Ready) {
        analysis.refusedLine = RefusedLine(prepared, prepared.k + 1);
        return false;
    }
    analysis.in = prepared.in;
    return true;
}

std::vector<std::string> ReportLines(const WorksheetAnalysis& analysis)
{
    std::vector<std::string> lines;
    AppendReport(lines, analysis.data, analysis.in, analysis.out);
    return lines;
}
