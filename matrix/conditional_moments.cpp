// Conditional mean and variance of the dependent variables (the first
// nY = p - k) given the case's covariate scores.
#include "matrix/matrix_handling.h"

bool ConditionalMoments(int p, int k, const tMatrix& R, const tVector& s, const tVector& m, const tVector& x,
                        tMatrix& CondVar, tVector& CondMean)
{
    const tMatrix corr = R;
    const tVector sd = s;
    const tVector mean = m;
    const tVector scores = x;
    const int nY = p - k;
    bool inverted = true;

    tMatrix sigma;
    CorrelationToCovariance(corr, p, sd, sigma);
    tMatrix precision;
    inverted = InvertMatrix(sigma, p, precision) && inverted;
    inverted = InvertMatrix(precision, nY, CondVar) && inverted;

    tVector d;
    for (int c = 1; c <= k; ++c) d[c] = scores[nY + c] - mean[nY + c];

    tSelectMask covariates;
    for (int i = 1; i <= p; ++i) covariates[i] = i > nY;
    tMatrix sigmaXX;
    SelectSubmatrix(sigma, p, covariates, sigmaXX);
    tMatrix sigmaXXInv;
    inverted = InvertMatrix(sigmaXX, k, sigmaXXInv) && inverted;

    tMatrix sigmaYY, sigmaYX, sigmaXY;
    PartitionMatrix(sigma, p, nY, sigmaYY, sigmaYX, sigmaXY, sigmaXX);

    tMatrix weights;
    MultiplyMatrices(sigmaYX, sigmaXXInv, nY, k, k, weights);
    tVector shift;
    RectMatrixTimesVector(weights, nY, k, d, shift);
    AddVectors(nY, mean, shift, CondMean);
    return inverted;
}
