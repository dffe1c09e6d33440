// The Run value that starts the program with Windows, and the registry and
// short-path routines behind it. Backend-internal: the backend tests call
// the routines directly.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "platform/platform.h"

namespace vt::win32 {

inline constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

namespace Tray_function {
// The value's text; empty when the key or value is missing or not REG_SZ.
std::string GetRegString(HKEY hKey, const std::string& subKey, const std::string& valueName);
// Creates the key when needed and stores a REG_SZ value; the system's answer.
LONG SetRegString(HKEY hKey, const std::string& subKey, const std::string& valueName, const std::string& data);
// Deletes one value; the system's answer.
LONG DeleteRegValue(HKEY hKey, const std::string& subKey, const std::string& valueName);
}  // namespace Tray_function

namespace modSND {
// The short (8.3) form of an existing file's path; empty when the system
// cannot give one.
std::string GetShortName(const std::string& path);
}  // namespace modSND

// The text to register for the running program: empty when its file name
// cannot be read or cannot be spelt in the system's code page.
std::string AutostartCommand();

std::unique_ptr<RunValue> CreateRunValue();

}  // namespace vt::win32
