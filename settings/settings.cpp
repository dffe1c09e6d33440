#include "settings/settings.h"

#include "platform/convert.h"

namespace vt {
namespace {

constexpr std::string_view kSection = "Startup";

}  // namespace

std::string Settings::Read(std::string_view key, std::string_view fallback) const {
    return platform_.GetSetting(platform_.AppTitle(), kSection, key, fallback);
}

void Settings::Write(std::string_view key, std::string_view value) {
    platform_.SaveSetting(platform_.AppTitle(), kSection, key, value);
}

int32_t Settings::LeftPx() const { return CLng(Read("Left", "0")); }
int32_t Settings::TopPx() const { return CLng(Read("top", "0")); }
bool Settings::SoundOn() const { return CBool(Read("sound", "1")); }
int16_t Settings::Tema() const { return CInt(Read("Tema", "0")); }

void Settings::SavePosition(int32_t leftPx, int32_t topPx) {
    Write("Top", StrLong(topPx));
    Write("Left", StrLong(leftPx));
}

void Settings::Forget(Key key) {
    constexpr std::string_view kNames[] = {"Left", "top", "sound", "Tema"};
    platform_.DeleteSetting(platform_.AppTitle(), kSection, kNames[static_cast<int>(key)]);
}

// Values of their own, which no start-up report names: one that does not
// read (edited by hand) counts as not set.
bool Settings::KeepWatching() const {
    const auto on = ParseNumber(Read("KeepWatching", "0"));
    return on && *on != 0;
}

void Settings::SaveKeepWatching(bool on) { Write("KeepWatching", on ? "1" : "0"); }

std::optional<int16_t> Settings::KeptWarning() const {
    const auto mb = ParseNumber(Read("WarnMb", ""));
    if (!mb || *mb < 1 || *mb > 32767 || *mb != static_cast<int16_t>(*mb)) return std::nullopt;
    return static_cast<int16_t>(*mb);
}

void Settings::SaveKeptWarning(int16_t mb) { Write("WarnMb", StrLong(mb)); }

void Settings::ForgetKeptWarning() { platform_.DeleteSetting(platform_.AppTitle(), kSection, "WarnMb"); }

void Settings::SaveSound(bool on) { Write("sound", on ? "1" : "0"); }
void Settings::SaveTema(int16_t tema) { Write("Tema", StrLong(tema)); }

}  // namespace vt
