// The figure as Qt draws it, read back from its SVG: the shaded interval's
// ends and the point estimate's line stand at the report's numbers, and the
// texts quote them. A refused or failed file leaves nothing behind.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include <QByteArray>
#include <QStringList>
#include <QTemporaryDir>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <cstdio>

#include <QFont>

#include "analysis/report/print_layout.h"
#include "analysis/files/text_file.h"
#include "render/figure_files.h"
#include "render/report_figure_pdf.h"
#include "render/report_pdf.h"
#include "tests/support/worked_example_run.h"
#include "tests/support/command_output.h"

namespace {

namespace fs = std::filesystem;

// What the SVG draws: rectangles and polylines with the fill or stroke width
// of their group, and the texts.
struct SvgShape {
    QString fill;
    double strokeWidth = 0;
    std::vector<double> numbers;  // x, y, width, height; or the points' coordinates
};
struct SvgDrawing {
    std::vector<SvgShape> rects, polylines;
    QStringList texts;
    bool wellFormed = false;
};

SvgDrawing ReadSvg(const QByteArray& bytes)
{
    SvgDrawing drawing;
    QXmlStreamReader xml(bytes);
    std::vector<SvgShape> groups{SvgShape{}};
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == QLatin1String("g")) groups.pop_back();
        if (!xml.isStartElement()) continue;
        const QXmlStreamAttributes a = xml.attributes();
        if (xml.name() == QLatin1String("g")) {
            SvgShape g = groups.back();
            if (a.hasAttribute(QLatin1String("fill"))) g.fill = a.value(QLatin1String("fill")).toString();
            if (a.hasAttribute(QLatin1String("stroke-width")))
                g.strokeWidth = a.value(QLatin1String("stroke-width")).toDouble();
            groups.push_back(g);
        } else if (xml.name() == QLatin1String("rect")) {
            SvgShape r = groups.back();
            for (const char* n : {"x", "y", "width", "height"}) r.numbers.push_back(a.value(QLatin1String(n)).toDouble());
            drawing.rects.push_back(r);
        } else if (xml.name() == QLatin1String("polyline")) {
            SvgShape p = groups.back();
            for (const QString& n : a.value(QLatin1String("points")).toString().split(QRegularExpression("[ ,]"), Qt::SkipEmptyParts))
                p.numbers.push_back(n.toDouble());
            drawing.polylines.push_back(p);
        } else if (xml.name() == QLatin1String("text")) {
            drawing.texts.push_back(xml.readElementText());
        }
    }
    drawing.wellFormed = !xml.hasError();
    return drawing;
}

double Number(const std::string& text) { return std::strtod(text.c_str(), nullptr); }

// The SVG writes coordinates with six digits; the report prints three decimals.
constexpr double PrintedAndDrawn = 0.0005 + 0.0002;

TEST(FigureSvg, DrawsTheReportsIntervalAndEstimate)
{
    const WorkedExampleRun& run = RunWorkedExample(TwoSided);
    const FigureLayout layout = LayOutFigure(run.figure);
    const SvgDrawing svg = ReadSvg(QByteArray::fromStdString(FigureFileBytes(layout, FigureFormat::Svg)));
    ASSERT_TRUE(svg.wellFormed);
    const std::vector<std::string> reported = ReportedZcccNumbers(run.report);
    ASSERT_EQ(reported.size(), 3u);

    // The shaded interval: light grey, the plot's full height.
    std::vector<SvgShape> bands;
    for (const SvgShape& r : svg.rects)
        if (r.fill == QLatin1String("#d2d2d2") && std::abs(r.numbers[3] - layout.plotHeight) < 1e-3) bands.push_back(r);
    ASSERT_EQ(bands.size(), 1u);
    EXPECT_NEAR(layout.ZOf(bands[0].numbers[0]), Number(reported[1]), PrintedAndDrawn);
    EXPECT_NEAR(layout.ZOf(bands[0].numbers[0] + bands[0].numbers[2]), Number(reported[2]), PrintedAndDrawn);

    // The point estimate: the thick line across the plot.
    std::vector<double> estimates;
    for (const SvgShape& p : svg.polylines)
        if (p.strokeWidth > 2 && p.numbers.size() == 4 && p.numbers[0] == p.numbers[2] &&
            std::abs(p.numbers[3] - p.numbers[1] - layout.plotHeight) < 1e-3)
            estimates.push_back(p.numbers[0]);
    ASSERT_EQ(estimates.size(), 1u);
    EXPECT_NEAR(layout.ZOf(estimates[0]), Number(reported[0]), PrintedAndDrawn);

    // Bars: the grey ones and the white ones.
    int greyBars = 0, whiteBars = 0;
    for (const SvgShape& r : svg.rects) {
        greyBars += r.fill == QLatin1String("#8c8c8c");
        whiteBars += r.fill == QLatin1String("#ffffff");
    }
    EXPECT_GT(greyBars, 20);
    EXPECT_GT(whiteBars, 10);

    const QString texts = svg.texts.join(QLatin1Char('\n')).replace(QChar(0x2212), QLatin1Char('-'));
    EXPECT_TRUE(texts.contains(QLatin1String("Posterior distribution of Z-CCC: Task (k = 1, N = 20)")));
    for (const std::string& number : reported) EXPECT_TRUE(texts.contains(QString::fromStdString(number))) << number;
    for (const char* axis : {"Effect size (Z-CCC)", "Posterior density", "Percentage of controls below"})
        EXPECT_TRUE(texts.contains(QLatin1String(axis))) << axis;
}

