// The results window: the report as lines, Save Output, printing (to a
// recording surface, through the system's print dialog and as a PDF), the
// report read-only until "Edit report", and every way out of the window.
#include "tests/support/command_output.h"
#include "tests/support/recording_print_surface.h"
#include "tests/support/scripted_save_dialog.h"

#include <functional>
#include <iterator>

#include <QAction>
#include <QClipboard>
#include <QFontInfo>
#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <QTimer>
#include <QWindow>

#include "desktop/dialogs/qt_print_surface.h"
#include "pdf_print_surface.h"
#include "desktop/results/figure_view.h"
#include "desktop_fixture.h"
#include "render/report_pdf.h"

namespace {

namespace fs = std::filesystem;
using platform::Answer;
using platform::MessageKind;
using platform::RecordingPrintSurface;
using Op = RecordingPrintSurface::Op;

// The window drops its surface once printed: the test keeps what was done to it.
struct KeptSurface : RecordingPrintSurface {
    explicit KeptSurface(RecordingPrintSurface& kept) : RecordingPrintSurface(kept), kept_(kept) { log.clear(); }
    ~KeptSurface() override { kept_.log.insert(kept_.log.end(), log.begin(), log.end()); }
    RecordingPrintSurface& kept_;
};

const std::vector<std::string> kReport = {"", "Harrow: report", " One-tailed probability = 0.02000 "};
const std::string kReportText = "\r\nHarrow: report\r\n One-tailed probability = 0.02000 \r\n";

// A report of many pages, with characters from outside Latin-1.
QString LongReport()
{
    QString text = QStringLiteral("Größe €ł: Bayesian test for a deficit\n");
    for (int i = 1; i <= 150; ++i) text += QStringLiteral("Report line %1 of the results\n").arg(i);
    return text + QStringLiteral("Notes: Zażółć gęślą jaźń\n");
}

std::string PdfText(const fs::path& pdf) { return CommandOutput("pdftotext -layout '" + pdf.string() + "' - 2>/dev/null"); }

// Every line of the long report is in the PDF's text, in order.
void ExpectEveryLine(const fs::path& pdf)
{
    const std::string text = PdfText(pdf);
    std::size_t from = 0;
    for (const QString& line : LongReport().split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const std::size_t at = text.find(line.toStdString(), from);
        ASSERT_NE(at, std::string::npos) << line.toStdString();
        from = at;
    }
}

class ResultsWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temporary.isValid());
        auto d = std::make_unique<platform::ScriptedSaveDialog>();
        dialog = d.get();
        window.SetSaveDialog(std::move(d));
        auto p = std::make_unique<platform::ScriptedSaveDialog>("results.pdf", "*.pdf");
        pdfSaves = p.get();
        window.SetPdfSaveDialog(std::move(p));
        window.SetPrintSurfaceFactory([this](const QFont& font) {
            ++printsStarted;
            printFont = font;
            return std::make_unique<KeptSurface>(surface);
        });
        window.SetQuitHandler([this] { ++quits; });
    }
    // Shown and active with the short report, the focus in the memo.
    void ShowReport()
    {
        window.SetCaption("Results viewer: Harrow");
        window.show();
        ASSERT_TRUE(WaitUntilActive(&window));
        window.AppendLines(kReport);
        Memo().setFocus(Qt::MouseFocusReason);
    }
    QPlainTextEdit& Memo() { return *window.memoResults; }

    static std::string Read(const fs::path& p) { return desktop_test::FileText(p.string()); }
    std::string Drawn() const
    {
        std::string all;
        for (const auto& e : surface.Draws()) {
            for (char32_t c : e.text) all += static_cast<char>(c);
            all += '|';
        }
        return all;
    }
    void ExpectOneMessage(MessageKind kind, const std::string& part)
    {
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].kind, kind);
        EXPECT_NE(messages.shown[0].text.find(part), std::string::npos) << messages.shown[0].text;
    }

    platform::RecordingMessages messages;
    platform::ScopedMessages scoped{messages};
    TfrmTemplateResults window;
    platform::ScriptedSaveDialog* dialog = nullptr;
    platform::ScriptedSaveDialog* pdfSaves = nullptr;
    RecordingPrintSurface surface{2000, 3000, 10, 12};
    int printsStarted = 0;
    QFont printFont;
    int quits = 0;
    QTemporaryDir temporary;
    fs::path dir{temporary.path().toStdString()};
};

