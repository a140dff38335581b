// The Compute command end to end: refusals, the matrix window, the data
// file, the analysis and the report in the results window.
#include <algorithm>

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>

#include "desktop_fixture.h"
#include "desktop/dialogs/qt_messages.h"
#include "tests/support/worksheet_refusals.h"

namespace desktop_test {
namespace {

bool Contains(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// Over what the edit held, key by key.
void Type(QLineEdit* edit, const std::string& text)
{
    ASSERT_NE(edit, nullptr);
    edit->setFocus(Qt::TabFocusReason);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, QString::fromStdString(text));
}

bool Activated(QWidget* window)
{
    return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; }, kGenerousWaitMs);
}

// Answers the modal windows of one Compute as a user does: every box is read
// (its line breaks as the program wrote them) and closed with Enter (the release goes where the focus then is); the
// matrix window gets the lower triangle typed, off the diagonal, and
// Continue clicked, and after a refused cell (the box closed) records the
// focus and goes back to the worksheet.
class ComputeAnswers {
public:
    explicit ComputeAnswers(std::vector<std::string> triangle) : triangle_(std::move(triangle))
    {
        QObject::connect(&boxTimer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            boxes.push_back(box->text().replace(QLatin1Char('\n'), QLatin1Char('\r')).toStdString());
            QTest::keyPress(box, Qt::Key_Return);
            if (QApplication::activeModalWidget() == box) box->reject();  // never left open
            if (QWidget* focus = QApplication::focusWidget()) QTest::keyRelease(focus, Qt::Key_Return);
        });
        QObject::connect(&matrixTimer_, &QTimer::timeout, [this] {
            QWidget* window = QApplication::activeModalWidget();
            if (!window || !MatrixCell(window, 1, 2) || qobject_cast<QMessageBox*>(window)) return;
            matrixTimer_.stop();
            matrixShown = true;
            // Typed into once it has the keyboard, as a user does.
            ASSERT_TRUE(Activated(window));
            std::size_t next = 0;
            for (int row = 1; next < triangle_.size(); ++row)
                for (int column = 1; column <= row; ++column, ++next)
                    if (column < row) Type(MatrixCell(window, column, row), triangle_.at(next));
            QTest::mouseClick(MatrixButtonNamed(window, "CloseBtn"), Qt::LeftButton);
            if (QApplication::activeModalWidget() != window) return;
            // The keyboard comes back to the window, on the cell refused.
            if (Activated(window) && QApplication::focusWidget())
                focusInMatrix = QApplication::focusWidget()->objectName();
            QTest::mouseClick(MatrixButtonNamed(window, "ReturnBtn"), Qt::LeftButton);
        });
        boxTimer_.start(5);
        matrixTimer_.start(5);
    }
    std::vector<std::string> boxes;
    bool matrixShown = false;
    QString focusInMatrix;  // the object name of the widget with the focus

private:
    std::vector<std::string> triangle_;
    QTimer boxTimer_;
    QTimer matrixTimer_;
};

class Compute : public DesktopTest {
protected:
    static QWidget* Focused() { return QApplication::focusWidget(); }

    // The two fields, then every cell of the grid's rows, typed.
    void TypeWorksheet(const RefusalWorksheet& w)
    {
        Type(W().txtInput1, w.k);
        Type(W().txtInput2, w.n);
        for (int row = 0; row < std::min<int>(Grid().rowCount(), w.rows.size()); ++row)
            for (int column = NameColumn; column <= ScoreColumn; ++column) {
                Grid().setFocus(Qt::TabFocusReason);
                Grid().setCurrentCell(row, column);
                Type(Grid().Editor(), w.rows[row][column - NameColumn]);
            }
    }
};

TEST_F(Compute, EveryRefusalShowsItsBoxAndTheUserCarriesOnWhereItSays)
{
    platform::QtMessages boxes;  // real message boxes instead of the recorder
    platform::ScopedMessages realBoxes(boxes);
    for (const WorksheetRefusal& c : WorksheetRefusals()) {
        if (!c.typed) continue;
        SCOPED_TRACE(c.name);
        fs::remove(DataPath());
        Start();
        TypeWorksheet(c.worksheet);
        ComputeAnswers answers(c.worksheet.triangle);
        QTest::mouseClick(W().cmdCompute, Qt::LeftButton);
        QApplication::processEvents();

        EXPECT_EQ(answers.boxes, std::vector<std::string>{c.message});
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        EXPECT_TRUE(W().isVisible());
        EXPECT_FALSE(results->isVisible());
        // Kept once the correlations are entered, before the matrix as a whole is refused; never before.
        std::string kept;
        if (answers.matrixShown && c.focus.place != RefusalFocus::MatrixCell)
            for (const std::string& line : WorksheetLines(c.worksheet)) kept += line + "\r\n";
        EXPECT_EQ(FileText(DataPath()), kept);
        switch (c.focus.place) {
        case RefusalFocus::Field:
            EXPECT_EQ(Focused(), W().txtInputs[c.focus.row]);
            break;
        case RefusalFocus::GridCell:
            EXPECT_EQ(Grid().currentRow(), c.focus.row);
            EXPECT_EQ(Grid().currentColumn(), c.focus.column);
            ASSERT_NE(Grid().Editor(), nullptr);
            EXPECT_EQ(Focused(), Grid().Editor());
            EXPECT_EQ(Grid().Editor()->selectedText(), Grid().CellText(c.focus.row, c.focus.column));
            break;
        case RefusalFocus::MatrixCell:
            EXPECT_EQ(answers.focusInMatrix, QStringLiteral("mat%1x%2").arg(c.focus.column).arg(c.focus.row));
            break;
        }
    }
}

