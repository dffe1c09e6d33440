// modSND: the program's embedded sounds, played straight from the resource
// bytes in three manners, once in the background, looped, or once while the
// caller waits, and stopped. Which
// event plays what is decided by the callers; these routines never look at
// blnSound.
#pragma once

#include <cstdint>
#include <span>

#include "platform/platform.h"

namespace vt::modSND {

// Sound resources (type "CUSTOM"). 101 to 125 are the click sounds.
enum SoundId : int16_t {
    kSoundOn = 101,        // confirmation: sound switched on
    kSoundOff = 102,       // confirmation: sound switched off
    kAlarm = 127,          // low-memory alarm, looped
    kMorning = 128,        // greeting, hours 6 to 11
    kAfternoon = 129,      // 12 to 17
    kEvening = 130,        // 18 to 23
    kErrorChime = 132,     // first half of every error pair
    kWindowBack = 133,     // window brought back from the tray icon
    kErrorZero = 134,      // value 0 or empty, unconvertible warning, start-up error
    kNight = 138,          // greeting, hours 0 to 5
    kErrorTooBig = 140,    // check period above 60
    kErrorNotNumber = 141, // check period that does not convert
};

// The greeting for an hour of the day (0 to 23).
int16_t GreetingSound(int hour);

// A click sound: reseeds the generator from the clock, then 100 + Int(r x 25 + 1).
int16_t ClickSound(Platform& platform);

class Player {
public:
    explicit Player(Platform& platform) : platform_(platform) {}
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    void PlayResSound(int16_t id);      // once, in the background
    void LoopResSound(int16_t id);      // repeats until the next play or StopSound
    void PlayResSoundWait(int16_t id);  // once; returns when it has ended
    void StopSound();
    // Every rejected input: the chime, then the sound for the fault, both to
    // their end before the caller shows its message box.
    void PlayErrorPair(int16_t fault);

    // The image last handed to the player: the resource itself, which lives
    // as long as the program.
    std::span<const uint8_t> strSoundData() const { return strSoundData_; }

private:
    using Manner = bool (SoundOutput::*)(std::span<const uint8_t>);
    void Play(int16_t id, Manner manner);

    Platform& platform_;
    std::span<const uint8_t> strSoundData_;
};

}  // namespace vt::modSND
