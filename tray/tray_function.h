// The tray's rules and small routines: the notification record's constants
// and tip field, the theme table, the animation into the tray and the
// single-instance guard.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "platform/platform.h"

namespace vt {

namespace tray {
constexpr uint32_t kCallbackMessage = 1039;  // WM_USER + 15
constexpr uint32_t kFlags = win32c::kNifMessage | win32c::kNifIcon | win32c::kNifTip;  // 7
constexpr uint32_t kRecordSize = 88;  // the version-1 ANSI record of 32-bit Windows
// What the shell reports in lParam: mouse messages, and with version 3 of
// the icon's protocol also what the user did with it (a left click ends in
// kSelect, a right click in kContextMenu; the keyboard sends kKeySelect for
// Space or Enter and kContextMenu for Shift+F10 or the menu key).
constexpr intptr_t kMouseMove = 512, kLButtonDown = 513, kLButtonUp = 514, kLButtonDblClk = 515, kRButtonDown = 516,
                   kRButtonUp = 517;
constexpr intptr_t kContextMenu = win32c::kWmContextMenu, kSelect = win32c::kNinSelect,
                   kKeySelect = win32c::kNinKeySelect, kBalloonUserClick = win32c::kNinBalloonUserClick;
constexpr int kDefaultIcon = 145;
}  // namespace tray

// The tip rule: the text (which ends in its NUL) assigned left-aligned into
// the 64-character field, padded with blanks or cut at 64 characters.
std::array<char, 64> TipField(std::string_view text);
void SetTip(NotifyIconData& nid, std::string_view text);

// The whole number the theme table is read with: the first 4 characters of
// the percent as text, rounded (37.46 -> 37, 9.96 -> 10, 99.96 -> 100).
int16_t ThemeLevel(float percent);
// The icon resource of a theme (1 to 5) for a level; 0 for any other theme.
int ThemeIconId(int16_t tema, int16_t level);

// Returns only when no other copy of the program runs; otherwise says so and
// ends the program.
void CheckPrevInstance(Platform& platform);

}  // namespace vt
