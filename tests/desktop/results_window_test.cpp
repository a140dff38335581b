#include "tests/support/scripted_save_dialog.h"
#include "tests/support/recording_messages.h"
#include "desktop/results/results_window.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <QAction>
#include <QApplication>
#include <QFontInfo>
#include <QMenu>
#include <QMenuBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QPlainTextEdit>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextCursor>
#include <QTimer>
#include <QTest>
#include <QWindow>

#include "foundation/messages.h"
#include "modal_answerer.h"
#include "desktop/dialogs/qt_print_surface.h"
#include "render/report_pdf.h"
#include "tests/support/recording_print_surface.h"
#include "analysis/files/save_dialog.h"
#include "analysis/worksheet/worksheet_data.h"

namespace {

namespace fs = std::filesystem;
using platform::MessageKind;
using platform::RecordingPrintSurface;
using Op = RecordingPrintSurface::Op;

// Hands the window a surface the test keeps looking at.
class SharedSurface : public platform::PrintSurface {
public:
    explicit SharedSurface(RecordingPrintSurface& s) : s_(s) {}
    void BeginDocument() override { s_.BeginDocument(); }
    void EndDocument() override { s_.EndDocument(); }
    void AbortDocument() noexcept override { s_.AbortDocument(); }
    void NewPage() override { s_.NewPage(); }
    int PageWidth() const override { return s_.PageWidth(); }
    int PageHeight() const override { return s_.PageHeight(); }
    int CharHeight() const override { return s_.CharHeight(); }
    int AverageCharWidth() const override { return s_.AverageCharWidth(); }
    int MeasureRun(const std::u32string& r) const override { return s_.MeasureRun(r); }
    void DrawRun(int x, int y, const std::u32string& r) override { s_.DrawRun(x, y, r); }

private:
    RecordingPrintSurface& s_;
};

class ResultsWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/harrow_results_XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir = tmpl;

        auto d = std::make_unique<platform::ScriptedSaveDialog>();
        dialog = d.get();
        window.SetSaveDialog(std::move(d));
        window.SetPrintSurfaceFactory([this](const QFont& font) {
            ++printsStarted;
            printFont = font;
            return std::make_unique<SharedSurface>(surface);
        });
        window.SetQuitHandler([this] { ++quits; });
    }
    void TearDown() override { fs::remove_all(dir); }

    static std::string Read(const fs::path& p)
    {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::string Drawn() const
    {
        std::string all;
        for (const auto& e : surface.Draws()) {
            for (char32_t c : e.text) all += static_cast<char>(c);
            all += '|';
        }
        return all;
    }
    void SelectChars(int from, int to)
    {
        QTextCursor c = window.memoResults->textCursor();
        c.setPosition(from);
        c.setPosition(to, QTextCursor::KeepAnchor);
        window.memoResults->setTextCursor(c);
    }

    platform::RecordingMessages messages;
    platform::ScopedMessages scoped{messages};
    TfrmTemplateResults window;
    platform::ScriptedSaveDialog* dialog = nullptr;
    RecordingPrintSurface surface{2000, 3000, 10, 12};
    int printsStarted = 0;
    QFont printFont;
    int quits = 0;
    fs::path dir;
};

