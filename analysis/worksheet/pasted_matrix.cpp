#include "analysis/worksheet/pasted_matrix.h"

#include <algorithm>

#include "analysis/worksheet/cell_lengths.h"
#include "analysis/worksheet/input_rules.h"
#include "analysis/worksheet/pasted_block.h"

namespace {

// The value of a number text, with a decimal point or comma, without a message.
double NumberValue(std::string text)
{
    std::replace(text.begin(), text.end(), ',', '.');
    return static_cast<double>(ParseNumber(text));
}

// A first row without a number and a first column without a number are names.
void DropNames(PastedBlock& block)
{
    auto noNumber = [](const std::vector<std::string>& cells) {
        return std::none_of(cells.begin(), cells.end(), [](const std::string& c) { return IsNumberText(c); });
    };
    if (block.size() > 1 && noNumber(block.front())) block.erase(block.begin());
    const bool namedRows = !block.empty() && std::all_of(block.begin(), block.end(), [](const auto& cells) {
        return cells.size() > 1 && !IsNumberText(cells.front());
    });
    if (namedRows)
        for (auto& cells : block) cells.erase(cells.begin());
    for (auto& cells : block)
        while (!cells.empty() && cells.back().empty()) cells.pop_back();
}

// The values of a block, by variable: value[c][r] for the cell of row r,
// column c; "" where the block has no cell.
struct Placed {
    std::string text[MatrixEntryCapacity + 1][MatrixEntryCapacity + 1];
};

// Places the block's rows as the matrix's rows: p rows (full square or lower
// triangle with the diagonal) or p - 1 rows (below the diagonal only).
bool Place(const PastedBlock& block, int p, Placed& placed)
{
    const int rows = static_cast<int>(block.size());
    const int firstRow = rows == p ? 1 : rows == p - 1 ? 2 : 0;
    if (firstRow == 0) return false;
    for (int r = firstRow; r <= p; ++r) {
        const std::vector<std::string>& cells = block[r - firstRow];
        if (static_cast<int>(cells.size()) > p) return false;
        for (int c = 1; c <= static_cast<int>(cells.size()); ++c) placed.text[c][r] = cells[c - 1];
    }
    return true;
}

// A pasted number (a cell of SplitPastedBlock, trimmed) as its cell keeps
// it: as pasted, with a decimal point; one too long for a cell in the
// window's three decimals.
std::string CellText(std::string text)
{
    std::replace(text.begin(), text.end(), ',', '.');
    return text.size() <= MaxNumberLength ? text : FormatMatrixCell(NumberValue(text));
}

}  // namespace

MatrixPasteOutcome PasteIntoMatrix(MatrixEntryState& state, int column, int row, const std::string& text)
{
    MatrixPasteOutcome outcome;
    auto refuse = [&](int c, int r, const std::string& message) {
        outcome.column = c;
        outcome.row = r;
        outcome.refusal = message;
        return outcome;
    };
    auto checked = [&](int c, int r, const std::string& cell, std::string& message) {
        if (!IsNumberText(cell)) {
            message = CorrelationNotANumberMessage(state, c, r, cell);
            return false;
        }
        const double value = NumberValue(CellText(cell));
        if (c != r && (value <= -1 || value >= 1)) {
            message = CorrelationRangeMessage(state, c, r);
            return false;
        }
        return true;
    };

    PastedBlock block = SplitPastedBlock(text);
    std::string message;
    if (block.size() == 1 && block[0].size() == 1) {
        if (!state.Exists(column, row) || column == row) return outcome;
        if (!checked(column, row, block[0][0], message)) return refuse(column, row, message);
        state.SetText(column, row, CellText(block[0][0]));
        outcome.pasted = true;
        return outcome;
    }

    const int p = std::min(state.Columns(), state.Rows());
    DropNames(block);
    Placed placed;
    if (!Place(block, p, placed))
        return refuse(0, 0, "The pasted text is not a correlation matrix of these " + std::to_string(p) +
                                " variables: paste " + std::to_string(p) +
                                " rows (the full matrix or its lower triangle), one value per cell.");
    for (int r = 1; r <= p; ++r) {
        for (int c = 1; c <= p; ++c) {
            const std::string& cell = placed.text[c][r];
            if (c > r && cell.empty()) continue;  // the upper half may be left out
            if (c == r) {
                if (cell.empty()) continue;
                if (!IsNumberText(cell) || NumberValue(cell) != 1)
                    return refuse(c, r, "The pasted diagonal holds \"" + cell + "\" for " + state.VariableName(c) +
                                            " with itself: a correlation matrix has 1 there.");
                continue;
            }
            const int low = std::min(c, r), high = std::max(c, r);
            if (!checked(low, high, cell, message)) return refuse(low, high, message);
            if (c > r && NumberValue(CellText(cell)) != NumberValue(CellText(placed.text[r][c])))
                return refuse(low, high, "The pasted matrix is not symmetric: the correlation of " +
                                             state.VariableName(low) + " with " + state.VariableName(high) +
                                             " reads " + placed.text[r][c] + " below the diagonal and " + cell +
                                             " above it.");
        }
    }
    for (int r = 2; r <= p; ++r)
        for (int c = 1; c < r; ++c) {
            const std::string shown = CellText(placed.text[c][r]);
            state.SetText(c, r, shown);
            state.SetText(r, c, shown);  // a full window shows the mirror too
        }
    outcome.pasted = true;
    return outcome;
}

std::string CopyMatrix(const MatrixEntryState& state)
{
    PastedBlock rows(1, std::vector<std::string>{""});
    for (int c = 1; c <= state.Columns(); ++c) rows[0].push_back(state.VariableName(c));
    for (int r = 1; r <= state.Rows(); ++r) {
        rows.push_back({state.VariableName(r)});
        for (int c = 1; c <= state.Columns(); ++c)
            if (state.Exists(c, r)) rows.back().push_back(state.Text(c, r));
    }
    return BlockText(rows);
}
