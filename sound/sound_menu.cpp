// The main window's sound handlers: the click sound of "Update" and the
// sound on/off item of the popup menu, whose choice is kept under "sound".
#include "app/settings.h"
#include "ui/form1.h"

namespace vt {

using namespace form1;

void Form1::Command1_MouseUp() {
    if (g_.blnSound) snd.PlayResSound(modSND::ClickSound(platform_));
}

// The confirmation plays whichever way the switch goes, so the user hears
// that sound is now off too.
void Form1::mnuSoff_Click() {
    if (g_.blnSound) {
        form_->SetCaption(mnuSoff, "Turn On Sound");
        snd.PlayResSound(modSND::kSoundOff);
        WriteSetting(platform_, "sound", "0");
        g_.blnSound = false;
    } else {
        form_->SetCaption(mnuSoff, "Turn Off Sound");
        snd.PlayResSound(modSND::kSoundOn);
        WriteSetting(platform_, "sound", "1");
        g_.blnSound = true;
    }
}

}  // namespace vt
