// The figure as Qt draws it, read back from its SVG: the shaded interval's
// ends and the point estimate's line stand at the report's numbers, and the
// texts quote them. A refused or failed file leaves nothing behind.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <vector>

#include <QByteArray>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>
#include <QXmlStreamReader>

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

// The report's pages as the print layout makes them, then the figure. Every
// page: the header line at the top left corner of the 20 mm margins, the
// report's first line under it, and at the foot the date written and
// "Page n of m" against the right margin; the report's first line is the
// document's title.
TEST(ReportPdf, FramedReportPagesThenTheFigure)
{
    QTemporaryDir dir;
    const WorkedExampleRun& run = RunWorkedExample(TwoSided);
    std::vector<std::string> lines = run.report;
    for (int i = 1; i <= 120; ++i) lines.push_back(" Note " + std::to_string(i));
    const std::string path = dir.path().toStdString() + "/report.pdf";
    const int pages = WriteReportAndFigurePdf(path, lines, LayOutFigure(run.figure));

    QString text;
    for (const std::string& line : lines) text += QString::fromStdString(line) + QStringLiteral("\r\n");
    platform::PdfPrintSurface layout(platform::ReportPrintFont());
    ASSERT_GE(pages, 3);
    EXPECT_EQ(pages, platform::CountFramedPages(layout, text.toStdU32String(), platform::ReportPageFrame()) + 1);

    const std::string pdf = "'" + path + "'";
    const std::string all = Squeezed(CommandOutput("pdftotext -layout " + pdf + " -"));
    for (const std::string& line : lines) {
        const std::string words = Squeezed(line);
        if (!words.empty() && words != " ") {
            EXPECT_NE(all.find(words.substr(words[0] == ' ')), std::string::npos) << line;
        }
    }
    std::string heading;  // the report's first line that is not blank
    for (const std::string& line : run.report)
        if (heading.empty() && line.find_first_not_of(' ') != std::string::npos) heading = line;
    const std::string total = " of " + std::to_string(pages);
    const std::vector<std::pair<std::string, std::regex>> checks{
        {"pdfinfo " + pdf, std::regex("Title: +" + heading.substr(0, 40))},
        {"pdfinfo " + pdf, std::regex("Pages: +" + std::to_string(pages) + "\n")},
        {"pdfinfo " + pdf, std::regex("Page size: +595(\\.[0-9]+)? x 842(\\.[0-9]+)? pts")},
        {"pdftotext -layout -l 1 " + pdf + " -", std::regex("^Harrow [0-9.]+\\s+" + heading.substr(0, 40))},
        {"pdftotext -f 1 -l 1 " + pdf + " -", std::regex("Written 20[0-9]{2}-[0-9]{2}-[0-9]{2}\\s+Page 1" + total)},
        {"pdftotext -f 2 -l 2 " + pdf + " -", std::regex("^Harrow [0-9.]+[^]*Page 2" + total)},
        {"pdftotext -f " + std::to_string(pages) + " " + pdf + " -",
         std::regex("^Harrow [0-9.]+[^]*Posterior distribution of Z-CCC: Task \\(k = 1, N = 20\\)[^]*Page " +
                    std::to_string(pages) + total)},
    };
    for (const auto& [command, expected] : checks) {
        const std::string out = CommandOutput(command);
        EXPECT_TRUE(std::regex_search(out, expected)) << command << "\n" << out;
    }

    // Where the header and the page number stand: on the margins.
    const double margin = 20 / 25.4 * 72;
    const std::string words = CommandOutput("pdftotext -bbox -l 1 " + pdf + " -");
    std::smatch first, last;
    ASSERT_TRUE(std::regex_search(words, first, std::regex("xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>Harrow<")));
    EXPECT_NEAR(std::stod(first[1]), margin, 1.0);
    EXPECT_NEAR(std::stod(first[2]), margin, 1.5);
    ASSERT_TRUE(std::regex_search(words, last, std::regex("xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">" + std::to_string(pages) + "</word>\\s*</page>")));
    EXPECT_NEAR(std::stod(last[1]), 595.276 - margin, 2.0);
    EXPECT_LE(std::stod(last[2]), 841.89 - margin + 1.0);
}

}  // namespace
