// Sound resources for tests that listen to what the program plays.
#pragma once

#include <cstring>
#include <vector>

#include "form1_fixture.h"

namespace vt {

constexpr fake::SoundKind kPlay = fake::SoundKind::Play;
constexpr fake::SoundKind kLoop = fake::SoundKind::Loop;
constexpr fake::SoundKind kWait = fake::SoundKind::Wait;
constexpr fake::SoundKind kStop = fake::SoundKind::Stop;

// A whole RIFF WAVE image whose samples tell the ids apart.
inline std::vector<uint8_t> Riff(int id) {
    const uint32_t data = 2 * static_cast<uint32_t>(id % 7 + 3);
    std::vector<uint8_t> out(44 + data, static_cast<uint8_t>(id));
    auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&out[at], &v, 4); };
    std::memcpy(&out[0], "RIFF", 4);
    put32(4, 36 + data);
    std::memcpy(&out[8], "WAVEfmt ", 8);
    put32(16, 16);
    const uint8_t fmt[16] = {1, 0, 1, 0, 0x11, 0x2B, 0, 0, 0x11, 0x2B, 0, 0, 1, 0, 8, 0};
    std::memcpy(&out[20], fmt, 16);
    std::memcpy(&out[36], "data", 4);
    put32(40, data);
    return out;
}

inline void AddSounds(fake::FakePlatform& p) {
    for (int id = 101; id <= 141; ++id) {
        if (id != 126 && id != 131 && id != 135 && id != 136) p.resources[id] = Riff(id);
    }
}

// The id of a recorded call, read back from the image it was handed.
inline int IdOf(const fake::SoundCall& call) { return call.bytes.empty() ? 0 : call.bytes[44]; }

using Calls = std::vector<std::pair<int, fake::SoundKind>>;

inline Calls Played(const fake::FakeSound& audio) {
    Calls out;
    for (const auto& call : audio.sounds) out.emplace_back(IdOf(call), call.kind);
    return out;
}

}  // namespace vt
