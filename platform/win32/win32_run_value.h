// The Run value that starts the program with Windows, and the registry
// routines behind it. Backend-internal: the backend tests call the routines
// directly and make a Run value for a program file of their choosing.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "platform/platform.h"

namespace vt::win32 {

inline constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// Where the system's list of the programs that start with Windows keeps
// those the user has switched off.
inline constexpr wchar_t kStartupApprovedKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";

namespace Tray_function {
// The value's text; empty when the key or value is missing or not REG_SZ.
std::wstring GetRegString(HKEY hKey, const std::wstring& subKey, const std::wstring& valueName);
// Creates the key when needed and stores a REG_SZ value, its NUL counted;
// the system's answer.
LONG SetRegString(HKEY hKey, const std::wstring& subKey, const std::wstring& valueName, const std::wstring& data);
// Deletes one value; the system's answer.
LONG DeleteRegValue(HKEY hKey, const std::wstring& subKey, const std::wstring& valueName);
}  // namespace Tray_function

// The running program's file, in full; empty when it cannot be read.
std::wstring ModulePath();

// The per-user Run value for the program at `programPath` (the running one
// when empty).
std::unique_ptr<RunValue> CreateRunValue(std::wstring programPath = {});

}  // namespace vt::win32
