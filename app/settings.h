// The program's four settings ("Left", "top", "sound", "Tema") under
// application "Veltrane", section "Startup"; on Windows
// HKEY_CURRENT_USER\Software\Veltrane\Startup.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"

namespace vt {

inline constexpr const char* kSettingsSection = "Startup";

class Settings {
public:
    explicit Settings(Platform& platform) : platform_(platform) {}

    std::string Read(std::string_view key, std::string_view fallback) const;
    void Write(std::string_view key, std::string_view value);

private:
    Platform& platform_;
};

}  // namespace vt
