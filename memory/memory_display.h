// The memory display: takes the sample and shows it in the main window's two
// status lines, the busy bar with its tooltip and the popup menu's status
// line, in three units (Mb, Kb, Byte) in turn, flashing the lines red for a
// moment at each Update; and the hover refresh that renews the figures the
// tray shows while the pointer rests on the icon.
#pragma once

#include <cstdint>
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
    // Hears each new busy text and free percent: the tray's tip and picture
    // follow them.
    class Listener {
    public:
        virtual void Updated(const std::string& busyText, float freePercent) = 0;
        virtual void HoverRefreshed(const std::string& busyText, float freePercent) = 0;

    protected:
        ~Listener() = default;
    };

    MemoryDisplay(Platform& platform, Form& form, StatusControls controls);
    void SetListener(Listener* listener) { listener_ = listener; }

    void Update();
    void NextUnitView();   // Mb, Kb, Byte, Mb ...
    void FlashStatus();    // both lines red until the flash timer's tick
    void EndFlash();
    void ArmHoverRefresh();
    void HoverRefresh();
    // The status line of the popup menu after start-up, which ends in a full stop.
    void ShowStartupStatus();

    // From the last sample, in Kb of 1024 bytes.
    int32_t lngFreeKb() const { return lngFreeKb_; }
    int32_t lngTotalKb() const { return lngTotalKb_; }
    // The last Update's free percent and busy share, and the busy text of
    // whichever of the Update and the hover refresh came last.
    float sngFreePercent() const { return sngFreePercent_; }
    int16_t intBusyPercent() const { return intBusyPercent_; }
    const std::string& strBusyText() const { return strBusyText_; }
    int16_t intUnitView() const { return intUnitView_; }

private:
    bool TakeSample();
    void ShowMbView();
    void ShowFigures(const char* unit, double factor, bool byteView);
    void ShowBar();

    Platform& platform_;
    Form& form_;
    StatusControls c_;
    Listener* listener_ = nullptr;
    std::unique_ptr<System> objSystem;

    int32_t lngFreeKb_ = 0;
    uint8_t bteUsedPct_ = 0;
    int32_t lngTotalKb_ = 0;
    int16_t intUnitView_ = 0;
    int16_t intBusyPercent_ = 0;
    float sngTotalMb_ = 0, sngFreeMb_ = 0, sngFreeRatio_ = 0, sngFreePercent_ = 0;
    std::string strBusyText_;
    int32_t lngTipFreeMb_ = 0, lngTipTotalMb_ = 0;
    float sngTipRatio_ = 0, sngTipFreePercent_ = 0;
    std::string strTipBusyText_;
};

}  // namespace vt
