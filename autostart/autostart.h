// Starting with Windows: the popup menu's autostart item and the state it
// shows (`blnAutostart`), over the platform's Run value named after the
// program (on Windows under the current user's Run key).
#pragma once

#include "platform/platform.h"

namespace vt {

class Autostart {
public:
    Autostart(Platform& platform, Form& form, int menuItem)
        : platform_(platform), form_(form), menuItem_(menuItem) {}

    // Start-up: whether the Run value is there, and the item's caption.
    void ReadState();
    // Registers or unregisters, and says how it went.
    void Toggle();

    bool blnAutostart() const { return blnAutostart_; }

private:
    void Show(bool registered);

    Platform& platform_;
    Form& form_;
    int menuItem_;
    bool blnAutostart_ = false;
};

}  // namespace vt
