// The program's sound: the player and the user's on/off switch (`blnSound`,
// kept under "sound"). Which event plays what is decided by the callers;
// every cue here plays only while the switch is on.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "sound/mod_snd.h"

namespace vt {

class Sound {
public:
    // menuItem: the popup menu item that switches sound and says which way.
    Sound(Platform& platform, Form& form, int menuItem);

    bool blnSound() const { return blnSound_; }
    // Start-up: the switch as the settings keep it.
    void SetSound(bool on) { blnSound_ = on; }

    // Start-up: the greeting for the hour (when on), then the item's caption.
    void Greet();
    // The switch turned the other way; the confirmation plays whichever way
    // it goes, so the user hears that sound is now off too. Answers the new
    // state, for the caller to store.
    bool Switch();

    void Cue(int16_t id);                   // once, in the background
    void Loop(int16_t id);                  // until stopped
    void Click();                           // a random click sound
    void ErrorPair(int16_t fault);          // both halves to their end
    void Stop() { snd_.StopSound(); }       // whatever plays, on or off

private:
    Platform& platform_;
    Form& form_;
    int menuItem_;
    modSND::Player snd_;
    bool blnSound_ = false;
};

}  // namespace vt
