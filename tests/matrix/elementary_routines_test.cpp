#include <gtest/gtest.h>

#include "matrix/matrix_handling.h"

namespace {

tMatrix Filled(int rows, int cols, extended start)
{
    tMatrix A;
    for (int i = 1; i <= rows; ++i)
        for (int j = 1; j <= cols; ++j) A[i][j] = start + 10 * i + j;
    return A;
}

bool ZeroOutside(const tMatrix& A, int rows, int cols)
{
    for (int i = 1; i <= MatrixCapacity; ++i)
        for (int j = 1; j <= MatrixCapacity; ++j)
            if ((i > rows || j > cols) && A[i][j] != 0) return false;
    return true;
}

TEST(ElementaryRoutines, MultiplyOneByThreeTimesThreeByOneIsADotProduct)
{
    const tMatrix A = Filled(3, 3, 0);  // row 1: 11 12 13
    const tMatrix B = Filled(3, 3, 1);  // column 1: 12 22 32
    tMatrix C = Filled(20, 20, 1000);
    MultiplyMatrices(A, B, 1, 3, 1, C);
    EXPECT_EQ(C[1][1], 11.0L * 12 + 12.0L * 22 + 13.0L * 32);
    EXPECT_EQ(C[1][2], 1000 + 12);  // outside rows x cols: untouched
    EXPECT_EQ(C[2][1], 1000 + 21);

    const tMatrix before = C;
    MultiplyMatrices(A, B, 1, 3, 0, C);
    for (int i = 1; i <= 20; ++i)
        for (int j = 1; j <= 20; ++j) ASSERT_EQ(C[i][j], before[i][j]);
}

TEST(ElementaryRoutines, MultiplyIntoOneOfItsInputs)
{
    tMatrix A;
    A[1][1] = 1; A[1][2] = 2;
    A[2][1] = 3; A[2][2] = 4;
    MultiplyMatrices(A, A, 2, 2, 2, A);
    EXPECT_EQ(A[1][1], 7);
    EXPECT_EQ(A[1][2], 10);
    EXPECT_EQ(A[2][1], 15);
    EXPECT_EQ(A[2][2], 22);
}

TEST(ElementaryRoutines, TransposeClearsTheWholeOutput)
{
    const tMatrix A = Filled(1, 3, 0);  // 11 12 13
    tMatrix C = Filled(20, 20, 500);
    TransposeMatrix(A, 1, 3, C);
    EXPECT_EQ(C[1][1], 11);
    EXPECT_EQ(C[2][1], 12);
    EXPECT_EQ(C[3][1], 13);
    EXPECT_TRUE(ZeroOutside(C, 3, 1));

    tMatrix S = Filled(2, 3, 0);
    TransposeMatrix(S, 2, 3, S);  // in place
    EXPECT_EQ(S[3][2], 23);
    EXPECT_EQ(S[1][2], 21);
    EXPECT_TRUE(ZeroOutside(S, 3, 2));
}

TEST(ElementaryRoutines, SelectTheLowerRightBlock)
{
    const tMatrix A = Filled(3, 3, 0);
    tSelectMask mask;
    mask[1] = false;
    mask[2] = true;
    mask[3] = true;
    tMatrix C = Filled(20, 20, 700);
    SelectSubmatrix(A, 3, mask, C);
    EXPECT_EQ(C[1][1], 22);
    EXPECT_EQ(C[1][2], 23);
    EXPECT_EQ(C[2][1], 32);
    EXPECT_EQ(C[2][2], 33);
    EXPECT_TRUE(ZeroOutside(C, 2, 2));
}

TEST(ElementaryRoutines, PartitionAfterTheFirstVariable)
{
    tMatrix A;
    const extended values[3][3] = {{1, 0.2L, 0.3L}, {0.2L, 2, 0.4L}, {0.3L, 0.4L, 3}};
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) A[i][j] = values[i - 1][j - 1];
    tMatrix Ayy = Filled(20, 20, 9), Ayx = Filled(20, 20, 9), Axy = Filled(20, 20, 9), Axx = Filled(20, 20, 9);
    PartitionMatrix(A, 3, 1, Ayy, Ayx, Axy, Axx);
    EXPECT_EQ(Ayy[1][1], 1);
    EXPECT_TRUE(ZeroOutside(Ayy, 1, 1));
    EXPECT_EQ(Ayx[1][1], 0.2L);
    EXPECT_EQ(Ayx[1][2], 0.3L);
    EXPECT_TRUE(ZeroOutside(Ayx, 1, 2));
    EXPECT_EQ(Axy[1][1], 0.2L);
    EXPECT_EQ(Axy[2][1], 0.3L);
    EXPECT_TRUE(ZeroOutside(Axy, 2, 1));
    EXPECT_EQ(Axx[1][1], 2);
    EXPECT_EQ(Axx[1][2], 0.4L);
    EXPECT_EQ(Axx[2][1], 0.4L);
    EXPECT_EQ(Axx[2][2], 3);
    EXPECT_TRUE(ZeroOutside(Axx, 2, 2));
}

TEST(ElementaryRoutines, CorrelationsToCovariancesAndSums)
{
    tMatrix R;
    R[1][1] = R[2][2] = 1;
    R[1][2] = R[2][1] = 0.5L;
    tVector s;
    s[1] = 10;
    s[2] = 2;
    tMatrix C;
    CorrelationToCovariance(R, 2, s, C);
    EXPECT_EQ(C[1][1], 100);
    EXPECT_EQ(C[1][2], 10);
    EXPECT_EQ(C[2][2], 4);

    CorrelationToSSCP(R, 2, 20, s, C);
    EXPECT_EQ(C[1][1], 1900);
    EXPECT_EQ(C[2][1], 190);
    EXPECT_EQ(C[2][2], 76);

    CorrelationToSSCP(R, 2, 1, s, C);
    EXPECT_TRUE(ZeroOutside(C, 0, 0));
}

TEST(ElementaryRoutines, ExtractColumnTakesAllTwentyRows)
{
    tMatrix A = Filled(20, 20, 0);
    tVector v;
    ExtractColumn(A, 2, v);
    EXPECT_EQ(v[1], 12);
    EXPECT_EQ(v[20], 202);
}

TEST(ElementaryRoutines, MatrixTimesVectorIntoItsInput)
{
    tMatrix A;
    A[1][1] = 2; A[1][2] = 1;
    A[2][1] = 0; A[2][2] = 3;
    tVector v;
    v[1] = 1;
    v[2] = 4;
    v[3] = 99;
    MatrixTimesVector(A, 2, v, v);
    EXPECT_EQ(v[1], 6);
    EXPECT_EQ(v[2], 12);
    EXPECT_EQ(v[3], 99);
    EXPECT_EQ(DotProduct(0, v, v), 0);
    EXPECT_EQ(DotProduct(2, v, v), 36 + 144);
}

}  // namespace