TEST_F(ResultsWindowTest, IsBuiltAsDesigned)
{
    EXPECT_EQ(window.windowTitle(), "Output");
    EXPECT_FALSE(window.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(QFontInfo(Memo().font()).fixedPitch());  // the report's columns line up
    EXPECT_EQ(Memo().accessibleName(), "Report");
    // The selection stays visible while another window is active.
    EXPECT_EQ(Memo().palette().color(QPalette::Inactive, QPalette::Highlight),
              Memo().palette().color(QPalette::Active, QPalette::Highlight));
    // The buttons in tab order.
    const QPushButton* buttons[] = {window.cmdSaveOutput, window.cmdClearResults, window.cmdReturn, window.cmdExit};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(buttons[i]->nextInFocusChain(), buttons[i + 1]) << i;
    EXPECT_EQ(window.cmdSaveOutput->text() + window.cmdClearResults->text() + window.cmdReturn->text() +
                  window.cmdExit->text(),
              "&Save Output&Clear Results&Return to WorksheetE&xit");
    // Every menu and item has its mnemonic; the File items show their shortcuts.
    const QList<QAction*> menus = window.menuBar()->actions();
    ASSERT_GE(menus.size(), 3);
    EXPECT_EQ(menus[0]->text() + menus[1]->text() + menus[2]->text(), "&FileF&igure&Edit");
    for (QAction* menu : menus)
        for (QAction* item : menu->menu()->actions())
            if (!item->isSeparator()) {
                EXPECT_TRUE(item->text().contains('&')) << item->text().toStdString();
            }
    const std::pair<QAction*, QKeySequence> shortcuts[] = {{window.mnuSaveOutput, QKeySequence::Save},
                                                          {window.mnuPrint, QKeySequence::Print},
                                                          {window.mnuExit, QKeySequence(Qt::CTRL | Qt::Key_Q)}};
    for (const auto& [item, keys] : shortcuts) {
        EXPECT_EQ(item->shortcut(), keys) << item->text().toStdString();
        EXPECT_TRUE(menus[0]->menu()->actions().contains(item));
    }
}

TEST_F(ResultsWindowTest, ShownCentredWithTheFocusOnReturnAndALineWholeUntilNarrowed)
{
    // The test screen is 800 pixels wide: a smaller font lets the window fit it.
    QFont font = Memo().font();
    font.setPixelSize(9);
    Memo().setFont(font);
    window.SetCaption("Results viewer: title");
    window.AppendLines({std::string(102, '_'), ProgramTitle, " Test No.1   Memory"});
    window.show();
    ASSERT_TRUE(WaitUntilActive(&window));
    EXPECT_EQ(window.windowTitle(), "Results viewer: title");
    EXPECT_EQ(window.focusWidget(), window.cmdReturn);
    EXPECT_LE((window.frameGeometry().center() - window.screen()->availableGeometry().center()).manhattanLength(), 2);
    auto wrapped = [&] {
        QApplication::processEvents();
        int lines = 0;
        for (QTextBlock b = Memo().document()->begin(); b.isValid(); b = b.next())
            lines += std::max(1, b.layout()->lineCount());
        return lines > Memo().document()->blockCount();
    };
    EXPECT_FALSE(wrapped());
    EXPECT_LE(window.width(), window.screen()->availableGeometry().width());
    window.resize(window.width() / 2, window.height());
    EXPECT_TRUE(wrapped());
    window.resize(window.width() * 2, window.height() + 100);
    EXPECT_FALSE(wrapped());
    window.hide();
}

TEST_F(ResultsWindowTest, LinesAccumulateEachEndingWithCrLfAndClearEmptiesTextAndFigure)
{
    window.AppendLine("");
    window.AppendLine(" Title");
    window.AppendLines({" ", "   1.00000   ", ""});
    window.AppendLines({});
    EXPECT_EQ(window.LineCount(), 5);
    EXPECT_EQ(window.TextForFile(), "\r\n Title\r\n \r\n   1.00000   \r\n\r\n");
    // Text typed after the last line stays a line of its own.
    Memo().setPlainText("typed by hand");
    window.AppendLine("appended");
    EXPECT_EQ(window.LineCount(), 2);
    EXPECT_EQ(window.TextForFile(), "typed by hand\r\nappended\r\n");

    // Clear Results takes the figure and the summary with the text, unasked.
    window.SetFigure(FigureData{});
    window.SetSummary("Compared with 20 controls");
    ASSERT_TRUE(window.mnuShowFigure->isEnabled());
    ASSERT_TRUE(window.mnuCopySummary->isEnabled());
    window.mnuShowFigure->trigger();
    EXPECT_TRUE(window.frmFigure->isVisible());
    QTest::mouseClick(window.cmdClearResults, Qt::LeftButton);
    EXPECT_EQ(window.LineCount(), 0);
    EXPECT_TRUE(Memo().toPlainText().isEmpty());
    EXPECT_EQ(window.frmFigure->Figure(), nullptr);
    EXPECT_FALSE(window.frmFigure->isVisible());
    EXPECT_FALSE(window.mnuShowFigure->isEnabled());
    EXPECT_FALSE(window.mnuCopySummary->isEnabled());
    QTest::mouseClick(window.cmdClearResults, Qt::LeftButton);  // on an empty memo: nothing happens
    EXPECT_EQ(window.LineCount(), 0);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ResultsWindowTest, SaveOutputWritesTheExactBytesAndACancelWritesNothing)
{
    // UTF-8 in, UTF-8 out: every character kept (the euro sign, a Polish l).
    window.AppendLines({"", " Caf\xC3\xA9 \t 1.500 \xE2\x82\xAC \xC5\x82", "  "});
    const fs::path file = dir / "a.txt";
    dialog->ScriptAnswer(file.string());
    window.cmdSaveOutput->click();
    EXPECT_EQ(Read(file), std::string("\r\n Caf\xC3\xA9 \t 1.500 \xE2\x82\xAC \xC5\x82\r\n  \r\n"));

    // Hand-edited text is saved as edited, with no line break added; a
    // name without an extension gets ".txt".
    Memo().setPlainText("edited\nby hand");
    dialog->ScriptAnswer((dir / "noextension").string());
    window.cmdSaveOutput->click();
    EXPECT_EQ(Read(dir / "noextension.txt"), "edited\r\nby hand");
    EXPECT_FALSE(fs::exists(dir / "noextension"));

    // The names proposed and the extension added are the save dialog's own tests.
    window.cmdSaveOutput->click();  // the scripted dialog cancels
    EXPECT_EQ(dialog->calls.size(), 3u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
    EXPECT_TRUE(messages.shown.empty());
}

// What a failed write leaves (no file, or the old one intact) is the text
// file writer's own test; the window shows the reason and keeps the report.
TEST_F(ResultsWindowTest, AFailedSaveSaysWhyAndKeepsTheReport)
{
    window.AppendLine("text");
    const fs::path missing = dir / "missing" / "a.txt";
    dialog->ScriptAnswer(missing.string());
    window.cmdSaveOutput->click();
    ExpectOneMessage(MessageKind::Error, "No such file or directory");
    EXPECT_NE(messages.shown[0].text.find(missing.string()), std::string::npos);
    EXPECT_TRUE(fs::is_empty(dir));
    EXPECT_EQ(window.TextForFile(), "text\r\n");
}

// Framed as the report's PDF: the header line, the text from the top of the
// page below it (blank lines before it left out), the date and "Page n of m".
TEST_F(ResultsWindowTest, PrintAllSendsTheWholeTextFramedInCourierNewAtSevenPoints)
{
    window.mnuPrint->trigger();  // an empty memo: one framed page
    EXPECT_EQ(surface.Count(Op::Draw), 3);
    EXPECT_EQ(surface.log[3].text, U"Page 1 of 1");
    surface.log.clear();

    window.AppendLines({"", "first", "\tsecond"});
    window.mnuPrint->trigger();
    ASSERT_EQ(printsStarted, 2);
    EXPECT_EQ(printFont.family(), "Courier New");
    EXPECT_EQ(printFont.pointSize(), 7);
    const platform::PageFrame frame = platform::ReportPageFrame();
    std::string header, date;
    for (char32_t c : frame.header) header += static_cast<char>(c);
    for (char32_t c : frame.date) date += static_cast<char>(c);
    // Where each run goes is the print layout's own test.
    EXPECT_EQ(Drawn(), header + "|first|second|" + date + "|Page 1 of 1|");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ResultsWindowTest, PrintSelectionPrintsExactlyTheSelectedCharactersAndWarnsWithoutOne)
{
    window.AppendLines({"alpha beta", "gamma", "delta epsilon"});
    window.mnuPrintSelection->trigger();
    ExpectOneMessage(MessageKind::Warning, "You have not selected any text.");
    EXPECT_EQ(printsStarted, 0);

    messages.Clear();
    QTextCursor selection = Memo().textCursor();  // from "beta" to "delta" across three lines
    selection.setPosition(6);
    selection.setPosition(22, QTextCursor::KeepAnchor);
    Memo().setTextCursor(selection);
    window.mnuPrintSelection->trigger();
    EXPECT_TRUE(messages.shown.empty());
    const auto draws = surface.Draws();
    ASSERT_EQ(draws.size(), 6u);  // the header, three lines, the footer's two runs
    EXPECT_EQ(draws[1].text + U"|" + draws[2].text + U"|" + draws[3].text, U"beta|gamma|delta");
    EXPECT_EQ(draws[1].x, 0);
}

TEST_F(ResultsWindowTest, PrintFailureShowsTheErrorAndChangesNothing)
{
    window.AppendLine("text");
    window.SetPrintSurfaceFactory([](const QFont&) -> std::unique_ptr<platform::PrintSurface> {
        throw platform::PrintError("There is no default printer: no printer is installed.");
    });
    window.mnuPrint->trigger();
    ExpectOneMessage(MessageKind::Error, "There is no default printer: no printer is installed.");
    EXPECT_EQ(window.TextForFile(), "text\r\n");

    // A job that fails part way (dropped: the print layout's test).
    window.SetPrintSurfaceFactory([this](const QFont&) { return std::make_unique<KeptSurface>(surface); });
    surface.failOnDraw = "The print job failed.";
    window.mnuPrint->trigger();
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].text, "The print job failed.");
}

