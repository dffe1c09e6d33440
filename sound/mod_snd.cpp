// Playback of the embedded sounds. The system's player keeps reading an
// in-memory image after an asynchronous or looped call has returned, so the
// image must outlive the call; it is stopped only by the next sndPlaySoundA.
#include "sound/mod_snd.h"

#include <cmath>

namespace vt::modSND {

using namespace win32c;

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

void Player::PlayResSound(int16_t id) { Play(id, kSndAsync | kSndNoDefault | kSndMemory); }
void Player::LoopResSound(int16_t id) { Play(id, kSndAsync | kSndNoDefault | kSndMemory | kSndLoop); }
void Player::PlayResSoundWait(int16_t id) { Play(id, kSndSync | kSndNoDefault | kSndMemory); }

void Player::StopSound() { platform_.Api().sndPlaySoundA(nullptr, 0); }

void Player::PlayErrorPair(int16_t fault) {
    PlayResSoundWait(kErrorChime);
    PlayResSoundWait(fault);
}

void Player::Play(int16_t id, uint32_t flags) {
    const std::span<const uint8_t> resource = platform_.CustomResource(id);
    std::vector<uint8_t> image(resource.begin(), resource.end());
    // The old image stays in place until the call has stopped it; only then
    // does the new one take its place (the move keeps the buffer's address).
    platform_.Api().sndPlaySoundA(image.empty() ? nullptr : image.data(), flags);
    strSoundData_ = std::move(image);
    // Let the window repaint, and queued clicks and ticks run, while it starts.
    platform_.DoEvents();
}

}  // namespace vt::modSND
