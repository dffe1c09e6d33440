// Start-up and shutdown of the main window: the load sequence with its error
// report, and the two outcomes of an unload (hide to the tray, or close).
#include "app/settings.h"
#include "platform/convert.h"
#include "tray/tray_function.h"
#include "ui/form1.h"
#include "ui/options_window.h"
#include "ui/shape_window.h"

namespace vt {

using namespace form1;

Form1::Form1(Platform& platform, ProgramState& globals) : platform_(platform), g_(globals) {}
Form1::~Form1() { ForgetTray(this); }

void Form1::Start() {
    form_ = platform_.CreateForm(MainWindowDef(), *this);
    Form_Load();
    form_->Show();
}

void Form1::Form_Load() {
    try {
        CheckPrevInstance(platform_, *form_);
        modSND::ShapeWindow(platform_.Api(), *form_, kMagenta);
        strTipTitle = kAppTitle;

        lngLeftPx = CLng(ReadSetting(platform_, "Left", "0"));
        lngTopPx = CLng(ReadSetting(platform_, "top", "0"));
        g_.blnSound = CBool(ReadSetting(platform_, "sound", "1"));
        g_.intTema = CInt(ReadSetting(platform_, "Tema", "0"));

        int32_t left = MulLong(lngLeftPx, 15);
        int32_t top = MulLong(lngTopPx, 15);
        // A position on a monitor that has since gone would open the window
        // where nobody can see it; a window partly off-screen stays put.
        const Rect where{lngLeftPx, lngTopPx, form_->Width() / 15, form_->Height() / 15};
        if (!platform_.RectOnAnyMonitor(where)) {
            const Rect work = platform_.PrimaryWorkArea();
            left = MulLong(work.left, 15);
            top = MulLong(work.top, 15);
        }
        form_->SetLeft(left);
        form_->SetTop(top);

        AddTrayIcon();
        ReadAutostartState();
        if (g_.blnSound) {
            snd.PlayResSound(modSND::GreetingSound(platform_.Hour()));
            form_->SetCaption(mnuSoff, "Turn Off Sound");
        } else {
            form_->SetCaption(mnuSoff, "Turn On Sound");
        }

        Command1_Click();
        form_->SetCaption(sucker, BusyText(sngFreePercent, 4, " %."));
    } catch (const RuntimeError& error) {
        StartupErrorReport(error);
    }
}

void Form1::StartupErrorReport(const RuntimeError& error) {
    DeleteTrayIcon();
    if (g_.blnSound) snd.PlayErrorPair(modSND::kErrorZero);
    platform_.MsgBox("Error number: " + std::to_string(error.number()) + "\r" + "Description: " +
                         error.description(),
                     kOkOnly | kCritical, "Error");
    platform_.End();
}

void Form1::Form_Unload(int16_t& Cancel) {
    if (intHideToTray == 1) {
        form_->Hide();
        form_->SetEnabled(stupid, true);
        AnimateTray(platform_.Api(), 1, form_->Hwnd());
        Cancel = 1;
        if (options) options->Close();
        return;
    }
    WriteSetting(platform_, "Top", StrLong(CLng(form_->Top() / 15.0)));
    WriteSetting(platform_, "Left", StrLong(CLng(form_->Left() / 15.0)));
    RestoreWndProc();
    DeleteTrayIcon();  // only if still there: a close other than Exit (Alt+F4) leaves none behind
    ResetVariables();
}

void Form1::ResetVariables() {
    g_.blnSound = false;  // nothing plays once the program closes
    intHideToTray = 0;
    strTipTitle.clear();
    lngCheckSec = lngCheckMin = lngCheckHour = lngTickCount = lngTickTarget = 0;
    blnAlarmOn = blnWarnFired = false;
    g_.intWarnMb = 0;
    lngLeftPx = lngTopPx = 0;
    objSystem.reset();
    bteUsedPct = 0;
    lngTotalKb = 0;
    intUnitView = intBusyPercent = 0;
    sngTotalMb = sngFreeMb = sngFreeRatio = sngFreePercent = 0;
    strBusyText.clear();
    blnFromUpdate = false;
    lngTipFreeMb = lngTipTotalMb = 0;
    sngTipRatio = sngTipFreePercent = 0;
    strTipBusyText.clear();
}

}  // namespace vt
