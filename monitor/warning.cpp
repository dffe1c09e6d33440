#include "monitor/warning.h"

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

LowMemoryWarning::LowMemoryWarning(Platform& platform, Form& main, WarningControls controls, Hooks hooks)
    : platform_(platform), main_(main), c_(controls), hooks_(std::move(hooks)) {}

void LowMemoryWarning::Watch() {
    if (blnWarnFired) return;
    hooks_.update();
    if (intWarnMb >= FreeMbFigure(hooks_.freeKb())) {
        hooks_.showWindow();
        main_.SetEnabled(c_.watchTimer, false);
        blnWarnFired = true;
        StartAlarm();
    }
}

void LowMemoryWarning::StartAlarm() {
    blnAlarmOn = true;
    // Before the sound-off case's box, so that it shows while the box waits.
    hooks_.alarmSeen();
    if (!hooks_.loopAlarm()) Acknowledge();  // the message box stands in for the sound
}

void LowMemoryWarning::Acknowledge() {
    // A click that arrives while the acknowledgement's own box is open is
    // the same acknowledgement, not a second one.
    if (!blnAlarmOn || acknowledging_) return;
    acknowledging_ = true;
    hooks_.stopSound();
    try {
        platform_.MsgBox("The RAM Mb have been reached", kOkOnly | kInformation, "RAM Mb Warning Finished");
    } catch (...) {
        acknowledging_ = false;
        throw;
    }
    acknowledging_ = false;
    main_.SetForeColor(c_.label, kWhite);
    blnAlarmOn = false;
    blnWarnFired = false;
    intWarnMb = 0;
}

void LowMemoryWarning::Arm(int16_t mb) {
    intWarnMb = mb;
    blnWarnSet = true;
}

void LowMemoryWarning::StartWatching() {
    main_.SetBackColor(c_.marker, kRed);
    main_.SetEnabled(c_.watchTimer, true);
}

void LowMemoryWarning::StopWatching() { main_.SetEnabled(c_.watchTimer, false); }

void LowMemoryWarning::Disarm() {
    blnWarnSet = false;
    main_.SetBackColor(c_.marker, kColorButtonFace);
}

}  // namespace vt