TEST_F(Compute, ReturnToWorksheetWritesNothing)
{
    Start();
    FillWorkedExample();
    results->AppendLines({"an earlier report"});
    AnswerMatrix({{{1, 2, QStringLiteral("0.7")}}, "ReturnBtn"});
    Press(W().cmdCompute);
    EXPECT_TRUE(matrixShown);
    EXPECT_EQ(matrixTitle, "Matrix Entry");
    EXPECT_TRUE(worksheetHiddenDuringEntry);
    EXPECT_EQ(shownTexts, (std::vector<QString>{"1.000", "0.000", "1.000"}));  // identity
    EXPECT_FALSE(MatrixCancelled);  // cleared by the command
    EXPECT_TRUE(W().isVisible());
    EXPECT_FALSE(results->isVisible());
    EXPECT_EQ(ResultLines(), std::vector<std::string>{"an earlier report"});
    EXPECT_FALSE(fs::exists(DataPath()));
    EXPECT_EQ(W().Data().StoredCorrelations[1][2], 0.0);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    // Shown again with a covariate count: the focus is on the sample size.
    EXPECT_EQ(W().focusWidget(), W().txtInput2);
}

TEST_F(Compute, ContinuePressedAgainDuringTheCommandIsIgnored)
{
    Start();
    FillWorkedExample();
    bool nested = true;
    AnswerNextModal([&](QWidget* window) {
        W().cmdCompute->click();  // returns at once: no second matrix window
        nested = QApplication::activeModalWidget() != window;
        MatrixButtonNamed(window, "ReturnBtn")->click();
    });
    Press(W().cmdCompute);
    EXPECT_FALSE(nested);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(W().isVisible());
}

TEST_F(Compute, FullRunsAppendReportsAndTheNextStartRestoresTheWorksheet)
{
    Start();
    FillWorkedExample();
    W().memoComments->setPlainText(QStringLiteral("first note\nsecond"));
    AnswerMatrix({{{1, 2, QStringLiteral("0.5")}}});
    Press(W().cmdCompute);
    ASSERT_TRUE(matrixShown);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(results->isVisible());
    EXPECT_FALSE(W().isVisible());
    EXPECT_EQ(results->windowTitle().toStdString(), std::string("Results viewer: ") + ProgramTitle);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    // The notes, the two fields and the cells the report was given.
    const std::vector<std::string> first = ResultLines();
    ASSERT_GT(first.size(), 40u);
    EXPECT_EQ(first[1], ProgramTitle);
    EXPECT_TRUE(Contains(first, " User's Notes: first note"));
    EXPECT_TRUE(Contains(first, std::string(15, ' ') + "second"));
    EXPECT_TRUE(Contains(first, " Credible limit required: Two-sided"));
    EXPECT_TRUE(Contains(first, " Sample estimate of conditional mean for Task of Interest =   45.000"));
    EXPECT_EQ(FileText(DataPath()),
              "1\r\n20\r\nTask\r\n50\r\n10\r\n30\r\nCov 1\r\n10\r\n2\r\n8\r\n1.000\r\n0.500\r\n1.000\r\n");

    // Back to the worksheet, a one-sided run: the second report follows the
    // first after the separator. The first session had no data file at
    // start-up, yet the entry starts from the correlation entered before.
    results->cmdReturnClick();
    EXPECT_TRUE(W().isVisible());
    EXPECT_FALSE(results->isVisible());
    W().RadioItems[OneSidedLower]->setChecked(true);
    AnswerMatrix({});
    Press(W().cmdCompute);
    ASSERT_TRUE(matrixShown);
    EXPECT_EQ(shownTexts, (std::vector<QString>{"1.000", "0.500", "1.000"}));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(results->isVisible());
    const std::vector<std::string> both = ResultLines();
    ASSERT_EQ(both.size(), 2 * first.size() + 2);  // the separator; one more line in the one-sided block
    EXPECT_TRUE(std::equal(first.begin(), first.end(), both.begin()));
    EXPECT_EQ(both[first.size()], std::string(102, '_'));
    EXPECT_EQ(both[first.size() + 2], ProgramTitle);
    EXPECT_EQ(std::count(both.begin(), both.end(), std::string(102, '_')), 1);
    EXPECT_TRUE(Contains(both, " Credible limit required: One-sided lower"));

    // Edit > Copy summary, from the keyboard: the latest analysis's sentence,
    // with the grid's names, on the clipboard.
    ASSERT_TRUE(WaitUntilActive(results.get()));
    QTest::keyClick(results->cmdReturn, Qt::Key_F10);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Right);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Right);
    auto* editMenu = qobject_cast<QMenu*>(results->mnuCopySummary->parent());
    ASSERT_EQ(QApplication::activePopupWidget(), editMenu);
    QTest::keyClick(editMenu, Qt::Key_C);
    const std::string copied = QGuiApplication::clipboard()->text().toStdString();
    EXPECT_EQ(copied.rfind("Compared with 20 controls, and controlling for Cov 1, the case's Task score was below its "
                           "predicted score: Z-CCC = \u22121.73, one-sided 95% lower limit \u2212",
                           0),
              0u)
        << copied;

    // The next start: the worksheet as saved, and the entry starts from the
    // saved correlations.
    Start();
    EXPECT_EQ(W().txtInput1->text(), "1");
    EXPECT_EQ(W().txtInput2->text(), "20");
    EXPECT_EQ(Grid().rowCount(), 2);
    EXPECT_EQ(Grid().CellText(1, 1), "Cov 1");
    EXPECT_EQ(Grid().CellText(0, 4), "30");
    EXPECT_TRUE(W().memoComments->toPlainText().isEmpty());
    EXPECT_TRUE(W().RadioItems[TwoSided]->isChecked());
    EXPECT_TRUE(W().Data().PreviousDataLoaded);
    EXPECT_EQ(Focused(), W().txtInput2);
    AnswerMatrix({{}, "ReturnBtn"});
    Press(W().cmdCompute);
    EXPECT_EQ(shownTexts, (std::vector<QString>{"1.000", "0.500", "1.000"}));
}

