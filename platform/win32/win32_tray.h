// The icon in the notification area. Backend-internal: the backend tests
// look at the record it hands the shell.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <string_view>

#include "platform/platform.h"
#include "platform/tray_protocol.h"

namespace vt::win32 {

class Win32Platform;
class Win32Form;

class Win32TrayHost final : public TrayHost {
public:
    Win32TrayHost(Win32Platform& platform, Win32Form& window, TrayEvents& events);
    ~Win32TrayHost() override;
    Win32TrayHost(const Win32TrayHost&) = delete;
    Win32TrayHost& operator=(const Win32TrayHost&) = delete;

    bool Add(std::string_view tip, int icon) override;
    void Modify(std::string_view tip, int icon) override;
    void Balloon(std::string_view title, std::string_view text) override;
    void Remove() override;
    void ReturnFocus() override;
    bool Shown() const override { return shown_; }

    // The icon out of the notification area and nothing more: what the
    // report of an error nothing trapped does before the program ends.
    void DeleteIcon();
    // Every icon the program shows, out (an untrapped error ends the program).
    static void DeleteAllIcons();

    const NOTIFYICONDATAA& record() const { return nidTray; }
    // What the program's icons handed the shell with Shell_NotifyIconA:
    // the number of calls and the last one's message and fields.
    struct ShellLog {
        int calls = 0;
        DWORD message = 0;
        UINT flags = 0;
    };
    static const ShellLog& Log();

    // The main window's procedure while the icon is there: it hears the
    // icon's notifications and hands every message on to lngOldWndProc.
    static LRESULT CALLBACK TrayWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

private:
    LRESULT OnMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    HICON IconAtTraySize(int group);
    bool AddToShell();
    void Unhook();

    Win32Platform& platform_;
    Win32Form& window_;
    TrayEvents& events_;
    // The version-1 record in its ANSI form (88 bytes on 32-bit Windows):
    // what the program wants shown, and what the shell was last handed
    // successfully.
    NOTIFYICONDATAA nidTray{};
    NOTIFYICONDATAA nidShown{};
    int iconGroup_ = 0;
    HWND lngMainHwnd;
    // The icon's id is the instance handle. The shell's uID is 32 bits wide,
    // while the instance handle of a 64-bit process is 64: the id is its low
    // 32 bits, and the shell hands exactly that value back in wParam.
    UINT lngTrayId;
    WNDPROC lngOldWndProc = nullptr;  // the window's procedure before the hook
    // The shell broadcasts this when its notification area is made anew
    // (Explorer restarted): every icon in it is gone and must be added again.
    UINT lngTaskbarCreated;
    bool added_ = false;  // Add was asked for and Remove was not
    bool shown_ = false;  // the shell holds the icon
    tray_protocol::ReportReader reports_;
};

}  // namespace vt::win32
