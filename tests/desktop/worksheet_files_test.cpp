// Worksheets kept under names of their own: File > New, Open..., Save,
// Save As... and the recent files, the title with the file's name and the
// modified mark, and the question before unsaved changes are dropped.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>

#include "desktop_fixture.h"
#include "tests/support/scripted_open_dialog.h"
#include "tests/support/scripted_save_dialog.h"

namespace desktop_test {
namespace {

class WorksheetFiles : public DesktopTest {
protected:
    void StartWithDialogs()
    {
        Start();
        auto open = std::make_unique<platform::ScriptedOpenDialog>("Open worksheet", "*.txt");
        auto save = std::make_unique<platform::ScriptedSaveDialog>("worksheet.txt", "*.txt");
        openDialog = open.get();
        saveDialog = save.get();
        W().SetWorksheetDialogs(std::move(open), std::move(save));
    }
    // A menu command by its shortcut, typed where the focus is.
    void Keys(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    void TypeInto(QLineEdit* field, const char* text)
    {
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, QString::fromLatin1(text));
    }
    std::vector<QString> RecentNames()
    {
        std::vector<QString> names;
        for (QAction* action : W().recentMenu_->actions()) names.push_back(action->text());
        return names;
    }
    std::string Norms() const { return folder + "/memory norms.txt"; }

    platform::ScriptedOpenDialog* openDialog = nullptr;
    platform::ScriptedSaveDialog* saveDialog = nullptr;
};

TEST_F(WorksheetFiles, SaveNewAndOpenFollowTheFileAndItsName)
{
    QSettings().remove(QStringLiteral("worksheet/recentFiles"));
    StartWithDialogs();
    TypeInto(W().txtInput1, "1");
    TypeInto(W().txtInput2, "20");
    EXPECT_TRUE(W().isWindowModified());

    // Save of an untitled worksheet asks for a name.
    saveDialog->ScriptAnswer(Norms());
    Keys(Qt::Key_S);
    ASSERT_EQ(saveDialog->calls.size(), 1u);
    EXPECT_EQ(FileText(Norms()).substr(0, 15), "1\r\n20\r\nTask\r\n\r\n");
    EXPECT_EQ(W().windowTitle(), "Harrow: memory norms.txt[*]");
    EXPECT_FALSE(W().isWindowModified());
    EXPECT_EQ(RecentNames(), std::vector<QString>{"&1 memory norms.txt"});

    // A change, then New: asked, Discard empties the worksheet.
    TypeInto(W().txtInput2, "25");
    EXPECT_TRUE(W().isWindowModified());
    messages.ScriptAnswers({Answer::No});
    Keys(Qt::Key_N);
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].kind, MessageKind::SaveChanges);
    EXPECT_TRUE(W().txtInput2->text().isEmpty());
    EXPECT_EQ(Grid().CellText(0, 1), "Task");
    EXPECT_EQ(W().windowTitle(), "Harrow: Untitled worksheet[*]");
    EXPECT_EQ(FileText(Norms()).substr(0, 7), "1\r\n20\r\n");  // the discarded 25 never reached it

    // Open brings the file back, unmodified; Save then writes it in place.
    messages.Clear();
    openDialog->answers.push_back(Norms());
    Keys(Qt::Key_O);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(W().txtInput2->text(), "20");
    EXPECT_EQ(W().FilePath(), Norms());
    EXPECT_FALSE(W().isWindowModified());
    TypeInto(W().txtInput2, "30");
    Keys(Qt::Key_S);
    EXPECT_EQ(saveDialog->calls.size(), 1u);
    EXPECT_EQ(FileText(Norms()).substr(0, 7), "1\r\n30\r\n");

    // The next start offers the file among the recent ones.
    StartWithDialogs();
    ASSERT_EQ(RecentNames(), std::vector<QString>{"&1 memory norms.txt"});
    W().recentMenu_->actions().front()->trigger();
    EXPECT_EQ(W().txtInput2->text(), "30");
    EXPECT_EQ(W().windowTitle(), "Harrow: memory norms.txt[*]");
}

