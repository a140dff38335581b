#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

#include "distributions/float_errors.h"
#include "stream_helpers.h"

namespace {

volatile long double zero = 0, largest = LDBL_MAX, tiny = LDBL_MIN, sink;

std::string Error_after(void (*operation)())
{
    ClearFloatingPointErrors();
    operation();
    try {
        RaiseFloatingPointErrors();
    } catch (const EFloatingPointError& error) {
        return error.what();
    }
    return "";
}

}  // namespace

TEST(FloatingPointErrors, EachFlagBecomesItsMessageAndRaisingClearsIt)
{
    EXPECT_EQ(Error_after([] { sink = largest * 2; }), "Floating point overflow");
    EXPECT_EQ(Error_after([] { sink = 1 / zero; }), "Floating point division by zero");
    EXPECT_EQ(Error_after([] { sink = std::sqrt(zero - 1); }), "Invalid floating point operation");
    EXPECT_EQ(Error_after([] { sink = tiny / 3e100L / 7; }), "");  // underflow passes
    EXPECT_NO_THROW(RaiseFloatingPointErrors());
    sink = 1 / zero;
    ClearFloatingPointErrors();
    EXPECT_NO_THROW(RaiseFloatingPointErrors());
}

TEST(FloatingPointErrors, DistributionsRaiseNoFlagsInOrdinaryUse)
{
    // What the Monte Carlo engine does, many times over, with checks at the end.
    EXPECT_EQ(Error_after([] {
                  Restart_stream();
                  tNormal_distribution normal(0, 1);
                  for (extended df : {1.0L, 2.0L, 3.0L, 17.0L}) {
                      for (int i = 0; i < 20000; ++i) {
                          tChi_square_distribution chi(df);
                          extended z = normal.Random_variate() - chi.Random_variate();
                          normal.Distribution_function(z);
                      }
                      tChi_square_distribution(df).Quantile(0.025L);
                  }
                  normal.Quantile(0.999L);
              }),
              "");
}
