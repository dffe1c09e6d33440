// The "Check every" row: the figures refresh by themselves every N seconds,
// minutes or hours, counted in one-second ticks; the fields are green while
// a period runs and red while none does.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <variant>

#include "monitor/refusal.h"
#include "platform/platform.h"

namespace vt {

// The main window's controls of the row.
struct CheckControls {
    int amount, unit, tickTimer;
};

// The row as it stands: the number of units, with the period in one-second
// ticks (none for a unit other than "sec", "min" and "hour"), or why the
// number is turned down (0, above 60, or no number at all).
struct CheckEntry {
    int32_t amount;
    std::optional<int32_t> ticks;
};
std::variant<CheckEntry, Refusal> ParseCheckRow(std::string_view amount, std::string_view unit);

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
