// The "Check every" row: the figures refresh by themselves every N seconds,
// minutes or hours, counted in one-second ticks.
#include <optional>

#include "platform/convert.h"
#include "ui/form1.h"

namespace vt {

using namespace form1;

namespace {
constexpr Color kRunning = kGreen;
constexpr Color kStopped = kRed;
}  // namespace

void Form1::Command2_Click() {
    // A refused entry (a number out of bounds, no number, an unknown unit)
    // puts back the period that ran before it, counter included, so that the
    // green fields never stand over a stopped timer.
    struct Period {
        bool running;
        int32_t sec, min, hour, count, target;
    };
    std::optional<Period> before;
    auto refuse = [&] {
        if (!before) return;
        lngCheckSec = before->sec, lngCheckMin = before->min, lngCheckHour = before->hour;
        lngTickCount = before->count, lngTickTarget = before->target;
        form_->SetEnabled(Timer1, before->running);
    };
    try {
        if (form_->Caption(Combo1) != "Off") {
            if (form_->Enabled(Timer1)) {
                if (platform_.MsgBox("Timer is running, are you sure you want to set a new time?", kYesNo,
                                     "No time?") != kYes) {
                    return;
                }
            }
            // Taken after the answer: ticks counted while the question was open stay counted.
            before = Period{form_->Enabled(Timer1), lngCheckSec, lngCheckMin, lngCheckHour, lngTickCount,
                            lngTickTarget};
            form_->SetEnabled(Timer1, false);
            Command1_Click();
            form_->SetCaption(Text1, Trim(form_->Caption(Text1)));
            lngTickTarget = lngCheckSec = lngCheckMin = lngCheckHour = lngTickCount = 0;
            const std::string amount = form_->Caption(Text1);
            lngCheckSec = CLng(amount);
            lngCheckMin = CLng(amount);
            lngCheckHour = CLng(amount);
            if (lngCheckSec == 0 || lngCheckMin == 0 || lngCheckHour == 0) {
                refuse();
                if (g_.blnSound) snd.PlayErrorPair(modSND::kErrorZero);
                platform_.MsgBox("Value can not be 0", kOkOnly | kExclamation, "Wrong value");
                return;
            }
            if (lngCheckSec > 60 || lngCheckMin > 60 || lngCheckHour > 60) {
                refuse();
                if (g_.blnSound) snd.PlayErrorPair(modSND::kErrorTooBig);
                platform_.MsgBox("Value must be lower then 61", kOkOnly | kExclamation, "Bad value");
                return;
            }
        }
        const std::string unit = form_->Caption(Combo1);
        bool running = true;
        if (unit == "Off") {
            running = false;
        } else if (unit == "sec") {
            lngTickTarget = lngCheckSec;
        } else if (unit == "min") {
            lngTickTarget = MulLong(lngCheckMin, 60);
        } else if (unit == "hour") {
            lngTickTarget = MulLong(lngCheckHour, 3600);
        } else {
            refuse();  // not one of the four units: nothing more
            return;
        }
        form_->SetEnabled(Timer1, running);
        form_->SetBackColor(Text1, running ? kRunning : kStopped);
        form_->SetBackColor(Combo1, running ? kRunning : kStopped);
    } catch (const RuntimeError&) {
        refuse();
        if (g_.blnSound) snd.PlayErrorPair(modSND::kErrorNotNumber);
        platform_.MsgBox("Value no good", kOkOnly | kExclamation, "Bad value");
    }
}

void Form1::Timer1_Timer() {
    lngTickCount = AddLong(lngTickCount, 1);
    if (lngTickCount == lngTickTarget) {
        Command1_Click();
        form_->SetForeColor(Label1, kRed);
        form_->SetForeColor(Label4, kRed);
        form_->SetEnabled(Timer2, true);
        lngTickCount = 0;
    }
}

void Form1::Text1_GotFocus() {
    form_->SetSelection(Text1, 0, static_cast<int>(form_->Caption(Text1).size()));
}

}  // namespace vt
