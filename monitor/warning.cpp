// The low-memory warning: set and turned off in the options window, watched
// every 5 seconds by the main window, and the alarm with its acknowledgement.
#include "platform/convert.h"
#include "ui/form1.h"
#include "ui/options_window.h"

namespace vt {

int32_t FreeMbFigure(int32_t freeKb) {
    // Megabytes of 1000 Kb, to the nearest whole number, halves to even. The
    // figure is 32-bit: machines today have far more than 32,767 MB free.
    return CLng(freeKb / 1000.0);
}

void Form1::Timer3_Timer() {
    if (blnWarnFired) return;
    Command1_Click();
    if (g_.intWarnMb >= FreeMbFigure(g_.lngFreeKb)) {
        form_->Show();
        form_->SetEnabled(form1::Timer3, false);
        blnWarnFired = true;
        StartAlarm();
    }
}

void Form1::StartAlarm() {
    blnAlarmOn = true;
    if (g_.blnSound) {
        snd.LoopResSound(modSND::kAlarm);
    } else {
        Form_Click();  // the message box stands in for the sound
    }
}

void Form1::Form_Click() {
    // A click that arrives while the acknowledgement's own box is open is
    // the same acknowledgement, not a second one.
    if (!blnAlarmOn || acknowledging_) return;
    acknowledging_ = true;
    snd.StopSound();
    try {
        platform_.MsgBox("The RAM Mb have been reached", kOkOnly | kInformation, "RAM Mb Warning Finished");
    } catch (...) {
        acknowledging_ = false;
        throw;
    }
    acknowledging_ = false;
    form_->SetForeColor(form1::Label2, kWhite);
    blnAlarmOn = false;
    blnWarnFired = false;
    g_.intWarnMb = 0;
}

void frmOptions::Command4_Click() {
    using namespace frm_options;
    const std::string title = platform_.AppTitle();
    try {
        const std::string text = form_->Caption(Text1);
        if (text.empty()) {
            platform_.MsgBox("Please insert a Megabyte value", kOkOnly, title);
            form_->SetFocus(Text1);
            return;
        }
        if (!IsNumeric(text)) {
            platform_.MsgBox("Please use a number for amount of RAM!", kOkOnly, title);
            form_->SetCaption(Text1, "");
            form_->SetFocus(Text1);
            return;
        }
        const int16_t mb = CInt(Trim(text));
        const int32_t figure = FreeMbFigure(g_.lngFreeKb);
        if (mb >= figure) {
            platform_.MsgBox("Your inserted Mb value is bigger or equal to " + StrLong(figure) +
                                 " Mb, The value must be lower, try again",
                             kOkOnly, title);
            form_->SetFocus(Text1);
            return;
        }
        g_.intWarnMb = mb;
        form_->SetEnabled(Command5, true);
        g_.blnWarnSet = true;
        form_->SetCaption(Label7, "On");
        form_->SetCaption(Label9, StrLong(mb) + " Mb");
        platform_.MsgBox("Press the Ok button to hear the Warningsound that will sound \rwhen the program gets to "
                         "your inserted value. ",
                         kOkOnly | kInformation, "Message 1/2");
        if (g_.blnSound) main_.snd.PlayResSound(modSND::kAlarm);
        platform_.MsgBox("If you have a souncard you now have heard the sound. \r If you don\u00B4t have a soundcard "
                         "you will get a messagebox instead when the \r computer Megabyte value gets to your "
                         "inserted. Now the checking will begin. ",
                         kOkOnly | kInformation, "Message 2/2");
        main_.form().SetBackColor(form1::Command5, kRed);
        main_.form().SetEnabled(form1::Timer3, true);
        form_->SetEnabled(Command4, false);
    } catch (const RuntimeError&) {
        // An entry beyond the 16-bit range; the threshold keeps its value.
        if (g_.blnSound) main_.snd.PlayErrorPair(modSND::kErrorZero);
        platform_.MsgBox("Invalid value please try again", kOkOnly, title);
    }
}

void frmOptions::Command5_Click() {
    using namespace frm_options;
    main_.form().SetEnabled(form1::Timer3, false);
    form_->SetEnabled(Command5, false);
    main_.snd.StopSound();
    platform_.MsgBox("Warning stopped", kOkOnly, platform_.AppTitle());
    g_.blnWarnSet = false;
    form_->SetCaption(Label7, "Off");
    form_->SetEnabled(Command4, true);
    main_.form().SetBackColor(form1::Command5, kColorButtonFace);
}

}  // namespace vt
