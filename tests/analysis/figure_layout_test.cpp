// The figure's geometry: the shaded interval ends at the report's limits,
// the marks stand at the report's Z-CCC and at zero, the bars carry the
// draws, the second axis shows 100 * F(z), and every number keeps its
// decimal point under a comma locale.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <regex>

#include "analysis/figure/figure_layout.h"
#include "tests/support/comma_locale.h"
#include "tests/support/worked_example_run.h"

namespace {

double Number(const std::string& text) { return std::strtod(text.c_str(), nullptr); }

// A printed number of three decimals and the exact value it stands for.
constexpr double ThreeDecimals = 0.0005 + 1e-9;

const FigureRect& PlotBand(const FigureLayout& f)
{
    for (const FigureRect& r : f.rects)
        if (r.style == FigureStyle::IntervalBand && r.top == f.plotTop && r.height == f.plotHeight) return r;
    throw std::logic_error("no shaded interval in the plot");
}

// The one line of the style that spans the plot's height.
double MarkX(const FigureLayout& f, FigureStyle style)
{
    std::vector<double> xs;
    for (const FigureLine& l : f.lines)
        if (l.style == style && l.y1 == f.plotTop && l.y2 == f.plotTop + f.plotHeight) xs.push_back(l.x1);
    if (xs.size() != 1) throw std::logic_error("not one mark of the style");
    return xs[0];
}

bool HasTextContaining(const FigureLayout& f, const std::string& part)
{
    for (const FigureText& t : f.texts)
        if (WithReportMinus(t.text).find(part) != std::string::npos) return true;
    return false;
}

double NormalPercent(double z) { return 50 * std::erfc(-z / std::sqrt(2.0)); }

class WorkedExampleFigure : public ::testing::TestWithParam<int> {};

TEST_P(WorkedExampleFigure, MarksShadingAndPercentageStandWhereTheReportSays)
{
    const WorkedExampleRun& run = RunWorkedExample(GetParam());
    const FigureLayout f = LayOutFigure(run.figure);
    const std::vector<std::string> reported = ReportedZcccNumbers(run.report);
    ASSERT_EQ(reported.size(), GetParam() == TwoSided ? 3u : 2u);

    EXPECT_NEAR(f.ZOf(MarkX(f, FigureStyle::Estimate)), Number(reported[0]), ThreeDecimals);
    EXPECT_NEAR(f.ZOf(MarkX(f, FigureStyle::Zero)), 0.0, 1e-9);

    const FigureRect& band = PlotBand(f);
    const double from = f.ZOf(band.left), to = f.ZOf(band.left + band.width);
    const double plotFrom = f.ZOf(f.plotLeft), plotTo = f.ZOf(f.plotLeft + f.plotWidth);
    switch (GetParam()) {
    case TwoSided:
        EXPECT_NEAR(from, Number(reported[1]), ThreeDecimals);
        EXPECT_NEAR(to, Number(reported[2]), ThreeDecimals);
        break;
    case OneSidedLower:
        EXPECT_NEAR(from, Number(reported[1]), ThreeDecimals);
        EXPECT_NEAR(to, plotTo, 1e-9);
        break;
    case OneSidedUpper:
        EXPECT_NEAR(from, plotFrom, 1e-9);
        EXPECT_NEAR(to, Number(reported[1]), ThreeDecimals);
        break;
    }
    // The legend quotes the report's numbers as printed.
    for (const std::string& number : reported) EXPECT_TRUE(HasTextContaining(f, number)) << number;
    EXPECT_EQ(f.title, "Posterior distribution of Z-CCC: Task (k = 1, N = 20)");

    // Bars: darker exactly inside the interval; together they hold the
    // draws inside the plot's range, nearly all of them.
    ASSERT_EQ(run.figure.summary.draws, 1000000);
    double area = 0;
    int bars = 0;
    for (const FigureRect& r : f.rects) {
        if (r.style != FigureStyle::Bar && r.style != FigureStyle::BarInInterval) continue;
        if (r.top + r.height != f.plotTop + f.plotHeight) continue;  // the legend's swatch
        ++bars;
        const double a = f.ZOf(r.left), b = f.ZOf(r.left + r.width);
        const bool inside = a >= from - 1e-9 && b <= to + 1e-9;
        EXPECT_EQ(r.style == FigureStyle::BarInInterval, inside) << a << " .. " << b;
        area += (b - a) * r.height / f.plotHeight * f.densityTo;
    }
    EXPECT_GT(bars, 30);
    EXPECT_NEAR(area, 1.0, 0.002);

    // The second axis: each label p stands where 100 * F(z) = p.
    int percentTicks = 0;
    for (const FigureText& t : f.texts) {
        if (t.role != FigureTextRole::TickLabel || t.y >= f.plotTop) continue;
        ++percentTicks;
        EXPECT_NEAR(NormalPercent(f.ZOf(t.x)), Number(t.text), 1e-6 * std::max(1.0, Number(t.text))) << t.text;
    }
    EXPECT_GE(percentTicks, 5);

    // The report's percentage below stands on the top axis where 100 * F(z)
    // equals it, labelled as the report prints it; the axis says what it is.
    std::string percent;
    for (const std::string& line : run.report)
        if (line.rfind(" Bayesian point estimate    = ", 0) == 0) percent = line.substr(30, line.find('%') - 29);
    ASSERT_FALSE(percent.empty());
    std::vector<const FigureText*> marks;
    for (const FigureText& t : f.texts)
        if (t.role == FigureTextRole::MarkLabel) marks.push_back(&t);
    ASSERT_EQ(marks.size(), 1u);
    EXPECT_EQ(marks[0]->text, percent);
    EXPECT_NEAR(NormalPercent(f.ZOf(marks[0]->x)), Number(percent), 0.00005 + 1e-9);
    EXPECT_LT(marks[0]->y, f.plotTop);
    int markLines = 0;
    for (const FigureLine& l : f.lines) markLines += l.style == FigureStyle::PercentMark && l.x1 == marks[0]->x;
    EXPECT_EQ(markLines, 1);
    EXPECT_TRUE(HasTextContaining(f, "Estimated controls below (top axis): " + percent));
    EXPECT_TRUE(HasTextContaining(f, "Percentage of controls below z: 100"));
}

INSTANTIATE_TEST_SUITE_P(EachCredibleLimit, WorkedExampleFigure,
                         ::testing::Values(TwoSided, OneSidedLower, OneSidedUpper));

// Zero and every mark stay in the plot, with or without the draws.
TEST(FigureLayout, ZeroAndMarksInsideThePlotWithoutOrFarFromTheDraws)
{
    FigureData noDraws, farOut;
    noDraws.result = tBayesResult{0, 0, 0, 0, 0, 0.8L, 0.2L, 1.5L};  // Z-CCC 0.8, limits 0.2 and 1.5
    farOut.result = tBayesResult{0, 0, 0, 0, 0, -14, -19, -10};
    farOut.summary.draws = 1000;
    farOut.summary.from = -20;
    farOut.summary.to = -9;
    farOut.summary.counts.assign(11, 90);
    farOut.summary.below = 5;
    farOut.summary.above = 5;
    for (const FigureData& data : {noDraws, farOut}) {
        const FigureLayout f = LayOutFigure(data);
        for (double z : {0.0, static_cast<double>(data.result.zccc), static_cast<double>(data.result.zcccLower),
                         static_cast<double>(data.result.zcccUpper)}) {
            EXPECT_GT(z, f.zFrom);
            EXPECT_LT(z, f.zTo);
        }
        EXPECT_NEAR(f.ZOf(MarkX(f, FigureStyle::Zero)), 0.0, 1e-9);
        EXPECT_NEAR(f.ZOf(PlotBand(f).left), static_cast<double>(data.result.zcccLower), 1e-9);
    }
    // Without covariates the effect size is Z-CC, in the title and on the axis.
    EXPECT_EQ(FigureTitle(noDraws), "Posterior distribution of Z-CC: Task of Interest (k = 0, N = 0)");
    noDraws.k = 2;
    EXPECT_EQ(FigureTitle(noDraws), "Posterior distribution of Z-CCC: Task of Interest (k = 2, N = 0)");
    noDraws.k = 0;
    EXPECT_TRUE(HasTextContaining(LayOutFigure(noDraws), "Effect size (Z-CC)"));
}

TEST(FigureLayout, NumbersKeepTheirDecimalPointUnderACommaLocale)
{
    const FigureLayout plain = LayOutFigure(RunWorkedExample(TwoSided).figure);
    REQUIRE_COMMA_LOCALE(comma);
    const FigureLayout underComma = LayOutFigure(RunWorkedExample(TwoSided).figure);
    ASSERT_EQ(underComma.texts.size(), plain.texts.size());
    for (std::size_t i = 0; i < plain.texts.size(); ++i) EXPECT_EQ(underComma.texts[i].text, plain.texts[i].text);
    // Negative numbers with a true minus sign, never a hyphen.
    bool estimateQuoted = false;
    for (const FigureText& t : underComma.texts) {
        EXPECT_FALSE(std::regex_search(t.text, std::regex("-[0-9]"))) << t.text;
        estimateQuoted = estimateQuoted || t.text.find("Z-CCC = \xE2\x88\x92" "1.732") != std::string::npos;
    }
    EXPECT_TRUE(estimateQuoted);
}

// A printed width: the canvas prints at that width (within the accepted
// range), its smallest text at 7 points or more, everything on the canvas;
// without the title the figure is shorter and has none.
TEST(FigureLayout, PrintedWidthsKeepTextAtSevenPointsOnTheCanvas)
{
    const FigureData& data = RunWorkedExample(TwoSided).figure;
    struct Case {
        double widthMm;
        bool title;
        double printedMm;
    };
    const Case cases[] = {{85, true, 85}, {85, false, 85}, {175, true, 175}, {300, true, 300},
                          {10, true, MinFigureWidthMm}, {1000, false, MaxFigureWidthMm}};
    const double sevenPointsMm = 7 * 25.4 / 72;
    for (const Case& c : cases) {
        const FigureLayout f = LayOutFigure(data, FigureOptions{c.widthMm, c.title});
        EXPECT_TRUE(f.printSize);
        EXPECT_NEAR(f.width * f.unitMm, c.printedMm, 1e-9) << c.widthMm;
        EXPECT_GE(11 * f.unitMm, sevenPointsMm - 1e-12) << c.widthMm;
        bool titled = false;
        for (const FigureText& t : f.texts) {
            titled = titled || t.role == FigureTextRole::Title;
            EXPECT_GE(t.x, 0);
            EXPECT_LE(t.x, f.width);
            EXPECT_GT(t.y, 0);
            EXPECT_LE(t.y, f.height);
        }
        EXPECT_EQ(titled, c.title) << c.widthMm;
        for (const FigureRect& r : f.rects) EXPECT_LE(r.left + r.width, f.width + 1e-9);
        if (!c.title) {
            EXPECT_LT(f.height, LayOutFigure(data, FigureOptions{c.widthMm, true}).height);
        }
    }
    const FigureLayout onScreen = LayOutFigure(data);
    EXPECT_TRUE(!onScreen.printSize && onScreen.width == FigureWidth && onScreen.height == FigureHeight);
}

}  // namespace
