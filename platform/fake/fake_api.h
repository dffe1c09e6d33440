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

struct RegValue {
    uint32_t type = 0;
    std::vector<uint8_t> data;
};

struct Message {
    uintptr_t hwnd;
    uint32_t msg;
    uintptr_t wParam;
    intptr_t lParam;
};

struct FakeWindow {
    uintptr_t hwnd;
    uintptr_t parent;  // 0: top level
    std::string className;
    WinRect rect;
};

struct Animation {
    uintptr_t hwnd;
    int kind;
    WinRect from, to;
};

class FakeApi : public Win32Api {
public:
    using Pixels = std::set<std::pair<int, int>>;

    bool Shell_NotifyIconA(uint32_t message, const NotifyIconData& data) override;
    uint32_t RegisterWindowMessageA(const char* name) override;
    bool Shell_NotifyIconW(uint32_t message, const NotifyIconInfo& data) override;
    bool Shell_NotifyIconGetRect(uintptr_t hWnd, uint32_t uID, WinRect& rect) override;

    intptr_t WndProcAddress(uintptr_t hwnd, WndProc proc, void* context) override;
    intptr_t SetWindowLongPtrA(uintptr_t hwnd, int index, intptr_t value) override;
    intptr_t CallWindowProcA(intptr_t proc, uintptr_t hwnd, uint32_t msg, uintptr_t wp, intptr_t lp) override;

    uintptr_t CreateRectRgn(int left, int top, int right, int bottom) override;
    int CombineRgn(uintptr_t dest, uintptr_t src1, uintptr_t src2, int mode) override;
    bool DeleteObject(uintptr_t object) override;
    int SetWindowRgn(uintptr_t hwnd, uintptr_t region, bool redraw) override;
    uint32_t GetPixel(uintptr_t dc, int x, int y) override;

    bool ReleaseCapture() override { ++captureReleases; return true; }
    intptr_t SendMessageA(uintptr_t hwnd, uint32_t msg, uintptr_t wp, intptr_t lp) override {
        sent.push_back({hwnd, msg, wp, lp});
        return 0;
    }

    uintptr_t FindWindowA(const char* className, const char* windowName) override;
    uintptr_t GetWindow(uintptr_t hwnd, uint32_t command) override;
    int GetClassNameA(uintptr_t hwnd, char* buffer, int length) override;
    bool GetWindowRect(uintptr_t hwnd, WinRect& rect) override;
    bool DrawAnimatedRects(uintptr_t hwnd, int animation, const WinRect& from, const WinRect& to) override {
        animations.push_back({hwnd, animation, from, to});
        return true;
    }

    long RegOpenKeyA(int32_t root, const char* subKey, uintptr_t& key) override;
    long RegCreateKeyA(int32_t root, const char* subKey, uintptr_t& key) override;
    long RegQueryValueExA(uintptr_t key, const char* valueName, uint32_t& type, uint8_t* data,
                          uint32_t& size) override;
    long RegSetValueExA(uintptr_t key, const char* valueName, uint32_t type, const uint8_t* data,
                        uint32_t size) override;
    long RegDeleteValueA(uintptr_t key, const char* valueName) override;
    long RegCloseKey(uintptr_t key) override;

    uint32_t GetShortPathNameA(const char* longPath, char* buffer, uint32_t length) override;
    uint32_t GetModuleFileNameA(char* buffer, uint32_t length) override;

    // Delivers a message to a window through whatever procedure is installed.
    intptr_t Deliver(uintptr_t hwnd, uint32_t msg, uintptr_t wp, intptr_t lp);

    // Helpers for tests.
    static std::string RegPath(int32_t root, const std::string& subKey);  // lower case
    void SetRegValue(int32_t root, const std::string& subKey, const std::string& name, uint32_t type,
                     const std::string& bytes);
    const RegValue* FindRegValue(int32_t root, const std::string& subKey, const std::string& name) const;
    int LiveRegions() const { return static_cast<int>(regions.size()); }

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

    // Regions and the face image
    std::map<uintptr_t, Pixels> regions;  // live regions the program owns
    std::map<uintptr_t, Pixels> windowRegions;
    int regionsCreated = 0, regionCombines = 0, setWindowRgnCalls = 0;
    Pixels keyPixels;  // pixels of the face that hold the key colour
    std::map<std::pair<int, int>, uint32_t> otherPixels;
    uint32_t keyColor = 0x00FF00FF, faceColor = 0x00402010;
    int faceWidth = 457, faceHeight = 111;
    int pixelReads = 0;

    // Capture, messages, windows, animations
    int captureReleases = 0;
    std::vector<Message> sent;
    std::vector<FakeWindow> windows;
    std::vector<Animation> animations;

    // Registry
    std::map<std::string, std::map<std::string, RegValue>> registry;  // path -> lower-case name -> value
    long createError = 0, setError = 0, deleteError = 0;  // forced results (0: none)
    int openKeys = 0;

    // Files: long path -> short path ("" means the file exists without a short form)
    std::map<std::string, std::string> files{{"C:\\Program Files\\Veltrane\\Veltrane.exe",
                                              "C:\\PROGRA~1\\Veltrane\\Veltrane.exe"}};
    std::string moduleFileName = "C:\\Program Files\\Veltrane\\Veltrane.exe";

private:
    struct Hook {
        WndProc proc;
        void* context;
    };
    std::map<intptr_t, Hook> hooks_;  // procedure address -> what it calls
    uintptr_t next_ = 0x10000;
    std::map<uintptr_t, std::string> keys_;
};

}  // namespace vt::fake
