#pragma once
#include "matrix/matrix_handling.h"

// Sorts D[lo..hi] ascending with the partition steps of QuickSortDraws,
// spreading the parts over two threads where a second core exists. The parts
// are disjoint, so the result is exactly that of QuickSortDraws(lo, hi, D).
void SortDrawsInParallel(int lo, int hi, tDrawStore& D);
