// "Raw data..." on the worksheet, driven by clicks and keys: the file from
// the (scripted) open dialog, its numeric variables listed, the choices and
// the case's scores typed, the refusals as message boxes with the window
// kept open, and the report in the results window with the worksheet and
// its data file untouched.
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QTreeWidget>

#include "tests/support/scripted_open_dialog.h"
#include "analysis/files/open_dialog.h"
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

    static void Choose(QComboBox* combo, const char* name)
    {
        combo->setFocus(Qt::OtherFocusReason);
        QTest::keyClicks(combo, QString::fromLatin1(name));
        EXPECT_EQ(combo->currentText(), QString::fromLatin1(name));
    }
};

TEST_F(RawDataCommand, AnalysesTheCaseAgainstTheRawControlsAndLeavesTheWorksheetAlone)
{
    StartWithFile(std::string(HARROW_EXAMPLES_DIR) + "/raw-controls.csv");
    FillWorkedExample();
    W().memoComments->setPlainText(QStringLiteral("raw run"));
    const WorksheetData before = W().Data();

    std::vector<std::string> refusals;
    InWindow([&](TRawDataWindow& window) {
        QTest::mouseClick(window.btnChooseFile, Qt::LeftButton);
        ASSERT_EQ(window.lstVariables->topLevelItemCount(), 3);  // the id column holds text
        const char* expected[3][3] = {{"memory", "30", "32.280"}, {"age", "30", "66.267"}, {"education", "29", "13.724"}};
        for (int i = 0; i < 3; ++i)
            for (int c = 0; c < 3; ++c)
                EXPECT_EQ(window.lstVariables->topLevelItem(i)->text(c).toStdString(), expected[i][c]);
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
        QTest::mouseClick(window.chkDropIncomplete, Qt::LeftButton, {}, QPoint(6, window.chkDropIncomplete->height() / 2));
        EXPECT_TRUE(window.chkDropIncomplete->isChecked());
        QTest::mouseClick(window.cmdContinue, Qt::LeftButton);
        EXPECT_FALSE(window.isVisible());
    });
    EXPECT_EQ(refusals, std::vector<std::string>{
                            "1 control has no value for one or more of the chosen variables (line 19 of "
                            "\"raw-controls.csv\"): complete it, or leave out incomplete controls."});

    EXPECT_TRUE(results->isVisible());
    EXPECT_FALSE(W().isVisible());
    const std::vector<std::string> lines = ResultLines();
    for (const char* line : {" User's Notes: raw run", " INPUTS:",
                             " Summary statistics computed from raw data: \"raw-controls.csv\", N = 29 controls, 1 "
                             "incomplete control left out",
                             " Number of covariates = 2", " Sample size (N) of control sample= 29",
                             " Credible limit required: One-sided lower",
                             "  Task of Interest:      32.103          6.480          21.000                -1.713",
                             "  Covariate 1:           66.207          8.104          70.000                 0.468",
                             "  Covariate 2:           13.724          3.172          12.000                -0.543",
                             " One-tailed probability = 0.02606 "})
        EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
    // The figure menu shows this run's figure.
    ASSERT_NE(results->frmFigure->Figure(), nullptr);
    EXPECT_EQ(results->frmFigure->Figure()->title, "Posterior distribution of Z-CCC: memory (k = 2, N = 29)");
    // Copy summary holds this run's sentence, with the chosen variables.
    results->mnuCopySummary->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString().rfind(
                  "Compared with 29 controls, and controlling for age and education, the case's memory score was "
                  "below its predicted score",
                  0),
              0u);
    // The source line stands right under INPUTS.
    auto inputs = std::find(lines.begin(), lines.end(), " INPUTS:");
    ASSERT_NE(inputs, lines.end());
    EXPECT_EQ(inputs[1].substr(0, 44), " Summary statistics computed from raw data: ");

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
        {"damaged file", damaged, "", {}, {}, MessageKind::Error,
         "Cannot read \"damaged.sav\" as an SPSS data file: "},
        {"chosen twice", csv, "a", {"b", "a"}, {"1", "2", "3"}, MessageKind::Error,
         "The variable \"a\" is chosen twice."},
        {"no spread", csv, "a", {"c"}, {"1", "2"}, MessageKind::Error,
         "The variable \"c\" has the same value for every control: a variable without spread cannot be analysed."},
        {"score not a number", csv, "a", {"b"}, {"1", "x"}, MessageKind::Warning,
         "INPUT ERROR\r(  b  x  )\r\rEnter numeric data only."},
        {"score missing", csv, "a", {"b"}, {"1"}, MessageKind::Warning,
         "INPUT ERROR\r\r(  b  )\r\rData have not been entered in this field."},
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

}  // namespace
}  // namespace desktop_test
