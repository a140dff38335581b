#include "engine/draw_summary.h"

#include <array>
#include <system_error>
#include <thread>

namespace {

// Below this one thread bins everything.
constexpr int SplitThreshold = 65536;

struct tBinCounts {
    std::array<std::uint32_t, tDrawSummary::Bins> counts{};
    std::uint32_t below = 0;
    std::uint32_t above = 0;
};

// Edges as the header states them, so that a draw on an edge (the credible
// limits are draws and lie on edges) lands on the stated side: the bin from
// the scaled offset, moved by one where rounding put it across an edge.
void CountBins(const double* draws, int count, const double* edges, double scale, tBinCounts& bins)
{
    const double from = edges[0];
    const double to = edges[tDrawSummary::Bins];
    for (int i = 0; i < count; ++i) {
        const double x = draws[i];
        if (x < from) {
            ++bins.below;
        } else if (x >= to) {
            ++bins.above;
        } else {
            int bin = static_cast<int>((x - from) * scale);
            if (bin > tDrawSummary::Bins - 1) bin = tDrawSummary::Bins - 1;
            if (x < edges[bin])
                --bin;
            else if (x >= edges[bin + 1])
                ++bin;
            ++bins.counts[bin];
        }
    }
}

}  // namespace

void SummariseDraws(const double* draws, int count, double lower, double upper, tDrawSummary& summary)
{
    const double spread = upper - lower;
    double from = lower - 0.75 * spread;
    double to = upper + 0.75 * spread;
    if (!(to > from)) {
        from = lower - 1;
        to = lower + 1;
    }
    double edges[tDrawSummary::Bins + 1];
    const double width = (to - from) / tDrawSummary::Bins;
    for (int i = 0; i < tDrawSummary::Bins; ++i) edges[i] = from + i * width;
    edges[tDrawSummary::Bins] = to;
    const double scale = tDrawSummary::Bins / (to - from);

    // The counts do not depend on the order of the draws: the second half
    // is counted on the other core where there is one.
    tBinCounts first, second;
    const int half = count / 2;
    std::thread helper;
    if (count >= SplitThreshold && std::thread::hardware_concurrency() >= 2) {
        try {
            helper = std::thread([&] { CountBins(draws + half, count - half, edges, scale, second); });
        } catch (const std::system_error&) {
            // one thread counts everything
        }
    }
    if (helper.joinable()) {
        CountBins(draws, half, edges, scale, first);
        helper.join();
    } else {
        CountBins(draws, count, edges, scale, first);
    }

    summary.draws = count;
    summary.from = from;
    summary.to = to;
    summary.counts.assign(tDrawSummary::Bins, 0);
    for (int i = 0; i < tDrawSummary::Bins; ++i) summary.counts[i] = first.counts[i] + second.counts[i];
    summary.below = first.below + second.below;
    summary.above = first.above + second.above;
}
