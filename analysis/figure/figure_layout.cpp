#include "analysis/figure/figure_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "analysis/worksheet/three_decimals.h"
#include "distributions/distributions.h"
#include "foundation/c_locale_format.h"

namespace {

// The screen's canvas regions, in figure units; a printed figure of another
// width keeps the font sizes and the margins and moves the rest.
constexpr double PlotLeft = 84;
constexpr double PlotRightMargin = 30;
constexpr double ScreenPlotHeight = 340;
constexpr double TitleBaseline = 30;
constexpr double TitleLineStep = 22;
constexpr double NoTitleBaseline = -10;  // where the rest begins without a title
constexpr double TopAxisTitleDrop = 32;  // below the title's last baseline
constexpr double TopTickLabelDrop = 58;
constexpr double PlotTopDrop = 70;
constexpr double BottomTickLabelDrop = 18;  // below the plot
constexpr double BottomAxisTitleDrop = 46;
constexpr double LegendDrop = 82;
constexpr double LegendRowStep = 26;
constexpr double LegendColumnStep = 350;
constexpr double NarrowLegendLeft = 14;
constexpr int LegendEntries = 5;
constexpr double SwatchWidth = 26;
constexpr double TickLength = 5;
constexpr double PercentMarkReach = 9;  // above and below the top axis
// Rough width of a tick label's character: enough to keep labels apart.
constexpr double TickCharWidth = 6.5;
constexpr double TickLabelGap = 10;
// A canvas narrower than this has one legend column and a two-line title.
constexpr double NarrowWidth = 700;

// Tick labels are 11 units tall: at most this many millimetres a unit keeps
// them at 7 points when printed.
constexpr double TickFontUnits = 11;
constexpr double SmallestTextMm = 7 * 25.4 / 72;
constexpr double PrintUnitMm = SmallestTextMm / TickFontUnits;

// At most this many bars across the plot: wider bins are merged from the
// summary's own, so each bar still covers whole bins.
constexpr int MaxBars = 100;
// Each tail beyond this share of the draws is left off the range, so that a
// few far draws do not squeeze the body of the posterior into a line.
constexpr double TailShare = 0.0005;

// A true minus sign (U+2212) for the hyphen a formatted number begins with.
std::string WithMinusSign(std::string number)
{
    if (!number.empty() && number[0] == '-') number.replace(0, 1, "\xE2\x88\x92");
    return number;
}

std::string FormatFixed(double value, int decimals)
{
    if (value == 0) value = 0;  // no "-0"
    return WithMinusSign(FormatC("%.*f", decimals, value));
}

std::string Limit(long double value) { return WithMinusSign(ThreeDecimals(value)); }

// 1, 2 or 5 times a power of ten, at least span / most.
double NiceStep(double span, int most)
{
    const double raw = span / most;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * power >= raw * (1 - 1e-9)) return m * power;
    return 10 * power;
}

int DecimalsOf(double step)
{
    return std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)));
}

// Multiples of step within [from, to], computed from their index so that no
// error accumulates.
std::vector<double> TicksWithin(double from, double to, double step)
{
    std::vector<double> ticks;
    const double first = std::ceil(from / step - 1e-9);
    for (double i = first; i * step <= to + step * 1e-9; ++i) {
        double t = i * step;
        if (std::fabs(t) < step * 1e-9) t = 0;
        ticks.push_back(t);
    }
    return ticks;
}

struct Bar {
    double from, to, density;
};

// The summary's bins merged into at most MaxBars across [zFrom, zTo], as
// densities (draws per unit of Z-CCC over all draws, the tails included).
std::vector<Bar> BarsOf(const tDrawSummary& s, double zFrom, double zTo)
{
    std::vector<Bar> bars;
    const int n = static_cast<int>(s.counts.size());
    const double width = (s.to - s.from) / n;
    const int merge = std::max(1, static_cast<int>(std::ceil((zTo - zFrom) / width / MaxBars)));
    for (int first = 0; first < n; first += merge) {
        const int last = std::min(first + merge, n);
        std::uint64_t count = 0;
        for (int i = first; i < last; ++i) count += s.counts[i];
        const double from = s.from + first * width;
        const double to = s.from + last * width;
        if (count == 0 || to <= zFrom || from >= zTo) continue;
        bars.push_back({from, to, static_cast<double>(count) / (static_cast<double>(s.draws) * (to - from))});
    }
    return bars;
}

