// The icon in the notification area: its tip and its theme picture follow
// the figures, a pause of the pointer over it refreshes them, a click brings
// the main window back and a right click or the keyboard opens the
// program's menu. The platform's host keeps the icon in the shell (and adds
// it back when the shell makes its notification area anew) and reports what
// the user does with it. One per main window.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "memory/memory_display.h"
#include "platform/platform.h"
#include "sound/sound.h"

namespace vt {

// The main window's controls the tray uses.
struct TrayControls {
    int openItem;  // "Open Veltrane", offered only while the window is hidden
    int menu;      // the popup menu the right button opens
};

// Follows the memory display: the tip after every Update and hover refresh,
// the theme picture after an Update for themes above 0 and after a hover
// refresh for any theme but 0.
class TrayIcon final : public TrayEvents, public MemoryDisplay::Listener {
public:
    TrayIcon(Platform& platform, Form& main, TrayControls controls, MemoryDisplay& memory, Sound& sound);
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Adds the icon with `title` as its first tip and the window's own icon.
    void Add(const std::string& title);
    // The tip (UpdateTrayTip), and the theme's picture for a free percent
    // (SetThemeIcon, themes 1 to 5).
    void SetTip(const std::string& text);
    void ShowTheme(float freePercent);
    void ShowDefaultIcon();
    // The window's picture again, at the size the platform now draws it
    // (after a change of DPI).
    void RefreshPicture();
    void HoverRefreshDone() { blnTipPending_ = false; }
    // The balloon of the low-memory alarm, on the icon if it is there: the
    // free memory and the three programs that hold the most.
    void ShowLowMemoryBalloon(int32_t freeMb);
    // The icon out, and the window's messages no longer through the host.
    void Remove();
    bool Shown() const { return host_ && host_->Shown(); }

    int16_t intTema() const { return intTema_; }  // icon theme 0 to 5, setting "Tema"
    void SetTema(int16_t tema) { intTema_ = tema; }
    bool blnTipPending() const { return blnTipPending_; }  // a hover refresh is armed

    void TrayHover() override;
    void TrayActivate() override;
    void TrayMenu(const TrayMenuRequest& request) override;

    void Updated(const std::string& busyText, float freePercent) override;
    void HoverRefreshed(const std::string& busyText, float freePercent) override;

private:
    void ShowPicture(int iconId);
    void HandOver();

    Platform& platform_;
    Form& main_;
    TrayControls c_;
    MemoryDisplay& memory_;
    Sound& sound_;
    std::unique_ptr<TrayHost> host_;
    std::string strTrayTip_;  // the tip: the title at first, then the busy text
    std::string strBalloonTitle_;  // made at the start, when memory is there
    int16_t intTema_ = 0;
    bool blnTipPending_ = false;
};

}  // namespace vt
