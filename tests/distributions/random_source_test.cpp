#include <gtest/gtest.h>

#include "stream_helpers.h"

TEST(UniformRandom, FirstNumbersFromTheStartStateAndRestart)
{
    const std::int32_t z[5] = {1120735397, 376398899, 248445365, 467233766, 2069265132};
    const double approx[5] = {0.5218831019, 0.1752744006, 0.1156913916, 0.2175726829, 0.9635766914};
    for (int pass = 0; pass < 2; ++pass) {  // writing the start values back restarts the stream
        Restart_stream();
        for (int i = 0; i < 5; ++i) {
            extended u = Uniform_random();
            EXPECT_EQ(u, z[i] * 4.656613e-10L) << i;
            EXPECT_NEAR(u, approx[i], 1e-10) << i;
            if (i == 0) {
                EXPECT_TRUE(Seed1 == 415845629 && Seed2 == 1442593794);
            }
        }
    }
}

TEST(UniformRandom, NegativeComponentsAndDifferenceWrap)
{
    // Both components and their difference wrap by their own moduli.
    Seed1 = 53668;
    Seed2 = 52774;
    extended u = Uniform_random();
    EXPECT_EQ(Seed1, 2147483563 - 12211);
    EXPECT_EQ(Seed2, 2147483399 - 3791);
    EXPECT_EQ(u, (2147471352 - 2147479608 + 2147483562) * 4.656613e-10L);
}
