#include "tray/tray_icon.h"

#include <cstring>
#include <utility>

#include "platform/errors.h"
#include "tray/tray_function.h"

namespace vt {

using namespace win32c;

TrayIcon::TrayIcon(Platform& platform, Form& main, TrayControls controls, Hooks hooks)
    : platform_(platform), main_(main), c_(controls), hooks_(std::move(hooks)) {}

TrayIcon::~TrayIcon() {
    // The window may still get messages on its way out: not through the hook.
    Unhook();
    if (lngMainHwnd != 0) platform_.SetFatalErrorHook(nullptr, nullptr);
}

void TrayIcon::Add(const std::string& title) {
    Win32Api& api = platform_.Api();
    lngMainHwnd = main_.Hwnd();
    lngTrayId = static_cast<uint32_t>(platform_.Instance());
    strTrayTip = title + '\0';
    lngTaskbarCreated = api.RegisterWindowMessageA("TaskbarCreated");
    // An error nothing traps ends the program: the icon goes with it.
    platform_.SetFatalErrorHook([](void* self) { static_cast<TrayIcon*>(self)->Delete(); }, this);
    lngOldWndProc = api.SetWindowLongPtrA(lngMainHwnd, kGwlpWndProc, api.WndProcAddress(lngMainHwnd, TrayWndProc, this));

    nidTray.hWnd = lngMainHwnd;
    nidTray.cbSize = tray::kRecordSize;
    // The picture the window holds, so the handle stays valid for as long as
    // the shell may draw it.
    nidTray.hIcon = main_.Icon();
    vt::SetTip(nidTray, strTrayTip);
    nidTray.uCallbackMessage = tray::kCallbackMessage;
    nidTray.uID = lngTrayId;
    nidTray.uFlags = tray::kFlags;
    AddToShell();
    blnIconAdded = true;
}

void TrayIcon::SetTip(const std::string& text) {
    vt::SetTip(nidTray, text + '\0');
    ModifyTrayIcon();
}

void TrayIcon::ShowTheme(float freePercent) {
    const int iconId = ThemeIconId(intTema, ThemeLevel(freePercent));
    if (iconId == 0 || platform_.IconResource(iconId) == 0) {
        // A theme outside 1 to 5 (an edited settings store) has no picture.
        // One above 5 reaches here first in the start-up's Update, whose
        // report then names the fault. A negative one passes the start-up
        // (the Update leaves themes below 1 alone) and comes only with the
        // hover refresh: the picture stays as it is.
        if (intTema > 5) Raise(kInvalidCall);
        return;
    }
    ShowPicture(iconId);
}

void TrayIcon::ShowDefaultIcon() { ShowPicture(tray::kDefaultIcon); }

// Icon handles come from the platform, which loads each picture once and
// holds it for the whole run: showing them any number of times costs nothing.
void TrayIcon::ShowPicture(int iconId) {
    main_.SetIcon(platform_.IconResource(iconId));
    nidTray.hIcon = main_.Icon();
    ModifyTrayIcon();
}

void TrayIcon::RefreshPicture() {
    nidTray.hIcon = main_.Icon();
    ModifyTrayIcon();
}

void TrayIcon::Remove() {
    Unhook();
    Delete();
}

void TrayIcon::Delete() {
    if (!blnIconAdded) return;
    blnIconAdded = false;
    platform_.Api().Shell_NotifyIconA(kNimDelete, nidTray);
}

void TrayIcon::Unhook() {
    if (lngOldWndProc == 0) return;
    platform_.Api().SetWindowLongPtrA(lngMainHwnd, kGwlpWndProc, lngOldWndProc);
}

intptr_t TrayIcon::TrayWndProc(void* self, uintptr_t hWnd, uint32_t uMsg, uintptr_t wParam, intptr_t lParam) {
    return static_cast<TrayIcon*>(self)->OnMessage(hWnd, uMsg, wParam, lParam);
}

intptr_t TrayIcon::OnMessage(uintptr_t hWnd, uint32_t uMsg, uintptr_t wParam, intptr_t lParam) {
    if (lngTaskbarCreated != 0 && uMsg == lngTaskbarCreated && blnIconAdded) {
        nidTray.hIcon = main_.Icon();  // drawn for the size the new shell uses
        AddToShell();
    }
    // The icon's notifications are known by wParam alone; the message number
    // is not looked at.
    if (wParam == lngTrayId) {
        switch (lParam) {
            case tray::kMouseMove:
                if (!blnTipPending) {
                    hooks_.armHoverRefresh();
                    blnTipPending = true;
                }
                break;
            case tray::kLButtonDown:
            case tray::kLButtonDblClk:
            case tray::kKeySelect:
            case tray::kBalloonUserClick:
                rightPressed_ = false;
                LeftClick();
                break;
            case tray::kRButtonDown:
                rightPressed_ = true;
                main_.PopupMenu(c_.menu);
                break;
            case tray::kContextMenu:
                if (std::exchange(rightPressed_, false)) break;
                MenuFromKeyboard();
                break;
            default: break;  // kSelect comes after a left press that has acted already
        }
    }
    return platform_.Api().CallWindowProcA(lngOldWndProc, hWnd, uMsg, wParam, lParam);
}

void TrayIcon::LeftClick() {
    main_.Show();
    hooks_.windowBackSound();
    main_.SetEnabled(c_.openItem, false);
    hooks_.update();
    platform_.DoEvents();
}

// With version 3 of the protocol the shell tells keyboard use apart.
void TrayIcon::AddToShell() {
    Win32Api& api = platform_.Api();
    if (!api.Shell_NotifyIconA(kNimAdd, nidTray)) return;
    nidShown = nidTray;
    api.Shell_NotifyIconW(kNimSetVersion, NotifyIconInfo{lngMainHwnd, lngTrayId, 0, kNotifyIconVersion});
}

// Shift+F10 or the menu key on the icon: the menu at the icon (where the
// shell says, else at the pointer), and the focus back in the notification
// area when it is dismissed, so the keyboard user is not left nowhere.
void TrayIcon::MenuFromKeyboard() {
    Win32Api& api = platform_.Api();
    WinRect icon;
    const bool chosen = api.Shell_NotifyIconGetRect(lngMainHwnd, lngTrayId, icon)
                            ? main_.PopupMenu(c_.menu, Point{icon.left, icon.top})
                            : main_.PopupMenu(c_.menu);
    if (!chosen) api.Shell_NotifyIconW(kNimSetFocus, NotifyIconInfo{lngMainHwnd, lngTrayId});
}

void TrayIcon::ShowBalloon(const std::string& title, const std::string& text) {
    // Only the balloon's fields: the tip and the picture stay as shown.
    NotifyIconInfo balloon{lngMainHwnd, lngTrayId, kNifInfo};
    balloon.szInfoTitle = title;
    balloon.szInfo = text;
    balloon.dwInfoFlags = kNiifWarning;
    platform_.Api().Shell_NotifyIconW(kNimModify, balloon);
}

void TrayIcon::ModifyTrayIcon() {
    const NotifyIconData& want = nidTray;
    NotifyIconData change = want;
    change.uFlags = 0;
    if ((want.uFlags & kNifMessage) && want.uCallbackMessage != nidShown.uCallbackMessage) change.uFlags |= kNifMessage;
    if ((want.uFlags & kNifIcon) && want.hIcon != nidShown.hIcon) change.uFlags |= kNifIcon;
    if ((want.uFlags & kNifTip) && std::memcmp(want.szTip, nidShown.szTip, sizeof want.szTip) != 0) {
        change.uFlags |= kNifTip;
    }
    if (change.uFlags == 0) return;
    // A refused modify (the shell has lost the icon) leaves the record to be
    // handed over whole when the shell asks for its icons again.
    if (!platform_.Api().Shell_NotifyIconA(kNimModify, change)) return;
    if (change.uFlags & kNifMessage) nidShown.uCallbackMessage = want.uCallbackMessage;
    if (change.uFlags & kNifIcon) nidShown.hIcon = want.hIcon;
    if (change.uFlags & kNifTip) std::memcpy(nidShown.szTip, want.szTip, sizeof want.szTip);
}

}  // namespace vt
