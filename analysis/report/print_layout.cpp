#include "analysis/report/print_layout.h"

#include <algorithm>

namespace platform {
namespace {

class TextLayout {
public:
    explicit TextLayout(PrintSurface& surface) : surface_(surface) {}

    void Run(const std::u32string& run)
    {
        std::size_t pos = 0;
        while (pos < run.size()) {
            const std::u32string rest = run.substr(pos);
            std::size_t fit = FittingLength(rest, surface_.PageWidth() - x_);
            if (fit == rest.size()) {
                Draw(rest);
                return;
            }
            if (fit == 0) {
                if (x_ > 0) {            // nothing fits after what is already on the line
                    LineBreak();
                    continue;
                }
                fit = 1;                 // wider than the page: draw it anyway so printing moves on
            }
            Draw(rest.substr(0, fit));
            pos += fit;
            LineBreak();
        }
    }

    void LineBreak()
    {
        const bool empty = tallest_ == 0;
        const int height = empty ? surface_.CharHeight() : tallest_ + 2;
        x_ = 0;
        y_ += height;
        tallest_ = 0;
        const bool below = empty ? y_ > surface_.PageHeight()
                                 : y_ > surface_.PageHeight() - 2 * height;
        if (below) {
            y_ = 0;
            pagePending_ = true;
        }
    }

    void Tab()
    {
        const int step = std::max(1, 8 * surface_.AverageCharWidth());
        x_ = (x_ / step + 1) * step;
    }

    void FormFeed()
    {
        StartPendingPage();
        surface_.NewPage();
        x_ = 0;
        y_ = 0;
        tallest_ = 0;
    }

private:
    // The longest prefix of run whose width is at most room. Widths grow with
    // the prefix, so a binary search suffices.
    std::size_t FittingLength(const std::u32string& run, int room) const
    {
        if (room <= 0) return 0;
        std::size_t lo = 0, hi = run.size();
        while (lo < hi) {
            const std::size_t mid = lo + (hi - lo + 1) / 2;
            if (surface_.MeasureRun(run.substr(0, mid)) <= room)
                lo = mid;
            else
                hi = mid - 1;
        }
        return lo;
    }

    void Draw(const std::u32string& run)
    {
        StartPendingPage();
        surface_.DrawRun(x_, y_, run);
        x_ += surface_.MeasureRun(run);
        tallest_ = std::max(tallest_, surface_.CharHeight());
    }

    void StartPendingPage()
    {
        if (pagePending_) {
            surface_.NewPage();
            pagePending_ = false;
        }
    }

    PrintSurface& surface_;
    int x_ = 0;
    int y_ = 0;
    int tallest_ = 0;            // 0 while nothing is drawn on the line
    bool pagePending_ = false;
};

}  // namespace

void LayOutText(PrintSurface& surface, const std::u32string& text)
{
    TextLayout layout(surface);
    std::u32string run;
    auto flush = [&] {
        if (!run.empty()) layout.Run(run);
        run.clear();
    };
    for (char32_t c : text) {
        switch (c) {
        case U'\r': flush(); break;
        case U'\n': flush(); layout.LineBreak(); break;
        case U'\t': flush(); layout.Tab(); break;
        case U'\f': flush(); layout.FormFeed(); break;
        default: run += c; break;
        }
    }
    flush();
}

void PrintDocument(PrintSurface& surface, const std::u32string& text)
{
    surface.BeginDocument();
    try {
        LayOutText(surface, text + U"\r\n");
        surface.EndDocument();
    } catch (...) {
        surface.AbortDocument();
        throw;
    }
}

}  // namespace platform
