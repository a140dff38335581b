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
