// The module Tray_function: the notification record and the hook on the main
// window's procedure that hears the icon's mouse messages, the tip rule, the
// theme table, the animation into the tray and the single-instance guard.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/program_state.h"
#include "platform/platform.h"

namespace vt {

class Form1;

namespace tray {
constexpr uint32_t kCallbackMessage = 1039;  // WM_USER + 15
constexpr uint32_t kFlags = win32c::kNifMessage | win32c::kNifIcon | win32c::kNifTip;  // 7
constexpr uint32_t kRecordSize = 88;  // the version-1 ANSI record of 32-bit Windows
// What the shell reports in lParam.
constexpr intptr_t kMouseMove = 512, kLButtonDown = 513, kLButtonDblClk = 515, kRButtonDown = 516;
constexpr int kDefaultIcon = 145;
}  // namespace tray

// The module's state, alive for the whole run. The hook is for the one main
// window, so it reaches that window through the one instance of this record.
struct TrayFunction {
    NotifyIconData nidTray;
    uintptr_t lngMainHwnd = 0;
    // The icon's id is the instance handle. The shell's uID is 32 bits wide,
    // while the instance handle of a 64-bit process is 64: the id is its low
    // 32 bits, and the shell hands exactly that value back in wParam, so the
    // hook compares wParam with it zero-extended.
    uint32_t lngTrayId = 0;
    intptr_t lngOldWndProc = 0;  // the window's procedure before the hook
    std::string strTrayTip;      // the first tip: the title and its NUL
    // The shell broadcasts this when its notification area is made anew
    // (Explorer restarted): every icon in it is gone and must be added again.
    uint32_t lngTaskbarCreated = 0;
    bool blnIconAdded = false;  // NIM_ADD was sent and no NIM_DELETE since
    // What the shell was last handed successfully (add or modify): refreshes
    // pass on only the fields that differ from it.
    NotifyIconData nidShown;

    Form1* form1 = nullptr;
    Platform* platform = nullptr;
    ProgramState* globals = nullptr;
};

// The one instance.
TrayFunction& Tray_function();
// A main window going away unhooks itself and takes the module's hold on it
// along.
void ForgetTray(const Form1* form1);

// The tip rule: the text (which ends in its NUL) assigned left-aligned into
// the 64-character field, padded with blanks or cut at 64 characters.
std::array<char, 64> TipField(std::string_view text);
void SetTip(NotifyIconData& nid, std::string_view text);

// The record in the 88-byte ANSI form of 32-bit Windows: cbSize, hWnd, uID,
// uFlags, uCallbackMessage, hIcon as 32-bit little-endian values, then the
// 64 tip bytes.
std::array<uint8_t, 88> AnsiRecord(const NotifyIconData& nid);

// The main window's procedure while the icon exists: acts on the icon's
// notifications and passes every message on to the previous procedure.
intptr_t TrayWndProc(uintptr_t hWnd, uint32_t uMsg, uintptr_t wParam, intptr_t lParam);

// Hands the shell the fields of nidTray that differ from what it shows, and
// nothing at all when none does: under Wine a modify that carries the icon
// costs the shell milliseconds whether or not the icon changed, and the
// figures are refreshed every second.
void ModifyTrayIcon();
// NIM_ADD of the whole record.
void AddToShell();

// Sends NIM_DELETE if the icon is there: Exit, and the reports that end the
// program, so that no dead icon stays behind in the notification area.
void DeleteTrayIcon();
// Puts the window's own procedure back (the final unload, Exit).
void RestoreWndProc();

// The whole number the theme table is read with: the first 4 characters of
// the percent as text, rounded (37.46 -> 37, 9.96 -> 10, 99.96 -> 100).
int16_t ThemeLevel(float percent);
// The icon resource of a theme (1 to 5) for a level; 0 for any other theme.
int ThemeIconId(int16_t tema, int16_t level);

// Direction 1: the caption animation from the window's rectangle into the
// notification area. Always answers 0.
int16_t AnimateTray(Win32Api& api, int16_t direction, uintptr_t hWnd);

// Returns only when no other copy of the program runs; otherwise says so and
// ends the program.
void CheckPrevInstance(Platform& platform, Form& form);

}  // namespace vt
