// The figure window: opened from the results window's menu after an
// analysis, it follows the latest analysis, leaves the report alone, and
// saves the figure as PNG, SVG or PDF.

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QMenu>

#include "tests/support/scripted_save_dialog.h"
#include "analysis/report/report.h"
#include "desktop/results/figure_view.h"
#include "desktop_fixture.h"
#include "tests/support/command_output.h"
#include "tests/support/worked_example_run.h"

namespace desktop_test {
namespace {

bool AnyTextContains(const FigureLayout& figure, const std::string& part)
{
    for (const FigureText& t : figure.texts)
        if (WithReportMinus(t.text).find(part) != std::string::npos) return true;
    return false;
}

// The report's own "Effect size (Z-CCC) = ..." line, last one shown.
std::string LastZcccLine(const std::vector<std::string>& lines)
{
    std::string found;
    for (const std::string& line : lines)
        if (line.rfind(" Effect size (Z-CCC) = ", 0) == 0) found = line;
    return found;
}

class FigureWindow : public DesktopTest {
protected:
    void Analyse()
    {
        AnswerMatrix({{{1, 2, QStringLiteral("0.5")}}});
        Press(W().cmdCompute);
        ASSERT_TRUE(results->isVisible());
    }
};

// Opened by the keyboard after an analysis; saved in each format and at
// the chosen size, with or without the title; the report's PDF keeps the
// full, titled figure on the page after the report's; a new analysis
// replaces it in the open window.
TEST_F(FigureWindow, FollowsTheLatestAnalysisAndSavesEachFormatAndSize)
{
    Start();
    EXPECT_FALSE(results->mnuShowFigure->isEnabled());
    FillWorkedExample();
    Analyse();
    const std::string saved = results->TextForFile();

    // F10 opens the menu bar, Right moves to "Figure", Enter shows it.
    ASSERT_TRUE(WaitUntilActive(results.get()));
    QTest::keyClick(results->cmdReturn, Qt::Key_F10);
    auto* figureMenu = qobject_cast<QMenu*>(results->mnuShowFigure->parent());
    ASSERT_NE(figureMenu, nullptr);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Right);
    ASSERT_EQ(QApplication::activePopupWidget(), figureMenu);
    QTest::keyClick(figureMenu, Qt::Key_Return);
    TfrmFigure* figure = results->frmFigure;
    ASSERT_TRUE(figure->isVisible());
    ASSERT_NE(figure->Figure(), nullptr);
    EXPECT_EQ(figure->windowTitle(), "Posterior distribution of Z-CCC: Task (k = 1, N = 20)");
    const QImage drawn = figure->canvas->grab().toImage();
    int inked = 0;  // across the middle of the plot: frame, shading, marks
    for (int x = 0; x < drawn.width(); ++x) inked += drawn.pixelColor(x, drawn.height() / 2) != QColor(Qt::white);
    EXPECT_GT(inked, drawn.width() / 4);
    // The figure quotes the report's limits; the report is as it was.
    const std::string zccc = LastZcccLine(ResultLines());
    ASSERT_FALSE(zccc.empty());
    EXPECT_TRUE(AnyTextContains(*figure->Figure(), zccc.substr(23, 6))) << zccc;
    EXPECT_EQ(results->TextForFile(), saved);

    // Save Figure... in each format; a name of another kind is refused with
    // a message (the figure file's tests hold its wording) and writes nothing.
    auto dialog = std::make_unique<platform::ScriptedSaveDialog>("figure.png", "PNG images (*.png);;PDF files (*.pdf)");
    platform::ScriptedSaveDialog* answers = dialog.get();
    figure->SetSaveDialog(std::move(dialog));
    const std::pair<std::string, std::string> files[] = {
        {"f.png", "\x89PNG\r\n\x1a\n"}, {"f.svg", "<?xml"}, {"f.pdf", "%PDF"}, {"f.bmp", ""}};
    for (const auto& [name, start] : files) {
        SCOPED_TRACE(name);
        answers->ScriptAnswer(folder + "/" + name);
        messages.Clear();
        QTest::mouseClick(figure->cmdSaveFigure, Qt::LeftButton);
        EXPECT_EQ(FileText(folder + "/" + name).substr(0, start.size()), start);
        EXPECT_EQ(fs::exists(folder + "/" + name), !start.empty());
        EXPECT_EQ(Texts(MessageKind::Error).size(), start.empty() ? 1u : 0u);
    }

    // The size choice and the title tick, from the keyboard and the mouse: a
    // journal column's PDF page 85 mm wide without the title.
    EXPECT_EQ(figure->cboFigureSize->accessibleName(), "Size");
    EXPECT_EQ(figure->chkFigureTitle->accessibleName(), "Title");
    EXPECT_EQ(figure->cboFigureSize->currentText(), "Screen");
    EXPECT_FALSE(figure->Figure()->printSize);
    figure->cboFigureSize->setFocus();
    QTest::keyClick(figure->cboFigureSize, Qt::Key_Down);
    EXPECT_EQ(figure->cboFigureSize->currentText(), "Journal column (85 mm)");
    QTest::mouseClick(figure->chkFigureTitle, Qt::LeftButton);
    EXPECT_FALSE(figure->chkFigureTitle->isChecked());
    EXPECT_NEAR(figure->Figure()->width * figure->Figure()->unitMm, 85, 1e-9);
    for (const FigureText& t : figure->Figure()->texts) EXPECT_NE(t.role, FigureTextRole::Title) << t.text;
    answers->ScriptAnswer(folder + "/column.pdf");
    QTest::mouseClick(figure->cmdSaveFigure, Qt::LeftButton);
    const std::string info = Squeezed(CommandOutput("pdfinfo '" + folder + "/column.pdf'"));
    EXPECT_NE(info.find("Page size: 241 x"), std::string::npos) << info;
    const std::string text = CommandOutput("pdftotext '" + folder + "/column.pdf' -");
    EXPECT_EQ(text.find("Posterior distribution"), std::string::npos) << text;
    EXPECT_NE(text.find("size (Z-CCC)"), std::string::npos) << text;

    auto pdfDialog = std::make_unique<platform::ScriptedSaveDialog>();
    pdfDialog->ScriptAnswer(folder + "/report.pdf");
    results->SetPdfSaveDialog(std::move(pdfDialog));
    results->mnuSavePdf->trigger();
    const std::string lastPage = CommandOutput("pdftotext -f 2 '" + folder + "/report.pdf' -");
    EXPECT_EQ(lastPage.find("Effect size (Z-CCC) ="), std::string::npos);
    EXPECT_NE(lastPage.find("Posterior distribution of Z-CCC: Task (k = 1, N = 20)"), std::string::npos);

    // A one-sided analysis replaces the figure in the open window.
    Press(results->cmdReturn);
    W().RadioItems[OneSidedUpper]->setChecked(true);
    Analyse();
    EXPECT_TRUE(figure->isVisible());
    const std::string upper = LastZcccLine(ResultLines());
    EXPECT_TRUE(AnyTextContains(*figure->Figure(), "95% upper credible limit: " + upper.substr(upper.rfind("= ") + 2, 6)))
        << upper;
    QTest::keyClick(figure, Qt::Key_Escape);
    EXPECT_FALSE(figure->isVisible());
}

}  // namespace
}  // namespace desktop_test
