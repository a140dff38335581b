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
