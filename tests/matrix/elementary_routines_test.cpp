#include <gtest/gtest.h>

#include "matrix_test_helpers.h"

namespace {

const tMatrix Three = MakeMatrix({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}});

TEST(ElementaryRoutines, MultiplyBlocks)
{
    tMatrix C = MakeMatrix({}, 5);
    MultiplyMatrices(Three, Three, 1, 3, 1, C);  // row 1 times column 1
    EXPECT_TRUE(BlockIs(C, {{1 * 1 + 2 * 4 + 3 * 7}}, 5));
    MultiplyMatrices(Three, Three, 1, 3, 0, C);  // no columns: nothing written
    EXPECT_TRUE(BlockIs(C, {{30}}, 5));

    tMatrix A = MakeMatrix({{1, 2}, {3, 4}});
    MultiplyMatrices(A, A, 2, 2, 2, A);  // into one of its inputs
    EXPECT_TRUE(BlockIs(A, {{7, 10}, {15, 22}}));
}

TEST(ElementaryRoutines, TransposeClearsTheWholeOutput)
{
    tMatrix C = MakeMatrix({}, 5);
    TransposeMatrix(MakeMatrix({{1, 2, 3}}, 9), 1, 3, C);
    EXPECT_TRUE(BlockIs(C, {{1}, {2}, {3}}));

    tMatrix S = MakeMatrix({{1, 2, 3}, {4, 5, 6}}, 9);
    TransposeMatrix(S, 2, 3, S);  // in place
    EXPECT_TRUE(BlockIs(S, {{1, 4}, {2, 5}, {3, 6}}));
}

TEST(ElementaryRoutines, SelectAndPartition)
{
    tSelectMask mask;
    mask[2] = mask[3] = true;
    tMatrix C = MakeMatrix({}, 5);
    SelectSubmatrix(Three, 3, mask, C);
    EXPECT_TRUE(BlockIs(C, {{5, 6}, {8, 9}}));

    const tMatrix A = MakeMatrix({{1, 0.2L, 0.3L}, {0.2L, 2, 0.4L}, {0.3L, 0.4L, 3}}, 7);
    tMatrix Ayy = A, Ayx = A, Axy = A, Axx = A;
    PartitionMatrix(A, 3, 1, Ayy, Ayx, Axy, Axx);
    EXPECT_TRUE(BlockIs(Ayy, {{1}}));
    EXPECT_TRUE(BlockIs(Ayx, {{0.2L, 0.3L}}));
    EXPECT_TRUE(BlockIs(Axy, {{0.2L}, {0.3L}}));
    EXPECT_TRUE(BlockIs(Axx, {{2, 0.4L}, {0.4L, 3}}));
}

TEST(ElementaryRoutines, CorrelationsToSumsOfSquaresAndProducts)
{
    const tMatrix R = MakeMatrix({{1, 0.5L}, {0.5L, 1}});
    tVector s;
    s[1] = 10;
    s[2] = 2;
    tMatrix C;
    CorrelationToCovariance(R, 2, s, C);
    EXPECT_TRUE(BlockIs(C, {{100, 10}, {10, 4}}));
    CorrelationToSSCP(R, 2, 20, s, C);
    EXPECT_TRUE(BlockIs(C, {{1900, 190}, {190, 76}}));
    CorrelationToSSCP(R, 2, 1, s, C);
    EXPECT_TRUE(BlockIs(C, {}));
}

TEST(ElementaryRoutines, ColumnsAndVectors)
{
    tMatrix A = MakeMatrix({{2, 1}, {0, 3}});
    A[20][2] = 8;  // beyond the block in use: still copied
    tVector v;
    ExtractColumn(A, 2, v);
    EXPECT_EQ(v[1], 1);
    EXPECT_EQ(v[2], 3);
    EXPECT_EQ(v[20], 8);

    v[1] = 1;
    v[2] = 4;
    MatrixTimesVector(A, 2, v, v);  // into its input
    EXPECT_EQ(v[1], 6);
    EXPECT_EQ(v[2], 12);
    EXPECT_EQ(v[3], 0);
    EXPECT_EQ(DotProduct(0, v, v), 0);
    EXPECT_EQ(DotProduct(2, v, v), 180);
}

}  // namespace
