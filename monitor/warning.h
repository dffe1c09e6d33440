// The low-memory warning: a threshold in Mb set in the options window,
// watched every 5 seconds; when free memory falls to it, the main window
// comes back and the alarm loops (or, with sound off, a message box stands
// in for it) until the user clicks the window. With "Keep watching" on, the
// warning and its threshold outlive the alarm and the program: stored, armed
// at every start, and armed again once memory has recovered.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <variant>

#include "memory/memory_display.h"
#include "monitor/refusal.h"
#include "platform/platform.h"
#include "settings/settings.h"
#include "sound/sound.h"

namespace vt {

// The free-megabyte figure of the warning: Kb / 1000, to the nearest whole
// number, halves to even.
int32_t FreeMbFigure(int32_t freeKb);

// The options window's entry read against the free memory now: the
// threshold, or why it is turned down (message boxes titled `title`).
std::variant<int16_t, Refusal> ParseWarningEntry(std::string_view text, int32_t freeKb, const std::string& title);
// An entry beyond the 16-bit range, or a step after it that failed with a
// run-time error: the threshold keeps its value.
Refusal InvalidWarningEntry(const std::string& title);

// How far free memory must come back above a kept warning's threshold before
// it watches again (5 % of the threshold, at least 100 Mb): a level that
// hovers at the threshold fires once an episode, not at every check.
int32_t RearmMargin(int16_t thresholdMb);

// The main window's controls the warning marks.
struct WarningControls {
    int watchTimer;  // every 5 seconds while a warning is set
    int marker;      // the tiny button, red while a warning is set
    int label;       // the check row's label, white again once acknowledged
};

// Each check runs the display's Update and reads its free figure; the alarm
// loops the warning sound when sound is on, else the acknowledgement's box
// stands in for it.
class LowMemoryWarning {
public:
    // What the window does when the warning fires.
    struct Hooks {
        std::function<void()> showWindow;  // the main window back on screen
        std::function<void()> alarmSeen;   // what the user sees as the alarm starts
    };
    LowMemoryWarning(Platform& platform, Form& main, WarningControls controls, MemoryDisplay& memory, Sound& sound,
                     Settings& settings, Hooks hooks);

    void Watch();        // the 5-second check
    void Acknowledge();  // a click on the window
    void Arm(int16_t mb);
    void StartWatching();
    void StopWatching();
    void Disarm();       // the marker back to the button face

    // "Keep watching": stored as it is switched, with the threshold of a
    // warning set while it is on.
    bool KeepWatching() const { return keepWatching_; }
    void SetKeepWatching(bool on);
    // Start-up: the setting, and with it on the kept warning armed quietly
    // (no boxes: the red marker and "On" say it).
    void RestoreKept();
    // Fired and acknowledged, the kept warning waits for memory to recover.
    bool Recovering() const { return recovering_; }

    int16_t intWarnMb() const { return intWarnMb_; }     // the threshold in Mb
    bool blnWarnSet() const { return blnWarnSet_; }      // a warning is set
    bool blnAlarmOn() const { return blnAlarmOn_; }      // the alarm runs, not yet acknowledged
    bool blnWarnFired() const { return blnWarnFired_; }  // fired: the checks wait

private:
    void StartAlarm();
    void LoopAlarm();

    Platform& platform_;
    Form& main_;
    WarningControls c_;
    MemoryDisplay& memory_;
    Sound& sound_;
    Settings& settings_;
    Hooks hooks_;
    int16_t intWarnMb_ = 0;
    bool blnWarnSet_ = false;
    bool blnAlarmOn_ = false, blnWarnFired_ = false;
    bool keepWatching_ = false;
    bool recovering_ = false;
    // The alarm's loop waits while the user does not want to be disturbed.
    bool soundWaiting_ = false;
};

}  // namespace vt
