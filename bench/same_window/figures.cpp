#include "bench/same_window/figures.h"

#include <charconv>
#include <climits>
#include <cmath>

namespace same_window {
namespace {

char g_separator = '.';

// %g's choice of digits and of the exponent form, spelt with the locale's
// separator and an upper-case exponent of at least two digits. By to_chars:
// printf asks the processor for its floating-point state at every call,
// which a virtual machine traps.
std::string General(double value, int digits) {
    if (value == 0) return "0";
    char buffer[64];
    *std::to_chars(buffer, buffer + sizeof buffer - 1, value, std::chars_format::general, digits).ptr = '\0';
    std::string out;
    for (const char* p = buffer; *p; ++p) {
        if (*p == '.') {
            out += g_separator;
        } else if (*p == 'e') {
            out += 'E';
            out += p[1];
            std::string exponent(p + 2);
            while (exponent.size() > 2 && exponent[0] == '0') exponent.erase(0, 1);
            out += exponent;
            break;
        } else {
            out += *p;
        }
    }
    return out;
}

double Parse(std::string text) {
    for (char& c : text) {
        if (c == g_separator) c = '.';
    }
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

// 100 minus the percent read back from its cut text, to as many decimals as
// the cut carries ("2.9", not "2.90000000000001").
std::string BusyPercent(const std::string& cut) {
    const double v = Parse(cut);
    const size_t separator = cut.find(g_separator);
    if (separator == std::string::npos || cut.find_first_of("eE") != std::string::npos) return Double(100.0 - v);
    const double scale = std::pow(10.0, static_cast<double>(cut.size() - separator - 1));
    return Double(RoundEven((100.0 - v) * scale) / scale);
}

}  // namespace

void SetDecimalSeparator(char separator) { g_separator = separator; }

// Without the rounding mode (see General): from 2^52 on every double is whole.
double RoundEven(double value) {
    if (!(std::fabs(value) < 4503599627370496.0)) return value;
    double whole = std::floor(value);
    const double fraction = value - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0)) whole += 1;
    return whole;
}

std::string Single(float value) { return General(value, 7); }
std::string Double(double value) { return General(value, 15); }

int KbOf(unsigned long long bytes) {
    const double kb = RoundEven(static_cast<double>(bytes) / 1024.0);
    return kb >= 2147483647.0 ? INT_MAX : static_cast<int>(kb);
}

std::string BusyText(float freePercent, const char* ending) {
    return "Busy= " + BusyPercent(Single(freePercent).substr(0, 4)) + ending;
}

UpdateFigures ForUpdate(int totalKb, int freeKb) {
    const float freeMb = static_cast<float>(RoundEven(freeKb * 0.001));
    const double totalMb = RoundEven(totalKb * 0.001);
    UpdateFigures f;
    f.freePercent = static_cast<float>(freeMb / totalMb) * 100.0f;
    const std::string busy = BusyPercent(Single(f.freePercent).substr(0, 4));
    f.totals = "  Totalt= " + Single(static_cast<float>(totalMb)) + " Mb  Free= " + Single(freeMb) + " Mb     ";
    f.busy = "Busy= " + std::to_string(static_cast<long long>(RoundEven((totalKb - freeKb) * 0.001))) + " Mb or " +
             busy + " %";
    f.barWidth = (100 - static_cast<int>(RoundEven(f.freePercent))) * 2;
    f.barTip = Double(f.barWidth / 2.0) + "%";
    f.busyText = "Busy= " + busy + " %";
    return f;
}

float TipFreePercent(int totalKb, int freeKb) {
    return static_cast<float>(RoundEven(freeKb * 0.001) / RoundEven(totalKb * 0.001)) * 100.0f;
}

// The level is the percent's first four characters read back and rounded
// (9.96 is 10); the bands are tens, and 100 a band of its own.
int ThemeIcon(int theme, float freePercent) {
    const int level = static_cast<int>(RoundEven(Parse(Single(freePercent).substr(0, 4))));
    const int band = level <= 9 ? 0 : level >= 100 ? 10 : level / 10;
    switch (theme) {
        case 1:
        case 2:
        case 3: return band == 10 ? 103 : 103 + 10 * theme - band;
        case 4: return band < 2 ? 101 : 102;  // "tired" below 20
        case 5: return 144 - band;
        default: return 0;
    }
}

}  // namespace same_window
