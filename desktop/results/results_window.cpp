#include "desktop/results/results_window.h"

#include <algorithm>

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFont>
#include <QFontMetrics>
#include <QFrame>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QShortcut>
#include <QShowEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

#include "analysis/run/command_guard.h"
#include "foundation/messages.h"
#include "analysis/report/print_layout.h"
#include "analysis/report/page_frame.h"
#include "desktop/results/figure_view.h"
#include "render/figure_painter.h"
#include "desktop/app/about_box.h"
#include "desktop/app/qt_app_helpers.h"
#include "desktop/dialogs/qt_print_surface.h"
#include "desktop/dialogs/qt_save_dialog.h"
#include "analysis/files/text_file.h"
#include "analysis/worksheet/worksheet_data.h"

namespace {

QPushButton* MakeButton(const char* name, const char* caption, QWidget* parent, const QFont& font)
{
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setFont(font);
    button->setMinimumHeight(QFontMetrics(font).height() * 2);
    QPalette palette = button->palette();
    palette.setColor(QPalette::ButtonText, Qt::black);
    button->setPalette(palette);
    button->setAutoDefault(false);
    platform::ClickOnEnter(button);
    return button;
}

// Text with every line break as CR LF, the form files and printouts take.
QString WithCrLf(QString text)
{
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    text.replace(QLatin1String("\n"), QLatin1String("\r\n"));
    return text;
}

}  // namespace

