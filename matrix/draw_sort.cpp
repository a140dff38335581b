// Sort of the Monte Carlo draws: quicksort with the last element as pivot.
#include "matrix/matrix_handling.h"

#include <utility>

int PartitionDraws(int lo, int hi, tDrawStore& D)
{
    const double v = D[hi];
    int i = lo - 1;
    int j = hi;
    do {
        do ++i; while (D[i] < v);             // stops at hi at the latest
        do --j; while (j > lo && D[j] > v);  // never below lo
        if (j > i) std::swap(D[i], D[j]);
    } while (j > i);
    std::swap(D[i], D[hi]);
    return i;
}

void QuickSortDraws(int lo, int hi, tDrawStore& D)
{
    // The two parts are disjoint, so the order in which they are sorted does
    // not change the result; recursing into the smaller one keeps the depth
    // logarithmic even where the pivot choice degenerates.
    while (hi > lo) {
        const int i = PartitionDraws(lo, hi, D);
        if (i - lo < hi - i) {
            QuickSortDraws(lo, i - 1, D);
            lo = i + 1;
        } else {
            QuickSortDraws(i + 1, hi, D);
            hi = i - 1;
        }
    }
}
