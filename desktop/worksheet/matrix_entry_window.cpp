#include "desktop/worksheet/matrix_entry_window.h"

#include <algorithm>
#include <functional>
#include <memory>

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QShowEvent>
#include <QStyle>
#include <QVBoxLayout>

#include "analysis/run/command_guard.h"
#include "analysis/worksheet/cell_lengths.h"
#include "analysis/worksheet/pasted_matrix.h"
#include "desktop/app/qt_app_helpers.h"
#include "foundation/messages.h"

bool MatrixCancelled = false;

namespace {

// The window: modal, resizable, no close box. Leaving it any other way than
// through "Continue" (Escape, a close from the desktop) counts as "Return
// to Worksheet", so nothing half-entered is ever taken.
class SquareMatrixDialog : public QDialog {
public:
    explicit SquareMatrixDialog(QWidget* owner)
        : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMaximizeButtonHint)
    {
    }

    void reject() override
    {
        MatrixCancelled = true;
        QDialog::reject();
    }

protected:
    void showEvent(QShowEvent* event) override
    {
        QDialog::showEvent(event);
        platform::CentreOnScreen(this);
    }
};

// A cell: Ctrl+V pastes a value or a whole matrix, Ctrl+C copies the matrix
// (both through the window, which knows the rules).
class MatrixCellEdit : public QLineEdit {
public:
    MatrixCellEdit(int column, int row, QWidget* parent) : QLineEdit(parent), column_(column), row_(row) {}

    std::function<void(int column, int row)> onPaste;
    std::function<void()> onCopy;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->matches(QKeySequence::Paste) && onPaste) {
            onPaste(column_, row_);
            return;
        }
        if (event->matches(QKeySequence::Copy) && onCopy) {
            onCopy();
            return;
        }
        QLineEdit::keyPressEvent(event);
    }

private:
    int column_;
    int row_;
};

// The unit state shared by the three buttons; only one window exists at a time.
struct OpenMatrixWindow {
    SquareMatrixDialog* window = nullptr;
    QScrollArea* scroller = nullptr;
    std::unique_ptr<MatrixEntryState> state;
    QLineEdit* cells[MatrixEntryCapacity + 1][MatrixEntryCapacity + 1] = {};
};
OpenMatrixWindow* openWindow = nullptr;

// The window's cells into the rules' state, before a button decides.
void ReadCells(OpenMatrixWindow& w)
{
    for (int j = 1; j <= w.state->Columns(); ++j)
        for (int i = 1; i <= w.state->Rows(); ++i)
            if (QLineEdit* cell = w.cells[j][i]) w.state->SetText(j, i, cell->text().toStdString());
}

void ShowCells(OpenMatrixWindow& w)
{
    for (int j = 1; j <= w.state->Columns(); ++j)
        for (int i = 1; i <= w.state->Rows(); ++i)
            if (QLineEdit* cell = w.cells[j][i]) cell->setText(QString::fromStdString(w.state->Text(j, i)));
}

// Focus on a cell selects its whole text, so the next keystroke replaces it.
void FocusCell(OpenMatrixWindow& w, int column, int row)
{
    QLineEdit* cell = w.cells[column][row];
    if (!cell) return;
    w.scroller->ensureWidgetVisible(cell);
    cell->setFocus(Qt::OtherFocusReason);
    cell->selectAll();
}

void PasteIntoCells(OpenMatrixWindow& w, int column, int row)
{
    platform::RunCommand([&] {
        ReadCells(w);
        const MatrixPasteOutcome outcome =
            PasteIntoMatrix(*w.state, column, row, QApplication::clipboard()->text().toStdString());
        if (!outcome.refusal.empty()) {
            platform::ShowWarning(outcome.refusal);
            if (outcome.column > 0) FocusCell(w, outcome.column, outcome.row);
            return;
        }
        if (outcome.pasted) ShowCells(w);
    });
}

void CopyCells(OpenMatrixWindow& w)
{
    platform::RunCommand([&] {
        ReadCells(w);
        QApplication::clipboard()->setText(QString::fromStdString(CopyMatrix(*w.state)));
    });
}

