// "Raw data..." on the worksheet, driven by clicks and keys: the file from
// the (scripted) open dialog, its variables listed, the choices and scores
// typed, refusals as boxes with the window kept open (their wording is the
// raw data tests'), the report with the worksheet untouched; a case series
// against the raw controls equal to the command line's.
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QProcess>
#include <QTableWidget>

#include "tests/support/scripted_open_dialog.h"
#include "tests/support/scripted_save_dialog.h"
#include "desktop/case_series/case_series_runner.h"
#include "desktop/case_series/series_table_window.h"
#include "desktop/results/figure_view.h"
#include "desktop/raw_data/raw_data_window.h"
#include "desktop_fixture.h"

namespace desktop_test {
namespace {

class RawDataCommand : public DesktopTest {
protected:
    void StartWithFile(const std::string& path)
    {
        Start();
        auto open = std::make_unique<platform::ScriptedOpenDialog>("Raw data", "*.csv");
        open->answers.push_back(path);
        W().SetRawDataOpenDialog(std::move(open));
    }

    std::string Write(const std::string& name, const std::string& bytes)
    {
        std::string path = folder + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    // Opens the window with a click and hands it to the steps, which must
    // close it (or it is cancelled).
    void InWindow(std::function<void(TRawDataWindow&)> steps)
    {
        bool opened = false;
        AnswerNextModal([&](QWidget* modal) {
            auto* window = qobject_cast<TRawDataWindow*>(modal);
            ASSERT_NE(window, nullptr);
            opened = true;
            steps(*window);
            if (window->isVisible()) QTest::mouseClick(window->cmdCancel, Qt::LeftButton);
        });
        QTest::mouseClick(W().btnRawData, Qt::LeftButton);
        EXPECT_TRUE(opened);
    }

    // A click on the box itself, not its caption.
    static void Tick(QCheckBox* box) { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2)); }
    static void Choose(QComboBox* combo, const char* name)
    {
        combo->setFocus(Qt::OtherFocusReason);
        QTest::keyClicks(combo, QString::fromLatin1(name));
        EXPECT_EQ(combo->currentText(), QString::fromLatin1(name));
    }
};

// The file and the choices are kept for the session: closed and opened
// again, the window shows them; Enter after the case's scores runs the
// analysis, whose report, figure and summary are this run's.
TEST_F(RawDataCommand, AnalysesTheCaseAgainstTheRawControlsAndLeavesTheWorksheetAlone)
{
    StartWithFile(std::string(HARROW_EXAMPLES_DIR) + "/raw-controls.csv");
    FillWorkedExample();
    W().memoComments->setPlainText(QStringLiteral("raw run"));
    const WorksheetData before = W().Data();

    std::vector<std::string> refusals;
    InWindow([&](TRawDataWindow& window) {
        QTest::mouseClick(window.btnChooseFile, Qt::LeftButton);
        ASSERT_EQ(window.lstVariables->rowCount(), 3);  // the id column holds text
        // Name, N, missing, mean, SD of each variable on its own.
        const char* expected[3][5] = {{"memory", "30", "0", "32.280", "6.440"},
                                      {"age", "30", "0", "66.267", "7.969"},
                                      {"education", "29", "1", "13.724", "3.172"}};
        for (int i = 0; i < 3; ++i)
            for (int c = 0; c < 5; ++c) EXPECT_EQ(window.lstVariables->item(i, c)->text().toStdString(), expected[i][c]);
        Choose(window.cboTask, "memory");
        Choose(window.cboCovariates[0], "age");
        Choose(window.cboCovariates[1], "education");
        QTest::keyClicks(window.txtTaskScore, "21");
        QTest::keyClicks(window.txtCovariateScores[0], "70");
        QTest::keyClicks(window.txtCovariateScores[1], "12");
        QTest::mouseClick(window.RadioItems[OneSidedLower], Qt::LeftButton);
        QTest::mouseClick(window.cmdContinue, Qt::LeftButton);
        refusals = Texts(MessageKind::Error);
        EXPECT_TRUE(window.isVisible());
        Tick(window.chkDropIncomplete);
        QTest::mouseClick(window.cmdCancel, Qt::LeftButton);
    });
    EXPECT_EQ(refusals, std::vector<std::string>{
                            "1 control has no value for one or more of the chosen variables (line 19 of "
                            "\"raw-controls.csv\"): complete it, or leave out incomplete controls."});
    InWindow([&](TRawDataWindow& window) {
        EXPECT_EQ(window.lblFile->text(), QStringLiteral("raw-controls.csv: 30 controls"));
        EXPECT_EQ(window.lstVariables->rowCount(), 3);
        EXPECT_EQ(window.cboTask->currentText(), QStringLiteral("memory"));
        EXPECT_EQ(window.cboCovariates[1]->currentText(), QStringLiteral("education"));
        EXPECT_TRUE(window.chkDropIncomplete->isChecked());
        EXPECT_TRUE(window.RadioItems[OneSidedLower]->isChecked());
        QTest::keyClicks(window.txtTaskScore, "21");
        QTest::keyClicks(window.txtCovariateScores[0], "70");
        QTest::keyClicks(window.txtCovariateScores[1], "12");
        QTest::keyClick(window.txtCovariateScores[1], Qt::Key_Return);  // Enter in a field: Continue
        EXPECT_FALSE(window.isVisible());
    });

    EXPECT_TRUE(results->isVisible());
    EXPECT_FALSE(W().isVisible());
    const std::vector<std::string> lines = ResultLines();
    // The source line stands right under INPUTS.
    auto inputs = std::find(lines.begin(), lines.end(), " INPUTS:");
    ASSERT_NE(inputs, lines.end());
    EXPECT_EQ(inputs[1], " Summary statistics computed from raw data: \"raw-controls.csv\", N = 29 controls, 1 "
                         "incomplete control left out");
    for (const char* line : {" User's Notes: raw run", " Credible limit required: One-sided lower",
                             "  Task of Interest:      32.103          6.480          21.000                -1.713",
                             "  Covariate 2:           13.724          3.172          12.000                -0.543",
                             " One-tailed probability = 0.02606 "})
        EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
    ASSERT_NE(results->frmFigure->Figure(), nullptr);
    EXPECT_EQ(results->frmFigure->Figure()->title, "Posterior distribution of Z-CCC: memory (k = 2, N = 29)");
    results->mnuCopySummary->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString().rfind(
                  "Compared with 29 controls, and controlling for age and education, the case's memory score", 0),
              0u);

