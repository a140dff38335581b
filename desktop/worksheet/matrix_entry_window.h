#pragma once
// The correlation-matrix entry window ("SqMatFrm"), built at run time: one
// edit cell per entry, its rows and columns labelled with the variables'
// names, shown modally with "Continue", "Clear Data" and "Return to
// Worksheet". The window is laid out by Qt layouts, resizable, and the
// cells scroll when they do not fit. What the buttons, a paste (Ctrl+V) and
// a copy (Ctrl+C) decide lives in matrix_entry_rules.h and pasted_matrix.h;
// the window only mirrors its cells into a MatrixEntryState, calls the
// rules and shows their outcome.
#include <string>
#include <vector>

#include <QPushButton>

#include "analysis/worksheet/matrix_entry_rules.h"

class QWidget;

// Set to false when a window is built, to true when the user leaves it with
// "Return to Worksheet" (or Escape, or a close from the desktop). The caller
// reads it after EnterSquareMatrix and sets it back to false.
extern bool MatrixCancelled;

// Builds the window for `columns` x `rows` cells of the buffer (1..50 each;
// only column <= row in lower-triangle mode), shows it modally and returns
// when it has closed. `names` label the variables in order (a blank or
// missing name shows the variable's number). On "Continue" the accepted
// values are in the buffer; on "Return to Worksheet" MatrixCancelled is
// true and the buffer holds at most values stored by earlier, refused
// presses of "Continue".
void EnterSquareMatrix(tMatrixEntryBuffer& buffer, int columns, int rows, const std::string& caption,
                       const std::vector<std::string>& names, QWidget* owner, bool lowerTriangle);

// The window's three buttons: push buttons whose click is their own.
class MatrixWindowButton : public QPushButton {
    Q_OBJECT
public:
    MatrixWindowButton(const QString& caption, QWidget* parent);
    virtual void Click() = 0;
};

class MatrixButton : public MatrixWindowButton {  // "Continue"
    Q_OBJECT
public:
    using MatrixWindowButton::MatrixWindowButton;
    void Click() override;
};

class ClearMatrixButton : public MatrixWindowButton {  // "Clear Data"
    Q_OBJECT
public:
    using MatrixWindowButton::MatrixWindowButton;
    void Click() override;
};

class ReturnMatrixButton : public MatrixWindowButton {  // "Return to Worksheet"
    Q_OBJECT
public:
    using MatrixWindowButton::MatrixWindowButton;
    void Click() override;
};
