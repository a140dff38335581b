#pragma once
// Random source, distribution class tree, and the gamma functions and powers they need.
#include <cstdint>
#include <stdexcept>
#include <string>

#include "distributions/extended.h"

// Stands for an unbounded end of a support, and caps special-function arguments.
constexpr extended Value_limit = 2147483647.0L;
// The nearly-equal test and every convergence test of this unit (absolute).
constexpr extended Tolerance = 5e-12L;

// ---- Uniform random source ------------------------------------------------
// State words of the one shared stream; public so that a caller can restart it.
constexpr std::int32_t Seed1_start = 897183450;   // 0x3579EEDA
constexpr std::int32_t Seed2_start = 1841323562;  // 0x6DC05E2A
extern std::int32_t Seed1;
extern std::int32_t Seed2;

// Next number of the shared stream, in (0, 1): two multiplicative congruential
// generators combined, each stepped without overflow in 32-bit arithmetic.
// Inline because a Monte Carlo run calls it tens of millions of times.
inline extended Uniform_random()
{
    std::int32_t k = Seed1 / 53668;
    Seed1 = 40014 * (Seed1 - k * 53668) - 12211 * k;
    if (Seed1 < 0) Seed1 += 2147483563;
    k = Seed2 / 52774;
    Seed2 = 40692 * (Seed2 - k * 52774) - 3791 * k;
    if (Seed2 < 0) Seed2 += 2147483399;
    std::int32_t z = Seed1 - Seed2;
    if (z < 1) z += 2147483562;
    return z * 4.656613e-10L;
}

// ---- Helpers ---------------------------------------------------------------
inline bool Nearly_equal(extended a, extended b)
{
    extended difference = a - b;
    return (difference < 0 ? -difference : difference) < Tolerance;
}
bool Is_whole_number(extended x);
// "0.############": at least one integer digit, up to twelve decimals,
// trailing zeros dropped (and the point with them), never an exponent; the
// decimal separator is always a point, whatever the locale.
std::string Format_bound(extended x);

// The one error type of this unit: an argument out of range. It carries the
// identifier of its message (0 when raised with a text alone), so that a
// caller can say in its own terms what went wrong.
class EArgumentError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    EArgumentError(int identifier, const std::string& text) : std::runtime_error(text), identifier_(identifier) {}
    int Identifier() const { return identifier_; }

private:
    int identifier_ = 0;
};

// The message text of an argument-error identifier (a prefix to which the
// bound, where there is one, is appended directly).
std::string Argument_error_text(int identifier);
// Raises EArgumentError with the identifier's text when the condition holds.
bool Raise_if(bool condition, int identifier);
// Applies the identifier's rule to value and bound; raises EArgumentError with
// the identifier's text followed by Format_bound(bound) when it is violated.
// A NaN value violates every rule. An identifier without a bound rule is a
// programming error (std::logic_error).
bool Check_bound(int identifier, extended value, extended bound);

// ---- Distribution base -------------------------------------------------------
struct tParameter {
    extended Value = 0;
    bool Whole = false;
    extended Lower_limit = -Value_limit;  // exclusive
    extended Upper_limit = Value_limit;   // exclusive
};

// Operations that no class in an object's line supplies (Quantile, Mean and
// Variance of the root) raise std::logic_error("Abstract method called").
class tDistribution {
public:
    virtual ~tDistribution() = default;

    // Virtual operations, in their fixed order.
    virtual bool Set_parameters(extended p1, extended p2, extended p3);
    virtual bool In_support(extended x);
    virtual extended Density(extended x);
    virtual extended Point_probability(extended x);
    virtual extended Distribution_function(extended x);
    virtual extended Interval_probability(extended lo, extended hi);
    virtual extended Quantile(const extended& p);
    virtual bool Has_mean();
    virtual bool Has_variance();
    virtual extended Mean();
    virtual extended Variance();
    virtual extended Standard_deviation();
    virtual extended Random_variate();

    std::uint8_t Parameter_count = 0;
    tParameter Parameters[4];  // numbered 1 to 3; [0] unused
    extended Support_lower = -Value_limit;
    extended Support_upper = Value_limit;

protected:
    tDistribution() = default;
};

class tContinuous_distribution : public tDistribution {
public:
    extended Quantile(const extended& p) override;

protected:
    tContinuous_distribution() = default;
};

// ---- Normal ------------------------------------------------------------------
class tNormal_distribution : public tContinuous_distribution {
public:
    tNormal_distribution(extended mean, extended variance);  // variance, not SD

    bool Set_parameters(extended p1, extended p2, extended p3) override;
    extended Density(extended x) override;
    extended Distribution_function(extended x) override;
    extended Mean() override;
    extended Variance() override;
    extended Random_variate() override;

    extended Log_normaliser = 0;

private:
    extended mean_ = 0;
    extended variance_ = 1;
    extended sd_ = 1;
    extended ratio_constant_ = 0;
};

// ---- Gamma and chi-square ----------------------------------------------------
class tGamma_distribution : public tContinuous_distribution {
public:
    tGamma_distribution(extended shape, extended rate);

    bool Set_parameters(extended p1, extended p2, extended p3) override;
    bool In_support(extended x) override;
    extended Density(extended x) override;
    extended Distribution_function(extended x) override;
    extended Mean() override;
    extended Variance() override;
    extended Random_variate() override;

    extended Log_normaliser = 0;

protected:
    tGamma_distribution() = default;  // for the chi-square constructor
    void Fill_parameter_records();

    extended shape_ = 1;
    extended rate_ = 1;
    // shape > 1: the ends of the ratio-of-uniforms strip; shape < 1: (e + a) / e
    // and 1 / a. Left alone for shape = 1, which needs none.
    extended variate_constant1_ = 0;
    extended variate_constant2_ = 0;

private:
    extended Ratio_of_uniforms_variate();
    extended Small_shape_variate();

};

class tChi_square_distribution : public tGamma_distribution {
public:
    explicit tChi_square_distribution(extended df);

    bool Set_parameters(extended p1, extended p2, extended p3) override;

    extended Degrees_of_freedom = 0;
};

// ---- Special functions -------------------------------------------------------
extended Log_gamma(extended x);
extended Incomplete_gamma(extended x, extended a);          // P(a, x): point first
extended Incomplete_gamma_series(extended x, extended a);   // P(a, x), x < a + 1
extended Incomplete_gamma_fraction(extended x, extended a); // Q(a, x), x >= a + 1
extended Integer_power(extended base, std::int32_t n);
extended Real_power(extended base, extended exponent);
