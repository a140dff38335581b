#pragma once
// What a figure needs of a run's Z-CCC draws, without the draws: equal-width
// bin counts gathered in one pass over the store, before it is freed.
#include <cstdint>
#include <vector>

struct tDrawSummary {
    int draws = 0;                       // draws summarised (0: no summary)
    double from = 0;                     // lower edge of the first bin
    double to = 0;                       // upper edge of the last bin
    std::vector<std::uint32_t> counts;   // bin i covers [from + i*w, from + (i+1)*w), w = (to - from) / counts.size()
    std::uint32_t below = 0;             // draws below `from`
    std::uint32_t above = 0;             // draws at or above `to`
};
