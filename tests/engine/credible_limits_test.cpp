#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/credible_limits.h"

namespace {

bool SameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The limits by selection against the values the full sort puts at the two
// positions, sign of zero included.
TEST(SelectCredibleLimits, SameValuesAsTheFullSort)
{
    const int n = 200000;
    std::uint64_t state = 12345;
    auto next = [&] {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(state >> 11) / 9007199254740992.0 - 0.5;
    };
    struct tDraws {
        const char* what;
        std::vector<double> values;
    };
    std::vector<tDraws> sets(4);
    sets[0].what = "distinct";
    sets[1].what = "many ties";
    sets[2].what = "+0 and -0 around the limits";
    sets[3].what = "all equal";
    for (int i = 0; i < n; ++i) {
        const double u = next();
        sets[0].values.push_back(u);
        sets[1].values.push_back(std::round(u * 20) / 20);
        // Most draws are zeros of either sign, so both limits fall among them.
        sets[2].values.push_back(std::fabs(u) < 0.45 ? (u < 0 ? -0.0 : 0.0) : u);
        sets[3].values.push_back(-1.25);
    }
    const std::pair<int, int> positions[] = {{5000, 195001}, {10000, 190001}, {1, n}, {n, 1}, {180000, 20001}};
    for (const tDraws& set : sets)
        for (auto [lo, hi] : positions) {
            SCOPED_TRACE(std::string(set.what) + " " + std::to_string(lo) + " " + std::to_string(hi));
            tDrawStore sorted, selected;
            std::memcpy(sorted.data(), set.values.data(), n * sizeof(double));
            std::memcpy(selected.data(), set.values.data(), n * sizeof(double));
            QuickSortDraws(1, n, sorted);
            double lower = 1, upper = 1;
            SelectCredibleLimits(selected, n, lo, hi, lower, upper);
            EXPECT_TRUE(SameBits(lower, sorted[lo])) << lower << " " << sorted[lo];
            EXPECT_TRUE(SameBits(upper, sorted[hi])) << upper << " " << sorted[hi];
        }
}

}  // namespace