// The save's error naming the file, then the analysis goes on (to the refusal of the matrix,
// without the long run); the program's folder is never made.
TEST_F(Compute, AFolderThatCannotBeWrittenIsReportedAndTheAnalysisGoesOn)
{
    Start(folder + "/no such folder");
    ComputeWithRefusedMatrix();
    const std::vector<std::string> errors = Texts(MessageKind::Error);
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_NE(errors[0].find(folder + "/no such folder/Harrow.txt"), std::string::npos) << errors[0];
    EXPECT_EQ(errors[1], NotPositiveDefiniteMessage);
    EXPECT_FALSE(fs::exists(folder + "/no such folder"));
}

TEST_F(Compute, AnErrorDuringTheAnalysisBringsTheWorksheetBack)
{
    Start();
    FillWorkedExample();
    // A pasted mean too large for a double (the key filters never saw it).
    Grid().SetCellText(0, 2, QString(400, QLatin1Char('9')));
    AnswerMatrix({{{1, 2, QStringLiteral("0.5")}}});
    Press(W().cmdCompute);
    ASSERT_TRUE(matrixShown);
    ASSERT_EQ(Texts(MessageKind::Error).size(), 1u);
    EXPECT_TRUE(W().isVisible());
    EXPECT_FALSE(results->isVisible());
    EXPECT_TRUE(ResultLines().empty());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(fs::exists(DataPath()));  // saved before the analysis
}

// Without covariates Continue is not asked for: Compute goes straight to the
// run; the tick box, clicked, adds the frequentist test and is kept in the file.
TEST_F(Compute, NoCovariatesRunsWithoutTheMatrixWindowAndTheTickAddsTheExactValues)
{
    Start();
    W().txtInput1->setText(QStringLiteral("0"));
    W().txtInput2->setText(QStringLiteral("20"));
    FillRow(0, "Task", "50", "10", "30");
    QTest::mouseClick(W().chkExact, Qt::LeftButton, {}, QPoint(8, W().chkExact->height() / 2));
    ASSERT_TRUE(W().chkExact->isChecked());
    Press(W().cmdCompute);
    EXPECT_FALSE(matrixShown);
    EXPECT_TRUE(messages.shown.empty());
    const std::vector<std::string> lines = ResultLines();
    ASSERT_GT(lines.size(), 30u);
    EXPECT_EQ(lines[1], NoCovariatesTitle);
    EXPECT_TRUE(Contains(lines, " Modified t-test:"));
    EXPECT_TRUE(Contains(lines, " t = -1.952, df = 19"));
    EXPECT_EQ(FileText(DataPath()), "0\r\n20\r\nTask\r\n50\r\n10\r\n30\r\n1.000\r\n1\r\n");
}

}  // namespace
}  // namespace desktop_test
