#pragma once
// The extended-precision real of the statistical core: the x87 80-bit format
// on x86-64 with g++ and clang.
using extended = long double;
