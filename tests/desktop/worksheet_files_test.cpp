// The worksheet's files: File > New, Open..., Save, Save As... and the recent
// files, the question before unsaved changes are dropped; where the
// previous-data file is kept; and files and entries as users and other
// programs leave them (every character of a name, a pipe in a file's place,
// cells without a digit, a case far out in the tail).
#include <sys/stat.h>

#include <QAction>
#include <QMenu>
#include <QSettings>

#include "analysis/run/compute_checks.h"
#include "analysis/worksheet/input_rules.h"
#include "desktop/app/data_location.h"
#include "desktop_fixture.h"
#include "tests/support/scripted_open_dialog.h"
#include "tests/support/scripted_save_dialog.h"

namespace desktop_test {
namespace {

const QString kName = QString::fromUtf8("Gr\xC3\xB6\xC3\x9F" "e \xE2\x82\xAC\xC5\x82");  // Größe €ł
const std::string kNameUtf8 = "Gr\xC3\xB6\xC3\x9F" "e \xE2\x82\xAC\xC5\x82";
const std::string kPipe = "\".\rIt is a named pipe (FIFO), not a regular file.";

class WorksheetFiles : public DesktopTest {
protected:
    void StartWithDialogs()
    {
        Start();
        auto open = std::make_unique<platform::ScriptedOpenDialog>("Open worksheet", "*.txt");
        auto save = std::make_unique<platform::ScriptedSaveDialog>("worksheet.txt", "*.txt");
        auto output = std::make_unique<platform::ScriptedSaveDialog>();
        openDialog = open.get();
        saveDialog = save.get();
        outputDialog = output.get();
        W().SetWorksheetDialogs(std::move(open), std::move(save));
        results->SetSaveDialog(std::move(output));
    }
    // A menu command by its shortcut, typed where the focus is.
    static void Keys(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key, Qt::ControlModifier); }
    std::vector<QString> RecentNames()
    {
        std::vector<QString> names;
        for (QAction* action : W().recentMenu_->actions()) names.push_back(action->text());
        return names;
    }
    std::string Norms() const { return folder + "/memory norms.txt"; }

    platform::ScriptedOpenDialog* openDialog = nullptr;
    platform::ScriptedSaveDialog* saveDialog = nullptr;
    platform::ScriptedSaveDialog* outputDialog = nullptr;
};

TEST_F(WorksheetFiles, SaveNewAndOpenFollowTheFileAndItsName)
{
    QSettings().remove(QStringLiteral("worksheet/recentFiles"));
    StartWithDialogs();
    Retype(W().txtInput1, "1");
    Retype(W().txtInput2, "20");
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
    Retype(W().txtInput2, "25");
    messages.ScriptAnswers({Answer::No});
    Keys(Qt::Key_N);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].kind, MessageKind::SaveChanges);
    EXPECT_TRUE(W().txtInput2->text().isEmpty());
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
    Retype(W().txtInput2, "30");
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
    Retype(W().txtInput2, "20");
    const std::string damaged = folder + "/notes.txt";
    std::ofstream(damaged, std::ios::binary) << "some notes\r\n";
    const std::pair<std::string, std::string> cases[] = {
        {damaged, "It is not a worksheet file: a number is missing or invalid."},
        {folder + "/gone.txt", "It does not exist."}};
    for (const auto& [path, reason] : cases) {
        messages.Clear();
        messages.ScriptAnswers({Answer::No});  // the typed 20 may go
        openDialog->answers.push_back(path);
        Keys(Qt::Key_O);
        EXPECT_EQ(Texts(MessageKind::Error), std::vector<std::string>{"Cannot open the file \"" + path + "\".\r" + reason});
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
        bool named;
        bool ends;
    } cases[] = {{"cancel", Answer::Cancel, false, false},
                 {"discard", Answer::No, false, true},
                 {"save, name given", Answer::Yes, true, true},
                 {"save, name dialog cancelled", Answer::Yes, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        StartWithDialogs();
        Retype(W().txtInput1, "0");
        const std::string path = folder + "/" + c.what + ".txt";
        if (c.named) saveDialog->ScriptAnswer(path);
        messages.Clear();
        messages.ScriptAnswers({c.answer});
        quits = 0;
        QTest::mouseClick(W().ExitBtn, Qt::LeftButton);
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].kind, MessageKind::SaveChanges);
        EXPECT_EQ(quits, c.ends ? 1 : 0);
        EXPECT_EQ(fs::exists(path), c.named);
    }
    // From the results window too (its own Exit, not the fixture's count):
    // kept changes bring the worksheet back.
    StartWithDialogs();
    W().SetResultsWindow(results.get());
    Retype(W().txtInput1, "0");
    W().hide();
    results->show();
    messages.Clear();
    messages.ScriptAnswers({Answer::Yes, Answer::Cancel});  // leave? yes; unsaved: cancel
    quits = 0;
    QTest::mouseClick(results->cmdExit, Qt::LeftButton);
    EXPECT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(quits, 0);
    EXPECT_TRUE(W().isVisible());
}