TfrmTemplateResults::TfrmTemplateResults(QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)
{
    setObjectName(QStringLiteral("frmTemplateResults"));
    SetCaption("Output");
    QFont formFont(QStringLiteral("MS Sans Serif"));
    formFont.setPixelSize(11);
    setFont(formFont);

    // The client area: the report over a bar of buttons, laid out so that
    // the window can be resized and the report takes the room.
    auto* client = new QWidget(this);
    setCentralWidget(client);
    auto* layout = new QVBoxLayout(client);
    textPanel_ = new QFrame(client);
    textPanel_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    auto* textLayout = new QVBoxLayout(textPanel_);
    textLayout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(textPanel_, 1);

    memoResults = new QPlainTextEdit(textPanel_);
    memoResults->setObjectName(QStringLiteral("memoResults"));
    memoResults->setAccessibleName(QStringLiteral("Report"));
    memoResults->setFont(platform::ReportTextFont());
    memoResults->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memoResults->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Narrower than a report line (only when the user makes it so), the
    // text wraps between words.
    memoResults->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    memoResults->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    memoResults->setTabChangesFocus(true);
    memoResults->setReadOnly(true);
    memoResults->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QPalette memoPalette = memoResults->palette();
    memoPalette.setColor(QPalette::Text, Qt::black);
    // The selection stays visible when the memo loses the focus.
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        memoPalette.setColor(QPalette::Inactive, role, memoPalette.color(QPalette::Active, role));
    memoResults->setPalette(memoPalette);
    textLayout->addWidget(memoResults);

    buttonBar_ = new QFrame(client);
    buttonBar_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* buttons = new QHBoxLayout(buttonBar_);
    layout->addWidget(buttonBar_);

    QFont buttonFont(QStringLiteral("System"));
    buttonFont.setPixelSize(13);
    buttonFont.setBold(true);
    cmdSaveOutput = MakeButton("cmdSaveOutput", "&Save Output", buttonBar_, buttonFont);
    cmdClearResults = MakeButton("cmdClearResults", "&Clear Results", buttonBar_, buttonFont);
    cmdReturn = MakeButton("cmdReturn", "&Return to Worksheet", buttonBar_, buttonFont);
    cmdExit = MakeButton("cmdExit", "E&xit", buttonBar_, buttonFont);
    for (QPushButton* button : {cmdSaveOutput, cmdClearResults, cmdReturn, cmdExit}) buttons->addWidget(button);
    setTabOrder(memoResults, cmdSaveOutput);
    setTabOrder(cmdSaveOutput, cmdClearResults);
    setTabOrder(cmdClearResults, cmdReturn);
    setTabOrder(cmdReturn, cmdExit);
    cmdReturn->setFocus();

    // The menus, each with its mnemonic; the items show their shortcuts.
    QMenu* fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    mnuSaveOutput = fileMenu->addAction(QStringLiteral("&Save Output..."));
    mnuSaveOutput->setObjectName(QStringLiteral("mnuSaveOutput"));
    mnuSaveOutput->setShortcut(QKeySequence::Save);
    mnuPrint = fileMenu->addAction(QStringLiteral("&Print All..."));
    mnuPrint->setObjectName(QStringLiteral("mnuPrint"));
    mnuPrint->setShortcut(QKeySequence::Print);
    mnuPrintSelection = fileMenu->addAction(QStringLiteral("Print Se&lection..."));
    mnuPrintSelection->setObjectName(QStringLiteral("mnuPrintSelection"));
    mnuSavePdf = fileMenu->addAction(QStringLiteral("Save as P&DF..."));
    mnuSavePdf->setObjectName(QStringLiteral("mnuSavePdf"));
    fileMenu->addSeparator();
    mnuReturn = fileMenu->addAction(QStringLiteral("&Return to Worksheet"));
    mnuReturn->setObjectName(QStringLiteral("mnuReturn"));
    mnuExit = fileMenu->addAction(QStringLiteral("E&xit"));
    mnuExit->setObjectName(QStringLiteral("mnuExit"));
    mnuExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    QMenu* figureMenu = menuBar()->addMenu(QStringLiteral("F&igure"));
    mnuShowFigure = figureMenu->addAction(QStringLiteral("&Show Figure"));
    mnuShowFigure->setObjectName(QStringLiteral("mnuShowFigure"));
    mnuShowFigure->setEnabled(false);
    QMenu* editMenu = menuBar()->addMenu(QStringLiteral("&Edit"));
    mnuEditReport = editMenu->addAction(QStringLiteral("&Edit report"));
    mnuEditReport->setObjectName(QStringLiteral("mnuEditReport"));
    mnuEditReport->setCheckable(true);
    mnuCopySummary = editMenu->addAction(QStringLiteral("&Copy summary"));
    mnuCopySummary->setObjectName(QStringLiteral("mnuCopySummary"));
    mnuCopySummary->setEnabled(false);
    platform::AddHelpMenu(this);
    frmFigure = new TfrmFigure(this);
    // The menu from the keyboard: F10 opens it, as on the desktops the
    // program was first written for; Alt and a menu's letter open that menu.
    auto* menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(menuKey, &QShortcut::activated, this,
            [this, fileMenu] { menuBar()->setActiveAction(fileMenu->menuAction()); });

    // What the report needs beside its text, across: the document's
    // margins, the scroll bar, the frames and the layouts' margins.
    const QMargins outer = layout->contentsMargins(), inner = textLayout->contentsMargins();
    reportChrome_ = 2 * static_cast<int>(memoResults->document()->documentMargin()) +
                    style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2 * memoResults->frameWidth() +
                    inner.left() + inner.right() + 2 * textPanel_->frameWidth() + outer.left() + outer.right() +
                    // the cursor's room and rounding in the text's layout
                    3 * QFontMetrics(memoResults->font()).averageCharWidth();
    // The first size: a report line whole (the title line is the longest
    // heading), some 36 lines of it, within the screen.
    const QFontMetrics metrics(memoResults->font());
    QSize first(metrics.horizontalAdvance(QString::fromLatin1(ProgramTitle)) + reportChrome_,
                metrics.lineSpacing() * 36 + menuBar()->sizeHint().height() + buttonBar_->sizeHint().height());
    if (const QScreen* screen = this->screen()) first = first.boundedTo(screen->availableGeometry().size());
    resize(first);

    connect(cmdSaveOutput, &QPushButton::clicked, this, &TfrmTemplateResults::cmdSaveOutputClick);
    // The menu items do what their buttons do.
    connect(mnuSaveOutput, &QAction::triggered, cmdSaveOutput, &QPushButton::click);
    connect(mnuReturn, &QAction::triggered, cmdReturn, &QPushButton::click);
    connect(mnuExit, &QAction::triggered, cmdExit, &QPushButton::click);
    connect(cmdClearResults, &QPushButton::clicked, this,
            &TfrmTemplateResults::cmdClearResultsClick);
    connect(cmdReturn, &QPushButton::clicked, this, &TfrmTemplateResults::cmdReturnClick);
    connect(cmdExit, &QPushButton::clicked, this, &TfrmTemplateResults::cmdExitClick);
    connect(mnuPrint, &QAction::triggered, this, &TfrmTemplateResults::mnuPrintClick);
    connect(mnuPrintSelection, &QAction::triggered, this,
            &TfrmTemplateResults::mnuPrintSelectionClick);
    connect(mnuSavePdf, &QAction::triggered, this, &TfrmTemplateResults::mnuSavePdfClick);
    connect(mnuShowFigure, &QAction::triggered, this, &TfrmTemplateResults::mnuShowFigureClick);
    connect(mnuEditReport, &QAction::toggled, this, &TfrmTemplateResults::mnuEditReportToggled);
    connect(mnuCopySummary, &QAction::triggered, this, &TfrmTemplateResults::mnuCopySummaryClick);
    connect(memoResults->document(), &QTextDocument::contentsChanged, this, &TfrmTemplateResults::ReportChanged);

    saveDialog_ = std::make_unique<platform::QtSaveDialog>(this);
    pdfSaveDialog_ = std::make_unique<platform::QtSaveDialog>(this, "results.pdf", "PDF files (*.pdf)");
    // The figure of the latest analysis follows the report's pages.
    pdfExtraPages_ = [this] {
        std::vector<platform::ExtraPagePainter> pages;
        if (const std::optional<FigureLayout> figure = frmFigure->ReportFigure()) pages.push_back(FigurePage(*figure));
        return pages;
    };
    printSurfaceFactory_ = [this](const QFont& font) -> std::unique_ptr<platform::PrintSurface> {
        return platform::QtPrintSurface::FromPrintDialog(font, this);
    };
    quit_ = [] { QCoreApplication::exit(0); };

    FormCreate();
}

