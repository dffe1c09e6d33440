// The program's settings: where the main window stood, whether sound is on,
// the icon theme, and the low-memory warning the user keeps watching, under
// application "Veltrane", section "Startup" (on Windows
// HKEY_CURRENT_USER\Software\Veltrane\Startup). This is the one place that
// knows their keys and the text form of their values. The first four
// readers raise error 13 for text that is no value of their kind and error 6
// for a number out of their range, as the start-up expects; the kept
// warning's readers take what they cannot use as not set.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace vt {

class Settings {
public:
    enum class Key { Left, Top, Sound, Tema };

    explicit Settings(Platform& platform) : platform_(platform) {}

    // The window's left and top edges in screen pixels ("Left", "top"; 0 when absent).
    int32_t LeftPx() const;
    int32_t TopPx() const;
    // Sound on or off ("sound"; on when absent).
    bool SoundOn() const;
    // The icon theme 0 to 5 ("Tema"; 0 when absent).
    int16_t Tema() const;

    // Both edges, "Top" first.
    void SavePosition(int32_t leftPx, int32_t topPx);
    void SaveSound(bool on);
    void SaveTema(int16_t tema);
    // A stored value the start-up could not use, gone: the next start reads
    // its default instead of failing again.
    void Forget(Key key);

    // "Keep watching" ("KeepWatching", off when absent), and the threshold
    // of the warning it keeps ("WarnMb", stored only while it is on).
    bool KeepWatching() const;
    void SaveKeepWatching(bool on);
    std::optional<int16_t> KeptWarning() const;
    void SaveKeptWarning(int16_t mb);
    void ForgetKeptWarning();

private:
    std::string Read(std::string_view key, std::string_view fallback) const;
    void Write(std::string_view key, std::string_view value);

    Platform& platform_;
};

}  // namespace vt
