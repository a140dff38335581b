#pragma once
// What the correlation-matrix window decides, without the window: the cell
// texts shown for a buffer, the checks and storing of "Continue", and
// "Clear Data". The desktop window copies its edit cells into a
// MatrixEntryState before calling ContinueMatrix and back after ClearMatrix
// (or after building); the command line fills the texts itself.
//
// Coordinates are 1-based (column, row); the cell shown in row r, column c is
// buffer[c][r]. In lower-triangle mode only cells with column <= row exist.
#include <string>
#include <utility>
#include <vector>

constexpr int MatrixEntryCapacity = 50;

// The caller's working matrix: 50 x 50 doubles, [column][row] from 1.
struct tMatrixEntryBuffer {
    double e[MatrixEntryCapacity + 1][MatrixEntryCapacity + 1] = {};
    double* operator[](int column) { return e[column]; }
    const double* operator[](int column) const { return e[column]; }
};

// Messages of the window.
extern const char* const ClearMatrixQuestion; // "Clear data from matrix ?"
// "Do you want continue with cell (row,column) set to the default value of '0.000'?"
std::string DefaultZeroQuestion(int row, int column);

// A buffer value as its cell shows it: three decimals with a decimal point.
std::string FormatMatrixCell(double value);

class MatrixEntryState {
public:
    // Sizes are clamped to 1..50. Cell texts are built from the buffer, no
    // cell is confirmed. The buffer must outlive the state.
    MatrixEntryState(tMatrixEntryBuffer& buffer, int columns, int rows, bool lowerTriangle);

    int Columns() const { return columns_; }
    int Rows() const { return rows_; }
    bool LowerTriangle() const { return lowerTriangle_; }
    // True for cells inside the size (and on or below the diagonal in
    // lower-triangle mode).
    bool Exists(int column, int row) const;

    // Texts and confirmed marks of existing cells; other coordinates read as
    // "" / false and writes to them are ignored.
    const std::string& Text(int column, int row) const;
    void SetText(int column, int row, const std::string& text);
    bool Confirmed(int column, int row) const;
    // Set when the user agreed to keep the cell at "0.000"; a new window
    // (a new state) starts with no marks.
    void MarkConfirmed(int column, int row);

    // The variables' names, in the matrix's order (the task first); a
    // missing or blank name reads as "variable N".
    void SetNames(std::vector<std::string> names) { names_ = std::move(names); }
    std::string VariableName(int index) const;
    // True when the variable has a name of its own (not the fallback).
    bool HasName(int index) const;

    tMatrixEntryBuffer& Buffer() { return buffer_; }
    const tMatrixEntryBuffer& Buffer() const { return buffer_; }

private:
    tMatrixEntryBuffer& buffer_;
    int columns_;
    int rows_;
    bool lowerTriangle_;
    std::vector<std::string> names_;
    std::string texts_[MatrixEntryCapacity + 1][MatrixEntryCapacity + 1];
    bool confirmed_[MatrixEntryCapacity + 1][MatrixEntryCapacity + 1] = {};
};

// The refusals of a cell, naming it by its variables:
// "The correlation of Memory with Age must lie strictly between -1 and +1."
std::string CorrelationRangeMessage(const MatrixEntryState& state, int column, int row);
// "\"abc\" is not a number: the correlation of Memory with Age must be a
// number strictly between -1 and +1." (an empty text is named as empty).
std::string CorrelationNotANumberMessage(const MatrixEntryState& state, int column, int row,
                                         const std::string& text);

struct MatrixContinueResult {
    bool accepted = false;  // every cell passed: close the window
    int column = 0;         // otherwise the cell to focus (its text selected)
    int row = 0;
};

// "Continue": visits the cells column by column, rows top-down; refuses a
// cell that is not a number ("", "-", ".", "abc") and values out of range
// (-1 < v < 1 off the diagonal, v > -1 on it) with one warning naming the
// cell, asks about off-diagonal cells reading exactly
// "0.000" not yet confirmed, and stores each passed value in buffer[c][r]
// (and buffer[r][c] in lower-triangle mode). Stops at the first refusal;
// values stored before it stay.
MatrixContinueResult ContinueMatrix(MatrixEntryState& state);

// "Clear Data": asks "Clear data from matrix ?"; on Yes sets every existing
// cell below the diagonal within the first c rows (column a from 1 to c - 1,
// row from a + 1 to c, c = Columns()) to "0.000" and its buffer entry to 0
// (the other triangle, the diagonal, rows beyond c and the confirmed marks
// stay). True on Yes.
bool ClearMatrix(MatrixEntryState& state);
