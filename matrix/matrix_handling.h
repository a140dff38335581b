#pragma once
// Fixed-capacity matrices and vectors of extended-precision numbers, their
// elementary operations, factorisation and inversion, and the sort of the
// Monte Carlo draws. Everything is 1-based, as the statistics are written.
#include <memory>
#include <string>
#include <vector>

#include "distributions/extended.h"

constexpr int MatrixCapacity = 20;
constexpr int DrawStoreCapacity = 1000000;

// 20 x 20, indexed A[i][j] with i, j = 1..20 (row 0 and column 0 unused).
struct tMatrix {
    extended e[MatrixCapacity + 1][MatrixCapacity + 1] = {};
    extended* operator[](int i) { return e[i]; }
    const extended* operator[](int i) const { return e[i]; }
};

// 20 entries, indexed v[i] with i = 1..20.
struct tVector {
    extended e[MatrixCapacity + 1] = {};
    extended& operator[](int i) { return e[i]; }
    const extended& operator[](int i) const { return e[i]; }
};

// 20 flags, flag i selects row and column i.
struct tSelectMask {
    bool e[MatrixCapacity + 1] = {};
    bool& operator[](int i) { return e[i]; }
    const bool& operator[](int i) const { return e[i]; }
};

// 1,000,000 doubles, indexed D[i] with i = 1..1,000,000. The one large block
// of a run (8 MB), owned by the run that creates it.
class tDrawStore {
public:
    tDrawStore() : slots_(new double[DrawStoreCapacity]) {}
    double& operator[](int i) { return slots_[i - 1]; }
    const double& operator[](int i) const { return slots_[i - 1]; }
    double* data() { return slots_.get(); }

private:
    std::unique_ptr<double[]> slots_;
};

// ---- Elementary routines (inputs by value or const reference, outputs last
// or as stated; an output may be the same storage as an input) -------------
void ZeroMatrix(tMatrix& A);
void FillVector(int n, tVector& v, extended value);
void CopyLeadingBlock(const tMatrix& A, int n, tMatrix& C);
void ExtractColumn(const tMatrix& A, int j, tVector& v);
void AddMatrices(const tMatrix& A, const tMatrix& B, int n, tMatrix& C);
void SubtractMatrices(const tMatrix& A, const tMatrix& B, int n, tMatrix& C);
void MultiplyMatrices(const tMatrix& A, const tMatrix& B, int rows, int inner, int cols, tMatrix& C);
void DivideMatrixByScalar(int n, const tMatrix& A, tMatrix& C, double d);
void ScaleMatrixInPlace(int n, tMatrix& A, extended f);
void TransposeMatrix(const tMatrix& A, int rows, int cols, tMatrix& C);
void MatrixTimesVector(const tMatrix& A, int n, const tVector& v, tVector& w);
void RectMatrixTimesVector(const tMatrix& A, int rows, int cols, const tVector& v, tVector& w);
extended DotProduct(int n, const tVector& a, const tVector& b);
void AddVectors(int n, const tVector& a, const tVector& b, tVector& w);
void ScaleVector(int n, const tVector& v, tVector& w, extended f);
void SelectSubmatrix(const tMatrix& A, int n, const tSelectMask& mask, tMatrix& C);
void PartitionMatrix(const tMatrix& A, int n, int q, tMatrix& Ayy, tMatrix& Ayx, tMatrix& Axy, tMatrix& Axx);
void CorrelationToCovariance(const tMatrix& R, int n, const tVector& s, tMatrix& C);
void CorrelationToSSCP(const tMatrix& R, int n, int N, const tVector& s, tMatrix& C);
void QuickSortDraws(int lo, int hi, tDrawStore& D);
// One partition step of QuickSortDraws on D[lo..hi] (lo < hi), pivot D[hi];
// returns the pivot's final place. Lets a caller sort the parts on several
// threads with exactly the result of the one-thread sort.
int PartitionDraws(int lo, int hi, tDrawStore& D);
// Appends the title, one line per row ("   " then "%5.5f   " per entry) and an empty line.
void WriteMatrixLines(const tMatrix& A, int n, const std::string& title, std::vector<std::string>& target);

// ---- Factorisation and inversion ----------------------------------------------
// Gauss-Jordan inversion of the leading n x n block into B. Returns false when
// a column has no pivot of at least 1e-10 in absolute value: B then holds the
// partly reduced result and must not be used as an inverse.
bool InvertMatrix(const tMatrix& A, int n, tMatrix& B);
// In-place lower Cholesky factor. On a pivot below 1e-12 it shows its
// information message through the platform channel and returns false with A
// partly factorised.
bool CholeskyLower(int n, tMatrix& A);
// The same factorisation tried silently on a copy.
bool IsPositiveDefinite(int n, const tMatrix& A);

// ---- Conditional moments (nY = p - k dependent variables first) ------------------
// Returns false when one of its inversions stopped early.
bool ConditionalMoments(int p, int k, const tMatrix& R, const tVector& s, const tVector& m, const tVector& x,
                        tMatrix& CondVar, tVector& CondMean);
