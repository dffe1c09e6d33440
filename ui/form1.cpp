// The main window's start-up and shutdown, and how its areas are made and
// wired: the Update is the memory display's, the tray's tip and picture
// follow it, and the check period, the warning and a click on the tray icon
// each run it.
#include "ui/form1.h"

#include "monitor/top_users.h"
#include "platform/convert.h"
#include "tray/tray_function.h"
#include "ui/options_window.h"

namespace vt {

using namespace form1;

namespace {

int16_t SoundOf(Fault fault) {
    switch (fault) {
        case Fault::Zero: return modSND::kErrorZero;
        case Fault::TooBig: return modSND::kErrorTooBig;
        case Fault::NotNumber: return modSND::kErrorNotNumber;
        case Fault::None: break;
    }
    return 0;
}

}  // namespace

Form1::Form1(Platform& platform) : platform_(platform), settings_(platform) {}
Form1::~Form1() = default;

void Form1::Start() {
    form_ = platform_.CreateForm(MainWindowDef(), *this);
    MakeAreas();
    Form_Load();
    form_->Show();
}

void Form1::MakeAreas() {
    Form& f = *form_;
    auto update = [this] { Command1_Click(); };
    areas_.reset(new Areas{
        .sound = Sound(platform_, f, mnuSoff),
        .memory = MemoryDisplay(platform_, f, {Label1, Label4, Picture1, Label3, Line1, sucker, Timer2, Timer4}),
        .tray = TrayIcon(platform_, f, {stupid, mnufile},
                         {.update = update,
                          .armHoverRefresh = [this] { aftertimecheck(); },
                          .windowBackSound = [this] { sound().Cue(modSND::kWindowBack); }}),
        .checkPeriod = CheckPeriod(platform_, f, {Text1, Combo1, Timer1},
                                   {.update = update,
                                    .flash = [this] { memory().FlashStatus(); },
                                    .refuse = [this](const Refusal& r) { Refuse(r); }}),
        .warning = LowMemoryWarning(platform_, f, {Timer3, Command5, Label2},
                                    {.update = update,
                                     .freeKb = [this] { return memory().lngFreeKb; },
                                     .showWindow = [this] { form_->Show(); },
                                     .alarmSeen = [this] { ShowLowMemoryBalloon(); },
                                     .loopAlarm =
                                         [this] {
                                             if (!sound().blnSound) return false;
                                             sound().Loop(modSND::kAlarm);
                                             return true;
                                         },
                                     .stopSound = [this] { sound().Stop(); },
                                     .testSound = [this] { sound().Cue(modSND::kAlarm); }}),
        .autostart = Autostart(platform_, f, autoItem),
    });
    // The tip and the theme picture follow every Update and hover refresh;
    // the Update leaves themes below 1 alone, the hover refresh only 0.
    memory().onUpdate = [this] {
        UpdateTrayTip();
        if (tray().intTema > 0) SetThemeIcon();
    };
    memory().onHoverRefresh = [this] {
        UpdateTrayTip();
        if (tray().intTema != 0) SetThemeIcon();
    };
}

void Form1::Form_Load() {
    try {
        CheckPrevInstance(platform_);
        form_->CutOutline(kMagenta);
        strTipTitle = platform_.AppTitle();

        lngLeftPx = settings_.LeftPx();
        lngTopPx = settings_.TopPx();
        sound().blnSound = settings_.SoundOn();
        tray().intTema = settings_.Tema();
        RestorePosition();

        tray().Add(strTipTitle);
        autostart().ReadState();
        sound().Greet();

        Command1_Click();
        memory().ShowStartupStatus();
    } catch (const RuntimeError& error) {
        StartupErrorReport(error);
    }
}

void Form1::RestorePosition() {
    int32_t left = MulLong(lngLeftPx, kTwipsPerPixel);
    int32_t top = MulLong(lngTopPx, kTwipsPerPixel);
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

void Form1::StartupErrorReport(const RuntimeError& error) {
    tray().Delete();
    sound().ErrorPair(modSND::kErrorZero);
    platform_.MsgBox("Error number: " + std::to_string(error.number()) + "\r" + "Description: " +
                         error.description(),
                     kOkOnly | kCritical, "Error");
    platform_.End();
}

void Form1::Form_Unload(int16_t& Cancel) {
    if (intHideToTray == 1) {
        form_->Hide();
        form_->SetEnabled(stupid, true);
        form_->AnimateToTray();
        Cancel = 1;
        if (options_) options_->Close();
        return;
    }
    settings_.SavePosition(CLng(form_->Left() / static_cast<double>(kTwipsPerPixel)),
                           CLng(form_->Top() / static_cast<double>(kTwipsPerPixel)));
    tray().Unhook();
    tray().Delete();  // only if still there: a close other than Exit (Alt+F4) leaves none behind
}

// The window now stands at another DPI, laid out anew by the platform: its
// outline follows the face of the new scale, and the shell gets the icon
// drawn for the new size.
void Form1::DpiChanged() {
    form_->CutOutline(kMagenta);
    tray().RefreshPicture();
}

// The alarm seen as well as heard: a balloon on the icon naming the free
// memory and the three programs that hold the most. The list is taken only
// here, when the warning fires.
void Form1::ShowLowMemoryBalloon() {
    if (!tray().blnIconAdded) return;
    const auto largest = top_users::Largest(platform_.ProcessTable(), platform_.CurrentProcessId());
    tray().ShowBalloon(top_users::BalloonTitle(platform_.AppTitle()),
                       top_users::BalloonText(FreeMbFigure(memory().lngFreeKb), largest));
}

void Form1::Timer4_Timer() {
    memory().HoverRefresh();
    tray().HoverRefreshDone();
}

void Form1::mnuSoff_Click() { settings_.SaveSound(sound().Switch()); }

// Every rejected entry of the main window: with sound on, the chime and the
// fault's sound, both to their end, then the box that says why.
void Form1::Refuse(const Refusal& refusal) {
    if (refusal.fault != Fault::None) sound().ErrorPair(SoundOf(refusal.fault));
    platform_.MsgBox(refusal.text, refusal.style, refusal.title);
}

}  // namespace vt
