// Argument errors of the distribution unit: the message table and the checks
// that raise EArgumentError.
#include "distributions/distributions.h"

std::string Argument_error_text(int identifier)
{
    switch (identifier) {
    case 1301: return "Parameter 1 must be greater than ";
    case 1302: return "The argument must not be less than ";
    case 1303: return "Parameter 1 must be less than ";
    case 1304: return "Parameter 1 must be a whole number";
    case 1305: return "Parameter 2 must be greater than ";
    case 1306: return "Parameter 2 must not be less than ";
    case 1307: return "Parameter 2 must be less than ";
    case 1308: return "Parameter 2 must be a whole number";
    case 1309: return "Parameter 3 must be greater than ";
    case 1310: return "Parameter 3 must not be less than ";
    case 1311: return "Parameter 3 must be less than ";
    case 1312: return "Parameter 3 must be a whole number";
    case 1315: return "The argument must not be greater than ";
    case 1361: return "An argument of the incomplete gamma function is too large (the largest allowed is 2147483647)";
    case 1363: return "The distribution has no variance, so it has no standard deviation";
    default: return "Argument error " + std::to_string(identifier);
    }
}

bool Raise_if(bool condition, int identifier)
{
    if (condition) throw EArgumentError(identifier, Argument_error_text(identifier));
    return true;
}

bool Check_bound(int identifier, extended value, extended bound)
{
    // Each rule is written as the negation of what is allowed, so that a NaN
    // value is always refused.
    bool violated;
    switch (identifier) {
    case 1301:
    case 1305:
    case 1309: violated = !(value > bound); break;   // lower limit, exclusive
    case 1303:
    case 1307:
    case 1311: violated = !(value < bound); break;   // upper limit, exclusive
    case 1302:
    case 1306:
    case 1310: violated = !(value >= bound); break;  // lower limit, inclusive
    case 1315: violated = !(value <= bound); break;  // upper limit, inclusive
    default: throw std::logic_error("No bound rule for argument error " + std::to_string(identifier));
    }
    if (violated) throw EArgumentError(identifier, Argument_error_text(identifier) + Format_bound(bound));
    return true;
}
