// The state of the one uniform stream shared by the whole program. It starts
// from fixed values, so every run of the program produces the same stream.
#include "distributions/distributions.h"

std::int32_t Seed1 = Seed1_start;
std::int32_t Seed2 = Seed2_start;