bool HasHistogram(const tDrawSummary& s)
{
    return s.draws > 0 && !s.counts.empty() && s.to > s.from;
}

// The Z-CCC range the histogram needs: its bins less the far tails.
void HistogramRange(const tDrawSummary& s, double& lo, double& hi)
{
    const int n = static_cast<int>(s.counts.size());
    const double width = (s.to - s.from) / n;
    const double tail = TailShare * s.draws;
    int first = 0;
    double below = s.below;
    while (first < n - 1 && below + s.counts[first] <= tail) below += s.counts[first++];
    int last = n - 1;
    double above = s.above;
    while (last > first && above + s.counts[last] <= tail) above += s.counts[last--];
    lo = s.from + first * width;
    hi = s.from + (last + 1) * width;
}

// Where the parts of the canvas go for one width, with or without the title.
struct Frame {
    double width = FigureWidth, height = FigureHeight;
    bool narrow = false;
    std::vector<double> titleBaselines;
    double topAxisTitle = 0, topTickLabels = 0;
    double plotTop = 0, plotHeight = 0, plotWidth = 0;
    double bottomTickLabels = 0, bottomAxisTitle = 0;
    double legendLeft = 0, legendTop = 0;
    int legendColumns = 2;
};

Frame FrameFor(double width, bool withTitle)
{
    Frame f;
    f.width = width;
    f.narrow = width < NarrowWidth;
    double last = NoTitleBaseline;
    if (withTitle) {
        f.titleBaselines.push_back(TitleBaseline);
        if (f.narrow) f.titleBaselines.push_back(TitleBaseline + TitleLineStep);
        last = f.titleBaselines.back();
    }
    f.topAxisTitle = last + TopAxisTitleDrop;
    f.topTickLabels = last + TopTickLabelDrop;
    f.plotTop = last + PlotTopDrop;
    f.plotWidth = width - PlotLeft - PlotRightMargin;
    // The screen's proportions, but never flatter than 4 : 3 when narrow.
    f.plotHeight = std::max(ScreenPlotHeight / (FigureWidth - PlotLeft - PlotRightMargin) * f.plotWidth,
                            std::min(ScreenPlotHeight, 0.75 * f.plotWidth));
    const double bottom = f.plotTop + f.plotHeight;
    f.bottomTickLabels = bottom + BottomTickLabelDrop;
    f.bottomAxisTitle = bottom + BottomAxisTitleDrop;
    f.legendTop = bottom + LegendDrop;
    f.legendColumns = f.narrow ? 1 : 2;
    f.legendLeft = f.narrow ? NarrowLegendLeft : PlotLeft;
    const int rows = (LegendEntries + f.legendColumns - 1) / f.legendColumns;
    f.height = f.legendTop + rows * LegendRowStep;
    return f;
}

class Builder {
public:
    Builder(const FigureData& figure, const FigureOptions& options) : figure_(figure), options_(options) {}

    FigureLayout Build()
    {
        out_.title = FigureTitle(figure_);
        ChooseCanvas();
        out_.plotLeft = PlotLeft;
        out_.plotTop = frame_.plotTop;
        out_.plotWidth = frame_.plotWidth;
        out_.plotHeight = frame_.plotHeight;
        ChooseInterval();
        ChooseRange();
        const std::vector<Bar> bars = HasHistogram(figure_.summary)
                                          ? BarsOf(figure_.summary, out_.zFrom, out_.zTo)
                                          : std::vector<Bar>();
        ChooseDensityRange(bars);

        AddIntervalBand();
        for (const Bar& bar : bars) AddBar(bar);
        AddAxes();
        AddMarks();
        AddZAxis();
        AddDensityAxis(!bars.empty());
        AddPercentAxis();
        AddTitles();
        AddLegend(!bars.empty());
        return out_;
    }

private:
    // The screen's canvas, or one whose tick labels print at 7 points and
    // at most as wide as the screen's (wider prints are scaled up).
    void ChooseCanvas()
    {
        double width = FigureWidth;
        if (options_.widthMm > 0) {
            const double mm = std::clamp(options_.widthMm, MinFigureWidthMm, MaxFigureWidthMm);
            width = std::min(FigureWidth, mm / PrintUnitMm);
            out_.unitMm = mm / width;
            out_.printSize = true;
        }
        frame_ = FrameFor(width, options_.title);
        out_.width = frame_.width;
        out_.height = frame_.height;
    }

