#include "monitor/refusal.h"

namespace vt {
namespace {

int16_t SoundOf(Fault fault) {
    switch (fault) {
        case Fault::Zero: return modSND::kErrorZero;
        case Fault::TooBig: return modSND::kErrorTooBig;
        case Fault::NotNumber: return modSND::kErrorNotNumber;
        case Fault::None: break;
    }
    return 0;
}

}  // namespace

void ShowRefusal(Platform& platform, Sound& sound, const Refusal& refusal) {
    if (refusal.fault != Fault::None) sound.ErrorPair(SoundOf(refusal.fault));
    platform.MsgBox(refusal.text, refusal.style, refusal.title);
}

}  // namespace vt