TEST_F(ResultsWindowTest, IsBuiltAsDesigned)
{
    EXPECT_EQ(window.windowTitle(), "Output");
    EXPECT_FALSE(window.isVisible());
    EXPECT_GT(window.maximumWidth(), window.width());  // resizable
    const Qt::WindowFlags flags = window.windowFlags();
    EXPECT_TRUE(flags & Qt::WindowTitleHint);
    EXPECT_TRUE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowCloseButtonHint);

    QPlainTextEdit* memo = window.memoResults;
    EXPECT_TRUE(memo->toPlainText().isEmpty());
    EXPECT_EQ(memo->font().family(), "Courier New");
    EXPECT_TRUE(QFontInfo(memo->font()).fixedPitch());
    EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(memo->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(memo->palette().color(QPalette::Inactive, QPalette::Highlight),
              memo->palette().color(QPalette::Active, QPalette::Highlight));

    struct Expect {
        QPushButton* button;
        const char* name;
        const char* caption;
    };
    const Expect buttons[] = {{window.cmdSaveOutput, "cmdSaveOutput", "&Save Output"},
                              {window.cmdClearResults, "cmdClearResults", "&Clear Results"},
                              {window.cmdReturn, "cmdReturn", "&Return to Worksheet"},
                              {window.cmdExit, "cmdExit", "E&xit"}};
    for (const Expect& e : buttons) {
        EXPECT_EQ(e.button->objectName(), e.name);
        EXPECT_EQ(e.button->text(), e.caption);
        EXPECT_TRUE(e.button->font().bold());
    }
    // Tab order 1 to 4.
    EXPECT_EQ(window.cmdSaveOutput->nextInFocusChain(), window.cmdClearResults);
    EXPECT_EQ(window.cmdClearResults->nextInFocusChain(), window.cmdReturn);
    EXPECT_EQ(window.cmdReturn->nextInFocusChain(), window.cmdExit);

    // Every menu and item has its mnemonic; the items show their shortcuts.
    const QList<QAction*> menus = window.menuBar()->actions();
    ASSERT_GE(menus.size(), 3);
    EXPECT_EQ(menus[0]->text(), "&File");
    EXPECT_EQ(menus[1]->text(), "F&igure");
    EXPECT_EQ(menus[2]->text(), "&Edit");
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

TEST_F(ResultsWindowTest, AReportLineShowsWholeAtTheDefaultSizeAndReflowsWhenNarrowed)
{
    // The test screen is 800 pixels wide: a smaller font lets the window fit it.
    QFont font = window.memoResults->font();
    font.setPixelSize(9);
    window.memoResults->setFont(font);
    const std::string separator(102, '_');
    window.AppendLines({separator, ProgramTitle, " Test No.1   Memory"});
    window.show();
    ASSERT_TRUE(WaitUntilActive(&window));
    auto wrapped = [&] {
        QApplication::processEvents();
        int lines = 0;
        for (QTextBlock b = window.memoResults->document()->begin(); b.isValid(); b = b.next())
            lines += std::max(1, b.layout()->lineCount());
        return lines > window.memoResults->document()->blockCount();
    };
    EXPECT_FALSE(wrapped());
    EXPECT_LE(window.width(), window.screen()->availableGeometry().width());
    window.resize(window.width() / 2, window.height());
    EXPECT_TRUE(wrapped());
    window.resize(window.width() * 2, window.height() + 100);
    EXPECT_FALSE(wrapped());
    window.hide();
}

TEST_F(ResultsWindowTest, ShowingPutsTheFocusOnReturnAndCaptionCanBeSet)
{
    window.SetCaption("Results viewer: title");
    window.show();
    QApplication::processEvents();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(QApplication::activeWindow(), &window);
    const QPoint screenCentre = window.screen()->availableGeometry().center();
    EXPECT_LE((window.frameGeometry().center() - screenCentre).manhattanLength(), 2);
    EXPECT_EQ(window.focusWidget(), window.cmdReturn);
    EXPECT_EQ(window.windowTitle(), "Results viewer: title");
    window.hide();
}

TEST_F(ResultsWindowTest, AppendedLinesAreCountedAndEachEndsWithCrLf)
{
    EXPECT_EQ(window.LineCount(), 0);
    EXPECT_EQ(window.TextForFile(), "");
    window.AppendLine("");
    EXPECT_EQ(window.LineCount(), 1);
    window.AppendLine(" Title");
    window.AppendLines({" ", "   1.00000   ", ""});
    EXPECT_EQ(window.LineCount(), 5);
    EXPECT_EQ(window.TextForFile(), "\r\n Title\r\n \r\n   1.00000   \r\n\r\n");
    window.AppendLines({});
    EXPECT_EQ(window.LineCount(), 5);
}

TEST_F(ResultsWindowTest, TextTypedAfterTheLastLineStaysALineOfItsOwn)
{
    window.memoResults->setPlainText("typed by hand");
    EXPECT_EQ(window.LineCount(), 1);
    window.AppendLine("appended");
    EXPECT_EQ(window.LineCount(), 2);
    EXPECT_EQ(window.TextForFile(), "typed by hand\r\nappended\r\n");
}

TEST_F(ResultsWindowTest, TwoReportsAccumulateAndClearEmptiesWithoutAsking)
{
    window.AppendLines({"", "report one"});
    window.AppendLines({std::string(102, '_'), "", "report two"});
    EXPECT_EQ(window.LineCount(), 5);
    EXPECT_NE(window.TextForFile().find("report one\r\n"), std::string::npos);

    window.cmdClearResults->click();
    EXPECT_EQ(window.LineCount(), 0);
    EXPECT_TRUE(window.memoResults->toPlainText().isEmpty());
    window.cmdClearResults->click();   // on an empty memo: nothing happens
    EXPECT_EQ(window.LineCount(), 0);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ResultsWindowTest, SaveOutputWritesTheExactBytes)
{
    // UTF-8 in, UTF-8 out: every character kept (the euro sign, a Polish l).
    window.AppendLines({"", " Caf\xC3\xA9 \t 1.500 \xE2\x82\xAC \xC5\x82", "  "});
    const fs::path file = dir / "a.txt";
    dialog->ScriptAnswer(file.string());
    window.cmdSaveOutput->click();
    EXPECT_EQ(Read(file), std::string("\r\n Caf\xC3\xA9 \t 1.500 \xE2\x82\xAC \xC5\x82\r\n  \r\n"));
    EXPECT_TRUE(messages.shown.empty());

    // Hand-edited text is saved as edited, with no line break added; a
    // name without an extension gets ".txt".
    window.memoResults->setPlainText("edited\nby hand");
    const fs::path bare = dir / "noextension";
    dialog->ScriptAnswer(bare.string());
    window.cmdSaveOutput->click();
    EXPECT_EQ(Read(dir / "noextension.txt"), "edited\r\nby hand");
    EXPECT_FALSE(fs::exists(bare));

    ASSERT_EQ(dialog->calls.size(), 2u);
    EXPECT_EQ(dialog->calls[0].proposed, "results.txt");
    EXPECT_EQ(dialog->calls[0].filter, "Text files (*.txt)");
    EXPECT_TRUE(dialog->calls[0].overwritePrompt);
    EXPECT_EQ(dialog->calls[1].proposed, file.string());   // the last name chosen
}

TEST_F(ResultsWindowTest, CancelledSaveWritesNothing)
{
    window.AppendLine("text");
    window.cmdSaveOutput->click();   // the scripted dialog cancels
    EXPECT_EQ(dialog->calls.size(), 1u);
    EXPECT_TRUE(fs::is_empty(dir));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ResultsWindowTest, FailedSaveShowsTheReasonAndLeavesNoFile)
{
    window.AppendLine("text");
    window.show();
    const fs::path file = dir / "missing" / "a.txt";
    dialog->ScriptAnswer(file.string());
    window.cmdSaveOutput->click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].kind, MessageKind::Error);
    EXPECT_NE(messages.shown[0].text.find("No such file or directory"), std::string::npos);
    EXPECT_NE(messages.shown[0].text.find(file.string()), std::string::npos);
    EXPECT_TRUE(fs::is_empty(dir));
    EXPECT_EQ(window.TextForFile(), "text\r\n");
    EXPECT_TRUE(window.isVisible());
    window.hide();
}

