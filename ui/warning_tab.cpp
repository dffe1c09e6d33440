// The options window's "Set Warning" tab: setting the threshold, with the two
// boxes that play and explain the alarm, and turning the warning off.
#include "platform/convert.h"
#include "platform/errors.h"
#include "ui/options_window.h"

namespace vt {

using namespace frm_options;

void frmOptions::Refuse(const Refusal& refusal) {
    ShowRefusal(platform_, a_.sound, refusal);
    if (refusal.clearEntry) form_->SetCaption(Text1, "");
    if (refusal.focusEntry) form_->SetFocus(Text1);
}

void frmOptions::Command4_Click() {
    const std::string title = platform_.AppTitle();
    try {
        const auto entry = ParseWarningEntry(form_->Caption(Text1), a_.memory.lngFreeKb(), title);
        if (const Refusal* refusal = std::get_if<Refusal>(&entry)) {
            Refuse(*refusal);
            return;
        }
        const int16_t mb = std::get<int16_t>(entry);
        a_.warning.Arm(mb);
        form_->SetEnabled(Command5, true);
        form_->SetCaption(Label7, "On");
        form_->SetCaption(Label9, StrLong(mb) + " Mb");
        platform_.MsgBox("Press the Ok button to hear the Warningsound that will sound \rwhen the program gets to "
                         "your inserted value. ",
                         kOkOnly | kInformation, "Message 1/2");
        a_.sound.Cue(modSND::kAlarm);  // the alarm once, when sound is on
        platform_.MsgBox("If you have a souncard you now have heard the sound. \r If you don\u00B4t have a soundcard "
                         "you will get a messagebox instead when the \r computer Megabyte value gets to your "
                         "inserted. Now the checking will begin. ",
                         kOkOnly | kInformation, "Message 2/2");
        a_.warning.StartWatching();
        form_->SetEnabled(Command4, false);
        ShowHistory();
    } catch (const RuntimeError&) {
        Refuse(InvalidWarningEntry(title));
    }
}

void frmOptions::Command5_Click() {
    a_.warning.StopWatching();
    form_->SetEnabled(Command5, false);
    a_.sound.Stop();
    platform_.MsgBox("Warning stopped", kOkOnly, platform_.AppTitle());
    form_->SetCaption(Label7, "Off");
    form_->SetEnabled(Command4, true);
    a_.warning.Disarm();
    ShowHistory();
}

void frmOptions::Check1_Click() { a_.warning.SetKeepWatching(form_->Checked(Check1)); }

}  // namespace vt
