#pragma once
// A correlation matrix pasted into the matrix window as a spreadsheet or a
// PDF viewer copies it, and the matrix copied out the same way. Cells are
// split as the grid splits them (tabs, else semicolons, else commas), a
// decimal point or comma. The pasted shape is the full square, its lower
// triangle with the diagonal, or without it; a first row and a first
// column of names (as the copy writes them) are skipped.
#include <string>

#include "analysis/worksheet/matrix_entry_rules.h"

struct MatrixPasteOutcome {
    bool pasted = false;
    std::string refusal;  // one message, naming the cell where there is one
    int column = 0;       // the refused cell (0 when the shape was refused)
    int row = 0;
};

// A single value goes into the cell (column, row); a block fills the whole
// matrix. Every value is checked first (a number, strictly between -1 and
// +1, 1 on a pasted diagonal, the two halves of a full square equal); only
// then are the texts written, as pasted with a decimal point. On a refusal
// nothing changes.
MatrixPasteOutcome PasteIntoMatrix(MatrixEntryState& state, int column, int row, const std::string& text);

// The matrix as its cells show it, tab-separated, lines ended by '\n': a
// header row of names, then each row led by its name (the lower triangle
// in lower-triangle mode).
std::string CopyMatrix(const MatrixEntryState& state);