TEST_F(WorksheetFiles, AFileThatIsNoWorksheetAndAWorksheetWithoutCountsAreRefused)
{
    StartWithDialogs();
    TypeInto(W().txtInput2, "20");
    const std::string damaged = folder + "/notes.txt";
    std::ofstream(damaged, std::ios::binary) << "some notes\r\n";
    const struct {
        std::string path;
        std::string reason;
    } cases[] = {{damaged, "It is not a worksheet file: a number is missing or invalid."},
                 {folder + "/gone.txt", "It does not exist."}};
    for (const auto& c : cases) {
        messages.Clear();
        messages.ScriptAnswers({Answer::No});  // the typed 20 may go
        openDialog->answers.push_back(c.path);
        Keys(Qt::Key_O);
        EXPECT_EQ(Texts(MessageKind::Error),
                  std::vector<std::string>{"Cannot open the file \"" + c.path + "\".\r" + c.reason});
        EXPECT_EQ(W().txtInput2->text(), "20");  // the worksheet stays as it was
        EXPECT_TRUE(W().FilePath().empty());
    }

    // No covariate count: the file would not read back, so it is not written.
    messages.Clear();
    saveDialog->ScriptAnswer(Norms());
    Keys(Qt::Key_S);
    ASSERT_EQ(Texts(MessageKind::Error).size(), 1u);
    EXPECT_NE(Texts(MessageKind::Error)[0].find("Enter the number of covariates"), std::string::npos);
    EXPECT_FALSE(fs::exists(Norms()));
    EXPECT_TRUE(W().isWindowModified());
}

// Exit with unsaved changes asks Save / Discard / Cancel (instead of "Exit
// from program?"); only a saved or discarded worksheet lets the program end.
TEST_F(WorksheetFiles, ExitWithUnsavedChangesAsksToSaveThem)
{
    const struct {
        const char* what;
        Answer answer;
        std::optional<std::string> saveAs;
        bool ends;
        bool saved;
    } cases[] = {{"cancel", Answer::Cancel, std::nullopt, false, false},
                 {"discard", Answer::No, std::nullopt, true, false},
                 {"save, name given", Answer::Yes, "kept.txt", true, true},
                 {"save, name dialog cancelled", Answer::Yes, std::nullopt, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        StartWithDialogs();
        TypeInto(W().txtInput1, "0");
        const std::string path = folder + "/" + c.what + ".txt";
        if (c.saveAs) saveDialog->ScriptAnswer(path);
        messages.Clear();
        messages.ScriptAnswers({c.answer});
        quits = 0;
        QTest::mouseClick(W().ExitBtn, Qt::LeftButton);
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].kind, MessageKind::SaveChanges);
        EXPECT_EQ(quits, c.ends ? 1 : 0);
        EXPECT_EQ(fs::exists(path), c.saved);
    }
    // From the results window too: kept changes bring the worksheet back.
    StartWithDialogs();
    W().SetResultsWindow(results.get());
    TypeInto(W().txtInput1, "0");
    W().hide();
    results->show();
    messages.Clear();
    messages.ScriptAnswers({Answer::Yes, Answer::Cancel});  // leave? yes; unsaved: cancel
    quits = 0;
    QTest::mouseClick(results->cmdExit, Qt::LeftButton);
    EXPECT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(quits, 0);
    EXPECT_TRUE(W().isVisible());

    // Once saved, Exit asks only whether to leave.
    StartWithDialogs();
    messages.Clear();
    messages.ScriptAnswers({Answer::No});
    QTest::mouseClick(W().ExitBtn, Qt::LeftButton);
    EXPECT_EQ(Texts(MessageKind::Confirmation), std::vector<std::string>{"Exit from program?"});
}

}  // namespace
}  // namespace desktop_test
