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

// Where the desktop program keeps its previous-data file: beside itself in a
// folder it may write, otherwise in the user's data folder, made at the first
// save and emptied again by Clear Data.
#include <sys/stat.h>

#include "desktop_fixture.h"
#include "analysis/run/compute_checks.h"
#include "desktop/app/data_location.h"

namespace desktop_test {
namespace {

class DataLocation : public DesktopTest {
protected:
    void SetUp() override
    {
        DesktopTest::SetUp();
        savedName = QCoreApplication::applicationName();
        savedDataHome = qgetenv("XDG_DATA_HOME");
        hadDataHome = qEnvironmentVariableIsSet("XDG_DATA_HOME");
        QCoreApplication::setApplicationName(QStringLiteral("Harrow"));
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(folder + "/home-data"));
        userFolder = folder + "/home-data/Harrow";
    }
    void TearDown() override
    {
        DesktopTest::TearDown();
        QCoreApplication::setApplicationName(savedName);
        if (hadDataHome)
            qputenv("XDG_DATA_HOME", savedDataHome);
        else
            qunsetenv("XDG_DATA_HOME");
    }

    static std::string ProgramFolder() { return QCoreApplication::applicationDirPath().toStdString(); }

    QString savedName;
    QByteArray savedDataHome;
    bool hadDataHome = false;
    std::string userFolder;
};

TEST_F(DataLocation, TheProgramFolderWhenUsableElseTheUsersDataFolder)
{
    std::vector<std::string> asked;
    const auto answer = [&](bool usable) {
        return [&asked, usable](const std::string& f) {
            asked.push_back(f);
            return usable;
        };
    };
    EXPECT_EQ(platform::PreviousDataFolder(answer(true)), ProgramFolder());
    EXPECT_EQ(platform::PreviousDataFolder(answer(false)), userFolder);
    EXPECT_EQ(asked, (std::vector<std::string>{ProgramFolder(), ProgramFolder()}));
    EXPECT_EQ(platform::UserDataFolder(), userFolder);
    // A copy run from its build folder keeps the file beside itself, as always.
    EXPECT_EQ(platform::PreviousDataFolder(), ProgramFolder());
    EXPECT_FALSE(fs::exists(userFolder));  // asking makes nothing
}

TEST_F(DataLocation, AnInstalledProgramSavesInTheUsersDataFolderAndClearDataDeletesItThere)
{
    const std::string dataFolder = platform::PreviousDataFolder([](const std::string&) { return false; });
    ASSERT_EQ(dataFolder, userFolder);
    Start(dataFolder);
    EXPECT_TRUE(W().txtInput1->text().isEmpty());  // no file yet, no message
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_FALSE(fs::exists(userFolder));

    ComputeWithRefusedMatrix();
    EXPECT_EQ(Texts(MessageKind::Error), std::vector<std::string>{NotPositiveDefiniteMessage});
    const std::string file = userFolder + "/Harrow.txt";
    EXPECT_TRUE(fs::exists(file));
    struct stat info {};
    ASSERT_EQ(stat(userFolder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_FALSE(fs::exists(ProgramFolder() + "/Harrow.txt"));

    // The next start finds it there; Clear Data deletes it there.
    Start(dataFolder);
    EXPECT_EQ(W().txtInput1->text(), "2");
    W().btnclearData->click();
    EXPECT_FALSE(fs::exists(file));
    EXPECT_TRUE(fs::exists(userFolder));
}

TEST_F(DataLocation, AUserDataFolderThatCannotBeMadeIsReportedAndNothingIsSaved)
{
    { std::ofstream(folder + "/home-data") << "a file where the folder should be"; }
    const std::string file = userFolder + "/Harrow.txt";
    Start(userFolder);
    ComputeWithRefusedMatrix();
    EXPECT_EQ(Texts(MessageKind::Error),
              (std::vector<std::string>{"Cannot read the file \"" + file + "\".\rNot a directory",
                                        "Cannot save the file \"" + file + "\".\rNot a directory",
                                        NotPositiveDefiniteMessage}));
}

}  // namespace
}  // namespace desktop_test

// The desktop program with files and entries as users and other programs
// leave them: every character of names and notes kept through the data file
// and Save Output, older data files in the Windows character set, a pipe in
// a file's place, cells without a digit, a case far out in the tail.
#include <sys/stat.h>

#include "tests/support/scripted_save_dialog.h"
#include "analysis/worksheet/input_rules.h"
#include "analysis/files/save_dialog.h"
#include "desktop_fixture.h"

namespace desktop_test {
namespace {

const QString kName = QString::fromUtf8("Gr\xC3\xB6\xC3\x9F" "e \xE2\x82\xAC\xC5\x82");  // Größe €ł
const std::string kNameUtf8 = "Gr\xC3\xB6\xC3\x9F" "e \xE2\x82\xAC\xC5\x82";

class FilesAndEntries : public DesktopTest {
protected:
    // Start-up with a save dialog that answers from a script.
    void StartWithSaveDialog()
    {
        Start();
        auto scripted = std::make_unique<platform::ScriptedSaveDialog>();
        dialog = scripted.get();
        results->SetSaveDialog(std::move(scripted));
    }

