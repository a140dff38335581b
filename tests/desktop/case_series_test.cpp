// "Case series..." on the worksheet, driven by clicks: the checks and the
// matrix window as for Continue, the cases file and the results file from
// the (scripted) dialogs, the progress dialog, the messages at the end and
// the table window of the results, sorted and copied from; a refused cases
// file, and a cancelled series that saves nothing. That each case gets its
// single run's numbers is checked in the engine and through harrow-cli.
#include <functional>

#include <QClipboard>
#include <QHeaderView>
#include <QProgressDialog>
#include <QTableWidget>

#include "tests/support/scripted_open_dialog.h"
#include "tests/support/scripted_save_dialog.h"
#include "analysis/case_series/case_series.h"
#include "analysis/files/open_dialog.h"
#include "analysis/files/save_dialog.h"
#include "desktop/case_series/case_series_runner.h"
#include "desktop/case_series/series_table_window.h"
#include "desktop_fixture.h"

namespace desktop_test {
namespace {

class CaseSeriesCommand : public DesktopTest {
protected:
    // Start-up on the worked example without case scores (a series does not
    // use them), with dialogs that answer from a script: the cases file
    // (written with this text), then where to save the results.
    std::string Begin(const std::string& casesText, const std::string& resultsPath = {})
    {
        const std::string cases = Write("cases.csv", casesText);
        saved = folder + "/series.csv";
        Start();
        auto open = std::make_unique<platform::ScriptedOpenDialog>("Cases file", "*.csv");
        auto save = std::make_unique<platform::ScriptedSaveDialog>("case-series.csv", "*.csv");
        open->answers.push_back(cases);
        save->ScriptAnswer(resultsPath.empty() ? saved : resultsPath);
        saveDialog = save.get();
        W().CaseSeriesRunner().SetDialogs(std::move(open), std::move(save));
        FillWorkedExample();
        Grid().SetCellText(0, ScoreColumn, QString());
        Grid().SetCellText(1, ScoreColumn, QString());
        return cases;
    }

    // Forty cases: time to reach the progress dialog while the series runs.
    static std::string FortyCases()
    {
        std::string text = "case,Task,Cov 1\n";
        for (int c = 0; c < 40; ++c) text += "P" + std::to_string(c) + "," + std::to_string(20 + c) + ",8\n";
        return text;
    }

    // Once the matrix window has closed, `act` on the series' progress dialog
    // as soon as it is shown.
    void OnProgressDialog(std::function<void(QProgressDialog*)> act)
    {
        QObject::connect(&poll, &QTimer::timeout, [this, act] {
            auto* progress = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
            if (!progress || progress->objectName() != TCaseSeriesRunner::ProgressDialogName) return;
            poll.stop();
            act(progress);
        });
        poll.start(10);
    }

    std::string Write(const std::string& name, const std::string& text)
    {
        std::string path = folder + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    std::string saved;  // where the results are saved
    platform::ScriptedSaveDialog* saveDialog = nullptr;
    QTimer poll;
};

TEST_F(CaseSeriesCommand, SavesTheRowsShowsTheirTableAndSaysWhichRowsWereRefused)
{
    Begin("case;Task;Cov 1\r\nP01;30;8\r\nP02;;9\r\n");
    AnswerMatrix({{{1, 2, QStringLiteral("0.5")}}});
    Press(W().btnCaseSeries);

    EXPECT_TRUE(matrixShown);
    EXPECT_TRUE(W().isVisible());
    EXPECT_EQ(saveDialog->calls.size(), 1u);
    ASSERT_EQ(Texts(MessageKind::Warning),
              std::vector<std::string>{"Case series: 1 of 2 cases analysed.\rThe results are saved in \"" + saved +
                                       "\".\r\rRows not analysed (their message is in the error column):\r"
                                       "line 3 (case \"P02\"): the score for \"Task\" is empty"});
    // The worksheet is kept as Continue keeps it, with the correlation entered.
    EXPECT_NE(FileText(DataPath()).find("\r\n1.000\r\n0.500\r\n1.000\r\n"), std::string::npos);

    // The case's row (z-scores -2 and -1, conditional mean 45), the refused one empty.
    const std::vector<std::string> lines = Lines(QString::fromStdString(FileText(saved)));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1].rfind("P01,1,20,two-sided,-2,-1,45,", 0), 0u) << lines[1];
    EXPECT_EQ(lines[2].rfind("P02,,", 0), 0u);

