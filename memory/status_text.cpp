// Turns a memory sample into what the user reads: the totals line, the busy
// line, the bar and its tooltip, the status menu line and the tray tip.
#include <cmath>

#include "platform/convert.h"
#include "ui/form1.h"

namespace vt {

using namespace form1;

// 100 - V as text. V has as many decimals as the characters cut from the
// percent text carry, and so has the exact difference; rounding to them keeps
// binary noise out of the figure ("2.9", not "2.90000000000001").
static std::string BusyPercentText(std::string_view cut) {
    const double v = CDbl(cut);
    const size_t separator = cut.find(DecimalSeparator());
    const size_t exponent = cut.find_first_of("eE");
    if (separator == std::string_view::npos || exponent != std::string_view::npos) return StrDouble(100.0 - v);
    const double scale = std::pow(10.0, static_cast<double>(cut.size() - separator - 1));
    return StrDouble(RoundEven((100.0 - v) * scale) / scale);
}

std::string BusyText(float freePercent, size_t n, const char* ending) {
    return "Busy= " + BusyPercentText(Left(StrSingle(freePercent), n)) + ending;
}

void Form1::FlashStatus() {
    form_->SetForeColor(Label1, kRed);
    form_->SetForeColor(Label4, kRed);
    form_->SetEnabled(Timer2, true);
}

void Form1::Timer2_Timer() {
    form_->SetEnabled(Timer2, false);
    form_->SetForeColor(Label1, kWhite);
    form_->SetForeColor(Label4, kWhite);
}

// Steps of the Update that the Mb view of the unit toggle repeats on the last
// sample: the Mb figures, both lines and the bar.
static void MbView(Form1& f, Form& form, int32_t freeKb) {
    f.sngFreeMb = static_cast<float>(RoundEven(freeKb * 0.001));
    const double totalMb = RoundEven(f.lngTotalKb * 0.001);
    f.sngTotalMb = static_cast<float>(totalMb);
    f.sngFreeRatio = static_cast<float>(Divide(f.sngFreeMb, totalMb));
    f.sngFreePercent = f.sngFreeRatio * 100.0f;

    form.SetCaption(Label1, "  Totalt= " + StrSingle(f.sngTotalMb) + " Mb  Free= " +
                                StrSingle(f.sngFreeMb) + " Mb     ");
    form.SetCaption(Label4, "Busy= " + StrLong(CLng(SubLong(f.lngTotalKb, freeKb) * 0.001)) + " Mb or " +
                                BusyPercentText(Left(StrSingle(f.sngFreePercent), 4)) + " %");
    f.intBusyPercent = SubInt(100, CInt(f.sngFreePercent));
}

static void ShowBar(Form1& f, Form& form) {
    const int16_t width = MulInt(f.intBusyPercent, 2);
    Rect bar = form.Bounds(Picture1);
    bar.width = width;
    form.SetBounds(Picture1, bar);
    form.SetToolTip(Picture1, StrDouble(width / 2.0) + "%");
    Rect caption = form.Bounds(Label3);
    caption.left = AddInt(width, 3);
    form.SetBounds(Label3, caption);
}

void Form1::Command1_Click() {
    FlashStatus();
    if (!objSystem) objSystem = std::make_unique<System>(platform_.Api());
    objSystem->FreeMemory(bteUsedPct, lngTotalKb, g_.lngFreeKb);

    MbView(*this, *form_, g_.lngFreeKb);
    ShowBar(*this, *form_);
    strBusyText = BusyText(sngFreePercent, 4, " %");
    form_->SetCaption(sucker, strBusyText);
    form_->SetLine(Line1, 100, 0, 100, 24);
    UpdateTrayTip();
    blnFromUpdate = true;
    if (g_.intTema > 0) SetThemeIcon();
    intUnitView = 1;
}

// The Kb and Byte views. The sample is in Kb of 1024 bytes, so the Kb view's
// factor is 1 and the Byte view's 1024; products are taken in double precision
// and the byte difference in 64 bits, so that no machine size overflows them.
void Form1::ShowFigures(double freeKb, double totalKb, const char* unit, double factor, bool byteView) {
    const float free = static_cast<float>(freeKb * factor);
    const float total = static_cast<float>(totalKb * factor);
    const float ratio = static_cast<float>(Divide(free, total));
    const float p = ratio * 100.0f;
    form_->SetCaption(Label1, std::string("  Totalt= ") + StrSingle(total) + " " + unit + "  Free= " +
                                  StrSingle(free) + " " + unit + "     ");
    const int32_t busyKb = SubLong(lngTotalKb, g_.lngFreeKb);
    const double v = CDbl(Left(StrSingle(p), 5));
    if (byteView) {
        form_->SetCaption(Label4, "Busy= " + StrLong(static_cast<int64_t>(busyKb) * 1024) + " Byte or " +
                                      StrSingle(100.0f - p) + " %");
    } else {
        form_->SetCaption(Label4, "Busy= " + StrSingle(static_cast<float>(busyKb * factor)) + " Kb or " +
                                      BusyPercentText(Left(StrSingle(p), 5)) + " %");
    }
    intBusyPercent = CInt(100.0 - v);
}

void Form1::Command5_Click() {
    form_->SetLine(Line1, 100, 0, 100, 24);
    intUnitView = AddInt(intUnitView, 1);
    switch (intUnitView) {
        case 1:
            MbView(*this, *form_, g_.lngFreeKb);
            ShowBar(*this, *form_);
            break;
        case 2:
            ShowFigures(g_.lngFreeKb, lngTotalKb, "Kb", 1.0, false);
            ShowBar(*this, *form_);
            break;
        case 3:
            ShowFigures(g_.lngFreeKb, lngTotalKb, "Byte", 1024.0, true);
            ShowBar(*this, *form_);
            break;
        default: break;
    }
    if (intUnitView == 3) intUnitView = 0;
}

void Form1::aftertimecheck() { form_->SetEnabled(Timer4, true); }

void Form1::Timer4_Timer() {
    form_->SetEnabled(Timer4, false);
    lngTipFreeMb = lngTipTotalMb = 0;
    sngTipRatio = sngTipFreePercent = 0;
    strTipBusyText.clear();
    if (!objSystem) objSystem = std::make_unique<System>(platform_.Api());
    objSystem->FreeMemory(bteUsedPct, lngTotalKb, g_.lngFreeKb);
    lngTipFreeMb = CLng(g_.lngFreeKb * 0.001);
    lngTipTotalMb = CLng(lngTotalKb * 0.001);
    sngTipRatio = static_cast<float>(Divide(lngTipFreeMb, lngTipTotalMb));
    sngTipFreePercent = sngTipRatio * 100.0f;
    strTipBusyText = BusyText(sngTipFreePercent, 4, " %");
    strBusyText = strTipBusyText;
    UpdateTrayTip();
    if (g_.intTema != 0) SetThemeIcon();
    form_->SetCaption(sucker, strTipBusyText);
    g_.blnTipPending = false;
}

}  // namespace vt
