#include "sound/sound.h"

namespace vt {

Sound::Sound(Platform& platform, Form& form, int menuItem)
    : platform_(platform), form_(form), menuItem_(menuItem), snd_(platform) {}

void Sound::Greet() {
    if (blnSound_) {
        snd_.PlayResSound(modSND::GreetingSound(platform_.Hour()));
        form_.SetCaption(menuItem_, "Turn Off Sound");
    } else {
        form_.SetCaption(menuItem_, "Turn On Sound");
    }
}

bool Sound::Switch() {
    if (blnSound_) {
        form_.SetCaption(menuItem_, "Turn On Sound");
        snd_.PlayResSound(modSND::kSoundOff);
    } else {
        form_.SetCaption(menuItem_, "Turn Off Sound");
        snd_.PlayResSound(modSND::kSoundOn);
    }
    blnSound_ = !blnSound_;
    return blnSound_;
}

void Sound::Cue(int16_t id) {
    if (blnSound_) snd_.PlayResSound(id);
}

void Sound::Loop(int16_t id) {
    if (blnSound_) snd_.LoopResSound(id);
}

void Sound::Click() {
    if (blnSound_) snd_.PlayResSound(modSND::ClickSound(platform_));
}

void Sound::ErrorPair(int16_t fault) {
    if (blnSound_) snd_.PlayErrorPair(fault);
}

}  // namespace vt
