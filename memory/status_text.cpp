#include "memory/status_text.h"

#include <cmath>

#include "platform/convert.h"

namespace vt {

// V has as many decimals as the characters cut from the percent text carry,
// and so has the exact difference; rounding to them keeps binary noise out of
// the figure ("2.9", not "2.90000000000001").
std::string BusyPercentText(std::string_view cut) {
    const double v = CDbl(cut);
    const size_t separator = cut.find(DecimalSeparator());
    const size_t exponent = cut.find_first_of("eE");
    if (separator == std::string_view::npos || exponent != std::string_view::npos) return StrDouble(100.0 - v);
    const double scale = std::pow(10.0, static_cast<double>(cut.size() - separator - 1));
    return StrDouble(RoundEven((100.0 - v) * scale) / scale);
}

std::string BusyText(float freePercent, size_t n, const char* ending) {
    return "Busy= " + BusyPercentText(Left(StrSingle(freePercent), n)) + ending;
}

std::string TotalsLine(float total, float free, const char* unit) {
    return std::string("  Totalt= ") + StrSingle(total) + " " + unit + "  Free= " + StrSingle(free) + " " + unit +
           "     ";
}

std::string MbBusyLine(int32_t totalKb, int32_t freeKb, float freePercent) {
    return "Busy= " + StrLong(CLng(SubLong(totalKb, freeKb) * 0.001)) + " Mb or " +
           BusyPercentText(Left(StrSingle(freePercent), 4)) + " %";
}

}  // namespace vt
