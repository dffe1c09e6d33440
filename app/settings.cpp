#include "app/settings.h"

#include "app/program_state.h"

namespace vt {

std::string ReadSetting(Platform& platform, std::string_view key, std::string_view fallback) {
    return platform.GetSetting(kAppTitle, kSettingsSection, key, fallback);
}

void WriteSetting(Platform& platform, std::string_view key, std::string_view value) {
    platform.SaveSetting(kAppTitle, kSettingsSection, key, value);
}

}  // namespace vt
