#include "analysis/figure/figure_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "distributions/distributions.h"
#include "foundation/c_locale_format.h"

namespace {

// Canvas regions, in figure units.
constexpr double PlotLeft = 84;
constexpr double PlotRight = 770;
constexpr double PlotTop = 100;
constexpr double PlotBottom = 440;
constexpr double TitleBaseline = 30;
constexpr double TopAxisTitleBaseline = 62;
constexpr double TopTickLabelBaseline = 88;
constexpr double BottomTickLabelBaseline = 458;
constexpr double BottomAxisTitleBaseline = 486;
constexpr double LegendBaseline = 522;
constexpr double LegendRowStep = 26;
constexpr double LegendColumnStep = 350;
constexpr double SwatchWidth = 26;
constexpr double TickLength = 5;
// Rough width of a tick label's character: enough to keep labels apart.
constexpr double TickCharWidth = 6.5;
constexpr double TickLabelGap = 10;

// At most this many bars across the plot: wider bins are merged from the
// summary's own, so each bar still covers whole bins.
constexpr int MaxBars = 100;
// Each tail beyond this share of the draws is left off the range, so that a
// few far draws do not squeeze the body of the posterior into a line.
constexpr double TailShare = 0.0005;

std::string FormatFixed(double value, int decimals)
{
    if (value == 0) value = 0;  // no "-0"
    return FormatC("%.*f", decimals, value);
}

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

class Builder {
public:
    explicit Builder(const FigureData& figure) : figure_(figure) {}

    FigureLayout Build()
    {
        out_.title = FigureTitle(figure_);
        out_.plotLeft = PlotLeft;
        out_.plotTop = PlotTop;
        out_.plotWidth = PlotRight - PlotLeft;
        out_.plotHeight = PlotBottom - PlotTop;
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
    void ChooseInterval()
    {
        const tBayesResult& r = figure_.result;
        const double inf = std::numeric_limits<double>::infinity();
        lower_ = static_cast<double>(r.zcccLower);
        upper_ = static_cast<double>(r.zcccUpper);
        from_ = figure_.credibleLimit == OneSidedUpper ? -inf : lower_;
        to_ = figure_.credibleLimit == OneSidedLower ? inf : upper_;
        out_.estimate = static_cast<double>(r.zccc);
    }

    void ChooseRange()
    {
        double lo = std::min(0.0, out_.estimate);
        double hi = std::max(0.0, out_.estimate);
        for (double limit : {from_, to_}) {
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
        const double step = NiceStep(out_.zTo - out_.zFrom, 10);
        const int decimals = DecimalsOf(step);
        const double bottom = out_.plotTop + out_.plotHeight;
        for (double z : TicksWithin(out_.zFrom, out_.zTo, step)) {
            const double x = out_.XOf(z);
            out_.lines.push_back({x, bottom, x, bottom + TickLength, FigureStyle::Axis});
            out_.texts.push_back(
                {x, BottomTickLabelBaseline, FormatFixed(z, decimals), FigureTextRole::TickLabel, FigureAlign::Centre});
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

    // Ticks at round percentages, the more telling first; a tick whose label
    // would touch one already placed is left out.
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
            out_.texts.push_back({x, TopTickLabelBaseline, label, FigureTextRole::TickLabel, FigureAlign::Centre});
        }
    }

    void AddTitles()
    {
        const double centre = out_.plotLeft + out_.plotWidth / 2;
        out_.texts.push_back({FigureWidth / 2, TitleBaseline, out_.title, FigureTextRole::Title, FigureAlign::Centre});
        out_.texts.push_back({centre, TopAxisTitleBaseline,
                              "Percentage of controls below: 100 \xC2\xB7 F(z)",
                              FigureTextRole::AxisTitle, FigureAlign::Centre});
        out_.texts.push_back({centre, BottomAxisTitleBaseline, "Effect size (" + EffectSizeName(figure_) + ")", FigureTextRole::AxisTitle,
                              FigureAlign::Centre});
    }

    void AddLegend(bool withBars)
    {
        int slot = 0;
        auto origin = [&](double& x, double& y) {
            x = PlotLeft + (slot % 2) * LegendColumnStep;
            y = LegendBaseline + (slot / 2) * LegendRowStep;
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

        boxEntry(FigureStyle::IntervalBand, IntervalText());
        lineEntry(FigureStyle::Estimate, FormatC("Point estimate: Z-CCC = %.3Lf", figure_.result.zccc));
        if (withBars)
            boxEntry(FigureStyle::BarInInterval,
                     "Posterior of Z-CCC (" + GroupedNumber(static_cast<std::uint64_t>(figure_.summary.draws)) + " draws)");
        lineEntry(FigureStyle::Zero, "Zero: no difference from the controls");
    }

    // The limits as the report writes them.
    std::string IntervalText() const
    {
        const tBayesResult& r = figure_.result;
        if (figure_.credibleLimit == OneSidedLower) return FormatC("95%% lower credible limit: %3.3Lf", r.zcccLower);
        if (figure_.credibleLimit == OneSidedUpper) return FormatC("95%% upper credible limit: %3.3Lf", r.zcccUpper);
        return FormatC("95%% credible interval: %3.3Lf to %3.3Lf", r.zcccLower, r.zcccUpper);
    }

    const FigureData& figure_;
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

FigureLayout LayOutFigure(const FigureData& figure) { return Builder(figure).Build(); }
