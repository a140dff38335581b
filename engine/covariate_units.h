#pragma once
// The units the engine computes the covariates in. The results (p, Z-CCC,
// the percentage and their limits) do not depend on the covariates' units,
// but the fixed pivot thresholds of the inversion and the factorisation do:
// a covariate on its natural scale (a volume in mm^3, an income) can make a
// pivot fall below them. Only then is each covariate divided by the power of
// two nearest below its SD; a division by a power of two is exact, so the
// run is the same analysis in other units. Any analysis that goes through in
// the units given keeps them, and so every bit of its results.
#include "matrix/matrix_handling.h"

struct tCovariateUnits {
    bool rescaled = false;
    int exponent[MatrixCapacity + 1] = {};  // covariate j (entry j + 1) is divided by 2^exponent[j + 1]
};

// The units for a run with these summary data: as given when the regression
// and the factorisation of its inverse cross-product matrix succeed in them
// (checked silently) or fail in the rescaled units as well; the rescaled
// units otherwise.
tCovariateUnits ChooseCovariateUnits(int k, int N, const tVector& sds, const tVector& means, const tMatrix& corr);

// Means, SDs or a case's scores (task first) in those units: entries
// 2..k + 1 divided by their powers of two, the task's entry unchanged.
tVector InCovariateUnits(const tCovariateUnits& units, int k, const tVector& values);