TEST_F(ResultsWindowTest, SaveFailingPartWayLeavesTheOldFileIntact)
{
    const fs::path file = dir / "a.txt";
    std::ofstream(file, std::ios::binary) << "old report\r\n";
    window.AppendLines(std::vector<std::string>(200, std::string(60, 'x')));
    dialog->ScriptAnswer(file.string());

    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    window.cmdSaveOutput->click();
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].kind, MessageKind::Error);
    EXPECT_NE(messages.shown[0].text.find("File too large"), std::string::npos);
    EXPECT_EQ(Read(file), "old report\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

// Framed as the report's PDF: the header line, the text from the top of the
// page below it (blank lines before it left out), the date and "Page n of m".
TEST_F(ResultsWindowTest, PrintAllSendsTheWholeTextFramedInCourierNewAtSevenPoints)
{
    window.AppendLines({"", "first", "\tsecond"});
    window.mnuPrint->trigger();
    ASSERT_EQ(printsStarted, 1);
    EXPECT_EQ(printFont.family(), "Courier New");
    EXPECT_EQ(printFont.pointSize(), 7);
    const platform::PageFrame frame = platform::ReportPageFrame();
    std::string header, date;
    for (char32_t c : frame.header) header += static_cast<char>(c);
    for (char32_t c : frame.date) date += static_cast<char>(c);
    EXPECT_EQ(Drawn(), header + "|first|second|" + date + "|Page 1 of 1|");
    const auto draws = surface.Draws();
    EXPECT_EQ(draws[0].y, 0);
    EXPECT_EQ(draws[1].y, 24);  // below the header's line and a blank one
    EXPECT_EQ(draws[2].x, 80);
    EXPECT_EQ(draws[2].y, 38);
    EXPECT_EQ(draws[3].y, 3000 - 12);
    EXPECT_EQ(draws[4].x + 10 * 11, 2000);  // against the right margin
    EXPECT_EQ(surface.log.front().op, Op::Begin);
    EXPECT_EQ(surface.log.back().op, Op::End);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ResultsWindowTest, PrintAllOfAnEmptyMemoIsOneFramedPage)
{
    window.mnuPrint->trigger();
    ASSERT_EQ(surface.log.size(), 5u);
    EXPECT_EQ(surface.log[0].op, Op::Begin);
    EXPECT_EQ(surface.Count(Op::Draw), 3);
    EXPECT_EQ(surface.log[3].text, U"Page 1 of 1");
    EXPECT_EQ(surface.log[4].op, Op::End);
}

TEST_F(ResultsWindowTest, PrintSelectionWithoutSelectionWarnsAndPrintsNothing)
{
    window.AppendLine("some text");
    window.mnuPrintSelection->trigger();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].kind, MessageKind::Warning);
    EXPECT_EQ(messages.shown[0].text, "You have not selected any text.");
    EXPECT_EQ(printsStarted, 0);
}

