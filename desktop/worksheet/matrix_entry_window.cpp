#include "desktop/worksheet/matrix_entry_window.h"

#include <algorithm>
#include <memory>

#include <QCloseEvent>
#include <QDialog>
#include <QFont>
#include <QFontMetrics>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPalette>
#include <QScrollArea>
#include <QScrollBar>
#include <QShowEvent>

#include "analysis/worksheet/input_rules.h"
#include "analysis/run/command_guard.h"
#include "desktop/app/qt_app_helpers.h"

bool MatrixCancelled = false;

namespace {

constexpr int WindowWidth = 800;
constexpr int WindowHeight = 600;
constexpr int CellWidth = 37;
constexpr int CellHeight = 16;
constexpr int ButtonPanelTop = 500;
constexpr int NewButtonHeight = 25;  // what the size rule reserves for a button
constexpr int ScrollStep = 4;
constexpr int CellFrame = 1;     // the line drawn round each cell
constexpr int CellTextRoom = 5 + 2 * CellFrame;  // the frame, the edit field's own margins, the cursor

// The window: modal, fixed size, no close box. Leaving it any other way than
// through "Continue" (a close from the desktop, say) counts as "Return to
// Worksheet", so nothing half-entered is ever taken.
class SquareMatrixDialog : public QDialog {
public:
    explicit SquareMatrixDialog(QWidget* owner)
        : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    {
    }

    void reject() override
    {
        MatrixCancelled = true;
        QDialog::reject();
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        // Escape does not leave the window: only its buttons do.
        if (event->key() == Qt::Key_Escape) {
            event->accept();
            return;
        }
        QDialog::keyPressEvent(event);
    }