// A name and notes keep every character: the name through the data file
// into the next start (the file's encodings, older ones too, are the data
// file's tests; the report's notes the report's).
TEST_F(WorksheetFiles, ANameKeepsEveryCharacterThroughTheDataFile)
{
    Start();
    W().memoComments->setPlainText(kName + QStringLiteral("\nZ\u00FCrich"));
    EXPECT_EQ(W().Data().notes, (std::vector<std::string>{kNameUtf8, "Z\xC3\xBCrich"}));
    ComputeWithRefusedMatrix(kNameUtf8.c_str());
    EXPECT_EQ(FileText(DataPath()).rfind("2\r\n30\r\n" + kNameUtf8 + "\r\n50\r\n", 0), 0u);
    Start();
    EXPECT_EQ(Grid().CellText(0, 1), kName);
}

// A pipe with no reader as the data file or the saved report: refused at
// once with what it is (the test would wait for ever otherwise).
TEST_F(WorksheetFiles, APipeInTheFilesPlaceIsRefusedNotWaitedOn)
{
    ASSERT_EQ(::mkfifo(DataPath().c_str(), 0600), 0);
    StartWithDialogs();
    EXPECT_EQ(Texts(MessageKind::Error), std::vector<std::string>{"Cannot read the file \"" + DataPath() + kPipe});
    messages.Clear();
    ComputeWithRefusedMatrix();
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_EQ(messages.shown[0].text, "Cannot save the file \"" + DataPath() + kPipe);
    EXPECT_TRUE(fs::is_fifo(DataPath()));

    results->AppendLines({"a report"});
    const std::string savedPipe = folder + "/results.txt";
    ASSERT_EQ(::mkfifo(savedPipe.c_str(), 0600), 0);
    messages.Clear();
    outputDialog->ScriptAnswer(savedPipe);
    results->cmdSaveOutput->click();
    EXPECT_EQ(Texts(MessageKind::Error), std::vector<std::string>{"Cannot save the file \"" + savedPipe + kPipe});
    EXPECT_TRUE(fs::is_fifo(savedPipe));
}

// A mean, SD or score typed as "-", "." or "-." holds no number: refused
// as an empty cell (the message is the input checks' own), with that cell
// current again, never analysed as 0.
TEST_F(WorksheetFiles, AGridCellWithoutADigitIsRefusedWithTheCellSelected)
{
    Start();
    FillWorkedExample();
    const struct {
        int row, column;
        const char* typed;
    } cases[] = {{0, MeanColumn, "-"}, {1, SDColumn, "."}, {0, ScoreColumn, "-."}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        const QString before = Grid().CellText(c.row, c.column);
        QLineEdit* editor = EditCell(c.row, c.column);
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, QString::fromLatin1(c.typed));
        messages.Clear();
        Press(W().cmdCompute);
        ASSERT_EQ(Texts(MessageKind::Warning).size(), 1u);
        EXPECT_NE(Texts(MessageKind::Warning)[0].find("Data have not been entered"), std::string::npos);
        EXPECT_EQ(Grid().currentRow(), c.row);
        EXPECT_EQ(Grid().currentColumn(), c.column);
        EXPECT_FALSE(fs::exists(DataPath()));
        Grid().SetCellText(c.row, c.column, before);
    }
}

