#include "platform/errors.h"

#include <algorithm>
#include <charconv>

namespace vt {

std::string ErrorDescription(int number) {
    switch (number) {
        case kInvalidCall: return "Invalid procedure call or argument";
        case kOverflow: return "Overflow";
        case kOutOfMemory: return "Out of memory";
        case kDivisionByZero: return "Division by zero";
        case kTypeMismatch: return "Type mismatch";
        default: return "Application-defined or object-defined error";
    }
}

std::string_view UntrappedErrorText(int number, std::string_view description, std::span<char> storage) {
    char* at = storage.data();
    char* const end = storage.data() + storage.size();
    auto put = [&](std::string_view text) {
        at = std::copy_n(text.data(), std::min(text.size(), static_cast<size_t>(end - at)), at);
    };
    put("Run-time error '");
    char digits[16];
    put({digits, static_cast<size_t>(std::to_chars(digits, digits + sizeof digits, number).ptr - digits)});
    put("':\r\n\r\n");
    put(description);
    return {storage.data(), static_cast<size_t>(at - storage.data())};
}

void Raise(int number) { throw RuntimeError(number, ErrorDescription(number)); }

}  // namespace vt
