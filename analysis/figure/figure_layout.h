#pragma once
// The figure of one analysis as plain geometry: what to draw where on a
// canvas of width x height units (y downwards), without any drawing library.
// The posterior of Z-CCC as a histogram of densities, the credible interval
// (or one-sided limit) shaded, the point estimate and zero marked, the
// density axis on the left, Z-CCC below and, on a second axis above, the
// percentage of controls below a case at z, 100 * F(z), with the report's
// estimated percentage marked on it. Every number is written with a decimal
// point, in every locale, and a true minus sign. The painters in render/
// draw exactly these items.
#include <string>
#include <vector>

#include "analysis/figure/figure_data.h"

// The canvas of the figure as shown on screen.
inline constexpr double FigureWidth = 800;
inline constexpr double FigureHeight = 600;

// How the figure is drawn: its printed width (0: the screen's canvas) and
// whether it carries its title (a caption in a paper may replace it).
struct FigureOptions {
    double widthMm = 0;
    bool title = true;
};

// The printed widths the program offers, and the range it accepts.
inline constexpr double JournalColumnMm = 85;
inline constexpr double PageWidthMm = 175;
inline constexpr double MinFigureWidthMm = 40;
inline constexpr double MaxFigureWidthMm = 400;

// How an item is drawn; each style keeps its look in greyscale.
enum class FigureStyle {
    IntervalBand,   // the credible interval: light grey, full plot height
    Bar,            // histogram bar outside the interval: white, dark outline
    BarInInterval,  // histogram bar inside it: mid grey, dark outline
    Axis,           // axis lines and ticks: thin black
    IntervalEdge,   // the interval's ends: dark grey, thin
    Estimate,       // the point estimate of Z-CCC: thick black
    Zero,           // z = 0: black, dashed
    PercentMark,    // the report's percentage on the top axis: thick black, short
};

// TickLabel in bold: the label of the report's percentage on the top axis.
enum class FigureTextRole { Title, AxisTitle, TickLabel, MarkLabel, Legend };
enum class FigureAlign { Left, Centre, Right };

struct FigureRect {
    double left = 0, top = 0, width = 0, height = 0;
    FigureStyle style = FigureStyle::Bar;
};

struct FigureLine {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    FigureStyle style = FigureStyle::Axis;
};

// Text whose baseline passes through y; x is its left end, centre or right
// end as `align` says. Vertical text reads upwards, centred on (x, y).
struct FigureText {
    double x = 0, y = 0;
    std::string text;  // UTF-8
    FigureTextRole role = FigureTextRole::TickLabel;
    FigureAlign align = FigureAlign::Left;
    bool vertical = false;
};

struct FigureLayout {
    std::string title;  // also when the figure is drawn without it
    // The canvas, and the millimetres one unit of it takes when printed
    // (the screen's canvas: a pixel at 96 per inch). Text is at least 7
    // points tall at every printed width.
    double width = FigureWidth, height = FigureHeight;
    double unitMm = 25.4 / 96;
    bool printSize = false;  // drawn for a printed width, not the screen

    // The report's percentage below and where it stands in Z-CCC,
    // 100 * F(percentZ) = percentBelow (not finite at 0% and 100%).
    double percentBelow = 0, percentZ = 0;

    // Plot area and the Z-CCC range along its width; density 0 .. densityTo
    // up its height.
    double plotLeft = 0, plotTop = 0, plotWidth = 0, plotHeight = 0;
    double zFrom = 0, zTo = 1;
    double densityTo = 1;

    // The marks, in Z-CCC: the interval's ends (one end is the plot's edge
    // when the limit is one-sided), the point estimate.
    double intervalFrom = 0, intervalTo = 0;
    double estimate = 0;

    // Drawn in this order: rectangles, then lines, then texts.
    std::vector<FigureRect> rects;
    std::vector<FigureLine> lines;
    std::vector<FigureText> texts;

    double XOf(double z) const { return plotLeft + (z - zFrom) / (zTo - zFrom) * plotWidth; }
    double ZOf(double x) const { return zFrom + (x - plotLeft) / plotWidth * (zTo - zFrom); }
    double YOf(double density) const { return plotTop + plotHeight - density / densityTo * plotHeight; }
};

// A printed width outside MinFigureWidthMm .. MaxFigureWidthMm is drawn at
// the nearest of them.
FigureLayout LayOutFigure(const FigureData& figure, const FigureOptions& options = {});

// "Z-CCC", or "Z-CC" without covariates: the effect size the figure shows.
std::string EffectSizeName(const FigureData& figure);

// "Posterior distribution of Z-CCC: <task> (k = 1, N = 20)"; a task without
// a name is the "Task of Interest", as the report calls it.
std::string FigureTitle(const FigureData& figure);