TfrmTemplateResults::~TfrmTemplateResults() = default;

void TfrmTemplateResults::FormCreate() { memoResults->clear(); }

// ---- Compute command interface ------------------------------------------------

void TfrmTemplateResults::AppendLine(const std::string& line) { AppendLines({line}); }

void TfrmTemplateResults::AppendLines(const std::vector<std::string>& lines)
{
    if (lines.empty()) return;
    QString piece;
    // Text typed after the last line break belongs to a line of its own.
    if (memoResults->document()->lastBlock().length() > 1) piece += QLatin1Char('\n');
    for (const std::string& line : lines) {
        piece += QString::fromStdString(line);
        piece += QLatin1Char('\n');
    }
    QTextCursor cursor = memoResults->textCursor();
    cursor.movePosition(QTextCursor::End);
    // A new report is no edit: Undo must not take it away.
    appending_ = true;
    memoResults->document()->setUndoRedoEnabled(false);
    cursor.insertText(piece);
    memoResults->document()->setUndoRedoEnabled(true);
    appending_ = false;
    memoResults->setTextCursor(cursor);
    int widest = 0;
    const QFontMetrics metrics(memoResults->font());
    for (const std::string& line : lines)
        widest = std::max(widest, metrics.horizontalAdvance(QString::fromStdString(line)));
    FitReportWidth(widest);
    memoResults->ensureCursorVisible();
}

void TfrmTemplateResults::FitReportWidth(int textWidth)
{
    int wanted = textWidth + reportChrome_;
    if (const QScreen* screen = this->screen()) wanted = std::min(wanted, screen->availableGeometry().width());
    if (wanted > width()) resize(wanted, height());
}

int TfrmTemplateResults::LineCount() const
{
    const QTextDocument* doc = memoResults->document();
    int lines = doc->blockCount();
    if (doc->lastBlock().length() <= 1) --lines;   // the empty line after the last line break
    return lines;
}

void TfrmTemplateResults::SetCaption(const std::string& caption)
{
    caption_ = QString::fromStdString(caption);
    ShowCaption();
}

void TfrmTemplateResults::ShowCaption()
{
    setWindowTitle(editedByHand_ ? caption_ + QStringLiteral(" (edited by hand)") : caption_);
}

void TfrmTemplateResults::ReportChanged()
{
    if (appending_ || editedByHand_ || memoResults->isReadOnly()) return;
    editedByHand_ = true;
    ShowCaption();
}

void TfrmTemplateResults::mnuEditReportToggled(bool editing)
{
    memoResults->setReadOnly(!editing);
    if (!editing) memoResults->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    if (editing) memoResults->setFocus(Qt::OtherFocusReason);
}

std::string TfrmTemplateResults::TextForFile() const
{
    return WithCrLf(memoResults->toPlainText()).toUtf8().toStdString();
}

void TfrmTemplateResults::SetFigure(const FigureData& figure)
{
    frmFigure->SetFigure(figure);
    mnuShowFigure->setEnabled(true);
}