TEST_F(ResultsWindowTest, PrintSelectionPrintsExactlyTheSelectedCharacters)
{
    window.AppendLines({"alpha beta", "gamma", "delta epsilon"});
    // From "beta" to "delta" across three lines.
    SelectChars(6, 22);
    window.mnuPrintSelection->trigger();
    EXPECT_TRUE(messages.shown.empty());
    const auto draws = surface.Draws();
    ASSERT_EQ(draws.size(), 6u);  // the header, three lines, the footer's two runs
    EXPECT_EQ(draws[1].text + U"|" + draws[2].text + U"|" + draws[3].text, U"beta|gamma|delta");
    EXPECT_EQ(draws[1].x, 0);
    EXPECT_EQ(draws[1].y, 24);
    EXPECT_EQ(draws[3].y, 52);
}

TEST_F(ResultsWindowTest, PrintFailureShowsTheErrorAndChangesNothing)
{
    window.AppendLine("text");
    window.SetPrintSurfaceFactory([](const QFont&) -> std::unique_ptr<platform::PrintSurface> {
        throw platform::PrintError("There is no default printer: no printer is installed.");
    });
    window.mnuPrint->trigger();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].kind, MessageKind::Error);
    EXPECT_EQ(messages.shown[0].text, "There is no default printer: no printer is installed.");
    EXPECT_EQ(window.TextForFile(), "text\r\n");

    // A job that fails part way is dropped.
    window.SetPrintSurfaceFactory([this](const QFont&) {
        return std::make_unique<SharedSurface>(surface);
    });
    surface.failOnDraw = "The print job failed.";
    window.mnuPrint->trigger();
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].text, "The print job failed.");
    EXPECT_EQ(surface.Count(Op::Abort), 1);
    EXPECT_EQ(surface.Count(Op::End), 0);
}

