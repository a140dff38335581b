#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "matrix/matrix_handling.h"

namespace {

// Sentinels just outside lo..hi must stay put; at the ends of the store the
// sanitizer build catches any read beyond it.
void ExpectSortedInPlace(tDrawStore& D, int lo, std::vector<double> values)
{
    const int hi = lo + static_cast<int>(values.size()) - 1;
    if (lo > 1) D[lo - 1] = -99;
    if (hi < DrawStoreCapacity) D[hi + 1] = 99;
    for (int i = lo; i <= hi; ++i) D[i] = values[i - lo];
    QuickSortDraws(lo, hi, D);
    std::sort(values.begin(), values.end());
    for (int i = lo; i <= hi; ++i) ASSERT_EQ(D[i], values[i - lo]) << "position " << i;
    EXPECT_TRUE(lo == 1 || D[lo - 1] == -99);
    EXPECT_TRUE(hi == DrawStoreCapacity || D[hi + 1] == 99);
}

TEST(QuickSortDraws, EdgeRanges)
{
    tDrawStore D;
    for (int lo : {1, 11, DrawStoreCapacity - 5}) {
        ExpectSortedInPlace(D, lo, {9, 8, 7, 6, 5, 1});  // every element above the last one
        ExpectSortedInPlace(D, lo, {4, 4, 4, 4, 4, 4});  // equal values
        ExpectSortedInPlace(D, lo, {2, 1});              // two elements
        ExpectSortedInPlace(D, lo, {1, 2});
    }
    ExpectSortedInPlace(D, DrawStoreCapacity - 1, {2, 1});
    ExpectSortedInPlace(D, 11, {3});
    ExpectSortedInPlace(D, 2, {-1, 3, -0.5, 7, 3, 2, -8, 0, 1});

    std::vector<double> ascending(3000);  // the worst pivot every time
    for (int i = 0; i < 3000; ++i) ascending[i] = i;
    ExpectSortedInPlace(D, 1, ascending);
}

}  // namespace
