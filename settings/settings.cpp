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

void Settings::SaveSound(bool on) { Write("sound", on ? "1" : "0"); }
void Settings::SaveTema(int16_t tema) { Write("Tema", StrLong(tema)); }

}  // namespace vt
