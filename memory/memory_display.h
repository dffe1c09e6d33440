// The memory display: takes the sample and shows it in the main window's two
// status lines, the busy bar with its tooltip and the popup menu's status
// line, in three units (Mb, Kb, Byte) in turn, flashing the lines red for a
// moment at each Update; and the hover refresh that renews the figures the
// tray shows while the pointer rests on the icon.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "memory/system.h"
#include "platform/platform.h"

namespace vt {

// The main window's controls the display writes to.
struct StatusControls {
    int totalsLine, busyLine, bar, barCaption, barLine, statusItem, flashTimer, hoverTimer;
};

class MemoryDisplay {
public:
    MemoryDisplay(Platform& platform, Form& form, StatusControls controls);

    // After an Update and after a hover refresh: the tray follows the figures.
    std::function<void()> onUpdate, onHoverRefresh;

    void Update();
    void NextUnitView();   // Mb, Kb, Byte, Mb ...
    void FlashStatus();    // both lines red until the flash timer's tick
    void EndFlash();
    void ArmHoverRefresh();
    void HoverRefresh();
    // The status line of the popup menu after start-up, which ends in a full stop.
    void ShowStartupStatus();
    // The free percent the theme picture follows: the Update's, while one is
    // being shown, else the hover refresh's.
    float ThemePercent();

    // From the last sample, in Kb of 1024 bytes.
    int32_t lngFreeKb = 0;
    uint8_t bteUsedPct = 0;
    int32_t lngTotalKb = 0;

    int16_t intUnitView = 0;
    int16_t intBusyPercent = 0;
    float sngTotalMb = 0, sngFreeMb = 0, sngFreeRatio = 0, sngFreePercent = 0;
    std::string strBusyText;
    bool blnFromUpdate = false;
    int32_t lngTipFreeMb = 0, lngTipTotalMb = 0;
    float sngTipRatio = 0, sngTipFreePercent = 0;
    std::string strTipBusyText;

private:
    void TakeSample();
    void ShowMbView();
    void ShowFigures(const char* unit, double factor, bool byteView);
    void ShowBar();

    Platform& platform_;
    Form& form_;
    StatusControls c_;
    std::unique_ptr<System> objSystem;
};

}  // namespace vt
