#include "analysis/worksheet/matrix_entry_rules.h"

#include <algorithm>

#include "analysis/worksheet/input_rules.h"
#include "analysis/worksheet/pasted_block.h"
#include "analysis/worksheet/three_decimals.h"
#include "foundation/c_locale_format.h"
#include "foundation/messages.h"
#include "foundation/plain_text.h"

const char* const ClearMatrixQuestion = "Clear data from matrix ?";

namespace {
const std::string NoText;

std::string Blank(const std::string& text) { return TrimmedOf(text, " \t"); }

// "the correlation of Memory with Age" (column's variable first).
std::string CellName(const MatrixEntryState& state, int column, int row)
{
    return "the correlation of " + state.VariableName(column) + " with " +
           (column == row ? std::string("itself") : state.VariableName(row));
}
}  // namespace

std::string MatrixEntryState::VariableName(int index) const
{
    return HasName(index) ? Blank(names_[index - 1]) : "variable " + std::to_string(index);
}

bool MatrixEntryState::HasName(int index) const
{
    return index >= 1 && index <= static_cast<int>(names_.size()) && !Blank(names_[index - 1]).empty();
}

std::string CorrelationRangeMessage(const MatrixEntryState& state, int column, int row)
{
    std::string text = CellName(state, column, row);
    text[0] = 'T';
    return text + (column == row ? " must be greater than -1." : " must lie strictly between -1 and +1.");
}

std::string CorrelationNotANumberMessage(const MatrixEntryState& state, int column, int row,
                                         const std::string& text)
{
    const std::string what = Blank(text).empty() ? std::string("An empty cell") : "\"" + text + "\"";
    return what + " is not a number: " + CellName(state, column, row) + " must be a number strictly between -1 and +1.";
}

std::string DefaultZeroQuestion(int row, int column)
{
    return "Do you want continue with cell (" + std::to_string(row) + "," + std::to_string(column) +
           ") set to the default value of '0.000'?";
}

std::string FormatMatrixCell(double value) { return ThreeDecimals(value); }

MatrixEntryState::MatrixEntryState(tMatrixEntryBuffer& buffer, int columns, int rows, bool lowerTriangle)
    : buffer_(buffer),
      columns_(std::clamp(columns, 1, MatrixEntryCapacity)),
      rows_(std::clamp(rows, 1, MatrixEntryCapacity)),
      lowerTriangle_(lowerTriangle)
{
    for (int i = 1; i <= rows_; ++i)
        for (int j = 1; j <= columns_; ++j)
            if (Exists(j, i)) texts_[j][i] = FormatMatrixCell(buffer_[j][i]);
}

bool MatrixEntryState::Exists(int column, int row) const
{
    if (column < 1 || column > columns_ || row < 1 || row > rows_) return false;
    return !lowerTriangle_ || column <= row;
}

const std::string& MatrixEntryState::Text(int column, int row) const
{
    return Exists(column, row) ? texts_[column][row] : NoText;
}

void MatrixEntryState::SetText(int column, int row, const std::string& text)
{
    if (Exists(column, row)) texts_[column][row] = text;
}

bool MatrixEntryState::Confirmed(int column, int row) const
{
    return Exists(column, row) && confirmed_[column][row];
}

MatrixContinueResult ContinueMatrix(MatrixEntryState& state)
{
    tMatrixEntryBuffer& buffer = state.Buffer();
    for (int k = 1; k <= state.Columns(); ++k) {
        for (int m = 1; m <= state.Rows(); ++m) {
            if (!state.Exists(k, m)) continue;
            const std::string& text = state.Text(k, m);
            MatrixContinueResult stop;
            stop.column = k;
            stop.row = m;
            // An empty cell, "-" or "." holds no number: not a correlation of 0.
            if (!IsNumberText(text)) {
                InputError = true;
                platform::ShowWarning(CorrelationNotANumberMessage(state, k, m, text));
                return stop;
            }
            double value = static_cast<double>(ParseNumber(text));
            if (InputError) return stop;
            bool offDiagonal = m != k;
            if ((offDiagonal && value >= 1) || value <= -1) {
                platform::ShowWarning(CorrelationRangeMessage(state, k, m));
                return stop;
            }
            if (offDiagonal && text == "0.000" && !state.Confirmed(k, m)) {
                if (!platform::Confirm(DefaultZeroQuestion(m, k))) return stop;
                state.MarkConfirmed(k, m);
            }
            buffer[k][m] = value;
            if (state.LowerTriangle()) buffer[m][k] = value;
        }
    }
    MatrixContinueResult done;
    done.accepted = true;
    return done;
}

bool ClearMatrix(MatrixEntryState& state)
{
    if (!platform::Confirm(ClearMatrixQuestion)) return false;
    // Rows a + 1 .. c of column a: the square below the diagonal, whatever
    // the row count (cells outside the window are skipped).
    int c = state.Columns();
    for (int a = 1; a <= c - 1; ++a) {
        for (int b = a + 1; b <= c; ++b) {
            if (!state.Exists(a, b)) continue;
            state.SetText(a, b, "0.000");
            state.Buffer()[a][b] = 0;
        }
    }
    return true;
}

void MatrixEntryState::MarkConfirmed(int column, int row)
{
    if (Exists(column, row)) confirmed_[column][row] = true;
}
