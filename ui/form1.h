// The main window: its control table, the event dispatch and the handlers,
// each an entry point into the area that does the work. The areas (the
// memory display, the check period, the low-memory warning, the tray icon,
// the sound, autostart, the settings) own their state; this window owns
// them, wires what one needs of another, and runs start-up and shutdown.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "autostart/autostart.h"
#include "memory/memory_display.h"
#include "memory/memory_history.h"
#include "monitor/check_period.h"
#include "monitor/warning.h"
#include "platform/errors.h"
#include "platform/platform.h"
#include "settings/settings.h"
#include "sound/sound.h"
#include "tray/tray_icon.h"
#include "ui/control_ids.h"

namespace vt {

class frmOptions;

const FormDef& MainWindowDef();

class Form1 : public FormEvents {
    // The areas, made with the window, each given the ones it uses.
    struct Areas {
        Areas(Platform& platform, Form& form, Settings& settings, LowMemoryWarning::Hooks warningHooks);
        Sound sound;
        MemoryDisplay memory;
        MemoryHistory history;
        TrayIcon tray;
        CheckPeriod checkPeriod;
        LowMemoryWarning warning;
        Autostart autostart;
    };

public:
    explicit Form1(Platform& platform);
    ~Form1() override;

    // Creates the window and its areas, runs Form_Load and shows the window.
    void Start();
    Form& form() { return *form_; }

    MemoryDisplay& memory() { return areas_->memory; }
    MemoryHistory& history() { return areas_->history; }
    CheckPeriod& checkPeriod() { return areas_->checkPeriod; }
    LowMemoryWarning& warning() { return areas_->warning; }
    TrayIcon& tray() { return areas_->tray; }
    Sound& sound() { return areas_->sound; }
    Autostart& autostart() { return areas_->autostart; }
    // The options window while it is open, else null.
    frmOptions* options() { return options_.get(); }

    // Application lifecycle
    void Form_Load();
    void Form_Unload(int16_t& Cancel);

    // Status texts, units and the hover refresh
    void Command1_Click() { memory().Update(); }  // the Update
    void Command5_Click() { memory().NextUnitView(); }
    void Timer2_Timer() { memory().EndFlash(); }
    void Timer4_Timer();
    void Timer5_Timer();  // the last hour's sample

    // Tray presence
    void RemoveTrayIcon() { tray().Remove(); }
    void cmdChangeIcon_Click() { tray().ShowDefaultIcon(); }

    // Check period and low-memory warning
    void Command2_Click() { checkPeriod().Set(); }
    void Timer1_Timer() { checkPeriod().Tick(); }
    void Text1_GotFocus() { checkPeriod().SelectAmount(); }
    void Timer3_Timer() { warning().Watch(); }
    void Form_Click() { warning().Acknowledge(); }

    // The window's own commands
    void Command3_Click() { HideToTray(); }  // Hide
    void Image3_Click() { HideToTray(); }
    void Form_DblClick() { HideToTray(); }
    void Command4_Click() { ShowOptions(); }  // Options
    void mnuSetWarning_Click() { ShowOptions(); }
    void IconTemaChange2_Click() { ShowOptions(); }
    void stupid_Click() { ShowFromTray(); }  // Open
    void sucker_Click() { Command1_Click(); }  // Get Status
    void goner_Click() { Exit(); }
    void mnuCancel_Click() {}

    // Autostart and sound
    void auto_Click() { autostart().Toggle(); }
    void Command1_MouseUp() { sound().Click(); }
    void mnuSoff_Click();

    // FormEvents
    void Unload(int16_t& cancel) override { Form_Unload(cancel); }
    void Click(int id) override;
    void DblClick(int id) override;
    void GotFocus(int id) override;
    void MouseDown(int id, MouseButton button) override;
    void MouseUp(int id, MouseButton button) override;
    void Timer(int id) override;
    void MenuClick(int id) override;
    void DpiChanged() override;

    // 1: the next unload hides the window into the notification area.
    int16_t intHideToTray() const { return intHideToTray_; }

private:
    void RestorePosition(int32_t leftTwips, int32_t topTwips);
    void StartupErrorReport(const RuntimeError& error, std::optional<Settings::Key> setting);
    void HideToTray();
    void ShowFromTray();
    void ShowOptions();
    void Exit();

    Platform& platform_;
    Settings settings_;
    std::unique_ptr<Form> form_;
    std::unique_ptr<Areas> areas_;
    // The options window while it is open (it runs modally).
    std::unique_ptr<frmOptions> options_;
    // Form-level variables of start-up and shutdown.
    int16_t intHideToTray_ = 0;
    std::string strTipTitle;
    int32_t lngLeftPx = 0, lngTopPx = 0;
};

}  // namespace vt
