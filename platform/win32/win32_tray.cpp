// The icon in the notification area: the notification record `nidTray`
// handed to the shell with Shell_NotifyIconA, the hook on the main window's
// procedure (`TrayWndProc`, installed with the wide SetWindowLongPtrW where
// the design has SetWindowLongA, so that the window stays a Unicode one) that
// hears the icon's notifications and hands every message on to the previous
// procedure, version 3 of the protocol for the keyboard, the balloon through
// the shell's wide full-size record, and the icon added back when the shell
// makes its notification area anew.
#include "platform/win32/win32_tray.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/win32/win32_internal.h"

namespace vt::win32 {
namespace {

std::vector<Win32TrayHost*> g_hosts;  // alive, in creation order
Win32TrayHost::ShellLog g_log;

// A timer of the window's own, whose id no control uses.
constexpr UINT_PTR kRetryTimer = 0x7E5A;
constexpr UINT kRetryMs = 2000;

BOOL NotifyA(DWORD message, NOTIFYICONDATAA& nid) {
    g_log = {g_log.calls + 1, message, nid.uFlags};
    return Shell_NotifyIconA(message, &nid);
}

// Up to N - 1 UTF-16 units of the text and its NUL; a character is never
// split.
// Converted without taking memory: the balloon comes when memory is short.
template <size_t N>
void CopyWide(wchar_t (&field)[N], std::string_view utf8) {
    const WideText wide(utf8);
    const size_t length = wcslen(wide.c_str());
    size_t n = std::min(length, N - 1);
    if (n > 0 && n < length && IS_HIGH_SURROGATE(wide.c_str()[n - 1])) --n;
    std::copy_n(wide.c_str(), n, field);
    field[n] = L'\0';
}

// The record Shell_NotifyIconGetRect takes (Windows 7 on), laid out here
// because the call is looked up at run time.
struct IconIdentifier {
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    GUID guidItem;
};
using GetRectProc = HRESULT(WINAPI*)(const IconIdentifier*, RECT*);

GetRectProc FindGetRect() { return ProcAddress<GetRectProc>(GetModuleHandleW(L"shell32.dll"), "Shell_NotifyIconGetRect"); }

// The version-1 record ends after the first 64 characters of the tip.
constexpr size_t kTipBytes = std::tuple_size_v<tray_protocol::TipField>;
static_assert(NOTIFYICONDATAA_V1_SIZE == offsetof(NOTIFYICONDATAA, szTip) + kTipBytes);

void SetTip(NOTIFYICONDATAA& nid, std::string_view text) {
    const tray_protocol::TipField field = tray_protocol::MakeTipField(text);
    std::memcpy(nid.szTip, field.data(), kTipBytes);
}

}  // namespace

const Win32TrayHost::ShellLog& Win32TrayHost::Log() { return g_log; }

Win32TrayHost::Win32TrayHost(Win32Platform& platform, Win32Form& window, TrayEvents& events)
    : platform_(platform), window_(window), events_(events), lngMainHwnd(window.hwnd()),
      lngTrayId(static_cast<UINT>(reinterpret_cast<uintptr_t>(GetModuleHandleW(nullptr)))),
      lngTaskbarCreated(RegisterWindowMessageW(L"TaskbarCreated")) {
    // The version-1 layout of this target (88 bytes on 32-bit Windows).
#ifndef _WIN64
    static_assert(NOTIFYICONDATAA_V1_SIZE == 88);
#endif
    nidTray.cbSize = NOTIFYICONDATAA_V1_SIZE;
    nidTray.hWnd = lngMainHwnd;
    nidTray.uID = lngTrayId;
    nidTray.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;  // 7
    nidTray.uCallbackMessage = tray_protocol::kCallbackMessage;
    // A program started with higher rights than the shell's would not hear
    // that the notification area was made anew: the message filter drops it.
    using FilterProc = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    const auto allow = ProcAddress<FilterProc>(GetModuleHandleW(L"user32.dll"), "ChangeWindowMessageFilterEx");
    if (allow && lngTaskbarCreated) allow(lngMainHwnd, lngTaskbarCreated, 1 /* MSGFLT_ALLOW */, nullptr);
    g_hosts.push_back(this);
}

Win32TrayHost::~Win32TrayHost() {
    Remove();
    std::erase(g_hosts, this);
}

HICON Win32TrayHost::IconAtTraySize(int group) {
    return platform_.IconResource(group);
}

// The hook is in place before the icon exists.
bool Win32TrayHost::Add(std::string_view tip, int icon) {
    if (!lngOldWndProc && IsWindow(lngMainHwnd)) {
        window_.SetTrayHost(this);
        lngOldWndProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(lngMainHwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TrayWndProc)));
    }
    SetTip(nidTray, tip);
    iconGroup_ = icon;
    nidTray.hIcon = IconAtTraySize(icon);
    added_ = true;
    return AddToShell();
}

// With version 3 of the protocol the shell tells keyboard use apart. An add
// the shell refuses (not ready yet at sign-in) is tried again every 2 s
// until it takes: without the icon a hidden program could not come back.
bool Win32TrayHost::AddToShell() {
    shown_ = NotifyA(NIM_ADD, nidTray) != FALSE;
    if (!shown_) {
        SetTimer(lngMainHwnd, kRetryTimer, kRetryMs, nullptr);
        return false;
    }
    KillTimer(lngMainHwnd, kRetryTimer);
    nidShown = nidTray;
    NOTIFYICONDATAW version{sizeof version};
    version.hWnd = lngMainHwnd;
    version.uID = lngTrayId;
    version.uVersion = NOTIFYICON_VERSION;
    Shell_NotifyIconW(NIM_SETVERSION, &version);
    return true;
}

