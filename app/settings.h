// Where the program's four settings live: application "Veltrane", section
// "Startup"; on Windows HKEY_CURRENT_USER\Software\Veltrane\Startup.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"

namespace vt {

inline constexpr const char* kSettingsSection = "Startup";

std::string ReadSetting(Platform& platform, std::string_view key, std::string_view fallback);
void WriteSetting(Platform& platform, std::string_view key, std::string_view value);

}  // namespace vt
