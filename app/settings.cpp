#include "app/settings.h"

namespace vt {

std::string Settings::Read(std::string_view key, std::string_view fallback) const {
    return platform_.GetSetting(platform_.AppTitle(), kSettingsSection, key, fallback);
}

void Settings::Write(std::string_view key, std::string_view value) {
    platform_.SaveSetting(platform_.AppTitle(), kSettingsSection, key, value);
}

}  // namespace vt
