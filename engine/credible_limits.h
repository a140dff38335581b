#pragma once
// The credible limits of a run: the draws at two positions of the sorted
// store, found by selection instead of a full sort.
#include "matrix/matrix_handling.h"

// draws[0 .. count-1] are a run's draws in any order; lower and upper receive
// the values at 1-based positions lo and hi of the draws sorted by
// QuickSortDraws, exactly. An order statistic is one value whatever
// algorithm finds it, except that -0.0 and +0.0 compare equal: when a -0.0
// is present the draws are sorted as the sort does. The order of the draws
// afterwards is unspecified.
void SelectCredibleLimits(tDrawStore& draws, int count, int lo, int hi, double& lower, double& upper);