// A label's name as the window shows it: the variable's name, or its number.
QString Label(const MatrixEntryState& state, int index)
{
    return state.HasName(index) ? QString::fromStdString(state.VariableName(index)) : QString::number(index);
}

// The cells: wide enough for "-0.999" in the window's own font, so a
// negative three-decimal entry always shows whole.
int CellWidth(const QWidget* window)
{
    const QFontMetrics metrics(window->font());
    const int frame = window->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    return metrics.horizontalAdvance(QStringLiteral("-0.999")) + 2 * frame + 2 * 2 + metrics.averageCharWidth();
}

QLineEdit* MakeCell(OpenMatrixWindow& w, QWidget* parent, int column, int row, int width)
{
    auto* cell = new MatrixCellEdit(column, row, parent);
    cell->onPaste = [&w](int c, int r) { PasteIntoCells(w, c, r); };
    cell->onCopy = [&w] { CopyCells(w); };
    cell->setObjectName(QStringLiteral("mat%1x%2").arg(column).arg(row));
    cell->setFixedWidth(width);
    cell->setMaxLength(static_cast<int>(MaxNumberLength));
    cell->setAlignment(Qt::AlignRight);
    cell->setText(QString::fromStdString(w.state->Text(column, row)));
    const MatrixEntryState& s = *w.state;
    cell->setAccessibleName(
        column == row ? QString::fromStdString(s.VariableName(column) + " with itself")
                      : QString::fromStdString("Correlation of " + s.VariableName(column) + " with " + s.VariableName(row)));
    if (column == row) {
        QPalette palette = cell->palette();
        palette.setColor(QPalette::Text, Qt::blue);
        cell->setPalette(palette);
        cell->setReadOnly(true);
        cell->setFocusPolicy(Qt::ClickFocus);  // Tab skips the diagonal
    }
    return cell;
}

// The grid of cells under a row of column names, each row led by its name.
QWidget* MakeGrid(OpenMatrixWindow& w, QWidget*& previous)
{
    const MatrixEntryState& s = *w.state;
    auto* content = new QWidget;
    auto* grid = new QGridLayout(content);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);
    const int width = CellWidth(w.window);
    for (int j = 1; j <= s.Columns(); ++j) {
        auto* name = new QLabel(Label(s, j), content);
        name->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        name->setWordWrap(true);
        name->setMaximumWidth(2 * width);
        name->setToolTip(name->text());
        grid->addWidget(name, 0, j);
    }
    for (int i = 1; i <= s.Rows(); ++i) {
        auto* name = new QLabel(Label(s, i), content);
        name->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(name, i, 0);
        // Cells row by row: the tab order follows.
        for (int j = 1; j <= s.Columns(); ++j) {
            if (!s.Exists(j, i)) continue;
            QLineEdit* cell = MakeCell(w, content, j, i, width);
            name->setBuddy(cell);
            grid->addWidget(cell, i, j);
            w.cells[j][i] = cell;
            if (i == j) continue;
            if (previous) QWidget::setTabOrder(previous, cell);
            previous = cell;
        }
    }
    // Room left over goes beyond the last row and column: the cells keep together.
    grid->setRowStretch(s.Rows() + 1, 1);
    grid->setColumnStretch(s.Columns() + 1, 1);
    return content;
}

// The first size: the whole grid where the screen allows, else most of the screen.
void SizeToContent(OpenMatrixWindow& w, QWidget* content)
{
    const QScreen* screen = w.window->screen();
    const QSize room = screen ? screen->availableGeometry().size() * 9 / 10 : QSize(1024, 700);
    const int bar = w.window->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const QSize wanted = content->sizeHint() + QSize(bar + 2, bar + 2);
    w.scroller->setMinimumSize(wanted.boundedTo(room - QSize(40, 120)));
    w.window->adjustSize();
    w.scroller->setMinimumSize(QSize(120, 80));
}

}  // namespace

