#include "tray/tray_function.h"

#include <algorithm>
#include <cstring>

#include "platform/convert.h"
#include "ui/form1.h"

namespace vt {

TrayFunction& Tray_function() {
    static TrayFunction module;
    return module;
}

void ForgetTray(const Form1* form1) {
    if (Tray_function().form1 != form1) return;
    // The window may still get messages on its way out: not through the hook.
    RestoreWndProc();
    Tray_function() = TrayFunction{};
}

std::array<char, 64> TipField(std::string_view text) {
    std::array<char, 64> field;
    field.fill(' ');
    std::copy_n(text.begin(), std::min(text.size(), field.size()), field.begin());
    return field;
}

void SetTip(NotifyIconData& nid, std::string_view text) {
    const std::array<char, 64> field = TipField(text);
    std::memcpy(nid.szTip, field.data(), field.size());
}

std::array<uint8_t, 88> AnsiRecord(const NotifyIconData& nid) {
    std::array<uint8_t, 88> out{};
    auto put = [&](size_t at, uint64_t value) {
        for (size_t i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(value >> (8 * i));
    };
    put(0, nid.cbSize);
    put(4, nid.hWnd);
    put(8, nid.uID);
    put(12, nid.uFlags);
    put(16, nid.uCallbackMessage);
    put(20, nid.hIcon);
    std::memcpy(out.data() + 24, nid.szTip, sizeof nid.szTip);
    return out;
}

namespace {

void LeftClick(TrayFunction& t) {
    Form1& f = *t.form1;
    f.form().Show();
    if (t.globals->blnSound) f.snd.PlayResSound(modSND::kWindowBack);
    f.form().SetEnabled(form1::stupid, false);
    f.Command1_Click();
    t.platform->DoEvents();
}

}  // namespace

intptr_t TrayWndProc(uintptr_t hWnd, uint32_t uMsg, uintptr_t wParam, intptr_t lParam) {
    TrayFunction& t = Tray_function();
    Win32Api& api = t.platform->Api();
    if (t.lngTaskbarCreated != 0 && uMsg == t.lngTaskbarCreated && t.blnIconAdded) AddToShell();
    // The icon's notifications are known by wParam alone; the message number
    // is not looked at.
    if (wParam == t.lngTrayId) {
        switch (lParam) {
            case tray::kMouseMove:
                if (!t.globals->blnTipPending) {
                    t.form1->aftertimecheck();
                    t.globals->blnTipPending = true;
                }
                break;
            case tray::kLButtonDown:
            case tray::kLButtonDblClk: LeftClick(t); break;
            case tray::kRButtonDown: t.form1->form().PopupMenu(form1::mnufile); break;
            default: break;
        }
    }
    return api.CallWindowProcA(t.lngOldWndProc, hWnd, uMsg, wParam, lParam);
}

void AddToShell() {
    TrayFunction& t = Tray_function();
    if (t.platform->Api().Shell_NotifyIconA(win32c::kNimAdd, t.nidTray)) t.nidShown = t.nidTray;
}

void ModifyTrayIcon() {
    using namespace win32c;
    TrayFunction& t = Tray_function();
    const NotifyIconData& want = t.nidTray;
    const NotifyIconData& shown = t.nidShown;
    NotifyIconData change = want;
    change.uFlags = 0;
    if ((want.uFlags & kNifMessage) && want.uCallbackMessage != shown.uCallbackMessage) change.uFlags |= kNifMessage;
    if ((want.uFlags & kNifIcon) && want.hIcon != shown.hIcon) change.uFlags |= kNifIcon;
    if ((want.uFlags & kNifTip) && std::memcmp(want.szTip, shown.szTip, sizeof want.szTip) != 0) {
        change.uFlags |= kNifTip;
    }
    if (change.uFlags == 0) return;
    // A refused modify (the shell has lost the icon) leaves the record to be
    // handed over whole when the shell asks for its icons again.
    if (!t.platform->Api().Shell_NotifyIconA(kNimModify, change)) return;
    if (change.uFlags & kNifMessage) t.nidShown.uCallbackMessage = want.uCallbackMessage;
    if (change.uFlags & kNifIcon) t.nidShown.hIcon = want.hIcon;
    if (change.uFlags & kNifTip) std::memcpy(t.nidShown.szTip, want.szTip, sizeof want.szTip);
}

void DeleteTrayIcon() {
    TrayFunction& t = Tray_function();
    if (!t.blnIconAdded || !t.platform) return;
    t.blnIconAdded = false;
    t.platform->Api().Shell_NotifyIconA(win32c::kNimDelete, t.nidTray);
}

void RestoreWndProc() {
    TrayFunction& t = Tray_function();
    if (!t.platform || t.lngOldWndProc == 0) return;
    t.platform->Api().SetWindowLongPtrA(t.lngMainHwnd, win32c::kGwlpWndProc, t.lngOldWndProc);
}

int16_t ThemeLevel(float percent) { return CInt(Left(StrSingle(percent), 4)); }

int ThemeIconId(int16_t tema, int16_t level) {
    // Bands of ten: 0 for up to 9, 1 for 10 to 19, ..., 9 for 90 to 99, 10 for 100.
    const int band = level <= 9 ? 0 : level >= 100 ? 10 : level / 10;
    switch (tema) {
        case 1: return band == 10 ? 103 : 113 - band;
        case 2: return band == 10 ? 103 : 123 - band;
        case 3: return band == 10 ? 103 : 133 - band;
        case 4: return band < 2 ? 101 : 102;  // "tired" below 20
        case 5: return 144 - band;
        default: return 0;
    }
}

int16_t AnimateTray(Win32Api& api, int16_t direction, uintptr_t hWnd) {
    if (direction != 1) return 0;
    const uintptr_t taskbar = api.FindWindowA("Shell_TrayWnd", nullptr);
    if (taskbar == 0) return 0;
    // The buffer is not cleared between windows: each class name overwrites
    // its start, and its NUL ends it.
    char className[256] = {};
    uintptr_t child = api.GetWindow(taskbar, win32c::kGwChild);
    while (child != 0) {
        api.GetClassNameA(child, className, 255);
        if (std::string_view(className, 255).find("TrayNotifyWnd") != std::string_view::npos) break;
        child = api.GetWindow(child, win32c::kGwHwndNext);
    }
    if (child == 0) return 0;  // no notification area: no animation
    WinRect from, to;
    api.GetWindowRect(hWnd, from);
    api.GetWindowRect(child, to);
    api.DrawAnimatedRects(hWnd, win32c::kIdaniCaption, from, to);
    return 0;
}

void CheckPrevInstance(Platform& platform, Form& form) {
    (void)form;
    if (!platform.PrevInstance()) return;
    platform.MsgBox("The program is already in use.", kOkOnly | kMsgBoxRight, platform.AppTitle());
    platform.End();
}

}  // namespace vt