// Hands the shell the fields that differ from what it shows, and nothing at
// all when none does: under Wine a modify that carries the icon costs the
// shell milliseconds whether or not the icon changed, and the figures are
// refreshed every second.
void Win32TrayHost::Modify(std::string_view tip, int icon) {
    SetTip(nidTray, tip);
    iconGroup_ = icon;
    nidTray.hIcon = IconAtTraySize(icon);
    if (!shown_) return;
    NOTIFYICONDATAA change = nidTray;
    change.uFlags = 0;
    if (nidTray.hIcon != nidShown.hIcon) change.uFlags |= NIF_ICON;
    if (std::memcmp(nidTray.szTip, nidShown.szTip, kTipBytes) != 0) change.uFlags |= NIF_TIP;
    if (change.uFlags == 0) return;
    // A refused modify (the shell has lost the icon) leaves the record to be
    // handed over whole when the shell asks for its icons again.
    if (!NotifyA(NIM_MODIFY, change)) return;
    if (change.uFlags & NIF_ICON) nidShown.hIcon = nidTray.hIcon;
    if (change.uFlags & NIF_TIP) std::memcpy(nidShown.szTip, nidTray.szTip, kTipBytes);
}

// Only the balloon's fields: the tip and the picture stay as shown.
void Win32TrayHost::Balloon(std::string_view title, std::string_view text) {
    if (!shown_) return;
    NOTIFYICONDATAW balloon{sizeof balloon};
    balloon.hWnd = lngMainHwnd;
    balloon.uID = lngTrayId;
    balloon.uFlags = NIF_INFO;
    CopyWide(balloon.szInfoTitle, title);
    CopyWide(balloon.szInfo, text);
    balloon.dwInfoFlags = NIIF_WARNING;
    Shell_NotifyIconW(NIM_MODIFY, &balloon);
}

void Win32TrayHost::ReturnFocus() {
    NOTIFYICONDATAW focus{sizeof focus};
    focus.hWnd = lngMainHwnd;
    focus.uID = lngTrayId;
    Shell_NotifyIconW(NIM_SETFOCUS, &focus);
}

// The window's procedure back first, then the icon out.
void Win32TrayHost::Remove() {
    Unhook();
    added_ = false;
    if (IsWindow(lngMainHwnd)) KillTimer(lngMainHwnd, kRetryTimer);
    DeleteIcon();
}

void Win32TrayHost::DeleteIcon() {
    if (!std::exchange(shown_, false)) return;
    NotifyA(NIM_DELETE, nidTray);
}

void Win32TrayHost::DeleteAllIcons() {
    for (Win32TrayHost* host : g_hosts) host->DeleteIcon();
}

// Only if it is still ours: a procedure installed after the hook keeps its place.
void Win32TrayHost::Unhook() {
    if (!lngOldWndProc) return;
    if (IsWindow(lngMainHwnd) &&
        GetWindowLongPtrW(lngMainHwnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(TrayWndProc)) {
        SetWindowLongPtrW(lngMainHwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(lngOldWndProc));
    }
    lngOldWndProc = nullptr;
    window_.SetTrayHost(nullptr);
}

LRESULT CALLBACK Win32TrayHost::TrayWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    auto* form = reinterpret_cast<Win32Form*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    Win32TrayHost* host = form ? form->trayHost() : nullptr;
    if (!host) return CallWindowProcW(Win32Form::FormProc, hWnd, uMsg, wParam, lParam);
    return GuardedProc([&] { return host->OnMessage(hWnd, uMsg, wParam, lParam); });
}

LRESULT Win32TrayHost::OnMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    const WNDPROC previous = lngOldWndProc;
    const bool retry = uMsg == WM_TIMER && wParam == kRetryTimer;
    if (added_ && ((lngTaskbarCreated != 0 && uMsg == lngTaskbarCreated) || (retry && !shown_))) {
        nidTray.hIcon = IconAtTraySize(iconGroup_);  // drawn for the size the shell uses now
        AddToShell();
    }
    if (retry) return 0;
    // The icon's notifications are known by wParam alone; the message number
    // is not looked at.
    if (wParam == lngTrayId) {
        using tray_protocol::Meaning;
        // An error the program does not trap reaches the procedure's guard,
        // which reports it: no exception unwinds through the system.
        switch (reports_.Read(lParam)) {
            case Meaning::Hover: events_.TrayHover(); break;
            case Meaning::Activate: events_.TrayActivate(); break;
            case Meaning::MenuAtPointer: events_.TrayMenu({}); break;
            case Meaning::MenuFromKeyboard: {
                // The menu at the icon where the shell says where it is.
                static const GetRectProc getRect = FindGetRect();
                const IconIdentifier id{sizeof id, lngMainHwnd, lngTrayId, {}};
                RECT icon{};
                TrayMenuRequest request{std::nullopt, true};
                if (getRect && SUCCEEDED(getRect(&id, &icon))) request.at = Point{icon.left, icon.top};
                events_.TrayMenu(request);
                break;
            }
            case Meaning::None: break;
        }
    }
    // Handled or not, every message goes on: the hook may be gone by now
    // (Exit unhooks from inside a notification), its procedure not.
    return CallWindowProcW(previous ? previous : Win32Form::FormProc, hWnd, uMsg, wParam, lParam);
}

}  // namespace vt::win32
