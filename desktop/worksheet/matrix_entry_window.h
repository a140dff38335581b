#pragma once
// The correlation-matrix entry window ("SqMatFrm"), built at run time: one
// small edit cell per entry, shown modally, with "Continue", "Clear Data" and
// "Return to Worksheet". What the buttons decide lives in
// matrix_entry_rules.h; the window only mirrors its cells into a
// MatrixEntryState, calls the rules and shows their outcome.
#include <string>

#include <QPushButton>

#include "analysis/worksheet/matrix_entry_rules.h"

class QWidget;

// Set to false when a window is built, to true when the user leaves it with
// "Return to Worksheet" (or closes it from the desktop). The caller reads it
// after EnterSquareMatrix and sets it back to false.
extern bool MatrixCancelled;

// Builds the window for `columns` x `rows` cells of the buffer (1..50 each;
// only column <= row in lower-triangle mode), shows it modally and returns
// when it has closed. On "Continue" the accepted values are in the buffer;
// on "Return to Worksheet" MatrixCancelled is true and the buffer holds at
// most values stored by earlier, refused presses of "Continue".
void EnterSquareMatrix(tMatrixEntryBuffer& buffer, int columns, int rows, const std::string& caption,
                       const std::string& title, const std::string& sideLetters, QWidget* owner,
                       bool lowerTriangle);

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
