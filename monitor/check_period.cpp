#include "monitor/check_period.h"

#include "platform/convert.h"
#include "platform/errors.h"

namespace vt {

namespace {

constexpr Color kRunning = kGreen;
constexpr Color kStopped = kRed;


Refusal NotANumber() {
    return Refusal{Fault::NotNumber, "Value no good", kOkOnly | kExclamation, "Bad value"};
}

}  // namespace

std::variant<CheckEntry, Refusal> ParseCheckRow(std::string_view amountText, std::string_view unit) {
    int32_t amount = 0;
    try {
        amount = CLng(amountText);
    } catch (const RuntimeError&) {
        return NotANumber();
    }
    if (amount == 0) return Refusal{Fault::Zero, "Value can not be 0", kOkOnly | kExclamation, "Wrong value"};
    if (amount > 60) return Refusal{Fault::TooBig, "Value must be lower then 61", kOkOnly | kExclamation, "Bad value"};
    // Negative counts pass as they always have: such a period never comes round.
    if (unit == "sec") return CheckEntry{amount, amount};
    if (unit == "min") return CheckEntry{amount, MulLong(amount, 60)};
    if (unit == "hour") return CheckEntry{amount, MulLong(amount, 3600)};
    return CheckEntry{amount, std::nullopt};
}

CheckPeriod::CheckPeriod(Platform& platform, Form& form, CheckControls controls, MemoryDisplay& memory,
                         Sound& sound)
    : platform_(platform), form_(form), c_(controls), memory_(memory), sound_(sound) {}

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
        lngCheckSec_ = before->sec, lngCheckMin_ = before->min, lngCheckHour_ = before->hour;
        lngTickCount_ = before->count, lngTickTarget_ = before->target;
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
            before = Period{form_.Enabled(c_.tickTimer), lngCheckSec_, lngCheckMin_, lngCheckHour_, lngTickCount_,
                            lngTickTarget_};
            form_.SetEnabled(c_.tickTimer, false);
            memory_.Update();
            form_.SetCaption(c_.amount, Trim(form_.Caption(c_.amount)));
            lngTickTarget_ = lngCheckSec_ = lngCheckMin_ = lngCheckHour_ = lngTickCount_ = 0;
            const auto entry = ParseCheckRow(form_.Caption(c_.amount), form_.Caption(c_.unit));
            if (const Refusal* refusal = std::get_if<Refusal>(&entry)) {
                restore();
                ShowRefusal(platform_, sound_, *refusal);
                return;
            }
            const CheckEntry& row = std::get<CheckEntry>(entry);
            lngCheckSec_ = lngCheckMin_ = lngCheckHour_ = row.amount;
            if (!row.ticks) {
                restore();  // not one of the four units: nothing more
                return;
            }
            lngTickTarget_ = *row.ticks;
        }
        const bool running = form_.Caption(c_.unit) != "Off";
        form_.SetEnabled(c_.tickTimer, running);
        form_.SetBackColor(c_.amount, running ? kRunning : kStopped);
        form_.SetBackColor(c_.unit, running ? kRunning : kStopped);
    } catch (const RuntimeError&) {
        // The Update's own failure ends the Set as a number that is no good does.
        restore();
        ShowRefusal(platform_, sound_, NotANumber());
    }
}

void CheckPeriod::Tick() {
    lngTickCount_ = AddLong(lngTickCount_, 1);
    if (lngTickCount_ == lngTickTarget_) {
        memory_.Update();
        memory_.FlashStatus();
        lngTickCount_ = 0;
    }
}

void CheckPeriod::SelectAmount() {
    form_.SetSelection(c_.amount, 0, static_cast<int>(form_.Caption(c_.amount).size()));
}

}  // namespace vt
