// Starting with Windows: one string value under the machine-wide Run key,
// named after the program, holding the path of the running program; the
// registry routines and the short-path routine behind it.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace vt {

constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

namespace Tray_function {
// The value's text; empty when the key or value is missing or not REG_SZ.
std::string GetRegString(Win32Api& api, int32_t hKey, const std::string& subKey, const std::string& valueName);
// Creates the key when needed and stores a REG_SZ value; the Win32 result.
long SetRegString(Win32Api& api, int32_t hKey, const std::string& subKey, const std::string& valueName,
                  const std::string& data);
// Deletes one value; the Win32 result.
long DeleteRegValue(Win32Api& api, int32_t hKey, const std::string& subKey, const std::string& valueName);
}  // namespace Tray_function

namespace modSND {
// The short (8.3) form of an existing file's path; empty when the system
// cannot give one.
std::string GetShortName(Win32Api& api, const std::string& path);
}  // namespace modSND

// The text to register: the running program's own file, in short form where
// the system has one, in double quotes when it still contains a blank (so
// the shell cannot start a program sitting at a prefix of the path). Empty
// when the program's file name cannot be read.
std::string AutostartCommand(Win32Api& api);

// The popup menu's autostart item and the state it shows (`blnAutostart`).
class Autostart {
public:
    Autostart(Platform& platform, Form& form, int menuItem)
        : platform_(platform), form_(form), menuItem_(menuItem) {}

    // Start-up: whether the Run value is there, and the item's caption.
    void ReadState();
    // Registers or unregisters, and says how it went.
    void Toggle();

    bool blnAutostart = false;

private:
    Platform& platform_;
    Form& form_;
    int menuItem_;
};

}  // namespace vt
