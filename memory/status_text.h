// What the user reads of a memory sample, as pure rules: the totals line, the
// busy line and the busy text of the tip and the status menu line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vt {

// "Busy= " + (100 - V) + ending, V read back from the first n characters of
// the text of the free percent.
std::string BusyText(float freePercent, size_t n, const char* ending);

// 100 - V as text, V read from the cut text of a percent.
std::string BusyPercentText(std::string_view cut);

// "  Totalt= <total> <unit>  Free= <free> <unit>     ".
std::string TotalsLine(float total, float free, const char* unit);

// The busy line of the Mb view: "Busy= <busy Mb> Mb or <100 - V> %".
std::string MbBusyLine(int32_t totalKb, int32_t freeKb, float freePercent);

}  // namespace vt