TEST(FigureFile, RefusedOrFailedNameLeavesNoFile)
{
    QTemporaryDir dir;
    const FigureLayout layout = LayOutFigure(RunWorkedExample(TwoSided).figure);
    const std::string folder = dir.path().toStdString();
    struct Case {
        std::string path;
        std::string message;
    };
    const std::vector<Case> cases{
        {folder + "/figure.bmp", "Cannot save the figure as \"" + folder + "/figure.bmp\": the name must end in .png, .svg or .pdf."},
        {folder + "/figure", "Cannot save the figure as \"" + folder + "/figure\": the name must end in .png, .svg or .pdf."},
        {folder + "/missing/figure.png", "Cannot save the file \"" + folder + "/missing/figure.png\"."},
    };
    for (const Case& c : cases) {
        try {
            WriteFigureFile(c.path, layout);
            ADD_FAILURE() << c.path << " was written";
        } catch (const platform::FileWriteError& e) {
            EXPECT_EQ(std::string(e.what()).substr(0, c.message.size()), c.message);
        }
    }
    EXPECT_TRUE(fs::is_empty(folder));
}

TEST(ReportPdf, ReportPagesAsPrintedThenTheFigure)
{
    QTemporaryDir dir;
    const WorkedExampleRun& run = RunWorkedExample(TwoSided);
    const FigureLayout figure = LayOutFigure(run.figure);
    const std::string path = dir.path().toStdString() + "/report.pdf";
    const int pages = WriteReportAndFigurePdf(path, run.report, figure);

    // The report's pages as the print layout makes them on the same surface.
    QString text;
    for (const std::string& line : run.report) text += QString::fromStdString(line) + QStringLiteral("\r\n");
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSize(8);
    platform::PdfPrintSurface layout(font);
    layout.BeginDocument();
    platform::LayOutText(layout, text.toStdU32String() + U"\r\n");
    const int reportPages = layout.PageCount();
    layout.AbortDocument();

    EXPECT_EQ(pages, reportPages + 1);
    EXPECT_NE(Squeezed(CommandOutput("pdfinfo '" + path + "'")).find("Pages: " + std::to_string(reportPages + 1) + " "),
              std::string::npos);
    const std::string all = Squeezed(CommandOutput("pdftotext -layout '" + path + "' -"));
    for (const std::string& line : run.report) {
        const std::string words = Squeezed(line);
        if (!words.empty() && words != " ") {
            EXPECT_NE(all.find(words.substr(words[0] == ' ')), std::string::npos) << line;
        }
    }
    const std::string last = CommandOutput("pdftotext -f " + std::to_string(pages) + " -l " + std::to_string(pages) +
                                           " '" + path + "' -");
    EXPECT_NE(last.find("Posterior distribution of Z-CCC: Task (k = 1, N = 20)"), std::string::npos) << last;
}

}  // namespace
