// Floating-point exceptions are flags, not traps: a computation clears them
// when it starts and turns any that were raised into an error when it ends.
#include "distributions/float_errors.h"

#include <cfenv>

namespace {
constexpr int Checked_flags = FE_OVERFLOW | FE_DIVBYZERO | FE_INVALID;
}

void ClearFloatingPointErrors()
{
    std::feclearexcept(Checked_flags);
}

void RaiseFloatingPointErrors()
{
    int raised = std::fetestexcept(Checked_flags);
    if (raised == 0) return;
    // Cleared before throwing so that the next computation starts clean.
    std::feclearexcept(Checked_flags);
    if (raised & FE_OVERFLOW) throw EFloatingPointError("Floating point overflow");
    if (raised & FE_DIVBYZERO) throw EFloatingPointError("Floating point division by zero");
    throw EFloatingPointError("Invalid floating point operation");
}
