#include "memory/memory_display.h"

#include "memory/status_text.h"
#include "platform/convert.h"

namespace vt {

MemoryDisplay::MemoryDisplay(Platform& platform, Form& form, StatusControls controls)
    : platform_(platform), form_(form), c_(controls) {}

bool MemoryDisplay::TakeSample() {
    if (!objSystem) objSystem = std::make_unique<System>(platform_);
    return objSystem->FreeMemory(bteUsedPct_, lngTotalKb_, lngFreeKb_);
}

void MemoryDisplay::FlashStatus() {
    form_.SetForeColor(c_.totalsLine, kRed);
    form_.SetForeColor(c_.busyLine, kRed);
    form_.SetEnabled(c_.flashTimer, true);
}

void MemoryDisplay::EndFlash() {
    form_.SetEnabled(c_.flashTimer, false);
    form_.SetForeColor(c_.totalsLine, kWhite);
    form_.SetForeColor(c_.busyLine, kWhite);
}

// The Mb figures, both lines and the bar from the last sample: the Update's
// view, and the first of the unit toggle's.
void MemoryDisplay::ShowMbView() {
    sngFreeMb_ = static_cast<float>(RoundEven(lngFreeKb_ * 0.001));
    const double totalMb = RoundEven(lngTotalKb_ * 0.001);
    sngTotalMb_ = static_cast<float>(totalMb);
    sngFreeRatio_ = static_cast<float>(Divide(sngFreeMb_, totalMb));
    sngFreePercent_ = sngFreeRatio_ * 100.0f;
    form_.SetCaption(c_.totalsLine, TotalsLine(sngTotalMb_, sngFreeMb_, "Mb"));
    form_.SetCaption(c_.busyLine, MbBusyLine(lngTotalKb_, lngFreeKb_, sngFreePercent_));
    intBusyPercent_ = SubInt(100, CInt(sngFreePercent_));
}

void MemoryDisplay::ShowBar() {
    const int16_t width = MulInt(intBusyPercent_, 2);
    Rect bar = form_.Bounds(c_.bar);
    bar.width = width;
    form_.SetBounds(c_.bar, bar);
    form_.SetToolTip(c_.bar, StrDouble(width / 2.0) + "%");
    Rect caption = form_.Bounds(c_.barCaption);
    caption.left = AddInt(width, 3);
    form_.SetBounds(c_.barCaption, caption);
}

// A sample the system would not give is skipped: the figures stay as they
// are, and the next Update tries again.
void MemoryDisplay::Update() {
    if (!TakeSample()) return;
    FlashStatus();
    ShowMbView();
    ShowBar();
    strBusyText_ = BusyText(sngFreePercent_, 4, " %");
    form_.SetCaption(c_.statusItem, strBusyText_);
    form_.SetLine(c_.barLine, 100, 0, 100, 24);
    if (listener_) listener_->Updated(strBusyText_, sngFreePercent_);
    intUnitView_ = 1;
}

void MemoryDisplay::ShowStartupStatus() { form_.SetCaption(c_.statusItem, BusyText(sngFreePercent_, 4, " %.")); }

// The Kb and Byte views. The sample is in Kb of 1024 bytes, so the Kb view's
// factor is 1 and the Byte view's 1024; products are taken in double precision
// and the byte difference in 64 bits, so that no machine size overflows them.
void MemoryDisplay::ShowFigures(const char* unit, double factor, bool byteView) {
    const float free = static_cast<float>(lngFreeKb_ * factor);
    const float total = static_cast<float>(lngTotalKb_ * factor);
    const float ratio = static_cast<float>(Divide(free, total));
    const float p = ratio * 100.0f;
    form_.SetCaption(c_.totalsLine, TotalsLine(total, free, unit));
    const int32_t busyKb = SubLong(lngTotalKb_, lngFreeKb_);
    const double v = CDbl(Left(StrSingle(p), 5));
    if (byteView) {
        form_.SetCaption(c_.busyLine, "Busy= " + StrLong(static_cast<int64_t>(busyKb) * 1024) + " Byte or " +
                                          StrSingle(100.0f - p) + " %");
    } else {
        form_.SetCaption(c_.busyLine, "Busy= " + StrSingle(static_cast<float>(busyKb * factor)) + " Kb or " +
                                          BusyPercentText(Left(StrSingle(p), 5)) + " %");
    }
    intBusyPercent_ = CInt(100.0 - v);
}

void MemoryDisplay::NextUnitView() {
    form_.SetLine(c_.barLine, 100, 0, 100, 24);
    intUnitView_ = AddInt(intUnitView_, 1);
    switch (intUnitView_) {
        case 1: ShowMbView(); break;
        case 2: ShowFigures("Kb", 1.0, false); break;
        case 3: ShowFigures("Byte", 1024.0, true); break;
        default: break;
    }
    if (intUnitView_ >= 1 && intUnitView_ <= 3) ShowBar();
    if (intUnitView_ == 3) intUnitView_ = 0;
}

void MemoryDisplay::ArmHoverRefresh() { form_.SetEnabled(c_.hoverTimer, true); }

void MemoryDisplay::HoverRefresh() {
    form_.SetEnabled(c_.hoverTimer, false);
    lngTipFreeMb_ = lngTipTotalMb_ = 0;
    sngTipRatio_ = sngTipFreePercent_ = 0;
    strTipBusyText_.clear();
    if (!TakeSample()) return;
    lngTipFreeMb_ = CLng(lngFreeKb_ * 0.001);
    lngTipTotalMb_ = CLng(lngTotalKb_ * 0.001);
    sngTipRatio_ = static_cast<float>(Divide(lngTipFreeMb_, lngTipTotalMb_));
    sngTipFreePercent_ = sngTipRatio_ * 100.0f;
    strTipBusyText_ = BusyText(sngTipFreePercent_, 4, " %");
    strBusyText_ = strTipBusyText_;
    if (listener_) listener_->HoverRefreshed(strBusyText_, sngTipFreePercent_);
    form_.SetCaption(c_.statusItem, strTipBusyText_);
}

}  // namespace vt
