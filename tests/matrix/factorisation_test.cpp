#include <gtest/gtest.h>

#include <cmath>

#include "matrix/matrix_handling.h"
#include "platform/messages.h"

namespace {

tMatrix Make2(extended a11, extended a12, extended a21, extended a22)
{
    tMatrix A;
    A[1][1] = a11;
    A[1][2] = a12;
    A[2][1] = a21;
    A[2][2] = a22;
    return A;
}

class Factorisation : public ::testing::Test {
protected:
    platform::RecordingMessages messages;
    platform::ScopedMessages scope{messages};
};

TEST_F(Factorisation, InversionPicksTheFirstUsablePivot)
{
    tMatrix B;
    EXPECT_TRUE(InvertMatrix(Make2(0, 1, 1, 0), 2, B));
    EXPECT_EQ(B[1][1], 0);
    EXPECT_EQ(B[1][2], 1);
    EXPECT_EQ(B[2][1], 1);
    EXPECT_EQ(B[2][2], 0);

    tMatrix one;
    one[1][1] = 4;
    EXPECT_TRUE(InvertMatrix(one, 1, B));
    EXPECT_EQ(B[1][1], 0.25L);

    // In place, and a 3 x 3 block whose product with its inverse is the identity.
    tMatrix A;
    const extended values[3][3] = {{4, 1, 2}, {1, 3, 0.5L}, {2, 0.5L, 5}};
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) A[i][j] = values[i - 1][j - 1];
    tMatrix inverse = A;
    ASSERT_TRUE(InvertMatrix(inverse, 3, inverse));
    tMatrix product;
    MultiplyMatrices(A, inverse, 3, 3, 3, product);
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) EXPECT_NEAR(static_cast<double>(product[i][j]), i == j ? 1.0 : 0.0, 1e-15);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Factorisation, InversionStopsSilentlyBelowItsThreshold)
{
    tMatrix B;
    B[5][5] = 42;
    EXPECT_FALSE(InvertMatrix(Make2(1e-11L, 0, 0, 1), 2, B));
    EXPECT_EQ(B[1][1], 1);
    EXPECT_EQ(B[2][2], 1);
    EXPECT_EQ(B[1][2], 0);
    EXPECT_EQ(B[5][5], 0);  // cleared whole
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(IsPositiveDefinite(2, Make2(1e-11L, 0, 0, 1)));
}

TEST_F(Factorisation, PositiveDefiniteness)
{
    EXPECT_TRUE(IsPositiveDefinite(2, Make2(1, 0.5L, 0.5L, 1)));
    EXPECT_FALSE(IsPositiveDefinite(2, Make2(1, 1, 1, 1)));
    EXPECT_FALSE(IsPositiveDefinite(2, Make2(1e-13L, 0, 0, 1)));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Factorisation, CholeskyFactor)
{
    tMatrix A = Make2(4, 2, 2, 3);
    EXPECT_TRUE(CholeskyLower(2, A));
    EXPECT_EQ(A[1][1], 2);
    EXPECT_EQ(A[1][2], 0);
    EXPECT_EQ(A[2][1], 1);
    EXPECT_EQ(A[2][2], std::sqrt(2.0L));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Factorisation, CholeskyFailureMessagesAndPartialFactor)
{
    tMatrix A = Make2(4, 2, 2, 1);
    EXPECT_FALSE(CholeskyLower(2, A));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].kind, platform::MessageKind::Information);
    EXPECT_EQ(messages.shown[0].text, "Not pos def 2nd : sum=  0.000000000  i=  2  j=   2");
    EXPECT_EQ(A[1][1], 2);
    EXPECT_EQ(A[1][2], 2);  // upper entry not cleared
    EXPECT_EQ(A[2][1], 1);
    EXPECT_EQ(A[2][2], 1);

    messages.Clear();
    tMatrix Z = Make2(0, 0, 0, 1);
    EXPECT_FALSE(CholeskyLower(2, Z));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].kind, platform::MessageKind::Information);
    EXPECT_EQ(messages.shown[0].text, "Not pos def 1st : sum=  0.000 ");
    EXPECT_EQ(Z[1][1], 0);
    EXPECT_EQ(Z[2][2], 1);
}

TEST_F(Factorisation, PositiveDefiniteExactlyWhenCholeskyIsSilent)
{
    const tMatrix cases[] = {Make2(1, 0.5L, 0.5L, 1), Make2(1, 1, 1, 1), Make2(1e-13L, 0, 0, 1),
                             Make2(1e-11L, 0, 0, 1), Make2(4, 2, 2, 1), Make2(2, -1, -1, 2),
                             Make2(1, 0.9999999L, 0.9999999L, 1)};
    for (const tMatrix& A : cases) {
        messages.Clear();
        tMatrix work = A;
        const bool factorised = CholeskyLower(2, work);
        EXPECT_EQ(IsPositiveDefinite(2, A), messages.shown.empty());
        EXPECT_EQ(factorised, messages.shown.empty());
    }
}

}  // namespace