    void ChooseInterval()
    {
        const tBayesResult& r = figure_.result;
        const double inf = std::numeric_limits<double>::infinity();
        lower_ = static_cast<double>(r.zcccLower);
        upper_ = static_cast<double>(r.zcccUpper);
        from_ = figure_.credibleLimit == OneSidedUpper ? -inf : lower_;
        to_ = figure_.credibleLimit == OneSidedLower ? inf : upper_;
        out_.estimate = static_cast<double>(r.zccc);
        // The report's percentage, read on the top axis where it stands.
        out_.percentBelow = static_cast<double>(r.pctBelow);
        tNormal_distribution normal(0.0L, 1.0L);
        out_.percentZ = out_.percentBelow > 0 && out_.percentBelow < 100
                            ? static_cast<double>(normal.Quantile(r.pctBelow / 100.0L))
                            : std::numeric_limits<double>::quiet_NaN();
    }

    void ChooseRange()
    {
        double lo = std::min(0.0, out_.estimate);
        double hi = std::max(0.0, out_.estimate);
        for (double limit : {from_, to_, out_.percentZ}) {
            if (std::isfinite(limit)) {
                lo = std::min(lo, limit);
                hi = std::max(hi, limit);
            }
        }
        if (HasHistogram(figure_.summary)) {
            double histLo, histHi;
            HistogramRange(figure_.summary, histLo, histHi);
            lo = std::min(lo, histLo);
            hi = std::max(hi, histHi);
        }
        const double pad = hi - lo > 1e-9 ? 0.04 * (hi - lo) : 1.0;
        out_.zFrom = lo - pad;
        out_.zTo = hi + pad;
        out_.intervalFrom = std::max(from_, out_.zFrom);
        out_.intervalTo = std::min(to_, out_.zTo);
    }

    void ChooseDensityRange(const std::vector<Bar>& bars)
    {
        double top = 0;
        for (const Bar& bar : bars) top = std::max(top, bar.density);
        out_.densityTo = top > 0 ? top * 1.08 : 1.0;
    }

    void AddIntervalBand()
    {
        const double left = out_.XOf(out_.intervalFrom);
        out_.rects.push_back({left, out_.plotTop, out_.XOf(out_.intervalTo) - left, out_.plotHeight,
                              FigureStyle::IntervalBand});
    }

    // A bar cut where the interval begins and ends, so that the part inside
    // it is filled darker.
    void AddBar(const Bar& bar)
    {
        const double from = std::max(bar.from, out_.zFrom);
        const double to = std::min(bar.to, out_.zTo);
        const double top = out_.YOf(bar.density);
        auto piece = [&](double a, double b, FigureStyle style) {
            // A limit on a bin's edge leaves no sliver behind.
            if (b - a > 1e-9 * (out_.zTo - out_.zFrom))
                out_.rects.push_back(
                    {out_.XOf(a), top, out_.XOf(b) - out_.XOf(a), out_.plotTop + out_.plotHeight - top, style});
        };
        piece(from, std::min(to, from_), FigureStyle::Bar);
        piece(std::max(from, from_), std::min(to, to_), FigureStyle::BarInInterval);
        piece(std::max(from, to_), to, FigureStyle::Bar);
    }

    void AddAxes()
    {
        const double left = out_.plotLeft, right = out_.plotLeft + out_.plotWidth;
        const double top = out_.plotTop, bottom = out_.plotTop + out_.plotHeight;
        out_.lines.push_back({left, bottom, right, bottom, FigureStyle::Axis});
        out_.lines.push_back({left, top, right, top, FigureStyle::Axis});
        out_.lines.push_back({left, top, left, bottom, FigureStyle::Axis});
        out_.lines.push_back({right, top, right, bottom, FigureStyle::Axis});
    }

    void AddMarks()
    {
        const double top = out_.plotTop, bottom = out_.plotTop + out_.plotHeight;
        for (double limit : {from_, to_})
            if (std::isfinite(limit))
                out_.lines.push_back({out_.XOf(limit), top, out_.XOf(limit), bottom, FigureStyle::IntervalEdge});
        out_.lines.push_back({out_.XOf(0), top, out_.XOf(0), bottom, FigureStyle::Zero});
        const double x = out_.XOf(out_.estimate);
        out_.lines.push_back({x, top, x, bottom, FigureStyle::Estimate});
    }

