// Playback of the embedded sounds. The system's player keeps reading an
// in-memory image after a call in the background has returned, so the image
// must outlive the call; it is stopped only by the next call.
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
    const std::span<const uint8_t> resource = platform_.CustomResource(id);
    std::vector<uint8_t> image(resource.begin(), resource.end());
    // The old image stays in place until the call has stopped it; only then
    // does the new one take its place (the move keeps the buffer's address).
    (platform_.Sound().*manner)(image);
    strSoundData_ = std::move(image);
    // Let the window repaint, and queued clicks and ticks run, while it starts.
    platform_.DoEvents();
}

}  // namespace vt::modSND