void TfrmTemplateResults::SetSummary(const std::string& sentence)
{
    summary_ = QString::fromStdString(sentence);
    mnuCopySummary->setEnabled(!summary_.isEmpty());
}

void TfrmTemplateResults::mnuCopySummaryClick()
{
    platform::RunCommand([&] { QGuiApplication::clipboard()->setText(summary_); });
}

// ---- Replaceable services -------------------------------------------------------

void TfrmTemplateResults::SetSaveDialog(std::unique_ptr<platform::SaveDialog> dialog)
{
    saveDialog_ = std::move(dialog);
}

void TfrmTemplateResults::SetPrintSurfaceFactory(PrintSurfaceFactory factory)
{
    printSurfaceFactory_ = std::move(factory);
}

void TfrmTemplateResults::SetQuitHandler(std::function<void()> quit) { quit_ = std::move(quit); }

// ---- Handlers ---------------------------------------------------------------------

void TfrmTemplateResults::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!centred_) {
        centred_ = true;
        platform::CentreOnScreen(this);
    }
    platform::BringToFront(this);
}

void TfrmTemplateResults::closeEvent(QCloseEvent* event)
{
    platform::CloseAsExit(this, event, ending_, [this] { EndProgram(); });
}

void TfrmTemplateResults::cmdReturnClick()
{
    platform::RunCommand([&] {
        hide();
        emit ReturnToWorksheet();
    });
}

void TfrmTemplateResults::cmdClearResultsClick()
{
    platform::RunCommand([&] {
        appending_ = true;
        memoResults->clear();
        appending_ = false;
        editedByHand_ = false;
        ShowCaption();
        // The figure belonged to the cleared results: Show Figure and
        // Save as PDF no longer offer it.
        frmFigure->ClearFigure();
        mnuShowFigure->setEnabled(false);
        SetSummary("");
    });
}

void TfrmTemplateResults::cmdSaveOutputClick()
{
    platform::RunCommand([&] {
        const std::optional<std::string> fileName = saveDialog_->Execute();
        if (!fileName) return;
        platform::WriteWholeFile(*fileName, TextForFile());
    });
}

void TfrmTemplateResults::cmdExitClick()
{
    platform::AskToExit([this] { EndProgram(); });
}

void TfrmTemplateResults::mnuPrintClick()
{
    platform::RunCommand([&] { PrintText(memoResults->toPlainText()); });
}

void TfrmTemplateResults::mnuPrintSelectionClick()
{
    platform::RunCommand([&] {
        const QTextCursor cursor = memoResults->textCursor();
        if (!cursor.hasSelection()) {
            platform::ShowWarning("You have not selected any text.");
            return;
        }
        PrintText(cursor.selectedText());
    });
}

void TfrmTemplateResults::mnuShowFigureClick()
{
    platform::RunCommand([&] {
        if (!frmFigure->Figure()) return;
        frmFigure->show();
        frmFigure->raise();
        frmFigure->activateWindow();
    });
}

QFont TfrmTemplateResults::PrintFont() const { return platform::ReportPrintFont(); }

void TfrmTemplateResults::PrintText(const QString& text)
{
    std::unique_ptr<platform::PrintSurface> surface = printSurfaceFactory_(PrintFont());
    if (!surface) return;  // the print dialog was cancelled
    platform::PrintFramedDocument(*surface, WithCrLf(text).toStdU32String(), platform::ReportPageFrame());
}

void TfrmTemplateResults::mnuSavePdfClick()
{
    platform::RunCommand([&] {
        const std::optional<std::string> fileName = pdfSaveDialog_->Execute();
        if (!fileName) return;
        const std::vector<platform::ExtraPagePainter> extra =
            pdfExtraPages_ ? pdfExtraPages_() : std::vector<platform::ExtraPagePainter>{};
        platform::WriteReportPdf(*fileName, PrintFont(), WithCrLf(memoResults->toPlainText()).toStdU32String(),
                                 extra);
    });
}

void TfrmTemplateResults::SetPdfSaveDialog(std::unique_ptr<platform::SaveDialog> dialog)
{
    pdfSaveDialog_ = std::move(dialog);
}

void TfrmTemplateResults::SetPdfExtraPages(std::function<std::vector<platform::ExtraPagePainter>()> pages)
{
    pdfExtraPages_ = std::move(pages);
}

void TfrmTemplateResults::EndProgram()
{
    ending_ = true;
    if (quit_) quit_();
}
