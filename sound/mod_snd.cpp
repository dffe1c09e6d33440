// Playback of the embedded sounds. The system's player keeps reading an
// in-memory image after a call in the background has returned, so the image
// must outlive the call; it is stopped only by the next call. The images are
// the program's own resources, which live as long as the program: playing
// one copies nothing, so the alarm plays when memory has run short.
#include "sound/mod_snd.h"

#include <cmath>

namespace vt::modSND {

int16_t GreetingSound(int hour) {
    if (hour >= 18) return kEvening;
    if (hour >= 12) return kAfternoon;
    if (hour >= 6) return kMorning;
    return kNight;
}

int16_t ClickSound(Platform& platform) {
    platform.Randomize();
    const double r = platform.Rnd();
    return static_cast<int16_t>(100 + static_cast<int>(std::floor(r * 25 + 1)));
}

void Player::PlayResSound(int16_t id) { Play(id, &SoundOutput::Play); }
void Player::LoopResSound(int16_t id) { Play(id, &SoundOutput::Loop); }
void Player::PlayResSoundWait(int16_t id) { Play(id, &SoundOutput::PlayAndWait); }

void Player::StopSound() { platform_.Sound().Stop(); }

void Player::PlayErrorPair(int16_t fault) {
    PlayResSoundWait(kErrorChime);
    PlayResSoundWait(fault);
}

void Player::Play(int16_t id, Manner manner) {
    strSoundData_ = platform_.CustomResource(id);
    (platform_.Sound().*manner)(strSoundData_);
    // Let the window repaint, and queued clicks and ticks run, while it starts.
    platform_.DoEvents();
}

}  // namespace vt::modSND