// A case far out in the tail: one error in the user's terms (the wording is
// the run-failure table's), no report.
TEST_F(WorksheetFiles, AFarOutCaseIsAnErrorAndNoReport)
{
    Start();
    FillWorkedExample();
    FillRow(0, "Task", "50", "1", "-99999");
    AnswerMatrix({{{1, 2, QStringLiteral("0.5")}}});
    Press(W().cmdCompute);
    ASSERT_TRUE(matrixShown);
    const std::vector<std::string> errors = Texts(MessageKind::Error);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].rfind("The analysis cannot be completed: the case's score is too far", 0), 0u) << errors[0];
    EXPECT_FALSE(results->isVisible());
    EXPECT_TRUE(ResultLines().empty());
}

// Where the previous-data file is kept: beside the program in a folder it
// may write, otherwise in the user's data folder, made at the first save.
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
    std::string UserFolder() const { return folder + "/home-data/Harrow"; }
};

TEST_F(DataLocation, AnInstalledProgramSavesInTheUsersDataFolderAndClearDataDeletesItThere)
{
    std::vector<std::string> asked;
    const auto usable = [&asked](bool answer) {
        return [&asked, answer](const std::string& f) {
            asked.push_back(f);
            return answer;
        };
    };
    EXPECT_EQ(platform::PreviousDataFolder(usable(true)), ProgramFolder());
    EXPECT_EQ(platform::PreviousDataFolder(usable(false)), UserFolder());
    EXPECT_EQ(asked, (std::vector<std::string>{ProgramFolder(), ProgramFolder()}));
    EXPECT_EQ(platform::UserDataFolder(), UserFolder());
    // A copy run from its build folder keeps the file beside itself.
    EXPECT_EQ(platform::PreviousDataFolder(), ProgramFolder());
    EXPECT_FALSE(fs::exists(UserFolder()));  // asking makes nothing

    Start(UserFolder());
    EXPECT_TRUE(messages.shown.empty());  // no file yet, no message
    ComputeWithRefusedMatrix();
    EXPECT_EQ(Texts(MessageKind::Error), std::vector<std::string>{NotPositiveDefiniteMessage});
    const std::string file = UserFolder() + "/Harrow.txt";
    EXPECT_TRUE(fs::exists(file));
    struct stat info {};
    ASSERT_EQ(stat(UserFolder().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_FALSE(fs::exists(ProgramFolder() + "/Harrow.txt"));
    // The next start finds it there; Clear Data deletes it there.
    Start(UserFolder());
    EXPECT_EQ(W().txtInput1->text(), "2");
    W().btnclearData->click();
    EXPECT_FALSE(fs::exists(file));
    EXPECT_TRUE(fs::exists(UserFolder()));
}

TEST_F(DataLocation, AUserDataFolderThatCannotBeMadeIsReportedAndNothingIsSaved)
{
    std::ofstream(folder + "/home-data") << "a file where the folder should be";
    const std::string file = UserFolder() + "/Harrow.txt";
    Start(UserFolder());
    ComputeWithRefusedMatrix();
    EXPECT_EQ(Texts(MessageKind::Error),
              (std::vector<std::string>{"Cannot read the file \"" + file + "\".\rNot a directory",
                                        "Cannot save the file \"" + file + "\".\rNot a directory",
                                        NotPositiveDefiniteMessage}));
}

}  // namespace
}  // namespace desktop_test
