// Gauss-Jordan inversion and Cholesky factorisation. Both use absolute
// thresholds that do not scale with the entries: 1e-10 for an inversion
// pivot, 1e-12 for a Cholesky pivot.
#include "matrix/matrix_handling.h"

#include <cmath>
#include <utility>

#include "foundation/c_locale_format.h"
#include "foundation/messages.h"

namespace {

constexpr extended InversionPivotThreshold = 1e-10L;
constexpr extended CholeskyPivotThreshold = 1e-12L;

// Steps shared by the factorisation and the silent test. Returns 0 when every
// pivot passed, otherwise the failing column, with the failing pivot in
// failedPivot. A NaN pivot passes: it is not below the threshold.
int FactoriseLower(int n, tMatrix& A, extended& failedPivot)
{
    if (n < 1) return 0;
    if (A[1][1] < CholeskyPivotThreshold) {
        failedPivot = A[1][1];
        return 1;
    }
    A[1][1] = std::sqrt(A[1][1]);
    for (int i = 2; i <= n; ++i) A[i][1] = A[i][1] / A[1][1];

    for (int j = 2; j <= n; ++j) {
        extended sum = A[j][j];
        for (int m = 1; m <= j - 1; ++m) sum = sum - A[j][m] * A[j][m];
        if (sum < CholeskyPivotThreshold) {
            failedPivot = sum;
            return j;
        }
        A[j][j] = std::sqrt(sum);
        for (int i = j + 1; i <= n; ++i) {
            extended t = A[i][j];
            for (int m = 1; m <= j - 1; ++m) t = t - A[j][m] * A[i][m];
            A[i][j] = t / A[j][j];
        }
    }
    return 0;
}

}  // namespace

bool InvertMatrix(const tMatrix& A, int n, tMatrix& B)
{
    tMatrix work = A;
    ZeroMatrix(B);
    for (int i = 1; i <= n; ++i) B[i][i] = 1.0L;

    for (int c = 1; c <= n; ++c) {
        // The first acceptable pivot, not the largest.
        int r = c;
        while (r <= n && std::fabs(work[r][c]) < InversionPivotThreshold) ++r;  // a NaN is acceptable
        if (r > n) return false;

        for (int j = 1; j <= n; ++j) {
            std::swap(work[r][j], work[c][j]);
            std::swap(B[r][j], B[c][j]);
        }
        const extended d = 1.0L / work[c][c];
        for (int j = 1; j <= n; ++j) {
            work[c][j] = work[c][j] * d;
            B[c][j] = B[c][j] * d;
        }
        for (int i = 1; i <= n; ++i) {
            if (i == c) continue;
            const extended f = -work[i][c];
            for (int j = 1; j <= n; ++j) {
                work[i][j] = f * work[c][j] + work[i][j];
                B[i][j] = f * B[c][j] + B[i][j];
            }
        }
    }
    return true;
}

bool CholeskyLower(int n, tMatrix& A)
{
    extended pivot = 0.0L;
    const int failed = FactoriseLower(n, A, pivot);
    if (failed == 1) {
        platform::ShowInformation(FormatC("Not pos def 1st : sum=  %2.3Lf ", pivot));
        return false;
    }
    if (failed > 1) {
        platform::ShowInformation(
            FormatC("Not pos def 2nd : sum=  %2.9Lf  i= %2d  j=  %2d", pivot, failed, failed));
        return false;
    }
    for (int r = 1; r <= n; ++r)
        for (int q = r + 1; q <= n; ++q) A[r][q] = 0.0L;
    return true;
}

bool IsPositiveDefinite(int n, const tMatrix& A)
{
    tMatrix work = A;
    extended pivot = 0.0L;
    return FactoriseLower(n, work, pivot) == 0;
}
