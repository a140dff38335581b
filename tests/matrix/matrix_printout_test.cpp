#include <gtest/gtest.h>

#include "matrix/matrix_handling.h"
#include "tests/support/comma_locale.h"

namespace {

TEST(WriteMatrixLines, IdentityAndNegativeEntries)
{
    tMatrix A;
    A[1][1] = A[2][2] = 1;
    std::vector<std::string> lines{"kept"};
    WriteMatrixLines(A, 2, "Title:", lines);
    const std::vector<std::string> expected{"kept", "Title:", "   1.00000   0.00000   ", "   0.00000   1.00000   ", ""};
    EXPECT_EQ(lines, expected);

    A[1][2] = -0.5L;
    A[3][3] = 7;  // outside the block: not printed
    lines.clear();
    WriteMatrixLines(A, 2, "", lines);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1], "   1.00000   -0.50000   ");

    lines.clear();
    A[1][1] = 123456.123456L;
    WriteMatrixLines(A, 1, "t", lines);
    EXPECT_EQ(lines[1], "   123456.12346   ");
}

TEST(WriteMatrixLines, DecimalPointInACommaLocale)
{
    REQUIRE_COMMA_LOCALE(german);
    tMatrix A;
    A[1][1] = 1;
    A[1][2] = A[2][1] = -0.25L;
    A[2][2] = 1;
    std::vector<std::string> lines;
    WriteMatrixLines(A, 2, "t", lines);
    EXPECT_EQ(lines[1], "   1.00000   -0.25000   ");
}

}  // namespace
