// The "Check every" row: the figures refresh by themselves every N seconds,
// minutes or hours, counted in one-second ticks; the fields are green while
// a period runs and red while none does.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <variant>

#include "memory/memory_display.h"
#include "monitor/refusal.h"
#include "platform/platform.h"
#include "sound/sound.h"

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

// Each period runs the display's Update and flashes its lines; a refused
// entry plays its sounds and shows its box.
class CheckPeriod {
public:
    CheckPeriod(Platform& platform, Form& form, CheckControls controls, MemoryDisplay& memory, Sound& sound);

    void Set();           // the row's "Set"
    void Tick();          // a second has passed
    void SelectAmount();  // the number field took the focus

    int32_t lngTickCount() const { return lngTickCount_; }    // seconds counted in this period
    int32_t lngTickTarget() const { return lngTickTarget_; }  // seconds in a period; 0 when none is set

private:
    Platform& platform_;
    Form& form_;
    CheckControls c_;
    MemoryDisplay& memory_;
    Sound& sound_;
    // The number as entered, one for each unit; the period in seconds and
    // the seconds counted towards it.
    int32_t lngCheckSec_ = 0, lngCheckMin_ = 0, lngCheckHour_ = 0, lngTickCount_ = 0, lngTickTarget_ = 0;
};

}  // namespace vt