    platform::ScriptedSaveDialog* dialog = nullptr;
};

TEST_F(FilesAndEntries, NamesAndNotesKeepEveryCharacterThroughTheDataFileAndSaveOutput)
{
    StartWithSaveDialog();
    FillWorkedExample();
    Grid().SetCellText(0, 1, kName);
    W().memoComments->setPlainText(kName + QStringLiteral("\nZ\u00FCrich"));
    AnswerMatrix({{{1, 2, QStringLiteral("0.5")}}});
    Press(W().cmdCompute);
    ASSERT_TRUE(results->isVisible());
    EXPECT_EQ(FileText(DataPath()), "1\r\n20\r\n" + kNameUtf8 +
                                        "\r\n50\r\n10\r\n30\r\nCov 1\r\n10\r\n2\r\n8\r\n1.000\r\n0.500\r\n1.000\r\n");

    const std::string saved = folder + "/results.txt";
    dialog->ScriptAnswer(saved);
    Press(results->cmdSaveOutput);
    EXPECT_TRUE(messages.shown.empty());
    const std::string report = FileText(saved);
    EXPECT_NE(report.find("\r\n User's Notes: " + kNameUtf8 + "\r\n"), std::string::npos) << report;
    EXPECT_NE(report.find("\r\n" + std::string(15, ' ') + "Z\xC3\xBCrich\r\n"), std::string::npos) << report;

    Start();  // the next start restores the name whole
    EXPECT_EQ(Grid().CellText(0, 1), kName);
}

TEST_F(FilesAndEntries, AnOlderDataFileInTheWindowsCharacterSetIsRestored)
{
    std::ofstream(DataPath(), std::ios::binary)
        << "1\r\n20\r\nGr\xF6\xDF" "e \x80\r\n50\r\n10\r\n30\r\n\xC9tude\r\n10\r\n2\r\n8\r\n1.000\r\n0.500\r\n1.000\r\n";
    Start();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(Grid().CellText(0, 1), QString::fromUtf8("Gr\xC3\xB6\xC3\x9F" "e \xE2\x82\xAC"));
    EXPECT_EQ(Grid().CellText(1, 1), QString::fromUtf8("\xC3\x89tude"));
    EXPECT_EQ(Grid().CellText(1, 2), "10");
    EXPECT_TRUE(W().Data().PreviousDataLoaded);
}

// A pipe with no reader as the data file or the saved report: refused at
// once with what it is (the test would wait for ever otherwise).
TEST_F(FilesAndEntries, APipeInTheFilesPlaceIsRefusedNotWaitedOn)
{
    ASSERT_EQ(::mkfifo(DataPath().c_str(), 0600), 0);
    StartWithSaveDialog();
    const std::string pipe = "\".\rIt is a named pipe (FIFO), not a regular file.";
    EXPECT_EQ(Texts(MessageKind::Error), std::vector<std::string>{"Cannot read the file \"" + DataPath() + pipe});
    messages.Clear();
    FillWorkedExample();
    AnswerMatrix({{{1, 2, QStringLiteral("0.5")}}});
    Press(W().cmdCompute);
    ASSERT_TRUE(matrixShown);
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_EQ(messages.shown[0].text, "Cannot save the file \"" + DataPath() + pipe);
    EXPECT_TRUE(fs::is_fifo(DataPath()));

    results->AppendLines({"a report"});
    const std::string savedPipe = folder + "/results.txt";
    ASSERT_EQ(::mkfifo(savedPipe.c_str(), 0600), 0);
    messages.Clear();
    dialog->ScriptAnswer(savedPipe);
    results->cmdSaveOutputClick();
    EXPECT_EQ(Texts(MessageKind::Error), std::vector<std::string>{"Cannot save the file \"" + savedPipe + pipe});
    EXPECT_TRUE(fs::is_fifo(savedPipe));
}

// A mean, SD or score typed as "-", "." or "-." holds no number: refused as
// an empty cell, with the cell selected, not analysed as 0.
TEST_F(FilesAndEntries, AGridCellWithoutADigitIsRefusedAsEmpty)
{
    Start();
    FillWorkedExample();
    const struct {
        int row;
        int column;
        const char* typed;
        const char* label;
    } cases[] = {{0, MeanColumn, "-", "the mean of Task (Test No.1)"},
                   {1, SDColumn, ".", "the SD of Cov 1 (Test No.2)"},
                   {0, ScoreColumn, "-.", "the score of Task (Test No.1)"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        const QString before = Grid().CellText(c.row, c.column);
        Grid().setFocus();
        Grid().setCurrentCell(c.row, c.column);
        QLineEdit* editor = Grid().Editor();
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, QString::fromLatin1(c.typed));
        ASSERT_EQ(Grid().CellText(c.row, c.column), QString::fromLatin1(c.typed));
        messages.Clear();
        Press(W().cmdCompute);
        EXPECT_EQ(Texts(MessageKind::Warning),
                  std::vector<std::string>{std::string("INPUT ERROR\r\r(  ") + c.label + "  " + c.typed +
                                           ")\r\rData have not been entered in this field."});
        EXPECT_EQ(Grid().currentRow(), c.row);
        EXPECT_EQ(Grid().currentColumn(), c.column);
        EXPECT_TRUE(W().isVisible());
        EXPECT_FALSE(fs::exists(DataPath()));
        Grid().SetCellText(c.row, c.column, before);
    }
}

// A correlation typed as "-." or "." (or left empty) is refused with the
// invalid-entry warning and the window stays open on that cell.
TEST_F(FilesAndEntries, AMatrixCellWithoutADigitIsRefused)
{
    Start();
    FillWorkedExample();
    std::vector<std::string> warnings;
    bool focusStayed = true;
    bool stayedOpen = true;
    AnswerNextModal([&](QWidget* window) {
        EXPECT_TRUE(WaitUntilActive(window));
        QLineEdit* cell = MatrixCell(window, 1, 2);
        ASSERT_NE(cell, nullptr);
        for (const char* typed : {"-.", ".", ""}) {
            cell->setFocus();
            cell->selectAll();
            QTest::keyClick(cell, Qt::Key_Delete);
            QTest::keyClicks(cell, QString::fromLatin1(typed));
            messages.Clear();
            MatrixButtonNamed(window, "CloseBtn")->click();
            for (const auto& m : messages.shown) warnings.push_back(m.text);
            focusStayed = focusStayed && window->focusWidget() == cell;
            stayedOpen = stayedOpen && QApplication::activeModalWidget() == window;
        }
        MatrixButtonNamed(window, "ReturnBtn")->click();
    });
    Press(W().cmdCompute);
    const std::string tail =
        " is not a number: the correlation of Task with Cov 1 must be a number strictly between -1 and +1.";
    EXPECT_EQ(warnings, (std::vector<std::string>{"\"-.\"" + tail, "\".\"" + tail, "An empty cell" + tail}));
    EXPECT_TRUE(focusStayed);
    EXPECT_TRUE(stayedOpen);
    EXPECT_FALSE(fs::exists(DataPath()));
    EXPECT_EQ(W().Data().StoredCorrelations[1][2], 0.0);
}

// A case far out in the tail: the user is told what happened in the terms of
// the entries, the technical text follows as the details; no report.
TEST_F(FilesAndEntries, AFarOutCaseIsExplainedInTheUsersTerms)
{
    Start();
    FillWorkedExample();
    FillRow(0, "Task", "50", "1", "-99999");
    AnswerMatrix({{{1, 2, QStringLiteral("0.5")}}});
    Press(W().cmdCompute);
    ASSERT_TRUE(matrixShown);
    const std::vector<std::string> errors = Texts(MessageKind::Error);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].rfind("The analysis cannot be completed: the case's score is too far from the controls' "
                              "scores for the probability to be computed. Check the case's scores and the SDs",
                              0),
              0u)
        << errors[0];
    EXPECT_NE(errors[0].find("\r\rDetails: An argument of the incomplete gamma function is too large"),
              std::string::npos);
    EXPECT_FALSE(results->isVisible());
    EXPECT_TRUE(ResultLines().empty());
}

}  // namespace
}  // namespace desktop_test
