#pragma once
// The Monte Carlo loop of one analysis: one chi-square and p standard normal
// variates per draw, in draw order from the shared random stream.
#include "distributions/distributions.h"
#include "matrix/matrix_handling.h"

struct tDrawSetup {
    int p = 0;                 // intercept and the k covariates
    extended sigmaScale = 0;   // sqrt(s^2) * sqrt(nu), formed before any draw
    extended nu = 0;           // residual degrees of freedom
    tMatrix L;                 // lower Cholesky factor of XtXInv, zeros above the diagonal
    tVector b;                 // intercept and slopes
    tVector caseDesign;        // (1, case's covariate scores)
    extended caseScore = 0;    // the case's task score
};

// Sums over the draws' F(zeta), each added in draw order: the plain sum that
// gives the estimates, and beside it the sum and the sum of squares of
// F(zeta) - shift, with the first draw's F as the shift, for the spread (a
// shift near the mean spares the cancellation of the plain sum of squares).
struct tProbabilitySums {
    extended sum = 0;
    extended shift = 0;
    extended shiftedSum = 0;
    extended shiftedSquares = 0;

    void Add(extended f)
    {
        sum = sum + f;
        if (!started) {
            shift = f;
            started = true;
        }
        const extended d = f - shift;
        shiftedSum = shiftedSum + d;
        shiftedSquares = shiftedSquares + d * d;
    }

private:
    bool started = false;
};

// Fills store[1..iterations] with the Z-CCC draws rounded to double and
// returns the sums of F(zeta) over the unrounded draws.
// `normal` is the run's standard normal object; it supplies the variates.
//
// Only the variates must come one after another from the shared stream; the
// rest of each draw (its zeta and F(zeta)) is worked out by whichever of two
// threads is free, and the sum is still formed in draw order. The stream, the
// draws and the sum are exactly those of the one-thread loop, and an error
// raised by F leaves the random source where that loop would have left it.
tProbabilitySums GenerateDraws(const tDrawSetup& setup, int iterations, tNormal_distribution& normal, tDrawStore& store);
