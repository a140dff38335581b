#pragma once
// What a figure needs of a run's Z-CCC draws, without the draws: equal-width
// bin counts gathered in one pass over the store, before it is freed.
//
// The range is centred on the run's own credible limits (lower L, upper U,
// at the positions of the chosen limit): from = L - 0.75 (U - L), to =
// U + 0.75 (U - L), in 200 bins. For a roughly normal posterior that is
// about +-3.4 SD around a two-sided 95% interval, so nearly every draw falls
// inside and the interval spans 40% of the bins; the draws beyond the range
// (a long tail) are counted in `below` and `above`. When every draw is the
// same value the range is that value +-1.
#include <cstdint>
#include <vector>

struct tDrawSummary {
    static constexpr int Bins = 200;

    int draws = 0;                       // draws summarised (0: no summary)
    double from = 0;                     // lower edge of the first bin
    double to = 0;                       // upper edge of the last bin
    std::vector<std::uint32_t> counts;   // bin i covers [from + i*w, from + (i+1)*w), w = (to - from) / Bins,
                                         // edges in double as written, the last one `to`; the limits
                                         // lie (up to rounding) on the lower edges of bins 60 and 140
    std::uint32_t below = 0;             // draws below `from`
    std::uint32_t above = 0;             // draws at or above `to`
};

// Bins draws[0 .. count-1] over the range set by the credible limits lower <= upper.
void SummariseDraws(const double* draws, int count, double lower, double upper, tDrawSummary& summary);