MatrixWindowButton::MatrixWindowButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent)
{
    setAutoDefault(false);
    platform::ClickOnEnter(this);
    connect(this, &QPushButton::clicked, this, [this] { platform::RunCommand([this] { Click(); }); });
}

void MatrixButton::Click()
{
    if (!openWindow) return;
    OpenMatrixWindow& w = *openWindow;
    ReadCells(w);
    MatrixContinueResult result = ContinueMatrix(*w.state);
    if (!result.accepted) {
        FocusCell(w, result.column, result.row);
        return;
    }
    w.window->accept();
}

void ClearMatrixButton::Click()
{
    if (!openWindow) return;
    OpenMatrixWindow& w = *openWindow;
    ReadCells(w);
    if (!ClearMatrix(*w.state)) return;
    ShowCells(w);
}

void ReturnMatrixButton::Click()
{
    if (!openWindow) return;
    openWindow->window->reject();  // sets MatrixCancelled
}

void EnterSquareMatrix(tMatrixEntryBuffer& buffer, int columns, int rows, const std::string& caption,
                       const std::vector<std::string>& names, QWidget* owner, bool lowerTriangle)
{
    OpenMatrixWindow w;
    SquareMatrixDialog window(owner);
    w.window = &window;
    window.setWindowTitle(QString::fromStdString(caption));
    window.setObjectName(QStringLiteral("SqMatFrm"));

    MatrixCancelled = false;
    w.state = std::make_unique<MatrixEntryState>(buffer, columns, rows, lowerTriangle);
    w.state->SetNames(names);

    auto* layout = new QVBoxLayout(&window);
    // The cells scroll; the buttons below them stay in reach.
    w.scroller = new QScrollArea(&window);
    w.scroller->setFocusPolicy(Qt::NoFocus);
    w.scroller->setWidgetResizable(true);
    QWidget* previous = nullptr;
    QWidget* content = MakeGrid(w, previous);
    w.scroller->setWidget(content);
    layout->addWidget(w.scroller, 1);

    auto* hint = new QLabel(QStringLiteral("Type the correlations, or paste a matrix copied from a spreadsheet "
                                           "(Ctrl+V); Ctrl+C copies this matrix."),
                            &window);
    hint->setWordWrap(true);
    layout->addWidget(hint);

    auto* buttons = new QHBoxLayout;
    auto addButton = [&](MatrixWindowButton* button, const char* name) {
        button->setObjectName(QString::fromLatin1(name));
        buttons->addWidget(button);
        if (previous) QWidget::setTabOrder(previous, button);
        previous = button;
    };
    addButton(new MatrixButton(QStringLiteral("&Continue"), &window), "CloseBtn");
    addButton(new ClearMatrixButton(QStringLiteral("C&lear Data"), &window), "ClearBtn");
    addButton(new ReturnMatrixButton(QStringLiteral("&Return to Worksheet"), &window), "ReturnBtn");
    buttons->addStretch(1);
    layout->addLayout(buttons);

    // Outside the cells (on a button, say) Ctrl+V still pastes a whole
    // matrix and Ctrl+C copies it.
    auto* paste = new QShortcut(QKeySequence::Paste, &window);
    QObject::connect(paste, &QShortcut::activated, &window, [&w] { PasteIntoCells(w, 0, 0); });
    auto* copy = new QShortcut(QKeySequence::Copy, &window);
    QObject::connect(copy, &QShortcut::activated, &window, [&w] { CopyCells(w); });

    SizeToContent(w, content);

    // The first cell the user can type into starts with the focus.
    bool focused = false;
    for (int j = 1; j <= w.state->Columns() && !focused; ++j)
        for (int i = 1; i <= w.state->Rows() && !focused; ++i)
            if (w.cells[j][i] && !w.cells[j][i]->isReadOnly()) {
                FocusCell(w, j, i);
                focused = true;
            }

    openWindow = &w;
    struct Reset {
        ~Reset() { openWindow = nullptr; }
    } reset;
    window.exec();
}
