#include "analysis/worksheet/worksheet_data.h"

#include <algorithm>
#include <climits>
#include <stdexcept>

#include "analysis/worksheet/input_rules.h"
#include "foundation/messages.h"

void tStoredCorrelations::SetIdentity()
{
    for (int c = 0; c <= StoredCorrelationsCapacity; ++c)
        for (int r = 0; r <= StoredCorrelationsCapacity; ++r) e[c][r] = (c == r && c >= 1) ? 1.0 : 0.0;
}

WorksheetData::WorksheetData() { Reset(); }

std::string& WorksheetData::Cell(int row, int column)
{
    if (row < 0 || row >= GridRowCapacity || column < NameColumn || column >= GridColumns)
        throw std::out_of_range("grid cell outside the worksheet");
    return cells_[row][column];
}

const std::string& WorksheetData::Cell(int row, int column) const
{
    return const_cast<WorksheetData*>(this)->Cell(row, column);
}

std::string WorksheetData::RowNumberText(int row) { return std::to_string(row + 1); }

void WorksheetData::SetGridRows(int rows) { GridRows = std::clamp(rows, 1, GridRowCapacity); }

void WorksheetData::Reset()
{
    for (std::string& f : fields) f.clear();
    GridRows = StartGridRows;
    StoredCorrelations.SetIdentity();
    credibleLimit = TwoSided;
    notes.clear();
    PreviousDataLoaded = false;
    CorrelationsEntered = false;
    for (auto& row : cells_)
        for (std::string& cell : row) cell.clear();
}

void WorksheetData::WriteDefaultNames()
{
    for (auto& row : cells_)
        for (std::string& cell : row) cell.clear();
    cells_[0][NameColumn] = "Task";
    for (int j = 1; j < DefaultNamedRows; ++j) cells_[j][NameColumn] = "Cov " + std::to_string(j);
}

void WorksheetData::ClearData()
{
    for (std::string& f : fields) f.clear();
    notes.clear();
    StoredCorrelations.SetIdentity();
    for (auto& row : cells_)
        for (std::string& cell : row) cell.clear();
}

std::vector<std::string> SplitNotes(const std::string& text)
{
    std::vector<std::string> lines;
    std::string line;
    bool open = false;  // a line has started and not yet ended
    for (std::size_t i = 0; i < text.size(); ++i) {
        char ch = text[i];
        if (ch == '\r' || ch == '\n') {
            lines.push_back(line);
            line.clear();
            open = false;
            if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            line += ch;
            open = true;
        }
    }
    if (open) lines.push_back(line);
    return lines;
}

bool ReadWholeNumberText(const std::string& text, int& value)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == text.size()) return false;
    long long v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        v = v * 10 + (text[i] - '0');
        if (v > static_cast<long long>(INT_MAX) + 1) return false;
    }
    if (negative) v = -v;
    if (v > INT_MAX || v < INT_MIN) return false;
    value = static_cast<int>(v);
    return true;
}

std::string NotValidIntegerMessage(const std::string& text) { return "'" + text + "' is not a valid integer value"; }

bool ApplyCovariateText(WorksheetData& data, const std::string& text)
{
    int covariates = 0;
    if (ParseNumber(text) == 0) {
        // "0": the task alone, one row; an empty or unfinished text changes nothing.
        if (!ReadWholeNumberText(text, covariates) || covariates != 0) return false;
        data.SetGridRows(1);
        return true;
    }
    if (!ReadWholeNumberText(text, covariates)) {
        platform::ShowError(NotValidIntegerMessage(text));
        return false;
    }
    // A negative or huge count cannot size a grid: clamp instead.
    data.SetGridRows(covariates >= GridRowCapacity ? GridRowCapacity : covariates + 1);
    return true;
}