    // Neither the worksheet's fields nor its data file changed.
    const WorksheetData& after = W().Data();
    EXPECT_EQ(after.fields, before.fields);
    for (int r = 0; r < 2; ++r)
        for (int c = NameColumn; c < GridColumns; ++c) EXPECT_EQ(after.Cell(r, c), before.Cell(r, c));
    EXPECT_FALSE(fs::exists(DataPath()));
}

TEST_F(RawDataCommand, EachRefusalIsAMessageAndTheWindowStaysOpen)
{
    const std::string csv = Write("controls.csv", "id;a;b;c\nP1;1,5;2;7\nP2;2,5;4;7\nP3;4;1;7\nP4;3;3;7\n");
    const std::string damaged = Write("damaged.sav", "$FL2 not really");
    struct Case {
        const char* name;
        std::string file;  // "" for none chosen
        const char* task;
        std::vector<const char*> covariates;
        std::vector<const char*> scores;
        MessageKind kind;
        std::string message;  // the first message's start
    } cases[] = {
        {"no file", "", "", {}, {}, MessageKind::Error, TRawDataWindow::NoFileMessage},
        {"damaged file", damaged, "", {}, {}, MessageKind::Error, "Cannot read \"damaged.sav\""},
        {"chosen twice", csv, "a", {"b", "a"}, {"1", "2", "3"}, MessageKind::Error, "The variable \"a\" is chosen twice."},
        {"no spread", csv, "a", {"c"}, {"1", "2"}, MessageKind::Error, "The variable \"c\" has the same value"},
        {"score not a number", csv, "a", {"b"}, {"1", "x"}, MessageKind::Warning, "INPUT ERROR\r(  b  x  )"},
        {"score missing", csv, "a", {"b"}, {"1"}, MessageKind::Warning, "INPUT ERROR\r\r(  b  )"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartWithFile(c.file);
        messages.Clear();
        InWindow([&](TRawDataWindow& window) {
            if (!c.file.empty()) QTest::mouseClick(window.btnChooseFile, Qt::LeftButton);
            if (*c.task) Choose(window.cboTask, c.task);
            for (std::size_t j = 0; j < c.covariates.size(); ++j) Choose(window.cboCovariates[j], c.covariates[j]);
            for (std::size_t j = 0; j < c.scores.size(); ++j)
                QTest::keyClicks(j == 0 ? window.txtTaskScore : window.txtCovariateScores[j - 1], c.scores[j]);
            QTest::mouseClick(window.cmdContinue, Qt::LeftButton);
            EXPECT_TRUE(window.isVisible());
            // A refused score is focused for retyping.
            if (c.kind == MessageKind::Warning) {
                EXPECT_EQ(window.focusWidget(), window.txtCovariateScores[0]);
            }
        });
        // A file that cannot be read leaves none chosen: Continue then asks for one.
        ASSERT_EQ(messages.shown.size(), c.file == damaged ? 2u : 1u);
        EXPECT_EQ(messages.shown[0].kind, c.kind);
        EXPECT_EQ(messages.shown[0].text.substr(0, c.message.size()), c.message);
        EXPECT_EQ(messages.shown.back().text, c.file == damaged ? TRawDataWindow::NoFileMessage : messages.shown[0].text);
        EXPECT_FALSE(results->isVisible());
    }
}

// "Case series..." runs the cases file against the raw controls and saves
// what the command line writes for the same files and choices; the results
// open in a table of the same cells, which stays when the window closes.
TEST_F(RawDataCommand, ACaseSeriesAgainstRawControlsSavesWhatTheCommandLineWrites)
{
    const std::string controls = std::string(HARROW_EXAMPLES_DIR) + "/raw-controls.csv";
    const std::string cases = std::string(HARROW_EXAMPLES_DIR) + "/raw-controls-cases.csv";
    const std::string saved = folder + "/series.csv";
    StartWithFile(controls);
    messages.ScriptAnswers({Answer::No});  // the exact values alone: quick
    InWindow([&](TRawDataWindow& window) {
        auto open = std::make_unique<platform::ScriptedOpenDialog>("Cases file", "*.csv");
        auto save = std::make_unique<platform::ScriptedSaveDialog>("case-series.csv", "*.csv");
        open->answers.push_back(cases);
        save->ScriptAnswer(saved);
        window.CaseSeriesRunner().SetDialogs(std::move(open), std::move(save));
        QTest::mouseClick(window.btnChooseFile, Qt::LeftButton);
        Choose(window.cboTask, "memory");
        Choose(window.cboCovariates[0], "age");
        Choose(window.cboCovariates[1], "education");
        Tick(window.chkDropIncomplete);
        QTest::mouseClick(window.RadioItems[OneSidedLower], Qt::LeftButton);
        QTest::mouseClick(window.cmdCaseSeries, Qt::LeftButton);
        EXPECT_TRUE(window.isVisible());
    });
    ASSERT_EQ(Texts(MessageKind::Information).size(), 1u);
    EXPECT_EQ(Texts(MessageKind::Information)[0].rfind("Case series: 3 of 3 cases analysed.", 0), 0u);

    QProcess cli;
    cli.start(QStringLiteral(HARROW_CLI_PATH),
              QStringLiteral("--controls|%1|--task|memory|--covariates|age,education|--drop-incomplete|--limit|lower|"
                             "--exact-only|--cases|%2")
                  .arg(QString::fromStdString(controls), QString::fromStdString(cases))
                  .split(QLatin1Char('|')));
    ASSERT_TRUE(cli.waitForFinished(60000));
    const std::string written = FileText(saved);
    EXPECT_EQ(written, cli.readAllStandardOutput().toStdString());

    // The table holds the file's header and fields, after the window closed.
    auto* table = W().findChild<TSeriesTableWindow*>();
    ASSERT_NE(table, nullptr);
    EXPECT_TRUE(table->isVisible());
    const std::vector<std::string> lines = Lines(QString::fromStdString(written));
    ASSERT_EQ(lines.size(), 4u);
    for (int r = 0; r < 4; ++r) {
        QStringList cells;
        for (int c = 0; c < table->tblResults->columnCount(); ++c)
            cells << (r == 0 ? table->tblResults->horizontalHeaderItem(c) : table->tblResults->item(r - 1, c))->text();
        EXPECT_EQ(cells.join(QLatin1Char(',')).toStdString() + "\r", lines[static_cast<std::size_t>(r)]);
    }
}

}  // namespace
}  // namespace desktop_test
