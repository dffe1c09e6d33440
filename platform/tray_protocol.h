// The rules of the notification-area protocol that both backends keep alike:
// the tip's 64-character field, and what each of the shell's reports about
// the icon means.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace vt::tray_protocol {

inline constexpr uint32_t kCallbackMessage = 1039;  // WM_USER + 15, the icon's messages to its window

// The tip rule: the text followed by one NUL, assigned left-aligned into the
// 64-character field, padded with blanks or cut at 64 characters (a text of
// 64 or more then carries no NUL).
using TipField = std::array<char, 64>;
TipField MakeTipField(std::string_view text);

// What the shell reports in lParam: mouse messages, and with version 3 of
// the icon's protocol also what the user did with it. A left click ends in
// NIN_SELECT, a right click in WM_CONTEXTMENU; the keyboard sends
// NIN_KEYSELECT for Space or Enter and WM_CONTEXTMENU for Shift+F10 or the
// menu key.
inline constexpr intptr_t kMouseMove = 512, kLButtonDown = 513, kLButtonUp = 514, kLButtonDblClk = 515,
                          kRButtonDown = 516, kRButtonUp = 517, kContextMenu = 0x007B, kSelect = 0x400,
                          kKeySelect = 0x401, kBalloonUserClick = 0x405;

enum class Meaning { None, Hover, Activate, MenuAtPointer, MenuFromKeyboard };

// Reads the reports in their order: a mouse click does one thing once, and
// the WM_CONTEXTMENU that follows a right click is that click, not the
// keyboard.
class ReportReader {
public:
    Meaning Read(intptr_t report);

private:
    bool rightPressed_ = false;
};

}  // namespace vt::tray_protocol
