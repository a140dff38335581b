// The Compute command end to end: refusals, the matrix window, the data
// file, the analysis and the report in the results window.
#include <algorithm>
#include <clocale>
#include <cstdio>

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>

#include "desktop_fixture.h"
#include "engine/bayes_deficit_engine.h"
#include "analysis/worksheet/input_rules.h"
#include "analysis/run/compute_checks.h"

namespace desktop_test {
namespace {

template <class... Args>
std::string Format(const char* format, Args... args)
{
    char text[512];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

bool Contains(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

long Count(const std::vector<std::string>& lines, const std::string& line)
{
    return std::count(lines.begin(), lines.end(), line);
}

class Compute : public DesktopTest {
protected:
    static QWidget* Focused() { return QApplication::focusWidget(); }

    // Presses "Continue" where no matrix window may open. A null focus is
    // checked by the caller.
    void Refused(const std::string& message, QWidget* focus)
    {
        messages.Clear();
        Press(W().cmdCompute);
        ASSERT_EQ(messages.shown.size(), 1u) << message;
        EXPECT_EQ(messages.shown[0].text.substr(0, message.size()), message);
        if (focus) {
            EXPECT_EQ(Focused(), focus) << message;
        }
        EXPECT_TRUE(W().isVisible());
        EXPECT_FALSE(results->isVisible());
        EXPECT_FALSE(fs::exists(DataPath()));
    }
    void RefusedAtCell(const std::string& message, int row, int column)
    {
        Refused(message, nullptr);
        EXPECT_EQ(Grid().currentRow(), row) << message;
        EXPECT_EQ(Grid().currentColumn(), column) << message;
        ASSERT_NE(Grid().Editor(), nullptr);
        EXPECT_EQ(Focused(), Grid().Editor());
        EXPECT_EQ(Grid().Editor()->selectedText(), Grid().CellText(row, column));
    }

    // The engine run on the worked example, straight.
    tBayesResult Direct(bool twoSided)
    {
        SummaryData d;
        tVector scores;
        d.k = 1, d.N = 20;
        d.sds[1] = 10, d.sds[2] = 2, d.means[1] = 50, d.means[2] = 10, scores[1] = 30, scores[2] = 8;
        d.corr[1][1] = d.corr[2][2] = 1;
        d.corr[1][2] = d.corr[2][1] = 0.5;
        RunOptions options;
        options.twoSided = twoSided;
        extended condMean = 0, condSD = 0;
        tBayesResult r;
        BayesDeficitEngine(d, scores, options, condMean, condSD, r);
        return r;
    }
};

TEST_F(Compute, EveryRefusalShowsItsMessageAndFocusesTheInput)
{
    Start();
    Refused("INPUT ERROR\r\r(  Number of covariates :   )\r\rData have not been entered in this field.",
            W().txtInput1);
    W().txtInput1->setText(QStringLiteral("6"));
    Refused("INPUT ERROR\r(  Number of covariates :   6.000  )\r", W().txtInput1);
    W().txtInput1->setText(QStringLiteral("3"));
    W().txtInput2->setText(QStringLiteral("2"));
    Refused("INPUT ERROR\r(  Sample size (N) of control sample:  2.000  )\r", W().txtInput2);
    W().txtInput2->setText(QStringLiteral("4"));
    Refused(" With a control sample size of  4, the maximum number of covariates is  2 ", W().txtInput1);
    EXPECT_EQ(messages.shown[0].kind, MessageKind::Error);

    // k = 2 < N - 1 = 3 passes; then the grid, all means before any SD.
    W().txtInput1->setText(QStringLiteral("2"));
    // A cell is named by its variable; a row without a name by its number.
    FillRow(0, "Memory", "50", "", "30");
    FillRow(1, "Age", "", "2", "8");
    FillRow(2, "", "-4", "1", "-3");
    RefusedAtCell("INPUT ERROR\r\r(  the mean of Age (Test No.2)  )\r\rData have not been entered in this field.", 1, 2);
    Grid().SetCellText(1, 2, QStringLiteral("10"));
    RefusedAtCell("INPUT ERROR\r\r(  the SD of Memory (Test No.1)  )\r\rData have not been entered in this field.", 0, 3);
    Grid().SetCellText(0, 3, QStringLiteral("10"));
    Grid().SetCellText(2, 3, QStringLiteral("0"));
    RefusedAtCell("INPUT ERROR\r(  Test No.3  0.000  )\r", 2, 3);
    Grid().SetCellText(2, 3, QStringLiteral("-1"));
    RefusedAtCell("INPUT ERROR\r(  Test No.3  -1.000  )\r", 2, 3);
    Grid().SetCellText(2, 3, QStringLiteral("1"));
    Grid().SetCellText(0, 4, QStringLiteral("1,5"));
    RefusedAtCell("INPUT ERROR\r(  the score of Memory (Test No.1)  1,5  )\r\rEnter numeric data only.", 0, 4);
    for (const auto& m : messages.shown) EXPECT_EQ(m.kind, MessageKind::Warning);
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

TEST_F(Compute, AMatrixThatIsNotPositiveDefiniteIsSavedThenRefused)
{
    Start();
    ComputeWithRefusedMatrix();
    EXPECT_EQ(Texts(MessageKind::Error), std::vector<std::string>{NotPositiveDefiniteMessage});
    EXPECT_EQ(Focused(), W().txtInput1);
    EXPECT_TRUE(W().isVisible());
    EXPECT_FALSE(results->isVisible());
    EXPECT_TRUE(ResultLines().empty());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(FileText(DataPath()),
              "2\r\n30\r\nTask\r\n50\r\n10\r\n30\r\nAge\r\n40.5\r\n12\r\n45\r\nEdu\r\n12.50\r\n3\r\n10\r\n"
              "1.000\r\n0.900\r\n1.000\r\n0.900\r\n-0.900\r\n1.000\r\n");
    EXPECT_DOUBLE_EQ(W().Data().StoredCorrelations[2][3], -0.9);
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

    const std::vector<std::string> first = ResultLines();
    ASSERT_GT(first.size(), 40u);
    EXPECT_EQ(first[0], "");
    EXPECT_EQ(first[1], ProgramTitle);
    EXPECT_EQ(Count(first, std::string(102, '_')), 0);
    EXPECT_TRUE(Contains(first, " User's Notes: first note"));
    EXPECT_TRUE(Contains(first, std::string(15, ' ') + "second"));
    EXPECT_TRUE(Contains(first, " Number of covariates = 1"));
    EXPECT_TRUE(Contains(first, " Sample size (N) of control sample= 20"));
    EXPECT_TRUE(Contains(first, " Credible limit required: Two-sided"));
    EXPECT_TRUE(Contains(first, Format("  Task of Interest: %11.3f  %13.3f   %13.3f         %13.3f", 50.0, 10.0,
                                       30.0, -2.0)));
    EXPECT_TRUE(Contains(first, Format("  Covariate%2d:      %11.3f  %13.3f   %13.3f         %13.3f", 1, 10.0, 2.0,
                                       8.0, -1.0)));
    EXPECT_TRUE(Contains(first, "   1.00000   0.50000   "));
    EXPECT_TRUE(Contains(first, "   0.50000   1.00000   "));
    EXPECT_TRUE(Contains(first, " Sample estimate of conditional mean for Task of Interest =   45.000"));
    EXPECT_EQ(first.back(), " ");

    // The window hands the engine what the worksheet says.
    const tBayesResult twoSided = Direct(true);
    EXPECT_TRUE(Contains(first, Format(" One-tailed probability = %2.5Lf ", twoSided.pOneTailed)));
    EXPECT_TRUE(Contains(first, Format(" Effect size (Z-CCC) = %2.3Lf (95%% CI on effect size = %3.3Lf  to  %3.3Lf)",
                                       twoSided.zccc, twoSided.zcccLower, twoSided.zcccUpper)));

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
    EXPECT_EQ(both[first.size() + 1], "");
    EXPECT_EQ(both[first.size() + 2], ProgramTitle);
    EXPECT_EQ(Count(both, std::string(102, '_')), 1);
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

TEST_F(Compute, AFolderThatCannotBeWrittenStillGivesTheReport)
{
    Start(folder + "/no such folder");
    FillWorkedExample();
    AnswerMatrix({{{1, 2, QStringLiteral("0.5")}}});
    Press(W().cmdCompute);
    ASSERT_TRUE(matrixShown);
    ASSERT_EQ(Texts(MessageKind::Error).size(), 1u);
    EXPECT_FALSE(Texts(MessageKind::Error)[0].empty());
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(results->isVisible());
    EXPECT_FALSE(W().isVisible());
    EXPECT_TRUE(Contains(ResultLines(), " Sample estimate of conditional mean for Task of Interest =   45.000"));
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