// Without a printer installed the system's print dialog is still offered
// (it prints to a file): cancelled, nothing happens; "print to file" gives a
// PDF with every line.
TEST_F(ResultsWindowTest, PrintOffersTheSystemsPrintDialog)
{
    TfrmTemplateResults plain;  // the real printer path
    plain.memoResults->setPlainText(LongReport());
    bool asked = false;
    AnswerNextModal([&](QWidget* modal) {
        asked = qobject_cast<QPrintDialog*>(modal) != nullptr;
        static_cast<QDialog*>(modal)->reject();
    });
    plain.mnuPrint->trigger();
    EXPECT_TRUE(asked);
    EXPECT_TRUE(messages.shown.empty());

    const fs::path pdf = dir / "printed.pdf";
    AnswerNextModal([&](QWidget* modal) {
        auto* print = qobject_cast<QPrintDialog*>(modal);
        ASSERT_NE(print, nullptr);
        print->printer()->setOutputFormat(QPrinter::PdfFormat);
        print->printer()->setOutputFileName(QString::fromStdString(pdf.string()));
        print->done(QDialog::Accepted);
    });
    plain.mnuPrint->trigger();
    EXPECT_TRUE(messages.shown.empty());
    ASSERT_TRUE(fs::exists(pdf));
    ExpectEveryLine(pdf);
}