    // Beside the file, the same rows in the table window.
    const auto tables = W().findChildren<TSeriesTableWindow*>();
    ASSERT_EQ(tables.size(), 1);
    EXPECT_TRUE(tables[0]->isVisible());
    ASSERT_EQ(tables[0]->tblResults->rowCount(), 2);
    EXPECT_EQ(tables[0]->tblResults->item(0, 0)->text(), QStringLiteral("P01"));
}

TEST_F(CaseSeriesCommand, ARefusedCasesFileIsAnErrorAndNothingIsAskedOrSaved)
{
    const std::string cases = Begin("case,Task,Educ\nP01,30,8\n");
    AnswerMatrix({});
    Press(W().btnCaseSeries);
    EXPECT_EQ(Texts(MessageKind::Error),
              std::vector<std::string>{"\"" + cases +
                                       "\": the column \"Educ\" is not a variable of the analysis (Task, Cov 1)"});
    EXPECT_TRUE(saveDialog->calls.empty());
    EXPECT_FALSE(fs::exists(saved));
    EXPECT_TRUE(W().isVisible());
}

TEST_F(CaseSeriesCommand, AnErrorOfTheControlSampleIsShownAsForASingleRunAndNothingIsSaved)
{
    Begin("case,Task,Cov 1\nP01,30,8\n");
    Grid().SetCellText(1, MeanColumn, QStringLiteral("10000000"));  // too far from zero for the regression
    Grid().SetCellText(1, SDColumn, QStringLiteral("1"));
    AnswerMatrix({});
    Press(W().btnCaseSeries);
    // The engine's own message (raised on the series' thread) and the error,
    // both shown by the user-interface thread.
    ASSERT_EQ(Texts(MessageKind::Error).size(), 1u);
    EXPECT_EQ(Texts(MessageKind::Error)[0].rfind("The analysis cannot be completed", 0), 0u)
        << Texts(MessageKind::Error)[0];
    EXPECT_EQ(Texts(MessageKind::Information).size(), 1u);
    EXPECT_FALSE(fs::exists(saved));
}

TEST_F(CaseSeriesCommand, CancelInTheProgressDialogSavesNothing)
{
    Begin(FortyCases());
    bool cancelled = false;
    AnswerMatrix({});
    OnProgressDialog([&](QProgressDialog* progress) {
        QPushButton* cancel = progress->findChild<QPushButton*>();
        ASSERT_NE(cancel, nullptr);
        QTest::mouseClick(cancel, Qt::LeftButton);
        cancelled = true;
    });
    Press(W().btnCaseSeries);

    EXPECT_TRUE(cancelled);
    EXPECT_EQ(Texts(MessageKind::Information),
              std::vector<std::string>{"The case series was cancelled: no results were saved."});
    EXPECT_FALSE(fs::exists(saved));
    EXPECT_TRUE(W().isVisible());
}

// Answering No to the full run gives the exact values alone (the worked
// example's t, -1.605), without the Monte Carlo columns.
TEST_F(CaseSeriesCommand, ExactValuesOnlyWhenTheFullRunIsDeclined)
{
    Begin("case,Task,Cov 1\nP01,30,8\n");
    messages.ScriptAnswers({Answer::No});
    AnswerMatrix({{{1, 2, QStringLiteral("0.5")}}});
    Press(W().btnCaseSeries);

    const std::vector<std::string> lines = Lines(QString::fromStdString(FileText(saved)));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].find("condMean"), std::string::npos);
    EXPECT_EQ(lines[1].rfind("P01,1,20,two-sided,-2,-1,-1.605", 0), 0u) << lines[1];
}

