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

std::string UntrappedErrorText(int number, const std::string& description) {
    return "Run-time error '" + std::to_string(number) + "':\r\n\r\n" + description;
}

void Raise(int number) { throw RuntimeError(number, ErrorDescription(number)); }

}  // namespace vt