// "Save as P&DF..." holds every line on the printout's own pages.
TEST_F(ResultsWindowTest, SaveAsPdfHoldsEveryLineOnThePrintoutsPagesOrSaysWhyNot)
{
    Memo().setPlainText(LongReport());
    const fs::path pdf = dir / "report.pdf";
    pdfSaves->ScriptAnswer(pdf.string());
    ASSERT_EQ(window.mnuSavePdf->text(), "Save as P&DF...");
    window.mnuSavePdf->trigger();
    EXPECT_TRUE(messages.shown.empty());
    ASSERT_TRUE(fs::exists(pdf));
    ExpectEveryLine(pdf);
    const fs::path printed = dir / "printed.pdf";
    platform::PrintFramedDocument(*PdfPrintSurface(printed.string(), platform::ReportPrintFont()),
                                  LongReport().replace(QLatin1String("\n"), QLatin1String("\r\n")).toStdU32String(),
                                  platform::ReportPageFrame());
    EXPECT_EQ(PdfText(pdf), PdfText(printed));

    // A folder that is not there: a message and no file; cancelled: nothing.
    const fs::path missing = dir / "missing" / "report.pdf";
    pdfSaves->ScriptAnswer(missing.string());
    window.mnuSavePdf->trigger();
    ExpectOneMessage(MessageKind::Error, "");
    EXPECT_FALSE(fs::exists(missing));
    messages.Clear();
    window.mnuSavePdf->trigger();
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ResultsWindowTest, KeysTypedIntoTheReportChangeNothingUntilEditReportIsChosen)
{
    ShowReport();
    const std::pair<const char*, std::function<void(QWidget*)>> strays[] = {
        {"letters", [](QWidget* w) { QTest::keyClicks(w, "typed by accident"); }},
        {"Return", [](QWidget* w) { QTest::keyClick(w, Qt::Key_Return); }},
        {"Delete", [](QWidget* w) { QTest::keyClick(w, Qt::Key_Delete); }},
        {"Backspace", [](QWidget* w) { QTest::keyClick(w, Qt::Key_Backspace); }},
        {"Ctrl+Z", [](QWidget* w) { QTest::keyClick(w, Qt::Key_Z, Qt::ControlModifier); }},
        {"Ctrl+X", [](QWidget* w) { QTest::keyClick(w, Qt::Key_X, Qt::ControlModifier); }},
        {"Ctrl+V", [](QWidget* w) { QTest::keyClick(w, Qt::Key_V, Qt::ControlModifier); }},
    };
    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    for (const auto& [what, press] : strays) {
        QTest::keyClick(&Memo(), Qt::Key_A, Qt::ControlModifier);
        press(&Memo());
        EXPECT_EQ(window.TextForFile(), kReportText) << what;
    }
    EXPECT_FALSE(window.EditedByHand());
    EXPECT_EQ(window.windowTitle(), "Results viewer: Harrow");
    // Selecting and copying still work.
    QTest::keyClick(&Memo(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&Memo(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "\nHarrow: report\n One-tailed probability = 0.02000 \n");
}

TEST_F(ResultsWindowTest, AfterEditReportTypingChangesTheReportButUndoNeverTakesAReportAway)
{
    ShowReport();
    window.mnuEditReport->trigger();
    ASSERT_TRUE(window.mnuEditReport->isChecked());
    // Undo right after a run keeps the new report.
    window.AppendLines({std::string(102, '_'), "second report"});
    const std::string both = window.TextForFile();
    QTest::keyClick(&Memo(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(window.TextForFile(), both);
    EXPECT_FALSE(window.EditedByHand());

    Memo().moveCursor(QTextCursor::End);
    QTest::keyClicks(&Memo(), "my note");
    EXPECT_EQ(window.TextForFile(), both + "my note");
    EXPECT_TRUE(window.EditedByHand());
    EXPECT_EQ(window.windowTitle(), "Results viewer: Harrow (edited by hand)");
    for (int i = 0; i < 20; ++i) QTest::keyClick(&Memo(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(window.TextForFile(), both);

    // Read-only again once "Edit report" is unchecked.
    window.mnuEditReport->trigger();
    QTest::keyClicks(&Memo(), "more");
    EXPECT_EQ(window.TextForFile(), both);
}

// Exit by the button, by Enter on it, by Ctrl+Q and by the window manager's
// close: each asks; No keeps the window and the report, Yes ends. A window
// of its own each: once Yes is answered the window is ending and asks no more.
TEST_F(ResultsWindowTest, EveryWayOutAsksFirst)
{
    const std::pair<const char*, std::function<bool(TfrmTemplateResults&)>> ways[] = {
        {"Exit clicked", [](TfrmTemplateResults& w) { QTest::mouseClick(w.cmdExit, Qt::LeftButton); return true; }},
        {"Enter on Exit", [](TfrmTemplateResults& w) {
             w.cmdExit->setFocus(Qt::TabFocusReason);
             QTest::keyClick(w.cmdExit, Qt::Key_Return);
             return true;
         }},
        {"Ctrl+Q", [](TfrmTemplateResults& w) { QTest::keyClick(&w, Qt::Key_Q, Qt::ControlModifier); return true; }},
        {"window manager", [](TfrmTemplateResults& w) { return w.windowHandle()->close(); }},
    };
    for (const auto& [what, leave] : ways) {
        SCOPED_TRACE(what);
        TfrmTemplateResults shown;
        shown.SetQuitHandler([this] { ++quits; });
        shown.AppendLine("unsaved");
        shown.show();
        ASSERT_TRUE(WaitUntilActive(&shown));
        messages.Clear();
        quits = 0;
        messages.ScriptAnswers({Answer::No});
        EXPECT_EQ(leave(shown), std::string(what) != "window manager");
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].kind, MessageKind::Confirmation);
        EXPECT_EQ(messages.shown[0].text, "Exit from program?");
        EXPECT_TRUE(shown.isVisible());
        EXPECT_EQ(quits, 0);
        EXPECT_EQ(shown.TextForFile(), "unsaved\r\n");
        EXPECT_TRUE(leave(shown));  // Yes
        EXPECT_EQ(quits, 1);
    }
    // F10 opens the first menu (Alt and a letter work on a real display:
    // the accessibility run uses them).
    window.show();
    ASSERT_TRUE(WaitUntilActive(&window));
    QTest::keyClick(window.cmdReturn, Qt::Key_F10);
    auto* fileMenu = qobject_cast<QMenu*>(window.mnuSaveOutput->parent());
    ASSERT_NE(fileMenu, nullptr);
    EXPECT_EQ(QApplication::activePopupWidget(), fileMenu);
    fileMenu->close();
    window.hide();
}

TEST_F(ResultsWindowTest, ReturnHidesAndCallsTheWorksheet)
{
    int returns = 0;
    bool hiddenWhenCalled = false;
    QObject::connect(&window, &TfrmTemplateResults::ReturnToWorksheet, [&] {
        ++returns;
        hiddenWhenCalled = !window.isVisible();
    });
    window.AppendLine("kept");
    window.show();
    window.cmdReturn->click();
    EXPECT_EQ(returns, 1);
    EXPECT_TRUE(hiddenWhenCalled);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.TextForFile(), "kept\r\n");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ResultsWindowTest, AnErrorInAHandlerBecomesAnErrorBox)
{
    class ThrowingDialog : public platform::SaveDialog {
    protected:
        std::optional<std::string> AskFileName(const std::string&, const std::string&, bool) override
        {
            throw std::runtime_error("dialog broke");
        }
    };
    window.SetSaveDialog(std::make_unique<ThrowingDialog>());
    window.cmdSaveOutput->click();
    ExpectOneMessage(MessageKind::Error, "dialog broke");
}

// The real quit handler: Yes to "Exit from program?", by the button or the
// window manager's close, ends the event loop, asked once, not again while
// ending.
TEST(ResultsWindowExit, YesEndsTheProgramsEventLoop)
{
    for (bool byButton : {true, false}) {
        SCOPED_TRACE(byButton ? "Exit" : "close");
        platform::RecordingMessages messages;
        platform::ScopedMessages scoped(messages);
        TfrmTemplateResults window;
        window.show();
        if (byButton)
            QTimer::singleShot(0, window.cmdExit, &QPushButton::click);
        else
            QTimer::singleShot(0, &window, &QWidget::close);
        // Only if the exit failed; tied to the window so it cannot end a later test.
        QTimer::singleShot(kGenerousWaitMs, &window, [] { QCoreApplication::exit(7); });
        EXPECT_EQ(QApplication::exec(), 0);
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, "Exit from program?");
    }
}

}  // namespace
