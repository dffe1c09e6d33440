// A thin facade of the named Win32 calls the program makes, in plain C++
// types, so that the program's logic can run against a fake in the unit tests.
// Handles travel as uintptr_t; results are the calls' own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>


namespace vt {

// The version-1 notification icon record. The backend lays it out in the
// platform's own ANSI form on each target (88 bytes on 32-bit Windows).
struct NotifyIconData {
    uint32_t cbSize = 0;
    uintptr_t hWnd = 0;
    uint32_t uID = 0;
    uint32_t uFlags = 0;
    uint32_t uCallbackMessage = 0;
    uintptr_t hIcon = 0;
    char szTip[64] = {};
};

// The fields of the shell's full-size (wide) record beyond version 1, for the
// calls that need them: NIM_SETVERSION, NIM_SETFOCUS and the balloon. Texts
// are UTF-8, cut by the backend to szInfoTitle[64] and szInfo[256].
struct NotifyIconInfo {
    uintptr_t hWnd = 0;
    uint32_t uID = 0;
    uint32_t uFlags = 0;
    uint32_t uVersion = 0;
    std::string szInfoTitle;
    std::string szInfo;
    uint32_t dwInfoFlags = 0;
};

struct WinRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// A window procedure in portable form, called with the context it was made
// for; the backend makes it callable by the system (WndProcAddress).
using WndProc = intptr_t (*)(void* context, uintptr_t hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam);

namespace win32c {
constexpr int kGwlpWndProc = -4;
constexpr uint32_t kNimAdd = 0, kNimModify = 1, kNimDelete = 2;
constexpr uint32_t kNimSetFocus = 3, kNimSetVersion = 4;
constexpr uint32_t kNifMessage = 1, kNifIcon = 2, kNifTip = 4, kNifInfo = 0x10;
constexpr uint32_t kNotifyIconVersion = 3;
constexpr uint32_t kNiifWarning = 2;
// What the shell reports in lParam besides the mouse messages, from version 3
// on (WM_USER + n).
constexpr intptr_t kNinSelect = 0x400, kNinKeySelect = 0x401, kNinBalloonShow = 0x402,
                   kNinBalloonHide = 0x403, kNinBalloonTimeout = 0x404, kNinBalloonUserClick = 0x405;
constexpr intptr_t kWmContextMenu = 0x007B;
}  // namespace win32c

class Win32Api {
public:
    virtual ~Win32Api() = default;

    // Shell notification area
    virtual bool Shell_NotifyIconA(uint32_t message, const NotifyIconData& data) = 0;
    virtual uint32_t RegisterWindowMessageA(const char* name) = 0;
    // The wide full-size record: NIM_SETVERSION, NIM_SETFOCUS, and NIM_MODIFY
    // with NIF_INFO alone (the balloon; tip and icon stay as they are).
    virtual bool Shell_NotifyIconW(uint32_t message, const NotifyIconInfo& data) = 0;
    // The icon's place on the screen; false where the shell cannot tell.
    virtual bool Shell_NotifyIconGetRect(uintptr_t hWnd, uint32_t uID, WinRect& rect) = 0;

    // Window procedure
    // A procedure the system can call for hwnd, which hands each message to
    // proc with context: the hook finds its own state from the window.
    virtual intptr_t WndProcAddress(uintptr_t hwnd, WndProc proc, void* context) = 0;
    virtual intptr_t SetWindowLongPtrA(uintptr_t hwnd, int index, intptr_t value) = 0;
    virtual intptr_t CallWindowProcA(intptr_t proc, uintptr_t hwnd, uint32_t msg, uintptr_t wParam,
                                     intptr_t lParam) = 0;
};

}  // namespace vt