    void AddZAxis()
    {
        // Ten ticks on the screen's width; fewer where labels would crowd.
        const int most = frame_.narrow ? std::max(3, static_cast<int>(out_.plotWidth / 60)) : 10;
        const double step = NiceStep(out_.zTo - out_.zFrom, most);
        const int decimals = DecimalsOf(step);
        const double bottom = out_.plotTop + out_.plotHeight;
        for (double z : TicksWithin(out_.zFrom, out_.zTo, step)) {
            const double x = out_.XOf(z);
            out_.lines.push_back({x, bottom, x, bottom + TickLength, FigureStyle::Axis});
            out_.texts.push_back({x, frame_.bottomTickLabels, FormatFixed(z, decimals), FigureTextRole::TickLabel,
                                  FigureAlign::Centre});
        }
    }

    void AddDensityAxis(bool withTicks)
    {
        if (withTicks) {
            const double step = NiceStep(out_.densityTo, 5);
            const int decimals = DecimalsOf(step);
            for (double d : TicksWithin(0, out_.densityTo, step)) {
                const double y = out_.YOf(d);
                out_.lines.push_back({out_.plotLeft - TickLength, y, out_.plotLeft, y, FigureStyle::Axis});
                out_.texts.push_back({out_.plotLeft - TickLength - 3, y + 4, FormatFixed(d, decimals),
                                      FigureTextRole::TickLabel, FigureAlign::Right});
            }
        }
        out_.texts.push_back({26, out_.plotTop + out_.plotHeight / 2, "Posterior density",
                              FigureTextRole::AxisTitle, FigureAlign::Centre, true});
    }

    // The report's percentage first, then ticks at round percentages, the
    // more telling first; a tick whose label would touch one already placed
    // is left out.
    void AddPercentAxis()
    {
        static const double percentages[] = {50, 5,  95, 1,  99, 10, 90,   25,  75, 0.1,  99.9, 20,
                                             80, 30, 70, 40, 60, 2,  98,   0.5, 99.5, 0.01, 99.99};
        tNormal_distribution normal(0.0L, 1.0L);
        struct Placed {
            double x, halfWidth;
        };
        std::vector<Placed> placed;
        const double top = out_.plotTop;
        if (std::isfinite(out_.percentZ)) {
            const double x = out_.XOf(out_.percentZ);
            const std::string label = ReportPercent() + "%";
            placed.push_back({x, label.size() * TickCharWidth / 2});
            out_.lines.push_back({x, top - PercentMarkReach, x, top + PercentMarkReach, FigureStyle::PercentMark});
            out_.texts.push_back({x, frame_.topTickLabels, label, FigureTextRole::MarkLabel, FigureAlign::Centre});
        }
        for (double pct : percentages) {
            const double z = static_cast<double>(normal.Quantile(pct / 100.0L));
            if (z < out_.zFrom || z > out_.zTo) continue;
            const std::string label = FormatC("%g", pct);
            const double x = out_.XOf(z);
            const double half = label.size() * TickCharWidth / 2;
            bool clear = true;
            for (const Placed& p : placed)
                if (std::fabs(p.x - x) < p.halfWidth + half + TickLabelGap) clear = false;
            if (!clear) continue;
            placed.push_back({x, half});
            out_.lines.push_back({x, top - TickLength, x, top, FigureStyle::Axis});
            out_.texts.push_back({x, frame_.topTickLabels, label, FigureTextRole::TickLabel, FigureAlign::Centre});
        }
    }

    void AddTitles()
    {
        const double centre = out_.plotLeft + out_.plotWidth / 2;
        // On a narrow canvas the title takes two lines, the task's on the second.
        if (frame_.titleBaselines.size() == 1) {
            out_.texts.push_back(
                {frame_.width / 2, frame_.titleBaselines[0], out_.title, FigureTextRole::Title, FigureAlign::Centre});
        } else if (frame_.titleBaselines.size() == 2) {
            const std::size_t colon = out_.title.find(": ");
            out_.texts.push_back({frame_.width / 2, frame_.titleBaselines[0], out_.title.substr(0, colon + 1),
                                  FigureTextRole::Title, FigureAlign::Centre});
            out_.texts.push_back({frame_.width / 2, frame_.titleBaselines[1], out_.title.substr(colon + 2),
                                  FigureTextRole::Title, FigureAlign::Centre});
        }
        // What the top axis is: not the percentage estimate, which is marked on it.
        out_.texts.push_back({frame_.narrow ? frame_.width / 2 : centre, frame_.topAxisTitle,
                              "Percentage of controls below z: 100 \xC2\xB7 F(z)", FigureTextRole::AxisTitle,
                              FigureAlign::Centre});
        out_.texts.push_back({centre, frame_.bottomAxisTitle, "Effect size (" + EffectSizeName(figure_) + ")",
                              FigureTextRole::AxisTitle, FigureAlign::Centre});
    }

