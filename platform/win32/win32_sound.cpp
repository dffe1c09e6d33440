// Sound output through winmm's sndPlaySoundA. Every image is handed over in
// memory (SND_MEMORY), and with SND_NODEFAULT, so that a sound that cannot be
// played stays silent instead of becoming the system's default sound. winmm
// is no KnownDLL: it is loaded from the system folder at the first sound,
// not imported (an import would be looked for beside the program first).
#include "platform/win32/win32_internal.h"

#include <mmsystem.h>

namespace vt::win32 {
namespace {

// The three manners of the program's player: 7, 15 and 6.
constexpr UINT kPlayResSound = SND_ASYNC | SND_NODEFAULT | SND_MEMORY;
constexpr UINT kLoopResSound = kPlayResSound | SND_LOOP;
constexpr UINT kPlayResSoundWait = SND_SYNC | SND_NODEFAULT | SND_MEMORY;

using PlayProc = BOOL(WINAPI*)(LPCSTR, UINT);

PlayProc sndPlaySoundA() {
    static const unique_hmodule winmm = LoadSystemLibrary(L"winmm.dll");
    static const auto play = ProcAddress<PlayProc>(winmm, "sndPlaySoundA");
    return play;
}

bool Hand(std::span<const uint8_t> wave, UINT flags) {
    // An empty image stops what plays and plays nothing, as a null name does.
    const auto* image = wave.empty() ? nullptr : reinterpret_cast<const char*>(wave.data());
    const PlayProc play = sndPlaySoundA();
    return play && play(image, flags) != FALSE;
}

class Win32Sound final : public SoundOutput {
public:
    bool Play(std::span<const uint8_t> wave) override { return Hand(wave, kPlayResSound); }
    bool Loop(std::span<const uint8_t> wave) override { return Hand(wave, kLoopResSound); }
    bool PlayAndWait(std::span<const uint8_t> wave) override { return Hand(wave, kPlayResSoundWait); }
    void Stop() override {
        if (const PlayProc play = sndPlaySoundA()) play(nullptr, 0);
    }
};

}  // namespace

std::unique_ptr<SoundOutput> CreateSoundOutput() { return std::make_unique<Win32Sound>(); }

}  // namespace vt::win32
