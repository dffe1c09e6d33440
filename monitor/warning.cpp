#include "monitor/warning.h"

#include <algorithm>
#include <cmath>

#include "platform/convert.h"
#include "platform/errors.h"

namespace vt {

int32_t FreeMbFigure(int32_t freeKb) {
    // Megabytes of 1000 Kb, to the nearest whole number, halves to even. The
    // figure is 32-bit: machines today have far more than 32,767 MB free.
    return CLng(freeKb / 1000.0);
}

std::variant<int16_t, Refusal> ParseWarningEntry(std::string_view text, int32_t freeKb, const std::string& title) {
    if (text.empty()) return Refusal{Fault::None, "Please insert a Megabyte value", kOkOnly, title, false, true};
    if (!IsNumeric(text)) {
        return Refusal{Fault::None, "Please use a number for amount of RAM!", kOkOnly, title, true, true};
    }
    int16_t mb = 0;
    try {
        mb = CInt(Trim(text));
    } catch (const RuntimeError&) {
        return InvalidWarningEntry(title);
    }
    const int32_t figure = FreeMbFigure(freeKb);
    if (mb >= figure) {
        return Refusal{Fault::None,
                       "Your inserted Mb value is bigger or equal to " + StrLong(figure) +
                           " Mb, The value must be lower, try again",
                       kOkOnly, title, false, true};
    }
    return mb;
}

Refusal InvalidWarningEntry(const std::string& title) {
    return Refusal{Fault::Zero, "Invalid value please try again", kOkOnly, title};
}

int32_t RearmMargin(int16_t thresholdMb) {
    return std::max<int32_t>(100, static_cast<int32_t>(std::ceil(thresholdMb * 0.05)));
}

LowMemoryWarning::LowMemoryWarning(Platform& platform, Form& main, WarningControls controls, MemoryDisplay& memory,
                                   Sound& sound, Settings& settings, Hooks hooks)
    : platform_(platform), main_(main), c_(controls), memory_(memory), sound_(sound), settings_(settings),
      hooks_(std::move(hooks)) {}

void LowMemoryWarning::Watch() {
    if (blnWarnFired_) {
        // Only while the alarm's loop waits for the user's quiet to end.
        if (soundWaiting_ && !platform_.UserWantsQuiet()) {
            soundWaiting_ = false;
            main_.SetEnabled(c_.watchTimer, false);
            LoopAlarm();
        }
        return;
    }
    memory_.Update();
    const int32_t figure = FreeMbFigure(memory_.lngFreeKb());
    if (recovering_) {
        if (figure >= intWarnMb_ + RearmMargin(intWarnMb_)) recovering_ = false;
        return;
    }
    if (intWarnMb_ >= figure) {
        hooks_.showWindow();
        main_.SetEnabled(c_.watchTimer, false);
        blnWarnFired_ = true;
        StartAlarm();
    }
}

// The sound first: it needs nothing the moment may lack, and it is what the
// user must not miss. What the user sees comes after it, or, with sound off,
// before the box that stands in for it, so that it shows while the box waits.
// A kept warning's loop waits while the user presents, runs a program full
// screen or keeps quiet hours; the window and the balloon come as always.
void LowMemoryWarning::StartAlarm() {
    blnAlarmOn_ = true;
    if (sound_.blnSound()) {
        if (keepWatching_ && platform_.UserWantsQuiet()) {
            soundWaiting_ = true;
            main_.SetEnabled(c_.watchTimer, true);  // asks again at every check
        } else {
            LoopAlarm();
        }
        hooks_.alarmSeen();
    } else {
        hooks_.alarmSeen();
        Acknowledge();
    }
}

void LowMemoryWarning::LoopAlarm() { sound_.Loop(modSND::kAlarm); }

// Done before the box shows: a click that arrives while it is open is the
// same acknowledgement, not a second one, and a warning set anew meanwhile
// (the options window opens from the tray's menu) stays as it was set. A
// kept warning keeps its threshold and watches on for memory to recover.
void LowMemoryWarning::Acknowledge() {
    if (!blnAlarmOn_) return;
    blnAlarmOn_ = false;
    blnWarnFired_ = false;
    soundWaiting_ = false;
    if (keepWatching_ && blnWarnSet_) {
        recovering_ = true;
        main_.SetEnabled(c_.watchTimer, true);
    } else {
        intWarnMb_ = 0;
    }
    sound_.Stop();
    platform_.MsgBox("The RAM Mb have been reached", kOkOnly | kInformation, "RAM Mb Warning Finished");
    main_.SetForeColor(c_.label, kWhite);
}

void LowMemoryWarning::Arm(int16_t mb) {
    intWarnMb_ = mb;
    blnWarnSet_ = true;
    recovering_ = false;
    if (keepWatching_) settings_.SaveKeptWarning(mb);
}

// The process table the alarm names is reserved now, while memory is there.
void LowMemoryWarning::StartWatching() {
    main_.SetBackColor(c_.marker, kRed);
    main_.SetEnabled(c_.watchTimer, true);
    platform_.ReserveProcessTable();
}

void LowMemoryWarning::StopWatching() { main_.SetEnabled(c_.watchTimer, false); }

void LowMemoryWarning::Disarm() {
    blnWarnSet_ = false;
    recovering_ = false;
    soundWaiting_ = false;
    main_.SetBackColor(c_.marker, kColorButtonFace);
    if (keepWatching_) settings_.ForgetKeptWarning();
}

void LowMemoryWarning::SetKeepWatching(bool on) {
    keepWatching_ = on;
    settings_.SaveKeepWatching(on);
    if (on && blnWarnSet_ && intWarnMb_ > 0) {
        settings_.SaveKeptWarning(intWarnMb_);
    } else if (!on) {
        // Off: nothing of the warning is stored between runs.
        settings_.ForgetKeptWarning();
    }
}

void LowMemoryWarning::RestoreKept() {
    keepWatching_ = settings_.KeepWatching();
    if (!keepWatching_) return;
    const std::optional<int16_t> mb = settings_.KeptWarning();
    if (!mb) return;
    intWarnMb_ = *mb;
    blnWarnSet_ = true;
    StartWatching();
}

}  // namespace vt
