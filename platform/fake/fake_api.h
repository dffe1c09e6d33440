// The named Win32 calls in memory, for the unit tests: a registry, regions as
// pixel sets, a face image, a window-procedure chain, the shell's icon list,
// a process table the test sets and a record of every message, animation
// and shell call beyond the version-1 record.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/win32_api.h"

namespace vt::fake {

constexpr uintptr_t kMainHwnd = 0x1234;
constexpr uintptr_t kFaceDc = 0x5678;
constexpr intptr_t kOriginalProc = 0x0D0D;    // the window's own procedure before any hook
constexpr intptr_t kOriginalResult = 4242;    // what it answers

struct Message {
    uintptr_t hwnd;
    uint32_t msg;
    uintptr_t wParam;
    intptr_t lParam;
};

class FakeApi : public Win32Api {
public:
    bool Shell_NotifyIconA(uint32_t message, const NotifyIconData& data) override;
    uint32_t RegisterWindowMessageA(const char* name) override;
    bool Shell_NotifyIconW(uint32_t message, const NotifyIconInfo& data) override;
    bool Shell_NotifyIconGetRect(uintptr_t hWnd, uint32_t uID, WinRect& rect) override;

    intptr_t WndProcAddress(uintptr_t hwnd, WndProc proc, void* context) override;
    intptr_t SetWindowLongPtrA(uintptr_t hwnd, int index, intptr_t value) override;
    intptr_t CallWindowProcA(intptr_t proc, uintptr_t hwnd, uint32_t msg, uintptr_t wp, intptr_t lp) override;

    // Delivers a message to a window through whatever procedure is installed.
    intptr_t Deliver(uintptr_t hwnd, uint32_t msg, uintptr_t wp, intptr_t lp);

    // Helpers for tests.

    // Shell
    std::vector<std::pair<uint32_t, NotifyIconData>> notifications;
    std::map<std::pair<uintptr_t, uint32_t>, NotifyIconData> trayIcons;  // (hWnd, uID) -> record
    bool shellRefuses = false;
    std::map<std::string, uint32_t> windowMessages;
    // The wide calls, in order, and what each icon was told by them.
    std::vector<std::pair<uint32_t, NotifyIconInfo>> wideNotifications;
    std::map<std::pair<uintptr_t, uint32_t>, uint32_t> trayVersions;  // (hWnd, uID) -> uVersion
    std::vector<NotifyIconInfo> balloons;  // shown, on an icon that exists
    int focusReturns = 0;
    bool iconRectKnown = false;  // as under Wine: the shell cannot tell
    WinRect iconRect{1200, 770, 1216, 786};

    // Window procedures: hwnd -> installed value; kOriginalProc until hooked.
    std::map<uintptr_t, intptr_t> windowProcs;
    std::vector<Message> passedOn;  // reached the original procedure

private:
    struct Hook {
        WndProc proc;
        void* context;
    };
    std::map<intptr_t, Hook> hooks_;  // procedure address -> what it calls
    uintptr_t next_ = 0x10000;
};

}  // namespace vt::fake
