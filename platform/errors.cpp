#include "platform/errors.h"

namespace vt {

std::string ErrorDescription(int number) {
    switch (number) {
        case kInvalidCall: return "Invalid procedure call or argument";
        case kOverflow: return "Overflow";
        case kDivisionByZero: return "Division by zero";
        case kTypeMismatch: return "Type mismatch";
        default: return "Application-defined or object-defined error";
    }
}

void Raise(int number) { throw RuntimeError(number, ErrorDescription(number)); }

}  // namespace vt
