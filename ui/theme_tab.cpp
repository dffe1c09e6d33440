// The options window's "Systray Icon Tema" tab: picking a theme or the
// default icon, and the animated preview of a theme.
#include "platform/convert.h"
#include "ui/options_window.h"

namespace vt {

using namespace frm_options;

namespace {

struct Preview {
    int16_t start;  // first frame, and where the cycle starts again
    int16_t last;   // the frame after which it starts again (themes 1, 2, 3, 5)
};
// Themes 1 to 5; the picture shown is icon 100 + frame (theme 4 has its own rule).
constexpr Preview kPreviews[] = {{3, 13}, {13, 23}, {23, 33}, {0, 10}, {34, 44}};

}  // namespace

void frmOptions::OptionClick(int16_t tema) {
    form_->SetEnabled(Timer1, true);
    intPreviewFrame = kPreviews[tema - 1].start;
    intPreviewTema = tema;
    intPreviewPercent = 100;
    form_->SetFocus(Command2);
}

void frmOptions::Image1_Click() { form_->SetEnabled(Timer1, false); }

void frmOptions::Timer1_Timer() {
    if (intPreviewTema == 0) return;
    ++intPreviewFrame;
    auto showPercent = [&] {
        intPreviewPercent = static_cast<int16_t>(intPreviewPercent - 10);
        form_->SetCaption(Label1, StrLong(intPreviewPercent) + "%");
    };
    if (intPreviewTema == 4) {
        if (intPreviewFrame == 1) ShowPreviewIcon(102);
        showPercent();
        if (intPreviewFrame == 8) ShowPreviewIcon(101);
        if (intPreviewFrame == 10) {
            intPreviewPercent = 100;
            intPreviewFrame = 0;
        }
        return;
    }
    ShowPreviewIcon(100 + intPreviewFrame);
    showPercent();
    const Preview& p = kPreviews[intPreviewTema - 1];
    if (intPreviewFrame == p.last) {
        intPreviewFrame = p.start;
        intPreviewPercent = 100;
    }
}

void frmOptions::Command1_Click() {
    a_.tray.SetTema(0);
    a_.tray.ShowDefaultIcon();
    a_.settings.SaveTema(0);
    form_->Unload();
}

void frmOptions::Command2_Click() {
    const int options[] = {Option1, Option2, Option3, Option4, Option5};
    for (int16_t n = 1; n <= 5; ++n) {
        if (form_->Checked(options[n - 1])) a_.tray.SetTema(n);
    }
    a_.settings.SaveTema(a_.tray.intTema());
    a_.memory.Update();
    form_->Unload();
}

}  // namespace vt