// No printer installed is no reason to refuse: the print dialog still
// offers printing to a file. Cancelled, nothing happens.
TEST_F(ResultsWindowTest, DefaultPrinterMissingStillOffersThePrintDialog)
{
    if (!QPrinterInfo::defaultPrinter().isNull()) GTEST_SKIP() << "a printer is installed";
    TfrmTemplateResults plain;
    plain.AppendLine("text");
    bool offered = false;
    AnswerNextModal([&](QWidget* modal) {
        offered = modal->inherits("QPrintDialog");
        static_cast<QDialog*>(modal)->reject();
    });
    plain.mnuPrint->trigger();
    EXPECT_TRUE(offered);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(plain.TextForFile(), "text\r\n");
}

TEST_F(ResultsWindowTest, PrintAllMakesARealPrintout)
{
    const fs::path pdf = dir / "printout.pdf";
    window.SetPrintSurfaceFactory([&pdf](const QFont& font) {
        return platform::QtPrintSurface::ForPdfFile(pdf.string(), font);
    });
    window.AppendLines({"", " Report", std::string(300, '_'), " Covariate 1:      1.000"});
    window.mnuPrint->trigger();
    EXPECT_TRUE(messages.shown.empty());
    ASSERT_TRUE(fs::exists(pdf));
    EXPECT_GT(fs::file_size(pdf), 0u);
    EXPECT_EQ(Read(pdf).substr(0, 4), "%PDF");
}

TEST_F(ResultsWindowTest, ExitAsksAndNoKeepsTheWindow)
{
    window.show();
    messages.ScriptAnswers({platform::Answer::No});
    window.cmdExit->click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].kind, MessageKind::Confirmation);
    EXPECT_EQ(messages.shown[0].text, "Exit from program?");
    EXPECT_EQ(quits, 0);
    EXPECT_TRUE(window.isVisible());

    messages.ScriptAnswers({platform::Answer::Yes});
    window.cmdExit->click();
    EXPECT_EQ(quits, 1);
    window.hide();
}

TEST_F(ResultsWindowTest, CloseFromTheWindowManagerAsksLikeExit)
{
    window.AppendLine("unsaved");
    window.show();
    messages.ScriptAnswers({platform::Answer::No});
    // Closing the native window is what the window manager's close does.
    ASSERT_NE(window.windowHandle(), nullptr);
    EXPECT_FALSE(window.windowHandle()->close());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].kind, MessageKind::Confirmation);
    EXPECT_EQ(messages.shown[0].text, "Exit from program?");
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(quits, 0);
    EXPECT_EQ(window.TextForFile(), "unsaved\r\n");

    messages.ScriptAnswers({platform::Answer::Yes});
    EXPECT_TRUE(window.windowHandle()->close());
    EXPECT_EQ(quits, 1);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(ResultsWindowTest, KeyboardReachesTheButtonsAndTheMenus)
{
    window.show();
    ASSERT_TRUE(WaitUntilActive(&window));

    // Enter on the focused button presses it.
    messages.ScriptAnswers({platform::Answer::No});
    window.cmdExit->setFocus(Qt::TabFocusReason);
    QTest::keyClick(window.cmdExit, Qt::Key_Return);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Exit from program?");

    // F10 opens the first menu (Alt and a letter work on a real display:
    // the desktop smoke run uses them).
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
        std::optional<std::string> AskFileName(const std::string&, const std::string&,
                                               bool) override
        {
            throw std::runtime_error("dialog broke");
        }
    };
    window.SetSaveDialog(std::make_unique<ThrowingDialog>());
    window.cmdSaveOutput->click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].kind, MessageKind::Error);
    EXPECT_EQ(messages.shown[0].text, "dialog broke");
}

}  // namespace

namespace {

// The real quit handler: Yes to "Exit from program?" ends the event loop.
TEST(ResultsWindowExit, YesEndsTheProgramsEventLoop)
{
    platform::RecordingMessages messages;
    platform::ScopedMessages scoped(messages);
    TfrmTemplateResults window;
    window.show();
    messages.ScriptAnswers({platform::Answer::Yes});
    QTimer::singleShot(0, window.cmdExit, &QPushButton::click);
    // Only if the exit failed; tied to the window so it cannot end a later test.
    QTimer::singleShot(kGenerousWaitMs, &window, [] { QCoreApplication::exit(7); });
    EXPECT_EQ(QApplication::exec(), 0);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Exit from program?");
}

TEST(ResultsWindowExit, WindowManagerCloseWithYesEndsTheEventLoop)
{
    platform::RecordingMessages messages;
    platform::ScopedMessages scoped(messages);
    TfrmTemplateResults window;
    window.show();
    messages.ScriptAnswers({platform::Answer::Yes});
    QTimer::singleShot(0, &window, &QWidget::close);
    QTimer::singleShot(kGenerousWaitMs, &window, [] { QCoreApplication::exit(7); });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_EQ(messages.shown.size(), 1u);   // asked once, not again while ending
}

}  // namespace

