#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/recording_messages.h"
#include "matrix_test_helpers.h"
#include "foundation/messages.h"

namespace {

class Factorisation : public ::testing::Test {
protected:
    platform::RecordingMessages messages;
    platform::ScopedMessages scope{messages};
};

TEST_F(Factorisation, Inversion)
{
    tMatrix B;
    EXPECT_TRUE(InvertMatrix(MakeMatrix({{0, 1}, {1, 0}}), 2, B));  // first usable pivot: row 2
    EXPECT_TRUE(BlockIs(B, {{0, 1}, {1, 0}}));
    EXPECT_TRUE(InvertMatrix(MakeMatrix({{4}}), 1, B));
    EXPECT_TRUE(BlockIs(B, {{0.25L}}));

    // First pivot below 1e-10: stops at once, B stays the identity.
    B = MakeMatrix({}, 42);
    EXPECT_FALSE(InvertMatrix(MakeMatrix({{1e-11L, 0}, {0, 1}}), 2, B));
    EXPECT_TRUE(BlockIs(B, {{1, 0}, {0, 1}}));

    // In place, 3 x 3: the product with the original is the identity.
    const tMatrix A = MakeMatrix({{4, 1, 2}, {1, 3, 0.5L}, {2, 0.5L, 5}});
    tMatrix inverse = A;
    ASSERT_TRUE(InvertMatrix(inverse, 3, inverse));
    tMatrix product;
    MultiplyMatrices(A, inverse, 3, 3, 3, product);
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) EXPECT_NEAR(static_cast<double>(product[i][j]), i == j, 1e-15);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Factorisation, CholeskyFactor)
{
    tMatrix A = MakeMatrix({{4, 2}, {2, 3}}, 9);
    EXPECT_TRUE(CholeskyLower(2, A));
    EXPECT_EQ(A[1][1], 2);
    EXPECT_EQ(A[1][2], 0);
    EXPECT_EQ(A[2][1], 1);
    EXPECT_EQ(A[2][2], std::sqrt(2.0L));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Factorisation, CholeskyFailuresShowTheirMessage)
{
    tMatrix A = MakeMatrix({{4, 2}, {2, 1}});
    EXPECT_FALSE(CholeskyLower(2, A));
    EXPECT_TRUE(BlockIs(A, {{2, 2}, {1, 1}}));  // first column factorised, upper entry kept
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].kind, platform::MessageKind::Information);
    EXPECT_EQ(messages.shown[0].text, "Not pos def 2nd : sum=  0.000000000  i=  2  j=   2");

    messages.Clear();
    A = MakeMatrix({{0, 0}, {0, 1}});
    EXPECT_FALSE(CholeskyLower(2, A));
    EXPECT_TRUE(BlockIs(A, {{0, 0}, {0, 1}}));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].kind, platform::MessageKind::Information);
    EXPECT_EQ(messages.shown[0].text, "Not pos def 1st : sum=  0.000 ");
}

TEST_F(Factorisation, PositiveDefiniteExactlyWhenCholeskyIsSilent)
{
    struct Case {
        tMatrix A;
        bool positiveDefinite;
    };
    const Case cases[] = {{MakeMatrix({{1, 0.5L}, {0.5L, 1}}), true},  {MakeMatrix({{1, 1}, {1, 1}}), false},
                          {MakeMatrix({{1e-13L, 0}, {0, 1}}), false}, {MakeMatrix({{1e-11L, 0}, {0, 1}}), true},
                          {MakeMatrix({{4, 2}, {2, 1}}), false},      {MakeMatrix({{2, -1}, {-1, 2}}), true}};
    for (const Case& c : cases) {
        messages.Clear();
        EXPECT_EQ(IsPositiveDefinite(2, c.A), c.positiveDefinite);
        tMatrix work = c.A;
        EXPECT_EQ(CholeskyLower(2, work), c.positiveDefinite);
        EXPECT_EQ(messages.shown.empty(), c.positiveDefinite);
    }
}

}  // namespace
