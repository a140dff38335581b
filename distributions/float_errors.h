#pragma once
// Overflow, division by zero and invalid operations end the command that met
// them instead of letting infinities or NaNs reach a report. A computation
// clears the flags when it starts and checks them when it ends.
#include <stdexcept>

class EFloatingPointError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

void ClearFloatingPointErrors();
// Throws EFloatingPointError ("Floating point overflow", "Floating point
// division by zero" or "Invalid floating point operation") when a flag is set.
void RaiseFloatingPointErrors();
