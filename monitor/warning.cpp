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

LowMemoryWarning::LowMemoryWarning(Platform& platform, Form& main, WarningControls controls, MemoryDisplay& memory,
                                   Sound& sound, Hooks hooks)
    : platform_(platform), main_(main), c_(controls), memory_(memory), sound_(sound), hooks_(std::move(hooks)) {}

void LowMemoryWarning::Watch() {
    if (blnWarnFired_) return;
    memory_.Update();
    if (intWarnMb_ >= FreeMbFigure(memory_.lngFreeKb())) {
        hooks_.showWindow();
        main_.SetEnabled(c_.watchTimer, false);
        blnWarnFired_ = true;
        StartAlarm();
    }
}

// The sound first: it needs nothing the moment may lack, and it is what the
// user must not miss. What the user sees comes after it, or, with sound off,
// before the box that stands in for it, so that it shows while the box waits.
void LowMemoryWarning::StartAlarm() {
    blnAlarmOn_ = true;
    if (sound_.blnSound()) {
        sound_.Loop(modSND::kAlarm);
        hooks_.alarmSeen();
    } else {
        hooks_.alarmSeen();
        Acknowledge();
    }
}

// Done before the box shows: a click that arrives while it is open is the
// same acknowledgement, not a second one, and a warning set anew meanwhile
// (the options window opens from the tray's menu) stays as it was set.
void LowMemoryWarning::Acknowledge() {
    if (!blnAlarmOn_) return;
    blnAlarmOn_ = false;
    blnWarnFired_ = false;
    intWarnMb_ = 0;
    sound_.Stop();
    platform_.MsgBox("The RAM Mb have been reached", kOkOnly | kInformation, "RAM Mb Warning Finished");
    main_.SetForeColor(c_.label, kWhite);
}

void LowMemoryWarning::Arm(int16_t mb) {
    intWarnMb_ = mb;
    blnWarnSet_ = true;
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
    main_.SetBackColor(c_.marker, kColorButtonFace);
}

}  // namespace vt
