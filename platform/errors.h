// Run-time errors: a number and a description, thrown as C++ exceptions.
// Handlers trap them where the program says so; anything untrapped reaches the
// platform's event dispatch, which reports it and ends the program.
#pragma once

#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vt {

enum ErrorNumber : int {
    kInvalidCall = 5,
    kOverflow = 6,
    kOutOfMemory = 7,
    kDivisionByZero = 11,
    kTypeMismatch = 13,
};

class RuntimeError : public std::runtime_error {
public:
    RuntimeError(int number, std::string description)
        : std::runtime_error(description), number_(number), description_(std::move(description)) {}
    int number() const { return number_; }
    const std::string& description() const { return description_; }

private:
    int number_;
    std::string description_;
};

// The fixed wording for each error number the program can raise.
std::string ErrorDescription(int number);

[[noreturn]] void Raise(int number);

// The report of an error that no handler trapped, written into the caller's
// storage (cut to it): the report must come when memory has run out too.
std::string_view UntrappedErrorText(int number, std::string_view description, std::span<char> storage);

}  // namespace vt
