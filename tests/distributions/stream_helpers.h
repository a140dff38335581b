#pragma once
// Helpers for the distribution tests.
#include "distributions/distributions.h"

inline void Restart_stream()
{
    Seed1 = Seed1_start;
    Seed2 = Seed2_start;
}

// How many uniform numbers lead from one stream state to another, found by
// replaying the stream (-1 beyond 1000). Leaves the stream at the later state.
inline int Uniforms_between(std::int32_t from1, std::int32_t from2, std::int32_t to1, std::int32_t to2)
{
    Seed1 = from1;
    Seed2 = from2;
    for (int count = 0; count <= 1000; ++count, Uniform_random())
        if (Seed1 == to1 && Seed2 == to2) return count;
    return -1;
}

// The message of the EArgumentError that the call raises ("" for none).
template <class Call>
std::string Argument_error_of(Call call)
{
    try {
        call();
    } catch (const EArgumentError& error) {
        return error.what();
    }
    return "";
}

// The call must raise EArgumentError with exactly this message.
#define EXPECT_REFUSED(call, message) EXPECT_EQ(Argument_error_of([&] { call; }), message)
