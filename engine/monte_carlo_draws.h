#pragma once
// The Monte Carlo loop of one analysis: one chi-square and p standard normal
// variates per draw, in draw order from the shared random stream.
#include <cmath>

#include "distributions/distributions.h"
#include "distributions/float_errors.h"
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

// The steps of one draw, shared by the single run and the case series so
// that the two cannot differ by a bit.

// A draw's residual SD from its variates (chi-square, then z[1..p]), and its
// coefficients beta[1..p]: sigma := (sqrt(s^2) * sqrt(nu)) / sqrt(c); beta :=
// b + sigma * L z, each row of L z summed as w := L[i][j] * z[j] + w from
// j = 1. The entries of L above the diagonal are +0, and adding a zero
// product to a running sum that starts at +0 never changes it, so they are
// left out.
inline extended DrawCoefficients(const tDrawSetup& setup, const extended* variates, extended* beta)
{
    const extended sigma = setup.sigmaScale / std::sqrt(variates[0]);
    for (int i = 1; i <= setup.p; ++i) {
        extended w = 0.0L;
        for (int j = 1; j <= i; ++j) w = setup.L[i][j] * variates[j] + w;
        w = w * sigma;
        beta[i] = setup.b[i] + w;
    }
    return sigma;
}

// The case's distance in a draw: mu := beta . x~ summed from i = 1, zeta :=
// (y* - mu) / sigma.
inline extended CaseDistance(extended caseScore, const tVector& design, int p, extended sigma, const extended* beta)
{
    extended mu = 0.0L;
    for (int i = 1; i <= p; ++i) mu = beta[i] * design[i] + mu;
    return (caseScore - mu) / sigma;
}

// Keeps draw n's zeta (rounded to double) and returns F(zeta). A NaN zeta is
// an invalid operation; it and an error of F end the run at this draw.
inline extended DrawProbability(extended zeta, int n, tDrawStore& store, tNormal_distribution& standard)
{
    store[n] = static_cast<double>(zeta);
    if (std::isnan(zeta)) throw EFloatingPointError("Invalid floating point operation");
    return standard.Distribution_function(zeta);
}

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
