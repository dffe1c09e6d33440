// The main window: its control ids, its state and every handler. The handlers
// are defined by area: start-up and shutdown in app/, the Update and the unit
// toggle in memory/, the window's own commands and layout in ui/.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/program_state.h"
#include "memory/system.h"
#include "platform/errors.h"
#include "platform/platform.h"
#include "sound/mod_snd.h"
#include "ui/control_ids.h"

namespace vt {

class frmOptions;

const FormDef& MainWindowDef();

class Form1 : public FormEvents {
public:
    Form1(Platform& platform, ProgramState& globals);
    ~Form1() override;

    // Creates the window, runs Form_Load and shows the window.
    void Start();
    Form& form() { return *form_; }

    // Application lifecycle
    void Form_Load();
    void Form_Unload(int16_t& Cancel);

    // Status texts and units
    void Command1_Click();
    void Command5_Click();
    void aftertimecheck();
    void Timer4_Timer();
    void FlashStatus();
    void Timer2_Timer();

    // Tray presence (tray/form1_tray.cpp): the tip and the theme icon follow
    // every Update; Exit removes the icon and the hook.
    void UpdateTrayTip();
    void SetThemeIcon();
    void RemoveTrayIcon();
    void cmdChangeIcon_Click();

    // Check period and low-memory warning
    void Command2_Click();
    void Timer1_Timer();
    void Text1_GotFocus();
    void Timer3_Timer();
    void Form_Click();

    // The window's own commands
    void Command3_Click();  // Hide
    void Image3_Click();
    void Form_DblClick();
    void Command4_Click();  // Options
    void mnuSetWarning_Click();
    void IconTemaChange2_Click();
    void stupid_Click();  // Open
    void sucker_Click();  // Get Status
    void goner_Click();   // Exit
    void mnuCancel_Click() {}

    // Autostart
    void ReadAutostartState();
    void auto_Click();

    // Sound (sound/sound_menu.cpp)
    void Command1_MouseUp();
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

    // Form-level variables.
    int16_t intHideToTray = 0;
    std::string strTipTitle;
    int32_t lngLeftPx = 0, lngTopPx = 0;
    std::unique_ptr<System> objSystem;
    uint8_t bteUsedPct = 0;
    int32_t lngTotalKb = 0;

    int16_t intUnitView = 0;
    int16_t intBusyPercent = 0;
    float sngTotalMb = 0, sngFreeMb = 0, sngFreeRatio = 0, sngFreePercent = 0;
    std::string strBusyText;
    bool blnFromUpdate = false;
    int32_t lngTipFreeMb = 0, lngTipTotalMb = 0;
    float sngTipRatio = 0, sngTipFreePercent = 0;
    std::string strTipBusyText;

    int32_t lngCheckSec = 0, lngCheckMin = 0, lngCheckHour = 0, lngTickCount = 0, lngTickTarget = 0;
    bool blnAlarmOn = false, blnWarnFired = false;

    // The options window while it is open (it runs modally), else null.
    frmOptions* options = nullptr;

private:
    void StartAlarm();
    void HideToTray();
    void ShowOptions();
    void DragForm();
    void ShowFigures(double free, double total, const char* unit, double factor, bool byteView);
    void ResetVariables();
    void StartupErrorReport(const RuntimeError& error);
    void AddTrayIcon();
    void ShowTrayPicture(int iconId);

    Platform& platform_;
    ProgramState& g_;
    std::unique_ptr<Form> form_;
    bool acknowledging_ = false;

public:
    // The sound module's player (modSND), for this window and the options window.
    modSND::Player snd{platform_};
};

// The free-megabyte figure of the warning: Kb / 1000, to the nearest whole
// number, halves to even.
int32_t FreeMbFigure(int32_t freeKb);

// "Busy= " + (100 - V) + ending, V read back from the first n characters of
// the text of the free percent.
std::string BusyText(float freePercent, size_t n, const char* ending);

}  // namespace vt
