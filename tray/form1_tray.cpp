// The main window's side of the tray: adding the icon and the hook at
// start-up, the tip, the theme picture, the default icon and removing the
// icon on Exit.
#include "platform/errors.h"
#include "tray/tray_function.h"
#include "ui/form1.h"

namespace vt {

using namespace win32c;

void Form1::AddTrayIcon() {
    TrayFunction& t = Tray_function();
    t = TrayFunction{};
    t.form1 = this;
    t.platform = &platform_;
    t.globals = &g_;
    Win32Api& api = platform_.Api();

    t.lngMainHwnd = form_->Hwnd();
    t.lngTrayId = static_cast<uint32_t>(platform_.Instance());
    t.strTrayTip = strTipTitle + '\0';
    t.lngTaskbarCreated = api.RegisterWindowMessageA("TaskbarCreated");
    // An error nothing traps ends the program: the icon goes with it.
    platform_.SetFatalErrorHook([](void*) { DeleteTrayIcon(); }, nullptr);
    t.lngOldWndProc = api.SetWindowLongPtrA(t.lngMainHwnd, kGwlpWndProc, api.WndProcAddress(TrayWndProc));

    NotifyIconData& nid = t.nidTray;
    nid.hWnd = t.lngMainHwnd;
    nid.cbSize = tray::kRecordSize;
    // The picture the window holds, so the handle stays valid for as long as
    // the shell may draw it.
    nid.hIcon = form_->Icon();
    SetTip(nid, t.strTrayTip);
    nid.uCallbackMessage = tray::kCallbackMessage;
    nid.uID = t.lngTrayId;
    nid.uFlags = tray::kFlags;
    AddToShell();
    t.blnIconAdded = true;
}

void Form1::UpdateTrayTip() {
    TrayFunction& t = Tray_function();
    SetTip(t.nidTray, strBusyText + '\0');
    ModifyTrayIcon();
}

void Form1::RemoveTrayIcon() {
    RestoreWndProc();
    DeleteTrayIcon();
}

// Icon handles come from the platform, which loads each picture once and
// holds it for the whole run: showing them any number of times costs nothing.
void Form1::ShowTrayPicture(int iconId) {
    TrayFunction& t = Tray_function();
    form_->SetIcon(platform_.IconResource(iconId));
    t.nidTray.hIcon = form_->Icon();
    ModifyTrayIcon();
}

void Form1::SetThemeIcon() {
    const float p = blnFromUpdate ? sngFreePercent : sngTipFreePercent;
    const int iconId = ThemeIconId(g_.intTema, ThemeLevel(p));
    blnFromUpdate = false;
    if (iconId == 0 || platform_.IconResource(iconId) == 0) {
        // A theme outside 1 to 5 (an edited settings store) has no picture.
        // One above 5 reaches here first in the start-up's Update, whose
        // report then names the fault. A negative one passes the start-up
        // (the Update leaves themes below 1 alone) and comes only with the
        // hover refresh: the picture stays as it is. The Update's mark is no
        // guide here, as it stays set after an Update that skipped this.
        if (g_.intTema > 5) Raise(kInvalidCall);
        return;
    }
    ShowTrayPicture(iconId);
}

void Form1::cmdChangeIcon_Click() { ShowTrayPicture(tray::kDefaultIcon); }

}  // namespace vt
