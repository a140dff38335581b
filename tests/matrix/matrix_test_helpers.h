#pragma once
#include <initializer_list>

#include "matrix/matrix_handling.h"

// The leading block given row by row; every other entry is `rest`.
inline tMatrix MakeMatrix(std::initializer_list<std::initializer_list<extended>> rows, extended rest = 0)
{
    tMatrix A;
    for (int i = 1; i <= MatrixCapacity; ++i)
        for (int j = 1; j <= MatrixCapacity; ++j) A[i][j] = rest;
    int i = 0;
    for (const auto& row : rows) {
        ++i;
        int j = 0;
        for (extended value : row) A[i][++j] = value;
    }
    return A;
}

// True when A's leading rows x cols block is `block` and every entry outside it is `rest`.
inline bool BlockIs(const tMatrix& A, std::initializer_list<std::initializer_list<extended>> block, extended rest = 0)
{
    const int rows = static_cast<int>(block.size());
    const int cols = rows ? static_cast<int>(block.begin()->size()) : 0;
    const tMatrix expected = MakeMatrix(block, rest);
    for (int i = 1; i <= MatrixCapacity; ++i)
        for (int j = 1; j <= MatrixCapacity; ++j)
            if (A[i][j] != ((i <= rows && j <= cols) ? expected[i][j] : rest)) return false;
    return true;
}
