#include "engine/credible_limits.h"

#include <algorithm>
#include <cmath>

#include "engine/parallel_draw_sort.h"

namespace {

bool HasNegativeZero(const double* x, int count)
{
    for (int i = 0; i < count; ++i)
        if (x[i] == 0 && std::signbit(x[i])) return true;
    return false;
}

}  // namespace

void SelectCredibleLimits(tDrawStore& draws, int count, int lo, int hi, double& lower, double& upper)
{
    double* const first = draws.data();
    if (HasNegativeZero(first, count)) {
        SortDrawsInParallel(1, count, draws);
        lower = draws[lo];
        upper = draws[hi];
        return;
    }
    // The nearer position first; the farther one is then among the draws
    // that follow it, which are all at least as large.
    const int a = std::min(lo, hi);
    const int b = std::max(lo, hi);
    std::nth_element(first, first + (a - 1), first + count);
    if (b > a) std::nth_element(first + a, first + (b - 1), first + count);
    lower = draws[lo];
    upper = draws[hi];
}
