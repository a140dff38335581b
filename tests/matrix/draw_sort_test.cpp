#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "matrix/matrix_handling.h"

namespace {

// Sentinels just outside lo..hi must survive the sort and stay put.
constexpr double Sentinel = -12345.0;

void ExpectSortedInPlace(tDrawStore& D, int lo, int hi, std::vector<double> values)
{
    D[lo - 1] = Sentinel;
    D[hi + 1] = -Sentinel;
    for (int i = lo; i <= hi; ++i) D[i] = values[i - lo];
    QuickSortDraws(lo, hi, D);
    std::sort(values.begin(), values.end());
    for (int i = lo; i <= hi; ++i) ASSERT_EQ(D[i], values[i - lo]) << "position " << i;
    EXPECT_EQ(D[lo - 1], Sentinel);
    EXPECT_EQ(D[hi + 1], -Sentinel);
}

TEST(QuickSortDraws, EdgeRanges)
{
    tDrawStore D;
    ExpectSortedInPlace(D, 11, 16, {9, 8, 7, 6, 5, 1});        // every element above the last one
    ExpectSortedInPlace(D, 11, 16, {4, 4, 4, 4, 4, 4});        // equal values
    ExpectSortedInPlace(D, 11, 12, {2, 1});                   // two elements
    ExpectSortedInPlace(D, 11, 12, {1, 2});
    ExpectSortedInPlace(D, 11, 11, {3});                      // one element
    ExpectSortedInPlace(D, 2, 10, {-1, 3, -0.5, 7, 3, 2, -8, 0, 1});
}

TEST(QuickSortDraws, WholeStoreOfDrawsAndSortedInput)
{
    tDrawStore D;
    std::uint64_t state = 12345;
    std::vector<double> values(DrawStoreCapacity);
    for (double& v : values) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        v = std::ldexp(static_cast<double>(state >> 11), -53) - 0.5;
    }
    for (int i = 1; i <= DrawStoreCapacity; ++i) D[i] = values[i - 1];
    QuickSortDraws(1, DrawStoreCapacity, D);
    std::sort(values.begin(), values.end());
    for (int i = 1; i <= DrawStoreCapacity; ++i) ASSERT_EQ(D[i], values[i - 1]);

    // Sorted input makes the last element the worst pivot every time.
    const int n = 3000;
    for (int i = 1; i <= n; ++i) D[i] = i;
    QuickSortDraws(1, n, D);
    for (int i = 1; i <= n; ++i) ASSERT_EQ(D[i], i);
}

}  // namespace
