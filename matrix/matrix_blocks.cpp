// Blocks of a matrix, and correlations turned into covariances or sums of
// squares and products.
#include "matrix/matrix_handling.h"

void SelectSubmatrix(const tMatrix& A, int n, const tSelectMask& mask, tMatrix& C)
{
    const tMatrix source = A;
    const tSelectMask flags = mask;
    ZeroMatrix(C);
    int a = 0;
    int b = 0;
    for (int i = 1; i <= n; ++i) {
        if (flags[i]) ++a;
        for (int j = 1; j <= n; ++j)
            if (flags[i] && flags[j]) {
                ++b;
                C[a][b] = source[i][j];
            }
        b = 0;
    }
}

void PartitionMatrix(const tMatrix& A, int n, int q, tMatrix& Ayy, tMatrix& Ayx, tMatrix& Axy, tMatrix& Axx)
{
    const tMatrix source = A;
    ZeroMatrix(Ayy);
    ZeroMatrix(Ayx);
    ZeroMatrix(Axy);
    ZeroMatrix(Axx);

    tSelectMask dependent;
    tSelectMask covariate;
    for (int i = 1; i <= n; ++i) {
        dependent[i] = i <= q;
        covariate[i] = i > q;
    }
    SelectSubmatrix(source, n, dependent, Ayy);
    SelectSubmatrix(source, n, covariate, Axx);

    // The cross blocks come from the upper-right block only (A is symmetric).
    for (int i = 1; i <= q; ++i)
        for (int j = q + 1; j <= n; ++j) Ayx[i][j - q] = source[i][j];
    TransposeMatrix(Ayx, q, n - q, Axy);
}

void CorrelationToCovariance(const tMatrix& R, int n, const tVector& s, tMatrix& C)
{
    const tVector sd = s;
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) C[i][j] = (R[i][j] * sd[i]) * sd[j];
}

void CorrelationToSSCP(const tMatrix& R, int n, int N, const tVector& s, tMatrix& C)
{
    const tVector sd = s;
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) C[i][j] = (R[i][j] * sd[i]) * sd[j];
    const extended degrees = N - 1;
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) C[i][j] = degrees * C[i][j];
}
