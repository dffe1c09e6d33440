#include "tray/tray_icon.h"

#include <array>
#include <new>

#include "memory/top_users.h"
#include "platform/errors.h"
#include "tray/icon_theme.h"

namespace vt {

TrayIcon::TrayIcon(Platform& platform, Form& main, TrayControls controls, MemoryDisplay& memory, Sound& sound)
    : platform_(platform), main_(main), c_(controls), memory_(memory), sound_(sound) {
    memory_.SetListener(this);
}

TrayIcon::~TrayIcon() { memory_.SetListener(nullptr); }

void TrayIcon::Add(const std::string& title) {
    strBalloonTitle_ = top_users::BalloonTitle(title);
    host_ = platform_.CreateTrayHost(main_, *this);
    strTrayTip_ = title;
    // The picture the window holds, so that the tray shows what the window does.
    host_->Add(strTrayTip_, main_.Icon());
}

void TrayIcon::HandOver() {
    if (host_) host_->Modify(strTrayTip_, main_.Icon());
}

void TrayIcon::SetTip(const std::string& text) {
    strTrayTip_ = text;
    HandOver();
}

void TrayIcon::ShowTheme(float freePercent) {
    const int iconId = ThemeIconId(intTema_, ThemeLevel(freePercent));
    if (iconId == 0 || !platform_.IconExists(iconId)) {
        // A theme outside 1 to 5 (an edited settings store) has no picture.
        // One above 5 reaches here first in the start-up's Update, whose
        // report then names the fault. A negative one passes the start-up
        // (the Update leaves themes below 1 alone) and comes only with the
        // hover refresh: the picture stays as it is.
        if (intTema_ > 5) Raise(kInvalidCall);
        return;
    }
    ShowPicture(iconId);
}

void TrayIcon::ShowDefaultIcon() { ShowPicture(kDefaultIcon); }

void TrayIcon::ShowPicture(int iconId) {
    main_.SetIcon(iconId);
    HandOver();
}

void TrayIcon::RefreshPicture() { HandOver(); }

// The list is taken only here, when the warning fires, at a moment when
// memory may be short: the reading keeps the three largest in storage of its
// own, and whatever else fails leaves the balloon with the free figure alone.
void TrayIcon::ShowLowMemoryBalloon(int32_t freeMb) {
    if (!Shown()) return;
    try {
        top_users::LargestKeeper largest(platform_.CurrentProcessId());
        if (platform_.VisitProcesses(largest)) {
            host_->Balloon(strBalloonTitle_, top_users::BalloonText(freeMb, largest.Kept()));
            return;
        }
    } catch (const std::bad_alloc&) {
    }
    std::array<char, 32> text;
    host_->Balloon(strBalloonTitle_, top_users::FreeText(freeMb, text));
}

void TrayIcon::Updated(const std::string& busyText, float freePercent) {
    SetTip(busyText);
    if (intTema_ > 0) ShowTheme(freePercent);
}

void TrayIcon::HoverRefreshed(const std::string& busyText, float freePercent) {
    SetTip(busyText);
    if (intTema_ != 0) ShowTheme(freePercent);
}

void TrayIcon::Remove() {
    if (host_) host_->Remove();
}

void TrayIcon::TrayHover() {
    if (blnTipPending_) return;
    memory_.ArmHoverRefresh();
    blnTipPending_ = true;
}

void TrayIcon::TrayActivate() {
    main_.Show();
    sound_.Cue(modSND::kWindowBack);
    main_.SetEnabled(c_.openItem, false);
    memory_.Update();
    platform_.DoEvents();
}

// From the keyboard: the menu at the icon (where the shell says, else at the
// pointer), and the focus back in the notification area when it is
// dismissed, so the keyboard user is not left nowhere.
void TrayIcon::TrayMenu(const TrayMenuRequest& request) {
    if (!request.keyboard) {
        main_.PopupMenu(c_.menu);
        return;
    }
    const bool chosen = request.at ? main_.PopupMenu(c_.menu, *request.at) : main_.PopupMenu(c_.menu);
    if (!chosen && host_) host_->ReturnFocus();
}

}  // namespace vt