    void showEvent(QShowEvent* event) override
    {
        QDialog::showEvent(event);
        platform::CentreOnScreen(this);
    }
};

// The unit state shared by the three buttons; only one window exists at a time.
struct OpenMatrixWindow {
    SquareMatrixDialog* window = nullptr;
    QScrollArea* scroller = nullptr;
    QLabel* titleLabel = nullptr;  // "Matrix title", hidden
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

// The cells' font: the small dialog font, smaller still where needed so the
// widest entry, "-0.999", shows whole inside a framed 37-pixel cell.
QFont CellFont()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    for (int pixels = 11; pixels >= 7; --pixels) {
        font.setPixelSize(pixels);
        if (QFontMetrics(font).horizontalAdvance(QStringLiteral("-0.999")) <= CellWidth - CellTextRoom) break;
    }
    return font;
}

// A cell with a thin frame of its own, so neighbouring entries never run
// into each other; the text stays inside the frame.
class FramedCell : public QLineEdit {
public:
    explicit FramedCell(QWidget* parent) : QLineEdit(parent)
    {
        setFrame(false);
        setTextMargins(CellFrame, CellFrame, CellFrame, CellFrame);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QLineEdit::paintEvent(event);
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

QLabel* AddLabel(QWidget* parent, const QString& text, int left, int top, int width, int height,
                 Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto* label = new QLabel(text, parent);
    label->setGeometry(left, top, width, height);
    label->setAlignment(alignment);
    return label;
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
    w.titleLabel->setText(QStringLiteral("Title:"));
}

void ReturnMatrixButton::Click()
{
    if (!openWindow) return;
    openWindow->window->reject();  // sets MatrixCancelled
}

void EnterSquareMatrix(tMatrixEntryBuffer& buffer, int columns, int rows, const std::string& caption,
                       const std::string& title, const std::string& sideLetters, QWidget* owner,
                       bool lowerTriangle)
{
    OpenMatrixWindow w;
    SquareMatrixDialog window(owner);
    w.window = &window;
    window.setFixedSize(WindowWidth, WindowHeight);

    MatrixCancelled = false;
    w.state = std::make_unique<MatrixEntryState>(buffer, columns, rows, lowerTriangle);
    const int c = w.state->Columns();
    const int r = w.state->Rows();

    // The cells and their labels scroll; the buttons below them stay in reach.
    w.scroller = new QScrollArea(&window);
    w.scroller->setFrameShape(QFrame::NoFrame);
    w.scroller->setFocusPolicy(Qt::NoFocus);
    w.scroller->setGeometry(0, 0, WindowWidth, ButtonPanelTop - 2);
    auto* content = new QWidget;
    const bool horizontal = CellWidth * c + 54 > WindowWidth;
    const bool vertical = CellHeight * r + 98 + NewButtonHeight > WindowHeight;
    w.scroller->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    w.scroller->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    w.scroller->horizontalScrollBar()->setSingleStep(ScrollStep);
    w.scroller->verticalScrollBar()->setSingleStep(ScrollStep);
    const int contentWidth = std::max(WindowWidth - (vertical ? 20 : 0), CellWidth * c + 54);
    const int contentHeight = std::max(ButtonPanelTop - 2 - (horizontal ? 20 : 0), CellHeight * (r + 2) + 66);
    content->resize(contentWidth, contentHeight);
    w.scroller->setWidget(content);

    auto* gridPanel = new QFrame(content);
    gridPanel->setObjectName(QStringLiteral("GridPanel"));
    gridPanel->setGeometry(7, 5, std::max(780, contentWidth - 20), std::max(483, contentHeight - 10));
    gridPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);

    auto* buttonPanel = new QFrame(&window);
    buttonPanel->setObjectName(QStringLiteral("ButtonPanel"));
    buttonPanel->setGeometry(7, ButtonPanelTop, 780, 49);
    buttonPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    window.setWindowTitle(QString::fromStdString(caption));
    window.setObjectName(QStringLiteral("SqMatFrm"));

    // Cells, row by row: the tab order follows.
    QWidget* previous = nullptr;
    const QFont cellFont = CellFont();
    for (int i = 1; i <= r; ++i) {
        for (int j = 1; j <= c; ++j) {
            if (!w.state->Exists(j, i)) continue;
            auto* cell = new FramedCell(content);
            cell->setObjectName(QStringLiteral("mat%1x%2").arg(j).arg(i));
            cell->setGeometry(CellWidth * (j - 1) + 33, CellHeight * (i - 1) + 50, CellWidth, CellHeight);
            cell->setFont(cellFont);
            cell->setMaxLength(static_cast<int>(MaxInputLength));
            cell->setText(QString::fromStdString(w.state->Text(j, i)));
            cell->setAutoFillBackground(true);
            if (i == j) {
                QPalette palette = cell->palette();
                palette.setColor(QPalette::Text, Qt::blue);
                cell->setPalette(palette);
                cell->setReadOnly(true);
                cell->setFocusPolicy(Qt::ClickFocus);  // Tab skips the diagonal
            } else {
                if (previous) QWidget::setTabOrder(previous, cell);
                previous = cell;
            }
            w.cells[j][i] = cell;
        }
    }

    QFont buttonFont(QStringLiteral("System"), 10);
    auto placeButton = [&](MatrixWindowButton* button, const char* name, int left) {
        button->setObjectName(QString::fromLatin1(name));
        button->setGeometry(left, 506, 161, 37);
        button->setFont(buttonFont);
        if (previous) QWidget::setTabOrder(previous, button);
        previous = button;
    };
    placeButton(new MatrixButton(QStringLiteral("Continue"), &window), "CloseBtn", 16);
    placeButton(new ClearMatrixButton(QStringLiteral("Clear Data"), &window), "ClearBtn", 216);
    placeButton(new ReturnMatrixButton(QStringLiteral("Return to Worksheet"), &window), "ReturnBtn", 416);

    // Row and column numbers lie where the cells are measured from (the
    // scrolled area, like the cells), so each sits level with its row or
    // centred under its column.
    for (int j = 1; j <= c; ++j)
        AddLabel(content, QString::number(j), CellWidth * (j - 1) + 44, CellHeight * r + 60, 15, CellHeight);
    for (int i = r; i >= 1; --i)
        AddLabel(content, QString::number(i), 7, CellHeight * (i - 1) + 50, 15, CellHeight, Qt::AlignCenter);

    w.titleLabel = new QLabel(QStringLiteral("Matrix title"), gridPanel);
    w.titleLabel->adjustSize();
    w.titleLabel->setGeometry(gridPanel->width() / 2 - w.titleLabel->width() / 2, 10, w.titleLabel->width(),
                              CellHeight);
    w.titleLabel->hide();

    auto* titleText = new QLabel(QString::fromStdString(title), gridPanel);
    titleText->adjustSize();
    titleText->setGeometry((CellWidth * c) / 2 + 44 - titleText->width() / 2, CellHeight * (r + 2) + 30,
                           titleText->width(), CellHeight);
    titleText->hide();

    const QString letters = QString::fromStdString(sideLetters);
    for (int i = 1; i <= letters.size(); ++i)
        AddLabel(content, letters.mid(i - 1, 1), 10, CellHeight * (i - 1) + 36, 9, CellHeight);

    // The first cell the user can type into starts with the focus.
    bool focused = false;
    for (int j = 1; j <= c && !focused; ++j)
        for (int i = 1; i <= r && !focused; ++i)
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