    void AddLegend(bool withBars)
    {
        int slot = 0;
        auto origin = [&](double& x, double& y) {
            x = frame_.legendLeft + (slot % frame_.legendColumns) * LegendColumnStep;
            y = frame_.legendTop + (slot / frame_.legendColumns) * LegendRowStep;
            ++slot;
        };
        auto boxEntry = [&](FigureStyle style, const std::string& text) {
            double x, y;
            origin(x, y);
            out_.rects.push_back({x, y - 11, SwatchWidth, 14, style});
            out_.texts.push_back({x + SwatchWidth + 8, y, text, FigureTextRole::Legend, FigureAlign::Left});
        };
        auto lineEntry = [&](FigureStyle style, const std::string& text) {
            double x, y;
            origin(x, y);
            out_.lines.push_back({x, y - 4, x + SwatchWidth, y - 4, style});
            out_.texts.push_back({x + SwatchWidth + 8, y, text, FigureTextRole::Legend, FigureAlign::Left});
        };

        // Drawn upright, as the mark crosses the top axis.
        auto markEntry = [&](const std::string& text) {
            double x, y;
            origin(x, y);
            const double middle = x + SwatchWidth / 2;
            out_.lines.push_back({middle, y - 4 - PercentMarkReach, middle, y - 4 + PercentMarkReach,
                                  FigureStyle::PercentMark});
            out_.texts.push_back({x + SwatchWidth + 8, y, text, FigureTextRole::Legend, FigureAlign::Left});
        };

        const std::string effect = EffectSizeName(figure_);
        boxEntry(FigureStyle::IntervalBand, IntervalText());
        lineEntry(FigureStyle::Estimate, "Point estimate: " + effect + " = " + Limit(figure_.result.zccc));
        if (withBars)
            boxEntry(FigureStyle::BarInInterval,
                     "Posterior of " + effect + " (" + GroupedNumber(static_cast<std::uint64_t>(figure_.summary.draws)) +
                         " draws)");
        lineEntry(FigureStyle::Zero, "Zero: no difference from the controls");
        if (std::isfinite(out_.percentZ))
            markEntry("Estimated controls below (top axis): " + ReportPercent() + "%");
    }

    // The limits as the report writes them.
    std::string IntervalText() const
    {
        const tBayesResult& r = figure_.result;
        if (figure_.credibleLimit == OneSidedLower) return "95% lower credible limit: " + Limit(r.zcccLower);
        if (figure_.credibleLimit == OneSidedUpper) return "95% upper credible limit: " + Limit(r.zcccUpper);
        return "95% credible interval: " + Limit(r.zcccLower) + " to " + Limit(r.zcccUpper);
    }

    // The percentage below as the report writes its point estimate.
    std::string ReportPercent() const { return FormatC("%.4Lf", figure_.result.pctBelow); }

    const FigureData& figure_;
    FigureOptions options_;
    Frame frame_;
    FigureLayout out_;
    double lower_ = 0, upper_ = 0;  // the report's limits
    double from_ = 0, to_ = 0;      // the shaded interval, infinite on an open side
};

}  // namespace

std::string EffectSizeName(const FigureData& figure) { return figure.k > 0 ? "Z-CCC" : "Z-CC"; }

std::string FigureTitle(const FigureData& figure)
{
    const std::string task = figure.taskName.empty() ? "Task of Interest" : figure.taskName;
    return "Posterior distribution of " + EffectSizeName(figure) + ": " + task +
           FormatC(" (k = %d, N = %d)", figure.k, figure.N);
}

FigureLayout LayOutFigure(const FigureData& figure, const FigureOptions& options)
{
    return Builder(figure, options).Build();
}
