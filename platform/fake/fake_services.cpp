#include "platform/fake/fake_services.h"

#include <cstring>

namespace vt::fake {

bool FakeSound::Record(std::span<const uint8_t> wave, SoundKind kind) {
    if (!sounds.empty() && sounds.back().address &&
        std::memcmp(sounds.back().address, sounds.back().bytes.data(), sounds.back().bytes.size()) != 0) {
        previousSoundStillValid = false;
    }
    const void* address = wave.empty() ? nullptr : wave.data();
    sounds.push_back({address, kind, std::vector<uint8_t>(wave.begin(), wave.end())});
    return address && !noDevice;
}

}  // namespace vt::fake
