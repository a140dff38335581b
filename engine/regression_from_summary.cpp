// The regression of the dependent variables (the first nY) on the k
// covariates, rebuilt from summary data: the design's cross-product matrices,
// their inverse, the least-squares coefficients and the residual variance.
#include "engine/bayes_deficit_engine.h"

bool RegressionFromSummary(const tMatrix& R, const tVector& s, const tVector& m, int nY, int k, int N,
                           tMatrix& B, tMatrix& ResidVar, tMatrix& XtXInv)
{
    const tMatrix corr = R;
    const tVector sd = s;
    const tVector mean = m;
    const int p = nY + k;
    const extended n = N;

    ZeroMatrix(B);
    ZeroMatrix(ResidVar);
    ZeroMatrix(XtXInv);
    tMatrix Ryy, Ryx, Rxy, Rxx, Syy, Sxx, Txx, Tyy, XtX, XtY;
    tVector my, sy, mx, sx;
    FillVector(MatrixCapacity, my, 0.0L);
    FillVector(MatrixCapacity, sy, 0.0L);
    FillVector(MatrixCapacity, mx, 0.0L);
    FillVector(MatrixCapacity, sx, 0.0L);

    int ny = 0;
    int nx = 0;
    for (int i = 1; i <= p; ++i) {
        if (i <= nY) {
            ++ny;
            my[ny] = mean[i];
            sy[ny] = sd[i];
        } else {
            ++nx;
            mx[nx] = mean[i];
            sx[nx] = sd[i];
        }
    }

    PartitionMatrix(corr, p, nY, Ryy, Ryx, Rxy, Rxx);
    CorrelationToSSCP(Rxx, k, N, sx, Sxx);
    CorrelationToSSCP(Ryy, nY, N, sy, Syy);

    for (int i = 1; i <= k; ++i)
        for (int j = 1; j <= k; ++j) Txx[i][j] = (n * mx[i]) * mx[j] + Sxx[i][j];

    for (int r = 1; r <= k + 1; ++r)
        for (int q = 1; q <= k + 1; ++q) {
            if (r == 1 && q == 1)
                XtX[r][q] = n;
            else if (r == 1)
                XtX[r][q] = n * mx[q - 1];
            else if (q == 1)
                XtX[r][q] = n * mx[r - 1];
            else
                XtX[r][q] = Txx[r - 1][q - 1];
        }

    for (int i = 1; i <= nY; ++i)
        for (int j = 1; j <= nY; ++j) Tyy[i][j] = (n * my[i]) * my[j] + Syy[i][j];

    const extended degrees = N - 1;
    for (int r = 1; r <= k + 1; ++r)
        for (int q = 1; q <= nY; ++q) {
            if (r == 1)
                XtY[r][q] = n * my[q];
            else
                XtY[r][q] = ((degrees * sx[r - 1]) * Rxy[r - 1][q]) * sy[q] + (n * mx[r - 1]) * my[q];
        }

    const bool inverted = InvertMatrix(XtX, k + 1, XtXInv);

    MultiplyMatrices(XtXInv, XtY, k + 1, k + 1, nY, B);
    tMatrix Bt, Q1, Q2, Q3, Q4, RSS;
    TransposeMatrix(B, k + 1, nY, Bt);
    MultiplyMatrices(Bt, XtY, nY, k + 1, nY, Q1);
    ScaleMatrixInPlace(nY, Q1, 2.0L);
    SubtractMatrices(Tyy, Q1, nY, Q2);
    MultiplyMatrices(Bt, XtX, nY, k + 1, k + 1, Q3);
    MultiplyMatrices(Q3, B, nY, k + 1, nY, Q4);
    AddMatrices(Q2, Q4, nY, RSS);

    const int nu = N - k - 1;
    const extended nuExtended = nu;
    DivideMatrixByScalar(nY, RSS, ResidVar, static_cast<double>(nuExtended));
    return inverted;
}
