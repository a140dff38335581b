// The chi-square distribution: a gamma distribution with shape df/2, rate 1/2.
#include "distributions/distributions.h"

tChi_square_distribution::tChi_square_distribution(extended df)
{
    Fill_parameter_records();
    Set_parameters(df, 0, 0);
}

bool tChi_square_distribution::Set_parameters(extended p1, extended, extended)
{
    bool result = tGamma_distribution::Set_parameters(p1 / 2, 0.5L, 0);
    Degrees_of_freedom = p1;
    return result;
}
