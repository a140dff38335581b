// The root of the distribution tree: parameter validation, support, and the
// operations defined in terms of the others.
#include <cmath>

#include "distributions/distributions.h"

namespace {

[[noreturn]] void Abstract_call()
{
    throw std::logic_error("Abstract method called");
}

}  // namespace

bool tDistribution::Set_parameters(extended p1, extended p2, extended p3)
{
    // Values are stored before they are checked: after a refusal the records
    // hold the refused values while the support and cached constants stay.
    Parameters[1].Value = p1;
    Parameters[2].Value = p2;
    Parameters[3].Value = p3;
    for (int i = 1; i <= Parameter_count; ++i) {
        const tParameter& parameter = Parameters[i];
        // A whole-number parameter keeps its exclusive lower limit too. The
        // test is repeated here so that the common, valid case needs no call.
        if (!(parameter.Value > parameter.Lower_limit && parameter.Value < parameter.Upper_limit)) {
            Check_bound(1297 + 4 * i, parameter.Value, parameter.Lower_limit);
            Check_bound(1299 + 4 * i, parameter.Value, parameter.Upper_limit);
        }
        if (parameter.Whole) Raise_if(!Is_whole_number(parameter.Value), 1300 + 4 * i);
    }
    Support_lower = -Value_limit;
    Support_upper = Value_limit;
    return true;
}

bool tDistribution::In_support(extended x)
{
    return Support_lower <= x && x <= Support_upper;
}

extended tDistribution::Density(extended)
{
    return 0;
}

extended tDistribution::Point_probability(extended)
{
    return 0;
}

extended tDistribution::Distribution_function(extended x)
{
    if (x < Support_lower) return 0;
    if (x >= Support_upper) return 1;
    return Interval_probability(Support_lower, x);
}

extended tDistribution::Interval_probability(extended lo, extended hi)
{
    if (Support_lower > lo) lo = Support_lower;
    if (Support_upper < hi) hi = Support_upper;
    extended r;
    if (hi >= Value_limit)
        r = (1 - Distribution_function(lo)) + Point_probability(lo);
    else if (lo <= -Value_limit)
        r = Distribution_function(hi);
    else
        r = Distribution_function(hi) - Distribution_function(lo) + Point_probability(lo);
    if (r < 0) return 0;
    if (r > 1) return 1;
    return r;
}

extended tDistribution::Quantile(const extended&)
{
    Abstract_call();
}

bool tDistribution::Has_mean()
{
    return true;
}

bool tDistribution::Has_variance()
{
    return true;
}

extended tDistribution::Mean()
{
    Abstract_call();
}

extended tDistribution::Variance()
{
    Abstract_call();
}

extended tDistribution::Standard_deviation()
{
    Raise_if(!Has_variance(), 1363);
    return std::sqrt(Variance());
}

extended tDistribution::Random_variate()
{
    // Inversion: one uniform number per variate.
    extended u = Uniform_random();
    return Quantile(u);
}
