#include "platform/convert.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "platform/errors.h"

namespace vt {
namespace {

char g_decimal_separator = '.';

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// printf's %g picks exponent form exactly where the general number format
// does (exponent below -4 or at least the digit count); only the spelling of
// the exponent and the separator differ.
std::string FormatGeneral(double value, int digits) {
    if (value == 0) return "0";  // also -0
    // to_chars spells exactly what printf's %.*g does, without printf's
    // round trips through the floating-point environment (under mingw each
    // one asks the processor what it supports, which a virtual machine traps).
    char buffer[64];
    *std::to_chars(buffer, buffer + sizeof buffer - 1, value, std::chars_format::general, digits).ptr = '\0';
    // Rounded to its digits, a value at the very top of the double range comes
    // out above it (1.79769313486232E+308), where no reader takes it back:
    // such a text is written one step lower in its last digit instead.
    if (std::strstr(buffer, "e+308") && std::isinf(std::strtod(buffer, nullptr))) {
        char* last = std::strchr(buffer, 'e');
        if (last && last > buffer && last[-1] > '0' && last[-1] <= '9') --last[-1];
    }
    std::string out;
    for (const char* p = buffer; *p; ++p) {
        if (*p == '.') {
            out += g_decimal_separator;
        } else if (*p == 'e') {
            out += 'E';
            ++p;
            out += *p;  // sign
            std::string exponent(p + 1);
            while (exponent.size() > 2 && exponent[0] == '0') exponent.erase(0, 1);
            out += exponent;
            break;
        } else {
            out += *p;
        }
    }
    return out;
}

}  // namespace

void SetDecimalSeparator(char separator) { g_decimal_separator = separator; }
char DecimalSeparator() { return g_decimal_separator; }

double RoundEven(double value) {
    // Halves to the even neighbour whatever the rounding mode, and without
    // reading or setting it (see FormatGeneral). From 2^52 on every double
    // is whole; below it the fraction is exact.
    if (!(std::abs(value) < 4503599627370496.0)) return value;  // also NaN
    const double below = std::floor(value);
    const double fraction = value - below;
    double r = below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0)) r = below + 1;
    return r == 0 ? std::copysign(0.0, value) : r;
}

int16_t CInt(double value) {
    if (std::isnan(value)) Raise(kOverflow);
    const double r = RoundEven(value);
    if (r < -32768.0 || r > 32767.0) Raise(kOverflow);
    return static_cast<int16_t>(r);
}

int32_t CLng(double value) {
    if (std::isnan(value)) Raise(kOverflow);
    const double r = RoundEven(value);
    if (r < -2147483648.0 || r > 2147483647.0) Raise(kOverflow);
    return static_cast<int32_t>(r);
}

std::optional<double> ParseNumber(std::string_view text) {
    size_t i = 0, n = text.size();
    while (i < n && IsBlank(text[i])) ++i;
    while (n > i && IsBlank(text[n - 1])) --n;
    if (i == n) return std::nullopt;
    std::string plain;  // sign, digits, '.', exponent: what strtod reads in the C locale
    if (text[i] == '-') plain += text[i];
    if (text[i] == '+' || text[i] == '-') ++i;  // from_chars takes no plus
    size_t digits = 0;
    while (i < n && text[i] >= '0' && text[i] <= '9') plain += text[i++], ++digits;
    if (i < n && text[i] == g_decimal_separator) {
        plain += '.';
        ++i;
        while (i < n && text[i] >= '0' && text[i] <= '9') plain += text[i++], ++digits;
    }
    if (digits == 0) return std::nullopt;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        plain += 'e';
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-')) plain += text[i++];
        size_t exponent_digits = 0;
        while (i < n && text[i] >= '0' && text[i] <= '9') plain += text[i++], ++exponent_digits;
        if (exponent_digits == 0) return std::nullopt;
    }
    if (i != n) return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    // Out of range is taken as strtod takes it: underflow to zero or a
    // denormal, overflow refused below.
    if (error == std::errc::result_out_of_range) value = std::strtod(plain.c_str(), nullptr);
    else if (error != std::errc() || end != plain.data() + plain.size()) return std::nullopt;
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

bool IsNumeric(std::string_view text) { return ParseNumber(text).has_value(); }

double CDbl(std::string_view text) {
    const auto value = ParseNumber(text);
    if (!value) Raise(kTypeMismatch);
    return *value;
}

int16_t CInt(std::string_view text) { return CInt(CDbl(text)); }
int32_t CLng(std::string_view text) { return CLng(CDbl(text)); }

bool CBool(std::string_view text) {
    if (const auto value = ParseNumber(text)) return *value != 0;
    std::string word = Trim(text);
    for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (word == "true") return true;
    if (word == "false") return false;
    Raise(kTypeMismatch);
}

std::string StrSingle(float value) { return FormatGeneral(value, 7); }
std::string StrDouble(double value) { return FormatGeneral(value, 15); }
std::string StrLong(int64_t value) { return std::to_string(value); }

int32_t MulLong(int32_t a, int32_t b) {
    int32_t r;
    if (__builtin_mul_overflow(a, b, &r)) Raise(kOverflow);
    return r;
}
int32_t AddLong(int32_t a, int32_t b) {
    int32_t r;
    if (__builtin_add_overflow(a, b, &r)) Raise(kOverflow);
    return r;
}
int32_t SubLong(int32_t a, int32_t b) {
    int32_t r;
    if (__builtin_sub_overflow(a, b, &r)) Raise(kOverflow);
    return r;
}
int16_t MulInt(int16_t a, int16_t b) {
    int16_t r;
    if (__builtin_mul_overflow(a, b, &r)) Raise(kOverflow);
    return r;
}
int16_t AddInt(int16_t a, int16_t b) {
    int16_t r;
    if (__builtin_add_overflow(a, b, &r)) Raise(kOverflow);
    return r;
}
int16_t SubInt(int16_t a, int16_t b) {
    int16_t r;
    if (__builtin_sub_overflow(a, b, &r)) Raise(kOverflow);
    return r;
}

double Divide(double a, double b) {
    if (b == 0) Raise(a == 0 ? kOverflow : kDivisionByZero);
    return a / b;
}

std::string Trim(std::string_view text) {
    size_t i = 0, n = text.size();
    while (i < n && text[i] == ' ') ++i;
    while (n > i && text[n - 1] == ' ') --n;
    return std::string(text.substr(i, n - i));
}

std::string Left(std::string_view text, size_t n) { return std::string(text.substr(0, n)); }

}  // namespace vt
