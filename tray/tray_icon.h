// The icon in the notification area: the notification record `nidTray`, the
// hook on the main window's procedure that hears the icon's mouse messages,
// the tip and the theme picture that follow the figures, and the icon added
// back when the shell makes its notification area anew. One object per main
// window, alive as long as it: the hook reaches it through its own context.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/platform.h"

namespace vt {

// The main window's controls the tray uses.
struct TrayControls {
    int openItem;  // "Open Veltrane", offered only while the window is hidden
    int menu;      // the popup menu the right button opens
};

class TrayIcon {
public:
    struct Hooks {
        std::function<void()> update;           // the Update
        std::function<void()> armHoverRefresh;  // the hover refresh, in a moment
        std::function<void()> windowBackSound;
    };
    TrayIcon(Platform& platform, Form& main, TrayControls controls, Hooks hooks);
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Hooks the window and adds the icon with `title` as its first tip.
    void Add(const std::string& title);
    void SetTip(const std::string& text);
    // The theme's picture for a free percent (themes 1 to 5).
    void ShowTheme(float freePercent);
    void ShowDefaultIcon();
    // The window's picture again, as the platform now holds it (at another
    // size after a change of DPI).
    void RefreshPicture();
    void HoverRefreshDone() { blnTipPending = false; }
    // A notification balloon on the icon, with the warning sign.
    void ShowBalloon(const std::string& title, const std::string& text);
    // Exit: the hook off and the icon out.
    void Remove();
    // The icon out if it is there: Exit, and the reports that end the program,
    // so that no dead icon stays behind in the notification area.
    void Delete();
    // The window's own procedure back.
    void Unhook();

    int16_t intTema = 0;         // icon theme 0 to 5, setting "Tema"
    bool blnTipPending = false;  // a hover refresh is armed

    NotifyIconData nidTray;
    uintptr_t lngMainHwnd = 0;
    // The icon's id is the instance handle. The shell's uID is 32 bits wide,
    // while the instance handle of a 64-bit process is 64: the id is its low
    // 32 bits, and the shell hands exactly that value back in wParam, so the
    // hook compares wParam with it zero-extended.
    uint32_t lngTrayId = 0;
    intptr_t lngOldWndProc = 0;  // the window's procedure before the hook
    std::string strTrayTip;      // the first tip: the title and its NUL
    // The shell broadcasts this when its notification area is made anew
    // (Explorer restarted): every icon in it is gone and must be added again.
    uint32_t lngTaskbarCreated = 0;
    bool blnIconAdded = false;  // NIM_ADD was sent and no NIM_DELETE since

private:
    static intptr_t TrayWndProc(void* self, uintptr_t hWnd, uint32_t uMsg, uintptr_t wParam, intptr_t lParam);
    intptr_t OnMessage(uintptr_t hWnd, uint32_t uMsg, uintptr_t wParam, intptr_t lParam);
    void LeftClick();
    void MenuFromKeyboard();
    void ShowPicture(int iconId);
    void AddToShell();
    // Hands the shell the fields of nidTray that differ from what it shows,
    // and nothing at all when none does: under Wine a modify that carries the
    // icon costs the shell milliseconds whether or not the icon changed, and
    // the figures are refreshed every second.
    void ModifyTrayIcon();

    Platform& platform_;
    Form& main_;
    TrayControls c_;
    Hooks hooks_;
    // What the shell was last handed successfully (add or modify).
    NotifyIconData nidShown;
    // A right press opened the menu: the shell's kContextMenu that follows
    // its release is the same click, not the keyboard.
    bool rightPressed_ = false;
};

}  // namespace vt
