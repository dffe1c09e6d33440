// The "Check every" row: the figures refresh by themselves every N seconds,
// minutes or hours, counted in one-second ticks; the fields are green while
// a period runs and red while none does.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "monitor/refusal.h"
#include "platform/platform.h"

namespace vt {

// The main window's controls of the row.
struct CheckControls {
    int amount, unit, tickTimer;
};

// The row's number, read as it stands: the count, or why it is turned down.
// Text that is no number raises the conversion's error, as it always has.
std::optional<Refusal> CheckAmountRefusal(int32_t amount);

// Ticks of one second in a period of `amount` units ("sec", "min", "hour");
// nullopt for any other unit.
std::optional<int32_t> TicksOfPeriod(std::string_view unit, int32_t amount);

class CheckPeriod {
public:
    struct Hooks {
        std::function<void()> update;                  // the Update
        std::function<void()> flash;                   // both status lines red for a moment
        std::function<void(const Refusal&)> refuse;    // the fault's sound and box
    };
    CheckPeriod(Platform& platform, Form& form, CheckControls controls, Hooks hooks);

    void Set();           // the row's "Set"
    void Tick();          // a second has passed
    void SelectAmount();  // the number field took the focus

    int32_t lngCheckSec = 0, lngCheckMin = 0, lngCheckHour = 0, lngTickCount = 0, lngTickTarget = 0;

private:
    Platform& platform_;
    Form& form_;
    CheckControls c_;
    Hooks hooks_;
};

}  // namespace vt