// The report in the results window is read-only until "Edit report" is
// chosen: stray keys change nothing that is saved, printed or made a PDF;
// Undo never takes an appended report away; the title tells a hand-edited
// report; Clear Results clears the figure with the text.
#include <gtest/gtest.h>

#include <functional>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "desktop/results/figure_view.h"
#include "desktop/results/results_window.h"
#include "tests/support/recording_messages.h"
#include "foundation/messages.h"

namespace {

const std::vector<std::string> Report = {"", "Harrow: report", " One-tailed probability = 0.02000 "};
const std::string ReportText = "\r\nHarrow: report\r\n One-tailed probability = 0.02000 \r\n";

class ReportEditing : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.SetCaption("Results viewer: Harrow");
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        window.AppendLines(Report);
        window.memoResults->setFocus(Qt::MouseFocusReason);
    }
    QPlainTextEdit& Memo() { return *window.memoResults; }

    platform::RecordingMessages messages;
    platform::ScopedMessages scoped{messages};
    TfrmTemplateResults window;
};

TEST_F(ReportEditing, KeysTypedIntoTheReportChangeNothingUntilEditReportIsChosen)
{
    struct Keys {
        const char* what;
        std::function<void(QWidget*)> press;
    };
    const Keys strays[] = {
        {"letters", [](QWidget* w) { QTest::keyClicks(w, "typed by accident"); }},
        {"Return", [](QWidget* w) { QTest::keyClick(w, Qt::Key_Return); }},
        {"Delete", [](QWidget* w) { QTest::keyClick(w, Qt::Key_Delete); }},
        {"Backspace", [](QWidget* w) { QTest::keyClick(w, Qt::Key_Backspace); }},
        {"Ctrl+Z", [](QWidget* w) { QTest::keyClick(w, Qt::Key_Z, Qt::ControlModifier); }},
        {"Ctrl+X", [](QWidget* w) { QTest::keyClick(w, Qt::Key_X, Qt::ControlModifier); }},
        {"Ctrl+V", [](QWidget* w) { QTest::keyClick(w, Qt::Key_V, Qt::ControlModifier); }},
    };
    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    for (const Keys& k : strays) {
        QTest::keyClick(&Memo(), Qt::Key_A, Qt::ControlModifier);
        k.press(&Memo());
        EXPECT_EQ(window.TextForFile(), ReportText) << k.what;
    }
    EXPECT_FALSE(window.EditedByHand());
    EXPECT_EQ(window.windowTitle(), "Results viewer: Harrow");

    // Selecting and copying still work.
    QTest::keyClick(&Memo(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&Memo(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(),
              "\nHarrow: report\n One-tailed probability = 0.02000 \n");
}

TEST_F(ReportEditing, AfterEditReportTypingChangesTheReportAndTheTitleSaysSo)
{
    window.mnuEditReport->trigger();
    ASSERT_TRUE(window.mnuEditReport->isChecked());
    Memo().moveCursor(QTextCursor::End);
    QTest::keyClicks(&Memo(), "my note");
    EXPECT_EQ(window.TextForFile(), ReportText + "my note");
    EXPECT_TRUE(window.EditedByHand());
    EXPECT_EQ(window.windowTitle(), "Results viewer: Harrow (edited by hand)");

    // Undo takes back the hand edit, never the report the program wrote.
    for (int i = 0; i < 20; ++i) QTest::keyClick(&Memo(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(window.TextForFile(), ReportText);

    // Read-only again once "Edit report" is unchecked.
    window.mnuEditReport->trigger();
    QTest::keyClicks(&Memo(), "more");
    EXPECT_EQ(window.TextForFile(), ReportText);
}

TEST_F(ReportEditing, UndoRightAfterARunKeepsTheNewReport)
{
    window.mnuEditReport->trigger();
    window.AppendLines({std::string(102, '_'), "second report"});
    const std::string both = window.TextForFile();
    QTest::keyClick(&Memo(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(window.TextForFile(), both);
    EXPECT_FALSE(window.EditedByHand());
}

TEST_F(ReportEditing, ClearResultsClearsTheFigureToo)
{
    FigureData figure;
    window.SetFigure(figure);
    window.SetSummary("Compared with 20 controls");
    ASSERT_TRUE(window.mnuShowFigure->isEnabled());
    ASSERT_TRUE(window.mnuCopySummary->isEnabled());
    window.mnuShowFigure->trigger();
    EXPECT_TRUE(window.frmFigure->isVisible());

    QTest::mouseClick(window.cmdClearResults, Qt::LeftButton);
    EXPECT_EQ(window.LineCount(), 0);
    EXPECT_EQ(window.frmFigure->Figure(), nullptr);
    EXPECT_FALSE(window.frmFigure->isVisible());
    EXPECT_FALSE(window.mnuShowFigure->isEnabled());
    EXPECT_FALSE(window.mnuCopySummary->isEnabled());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ReportEditing, ShortcutsReachPrintAndExit)
{
    EXPECT_EQ(window.mnuPrint->shortcut(), QKeySequence(QKeySequence::Print));
    EXPECT_EQ(Memo().accessibleName(), "Report");
    messages.ScriptAnswers({platform::Answer::No});
    QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Exit from program?");
}

}  // namespace

// Printing without a printer: the system's print dialog (answered from the
// test, its "print to file" chosen), and "Save as P&DF...", whose pages are
// the printout's pages. The PDFs are read back with pdftotext and pdfinfo.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QTemporaryDir>

#include "tests/support/scripted_save_dialog.h"
#include "tests/support/recording_messages.h"
#include "analysis/report/print_layout.h"
#include "analysis/files/save_dialog.h"
#include "desktop/dialogs/qt_print_surface.h"
#include "desktop/results/results_window.h"
#include "foundation/messages.h"
#include "modal_answerer.h"
#include "render/report_pdf.h"

namespace {

namespace fs = std::filesystem;

// The output of a command, empty when it fails.
std::string Run(const std::string& command)
{
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}
std::string PdfText(const fs::path& pdf) { return Run("pdftotext -layout '" + pdf.string() + "' - 2>/dev/null"); }
int PdfPages(const fs::path& pdf)
{
    const std::string info = Run("pdfinfo '" + pdf.string() + "' 2>/dev/null");
    const auto at = info.find("Pages:");
    return at == std::string::npos ? -1 : std::stoi(info.substr(at + 6));
}

// A report of many lines, with characters from outside Latin-1.
QString Report()
{
    QString text = QStringLiteral("Größe €ł: Bayesian test for a deficit\n");
    for (int i = 1; i <= 150; ++i) text += QStringLiteral("Report line %1 of the results\n").arg(i);
    return text + QStringLiteral("Notes: Zażółć gęślą jaźń\n");
}

class PrintAndPdf : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        window.memoResults->setPlainText(Report());
        auto pdfDialog = std::make_unique<platform::ScriptedSaveDialog>("results.pdf", "*.pdf");
        pdfSaves = pdfDialog.get();
        window.SetPdfSaveDialog(std::move(pdfDialog));
    }
    fs::path Path(const char* name) const { return fs::path(dir.path().toStdString()) / name; }

    // Every line of the report is in the PDF's text, in order.
    void ExpectEveryLine(const std::string& pdfText)
    {
        std::size_t from = 0;
        for (const QString& line : Report().split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const std::size_t at = pdfText.find(line.toStdString(), from);
            ASSERT_NE(at, std::string::npos) << line.toStdString();
            from = at;
        }
    }

    QTemporaryDir dir;
    platform::RecordingMessages messages;
    platform::ScopedMessages channel{messages};
    TfrmTemplateResults window;
    platform::ScriptedSaveDialog* pdfSaves = nullptr;
};

TEST_F(PrintAndPdf, SaveAsPdfHoldsEveryLineOnThePrintoutsPages)
{
    const fs::path pdf = Path("report.pdf");
    pdfSaves->ScriptAnswer(pdf.string());
    ASSERT_EQ(window.mnuSavePdf->text(), "Save as P&DF...");
    window.mnuSavePdf->trigger();
    EXPECT_TRUE(messages.shown.empty());
    ASSERT_TRUE(fs::exists(pdf));
    ExpectEveryLine(PdfText(pdf));

    // The same text printed to a PDF through the printer path: the same
    // pages, margins, header and footer.
    const fs::path printed = Path("printed.pdf");
    platform::PrintFramedDocument(*platform::QtPrintSurface::ForPdfFile(printed.string(), platform::ReportPrintFont()),
                                  Report().replace(QLatin1String("\n"), QLatin1String("\r\n")).toStdU32String(),
                                  platform::ReportPageFrame());
    EXPECT_GT(PdfPages(pdf), 1);
    EXPECT_EQ(PdfPages(pdf), PdfPages(printed));
    EXPECT_EQ(PdfText(pdf), PdfText(printed));
}

TEST_F(PrintAndPdf, PdfPageCountIsTheLayoutsAndExtraPagesFollow)
{
    const QFont font = platform::ReportPrintFont();
    const std::u32string text = Report().replace(QLatin1String("\n"), QLatin1String("\r\n")).toStdU32String();
    const fs::path pdf = Path("plain.pdf");
    const int pages = platform::WriteReportPdf(pdf.string(), font, text);
    EXPECT_EQ(PdfPages(pdf), pages);

    // The framed layout alone on the PDF's page: its page count is the file's.
    const platform::PdfPrintSurface surface(font);
    EXPECT_EQ(platform::CountFramedPages(surface, text, platform::ReportPageFrame()), pages);

    // A page painted after the report, as a figure is added.
    const fs::path withFigure = Path("figure.pdf");
    window.SetPdfExtraPages([] {
        return std::vector<platform::ExtraPagePainter>{[](QPainter& painter, const QRect& page) {
            painter.drawText(page, Qt::AlignCenter, QStringLiteral("Extra page"));
        }};
    });
    pdfSaves->ScriptAnswer(withFigure.string());
    window.mnuSavePdf->trigger();
    EXPECT_EQ(PdfPages(withFigure), pages + 1);
    const std::string all = PdfText(withFigure);
    EXPECT_NE(all.find("Extra page"), std::string::npos);
    EXPECT_GT(all.find("Extra page"), all.find("Zażółć gęślą jaźń"));
}

TEST_F(PrintAndPdf, AFailedPdfLeavesNoFileAndSaysWhy)
{
    // A folder that is not there: a message, and no file.
    const fs::path pdf = Path("missing") / "report.pdf";
    pdfSaves->ScriptAnswer(pdf.string());
    window.mnuSavePdf->trigger();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].kind, platform::MessageKind::Error);
    EXPECT_FALSE(fs::exists(pdf));
    // Cancelled: nothing happens.
    messages.Clear();
    window.mnuSavePdf->trigger();
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PrintAndPdf, PrintOffersTheSystemsPrintDialog)
{
    // Cancelled: nothing printed, nothing said.
    bool asked = false;
    AnswerNextModal([&](QWidget* modal) {
        asked = qobject_cast<QPrintDialog*>(modal) != nullptr;
        static_cast<QDialog*>(modal)->reject();
    });
    window.mnuPrint->trigger();
    EXPECT_TRUE(asked);
    EXPECT_TRUE(messages.shown.empty());

    // "Print to file": the printout is a PDF with every line.
    const fs::path pdf = Path("printed.pdf");
    AnswerNextModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QPrintDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
        dialog->printer()->setOutputFileName(QString::fromStdString(pdf.string()));
        dialog->done(QDialog::Accepted);
    });
    window.mnuPrint->trigger();
    EXPECT_TRUE(messages.shown.empty());
    ASSERT_TRUE(fs::exists(pdf));
    ExpectEveryLine(PdfText(pdf));
}

}  // namespace
