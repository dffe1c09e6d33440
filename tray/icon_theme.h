// The icon themes: which of the program's icons the tray shows for a share
// of free memory, in steps of ten percent.
#pragma once

#include <cstdint>

namespace vt {

inline constexpr int kDefaultIcon = 145;  // the plain check mark of theme 0

// The whole number the theme table is read with: the first 4 characters of
// the percent as text, rounded (37.46 -> 37, 9.96 -> 10, 99.96 -> 100).
int16_t ThemeLevel(float percent);
// The icon resource of a theme (1 to 5) for a level; 0 for any other theme.
int ThemeIconId(int16_t tema, int16_t level);

}  // namespace vt
