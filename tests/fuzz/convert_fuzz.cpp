// libFuzzer target over the text-to-number conversions and the general number
// format. The first byte picks the decimal separator and which check runs; the
// rest is the text (or the bytes of a number). Any broken rule aborts.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

#include "platform/convert.h"
#include "platform/errors.h"

namespace {

using namespace vt;

[[noreturn]] void Fail(const char* rule, std::string_view text) {
    std::fprintf(stderr, "broken rule: %s\ntext: [", rule);
    for (unsigned char c : text) {
        if (c >= 32 && c < 127) {
            std::fputc(c, stderr);
        } else {
            std::fprintf(stderr, "\\x%02X", c);
        }
    }
    std::fprintf(stderr, "] separator '%c'\n", DecimalSeparator());
    std::abort();
}

#define CHECK(cond, rule, text)        \
    do {                               \
        if (!(cond)) Fail(rule, text); \
    } while (0)

// The error number a conversion raised, 0 when it returned.
template <typename F>
int ErrorOf(F&& f) {
    try {
        f();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

void CheckText(std::string_view text) {
    const std::optional<double> value = ParseNumber(text);
    CHECK(IsNumeric(text) == value.has_value(), "IsNumeric agrees with ParseNumber", text);
    if (value) CHECK(std::isfinite(*value), "a parsed number is finite", text);

    double d = 0;
    const int dblError = ErrorOf([&] { d = CDbl(text); });
    if (value) {
        CHECK(dblError == 0 && d == *value && std::signbit(d) == std::signbit(*value), "CDbl is ParseNumber", text);
    } else {
        CHECK(dblError == kTypeMismatch, "CDbl of no number raises 13", text);
    }

    int16_t i16 = 0;
    const int intError = ErrorOf([&] { i16 = CInt(text); });
    int32_t i32 = 0;
    const int lngError = ErrorOf([&] { i32 = CLng(text); });
    if (!value) {
        CHECK(intError == kTypeMismatch && lngError == kTypeMismatch, "CInt/CLng of no number raise 13", text);
    } else {
        const double r = RoundEven(*value);
        CHECK(r == std::nearbyint(*value) && std::fabs(r - *value) <= 0.5, "nearest whole number", text);
        if (r >= -32768.0 && r <= 32767.0) {
            CHECK(intError == 0 && i16 == r, "CInt in range", text);
        } else {
            CHECK(intError == kOverflow, "CInt out of range raises 6", text);
        }
        if (r >= -2147483648.0 && r <= 2147483647.0) {
            CHECK(lngError == 0 && i32 == r, "CLng in range", text);
        } else {
            CHECK(lngError == kOverflow, "CLng out of range raises 6", text);
        }
        if (std::fabs(*value - r) == 0.5) {
            CHECK(std::fmod(r, 2.0) == 0, "halves go to the even neighbour", text);
        }
    }

    bool truth = false;
    const int boolError = ErrorOf([&] { truth = CBool(text); });
    if (value) {
        CHECK(boolError == 0 && truth == (*value != 0), "CBool of a number", text);
    } else {
        const std::string word = Lower(Trim(text));
        if (word == "true" || word == "false") {
            CHECK(boolError == 0 && truth == (word == "true"), "CBool of a truth word", text);
        } else {
            CHECK(boolError == kTypeMismatch, "CBool of anything else raises 13", text);
        }
    }
}

// What the general number format writes is read back to within its digits.
void CheckRoundTrip(double original, const std::string& text, int digits) {
    const std::optional<double> back = ParseNumber(text);
    CHECK(back.has_value(), "the general number format reads back", text);
    CHECK(IsNumeric(text), "the general number format is numeric", text);
    const double bound = (0.5 * std::pow(10.0, 1 - digits) + 1e-15) * std::fabs(original);
    CHECK(std::fabs(*back - original) <= bound, "read back within the significant digits", text);
    CHECK(CDbl(text) == *back, "CDbl reads the general number format", text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t control = data[0];
    SetDecimalSeparator(control & 1 ? ',' : '.');
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);

    CheckText(rest);

    // The same bytes as a number, when there are enough of them.
    if (rest.size() >= sizeof(double)) {
        double d;
        std::memcpy(&d, rest.data(), sizeof d);
        if (std::isfinite(d)) {
            const std::string text = StrDouble(d);
            CheckRoundTrip(d, text, 15);
            CHECK(StrDouble(*ParseNumber(text)) == text, "StrDouble is stable through a read", text);
            CheckText(text);
        }
        int64_t n;
        std::memcpy(&n, rest.data(), sizeof n);
        const std::string text = StrLong(n);
        CHECK(ParseNumber(text) == static_cast<double>(n), "StrLong reads back", text);
        const auto n32 = static_cast<int32_t>(n);
        CHECK(CLng(StrLong(n32)) == n32, "StrLong of a 32-bit number reads back exactly", text);
        CheckText(text);
    }
    if (rest.size() >= sizeof(float)) {
        float f;
        std::memcpy(&f, rest.data(), sizeof f);
        if (std::isfinite(f)) {
            const std::string text = StrSingle(f);
            CheckRoundTrip(f, text, 7);
            CheckText(text);
        }
    }
    // Short integers typed as text: what the format writes, CLng reads.
    if (rest.size() >= sizeof(int32_t)) {
        int32_t v;
        std::memcpy(&v, rest.data(), sizeof v);
        const std::string padded = "  " + StrLong(v) + " ";
        CHECK(CLng(padded) == v, "blanks around a whole number", padded);
    }
    SetDecimalSeparator('.');
    return 0;
}
