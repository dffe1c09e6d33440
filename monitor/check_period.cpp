#include "monitor/check_period.h"

#include "platform/convert.h"
#include "platform/errors.h"

namespace vt {

namespace {
constexpr Color kRunning = kGreen;
constexpr Color kStopped = kRed;
}  // namespace

std::optional<Refusal> CheckAmountRefusal(int32_t amount) {
    if (amount == 0) return Refusal{Fault::Zero, "Value can not be 0", kOkOnly | kExclamation, "Wrong value"};
    if (amount > 60) {
        return Refusal{Fault::TooBig, "Value must be lower then 61", kOkOnly | kExclamation, "Bad value"};
    }
    return std::nullopt;
}

std::optional<int32_t> TicksOfPeriod(std::string_view unit, int32_t amount) {
    if (unit == "sec") return amount;
    if (unit == "min") return MulLong(amount, 60);
    if (unit == "hour") return MulLong(amount, 3600);
    return std::nullopt;
}

CheckPeriod::CheckPeriod(Platform& platform, Form& form, CheckControls controls, Hooks hooks)
    : platform_(platform), form_(form), c_(controls), hooks_(std::move(hooks)) {}

void CheckPeriod::Set() {
    // A refused entry (a number out of bounds, no number, an unknown unit)
    // puts back the period that ran before it, counter included, so that the
    // green fields never stand over a stopped timer.
    struct Period {
        bool running;
        int32_t sec, min, hour, count, target;
    };
    std::optional<Period> before;
    auto restore = [&] {
        if (!before) return;
        lngCheckSec = before->sec, lngCheckMin = before->min, lngCheckHour = before->hour;
        lngTickCount = before->count, lngTickTarget = before->target;
        form_.SetEnabled(c_.tickTimer, before->running);
    };
    try {
        if (form_.Caption(c_.unit) != "Off") {
            if (form_.Enabled(c_.tickTimer)) {
                if (platform_.MsgBox("Timer is running, are you sure you want to set a new time?", kYesNo,
                                     "No time?") != kYes) {
                    return;
                }
            }
            // Taken after the answer: ticks counted while the question was open stay counted.
            before = Period{form_.Enabled(c_.tickTimer), lngCheckSec, lngCheckMin, lngCheckHour, lngTickCount,
                            lngTickTarget};
            form_.SetEnabled(c_.tickTimer, false);
            hooks_.update();
            form_.SetCaption(c_.amount, Trim(form_.Caption(c_.amount)));
            lngTickTarget = lngCheckSec = lngCheckMin = lngCheckHour = lngTickCount = 0;
            const std::string amount = form_.Caption(c_.amount);
            lngCheckSec = CLng(amount);
            lngCheckMin = CLng(amount);
            lngCheckHour = CLng(amount);
            if (const std::optional<Refusal> refusal = CheckAmountRefusal(lngCheckSec)) {
                restore();
                hooks_.refuse(*refusal);
                return;
            }
        }
        const std::string unit = form_.Caption(c_.unit);
        const bool running = unit != "Off";
        if (running) {
            const std::optional<int32_t> ticks = TicksOfPeriod(unit, lngCheckSec);
            if (!ticks) {
                restore();  // not one of the four units: nothing more
                return;
            }
            lngTickTarget = *ticks;
        }
        form_.SetEnabled(c_.tickTimer, running);
        form_.SetBackColor(c_.amount, running ? kRunning : kStopped);
        form_.SetBackColor(c_.unit, running ? kRunning : kStopped);
    } catch (const RuntimeError&) {
        restore();
        hooks_.refuse(Refusal{Fault::NotNumber, "Value no good", kOkOnly | kExclamation, "Bad value"});
    }
}

void CheckPeriod::Tick() {
    lngTickCount = AddLong(lngTickCount, 1);
    if (lngTickCount == lngTickTarget) {
        hooks_.update();
        hooks_.flash();
        lngTickCount = 0;
    }
}

void CheckPeriod::SelectAmount() {
    form_.SetSelection(c_.amount, 0, static_cast<int>(form_.Caption(c_.amount).size()));
}

}  // namespace vt
