// The main window's start-up and shutdown, and how its areas are made and
// wired: the Update is the memory display's, the tray's tip and picture
// follow it, and the check period, the warning and a click on the tray icon
// each run it.
#include "ui/form1.h"

#include "platform/convert.h"
#include "tray/single_instance.h"
#include "ui/options_window.h"

namespace vt {

using namespace form1;

Form1::Form1(Platform& platform) : platform_(platform), settings_(platform) {}
Form1::~Form1() = default;

Form1::Areas::Areas(Platform& platform, Form& form, Settings& settings, LowMemoryWarning::Hooks warningHooks)
    : sound(platform, form, mnuSoff),
      memory(platform, form, {Label1, Label4, Picture1, Label3, Line1, sucker, Timer2, Timer4}),
      history(platform),
      tray(platform, form, {stupid, mnufile}, memory, sound),
      checkPeriod(platform, form, {Text1, Combo1, Timer1}, memory, sound),
      warning(platform, form, {Timer3, Command5, Label2}, memory, sound, settings, std::move(warningHooks)),
      autostart(platform, form, autoItem) {}

void Form1::Start() {
    form_ = platform_.CreateForm(MainWindowDef(), *this);
    // The alarm seen as well as heard: the window back, and a balloon on the
    // icon naming the free memory and the programs that hold the most.
    areas_ = std::make_unique<Areas>(
        platform_, *form_, settings_,
        LowMemoryWarning::Hooks{.showWindow = [this] { form_->Show(); },
                                .alarmSeen = [this] {
                                    tray().ShowLowMemoryBalloon(FreeMbFigure(memory().lngFreeKb()));
                                    history().MarkAlarm(platform_.Now().seconds);
                                }});
    Form_Load();
    form_->Show();
}

// A stored value that fails the start-up is reported as always, and then
// forgotten: otherwise every later start would fail the same way, and the
// program would never start again until someone edited the registry.
void Form1::Form_Load() {
    std::optional<Settings::Key> blame;
    bool unknownTheme = false;
    try {
        CheckPrevInstance(platform_);
        form_->CutOutline(kMagenta);
        strTipTitle = platform_.AppTitle();

        using Key = Settings::Key;
        blame = Key::Left;
        lngLeftPx = settings_.LeftPx();
        blame = Key::Top;
        lngTopPx = settings_.TopPx();
        blame = Key::Sound;
        sound().SetSound(settings_.SoundOn());
        blame = Key::Tema;
        tray().SetTema(settings_.Tema());
        blame = Key::Left;
        const int32_t left = MulLong(lngLeftPx, kTwipsPerPixel);
        blame = Key::Top;
        const int32_t top = MulLong(lngTopPx, kTwipsPerPixel);
        blame.reset();
        RestorePosition(left, top);

        tray().Add(strTipTitle);
        autostart().ReadState();
        sound().Greet();

        // A theme the table does not know fails the first Update with error
        // 5: it came from the settings.
        unknownTheme = tray().intTema() > 5;
        Command1_Click();
        memory().ShowStartupStatus();
        warning().RestoreKept();
        // The last hour of memory, from now on.
        Timer5_Timer();
        form_->SetEnabled(Timer5, true);
    } catch (const RuntimeError& error) {
        if (unknownTheme && error.number() == kInvalidCall) blame = Settings::Key::Tema;
        StartupErrorReport(error, blame);
    }
}

void Form1::RestorePosition(int32_t left, int32_t top) {
    // A position on a monitor that has since gone would open the window
    // where nobody can see it; a window partly off-screen stays put.
    const Rect where{lngLeftPx, lngTopPx, form_->Width() / kTwipsPerPixel, form_->Height() / kTwipsPerPixel};
    if (!platform_.RectOnAnyMonitor(where)) {
        const Rect work = platform_.PrimaryWorkArea();
        left = MulLong(work.left, kTwipsPerPixel);
        top = MulLong(work.top, kTwipsPerPixel);
    }
    form_->SetLeft(left);
    form_->SetTop(top);
}

void Form1::StartupErrorReport(const RuntimeError& error, std::optional<Settings::Key> setting) {
    tray().Remove();
    sound().ErrorPair(modSND::kErrorZero);
    platform_.MsgBox("Error number: " + std::to_string(error.number()) + "\r" + "Description: " +
                         error.description(),
                     kOkOnly | kCritical, "Error");
    if (setting) settings_.Forget(*setting);
    platform_.End();
}

void Form1::Form_Unload(int16_t& Cancel) {
    if (intHideToTray_ == 1 && !tray().Shown()) {
        // No icon to come back by (the shell has not taken it yet): the
        // window stays.
        Cancel = 1;
        return;
    }
    if (intHideToTray_ == 1) {
        form_->Hide();
        form_->SetEnabled(stupid, true);
        form_->AnimateToTray();
        Cancel = 1;
        if (options_) options_->Close();
        return;
    }
    settings_.SavePosition(CLng(form_->Left() / static_cast<double>(kTwipsPerPixel)),
                           CLng(form_->Top() / static_cast<double>(kTwipsPerPixel)));
    // The window's procedure back, and the icon out if it is still there: a
    // close other than Exit (Alt+F4) leaves none behind.
    tray().Remove();
}

// The window now stands at another DPI, laid out anew by the platform: its
// outline follows the face of the new scale, and the shell gets the icon
// drawn for the new size.
void Form1::DpiChanged() {
    form_->CutOutline(kMagenta);
    tray().RefreshPicture();
}

void Form1::Timer5_Timer() {
    history().TakeSample();
    if (options_) options_->HistoryChanged();
}

void Form1::Timer4_Timer() {
    memory().HoverRefresh();
    tray().HoverRefreshDone();
}

void Form1::mnuSoff_Click() { settings_.SaveSound(sound().Switch()); }

}  // namespace vt
