// Elementary matrix and vector routines. Sums of products start from 0.0 and
// add each product to the running sum in increasing index order, so results
// are reproducible to the last bit. Where an output may share storage with an
// input, the result is built in a local first.
#include "matrix/matrix_handling.h"

void ZeroMatrix(tMatrix& A)
{
    for (int i = 1; i <= MatrixCapacity; ++i)
        for (int j = 1; j <= MatrixCapacity; ++j) A[i][j] = 0.0L;
}

void FillVector(int n, tVector& v, extended value)
{
    for (int i = 1; i <= n; ++i) v[i] = value;
}

void CopyLeadingBlock(const tMatrix& A, int n, tMatrix& C)
{
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) C[i][j] = A[i][j];
}

void ExtractColumn(const tMatrix& A, int j, tVector& v)
{
    for (int i = 1; i <= MatrixCapacity; ++i) v[i] = A[i][j];
}

void AddMatrices(const tMatrix& A, const tMatrix& B, int n, tMatrix& C)
{
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) C[i][j] = A[i][j] + B[i][j];
}

void SubtractMatrices(const tMatrix& A, const tMatrix& B, int n, tMatrix& C)
{
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) C[i][j] = A[i][j] - B[i][j];
}

void MultiplyMatrices(const tMatrix& A, const tMatrix& B, int rows, int inner, int cols, tMatrix& C)
{
    tMatrix product;
    for (int i = 1; i <= rows; ++i)
        for (int j = 1; j <= cols; ++j) {
            extended sum = 0.0L;
            for (int l = 1; l <= inner; ++l) sum = A[i][l] * B[l][j] + sum;
            product[i][j] = sum;
        }
    for (int i = 1; i <= rows; ++i)
        for (int j = 1; j <= cols; ++j) C[i][j] = product[i][j];
}

void DivideMatrixByScalar(int n, const tMatrix& A, tMatrix& C, double d)
{
    const extended divisor = d;
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) C[i][j] = A[i][j] / divisor;
}

void ScaleMatrixInPlace(int n, tMatrix& A, extended f)
{
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) A[i][j] = A[i][j] * f;
}

void TransposeMatrix(const tMatrix& A, int rows, int cols, tMatrix& C)
{
    const tMatrix source = A;
    ZeroMatrix(C);
    for (int i = 1; i <= rows; ++i)
        for (int j = 1; j <= cols; ++j) C[j][i] = source[i][j];
}

void MatrixTimesVector(const tMatrix& A, int n, const tVector& v, tVector& w)
{
    RectMatrixTimesVector(A, n, n, v, w);
}

void RectMatrixTimesVector(const tMatrix& A, int rows, int cols, const tVector& v, tVector& w)
{
    // Called once per Monte Carlo draw: a small local, no copy of A.
    extended result[MatrixCapacity + 1];
    for (int i = 1; i <= rows; ++i) {
        extended sum = 0.0L;
        for (int j = 1; j <= cols; ++j) sum = A[i][j] * v[j] + sum;
        result[i] = sum;
    }
    for (int i = 1; i <= rows; ++i) w[i] = result[i];
}

extended DotProduct(int n, const tVector& a, const tVector& b)
{
    extended sum = 0.0L;
    for (int i = 1; i <= n; ++i) sum = a[i] * b[i] + sum;
    return sum;
}

// Entry i of the output depends on entry i of the inputs only, so sharing
// storage is harmless here.
void AddVectors(int n, const tVector& a, const tVector& b, tVector& w)
{
    for (int i = 1; i <= n; ++i) w[i] = a[i] + b[i];
}

void ScaleVector(int n, const tVector& v, tVector& w, extended f)
{
    for (int i = 1; i <= n; ++i) w[i] = v[i] * f;
}