TEST_F(CaseSeriesCommand, ClosingTheProgressDialogAsksBeforeCancelling)
{
    Begin(FortyCases());

    // The zero correlation is kept (Yes), the full run chosen (Yes); the
    // first close of the progress dialog is answered No: the series goes on;
    // the second, Yes.
    bool stillShownAfterNo = false;
    messages.ScriptAnswers({Answer::Yes, Answer::Yes, Answer::No, Answer::Yes});
    AnswerMatrix({});
    OnProgressDialog([&](QProgressDialog* progress) {
        progress->close();
        stillShownAfterNo = progress->isVisible() && !progress->wasCanceled();
        progress->close();
    });
    Press(W().btnCaseSeries);

    EXPECT_TRUE(stillShownAfterNo);
    ASSERT_EQ(Texts(MessageKind::Confirmation).size(), 4u);
    EXPECT_EQ(Texts(MessageKind::Confirmation)[1], TCaseSeriesRunner::FullRunQuestion);
    EXPECT_EQ(Texts(MessageKind::Confirmation)[2], "Cancel the case series? No results will be saved.");
    EXPECT_EQ(Texts(MessageKind::Information),
              std::vector<std::string>{"The case series was cancelled: no results were saved."});
    EXPECT_FALSE(fs::exists(saved));
}

// A results file that is the cases file, or a folder, is refused and asked
// again before the run; a save that fails at the end (the folder gone while
// the series ran) keeps the results and asks for another place.
TEST_F(CaseSeriesCommand, AResultsFileThatCannotBeKeptIsAskedAgain)
{
    const std::string text = "case,Task,Cov 1\nP01,30,8\n";
    const std::string cases = Begin(text, folder + "/./cases.csv");
    fs::create_directory(folder + "/gone");
    const std::string lost = folder + "/gone/series.csv";
    saveDialog->ScriptAnswer(folder);
    saveDialog->ScriptAnswer(lost);
    saveDialog->ScriptAnswer(saved);
    AnswerMatrix({});
    OnProgressDialog([&](QProgressDialog*) { fs::remove_all(folder + "/gone"); });
    Press(W().btnCaseSeries);

    EXPECT_EQ(saveDialog->calls.size(), 4u);
    EXPECT_EQ(Texts(MessageKind::Error),
              (std::vector<std::string>{
                  "Cannot write \"" + folder + "/./cases.csv\": it is the cases file, which is only read.",
                  "Cannot save the file \"" + folder + "\".\rIt is a directory, not a regular file.",
                  "Cannot save the file \"" + lost +
                      "\".\rNo such file or directory\r\rThe results are kept: choose another place to save them."}));
    EXPECT_EQ(FileText(cases), text);
    EXPECT_EQ(Lines(QString::fromStdString(FileText(saved))).size(), 2u);
    ASSERT_EQ(Texts(MessageKind::Information).size(), 1u);
    EXPECT_NE(Texts(MessageKind::Information)[0].find("The results are saved in \"" + saved + "\"."), std::string::npos);
}

// A click on a column's header sorts by value (numbers as numbers, a
// refused row's empty cell last); Ctrl+C copies the selection with its
// header as tab-separated text.
TEST(SeriesTableWindow, SortsByNumberAndCopiesItsSelection)
{
    auto cell = [](const char* text, bool isNumber, double number) { return SeriesCell{text, isNumber, number}; };
    SeriesTable rows;
    rows.header = {"case", "z", "error"};
    rows.rows = {{cell("A", false, 0), cell("10", true, 10), cell("", false, 0)},
                 {cell("B", false, 0), cell("", false, 0), cell("the score is empty", false, 0)},
                 {cell("C", false, 0), cell("-2.5", true, -2.5), cell("", false, 0)},
                 {cell("D", false, 0), cell("9", true, 9), cell("", false, 0)}};
    TSeriesTableWindow window(nullptr, rows, "series.csv");
    window.show();
    QTableWidget* table = window.tblResults;
    QHeaderView* header = table->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(1) + header->sectionSize(1) / 2, header->height() / 2));
    QStringList order;
    for (int r = 0; r < table->rowCount(); ++r) order << table->item(r, 0)->text();
    EXPECT_EQ(order.join(QString()), QStringLiteral("CDAB"));

    // Rows 1-2 (C, D), columns case and z: a click, then a shift-click.
    auto click = [&](int row, int column, Qt::KeyboardModifiers keys) {
        QTest::mouseClick(table->viewport(), Qt::LeftButton, keys, table->visualItemRect(table->item(row, column)).center());
    };
    click(0, 0, {});
    click(1, 1, Qt::ShiftModifier);
    QApplication::clipboard()->clear();
    QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("case\tz\nC\t-2.5\nD\t9\n"));
}

}  // namespace
}  // namespace desktop_test
