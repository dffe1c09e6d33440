// The Run value under the machine-wide Run key, through the ANSI registry
// calls: read, written and deleted by the three registry routines, holding
// the short form of the running program's path.
#include "platform/win32/win32_run_value.h"

#include <algorithm>
#include <vector>

#include "platform/run_command.h"
#include "platform/win32/win32_internal.h"

namespace vt::win32 {

namespace Tray_function {

std::string GetRegString(HKEY hKey, const std::string& subKey, const std::string& valueName) {
    HKEY opened = nullptr;
    if (RegOpenKeyA(hKey, subKey.c_str(), &opened) != ERROR_SUCCESS) return {};
    const unique_hkey key(opened);
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return {};
    }
    std::string buffer(size, ' ');
    if (RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                         &size) != ERROR_SUCCESS) {
        return {};
    }
    buffer.resize(std::min<size_t>(size, buffer.size()));
    // A value stored without its terminating NUL reads back whole.
    return buffer.substr(0, buffer.find('\0'));
}

LONG SetRegString(HKEY hKey, const std::string& subKey, const std::string& valueName, const std::string& data) {
    HKEY created = nullptr;
    const LONG result = RegCreateKeyA(hKey, subKey.c_str(), &created);
    if (result != ERROR_SUCCESS) return result;
    const unique_hkey key(created);
    // The terminating NUL is not counted; readers cope with either form.
    return RegSetValueExA(key.get(), valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.data()),
                          static_cast<DWORD>(data.size()));
}

LONG DeleteRegValue(HKEY hKey, const std::string& subKey, const std::string& valueName) {
    HKEY opened = nullptr;
    const LONG result = RegOpenKeyA(hKey, subKey.c_str(), &opened);
    if (result != ERROR_SUCCESS) return result;
    const unique_hkey key(opened);
    return RegDeleteValueA(key.get(), valueName.c_str());
}

}  // namespace Tray_function

namespace modSND {

std::string GetShortName(const std::string& path) {
    std::string buffer(165, '\0');
    DWORD n = GetShortPathNameA(path.c_str(), buffer.data(), 164);
    if (n > 164) {
        // Too long for the usual buffer: the call said how much it needs.
        buffer.assign(n + 1, '\0');
        n = GetShortPathNameA(path.c_str(), buffer.data(), n);
        if (n >= buffer.size()) return {};
    }
    return buffer.substr(0, n);
}

}  // namespace modSND

std::string AutostartCommand() {
    std::vector<char> name(260);
    DWORD n = 0;
    while ((n = GetModuleFileNameA(nullptr, name.data(), static_cast<DWORD>(name.size()))) >= name.size() - 1 &&
           name.size() < 32768) {
        name.resize(name.size() * 2);  // cut at the buffer: try a larger one
    }
    if (n == 0 || n >= name.size() - 1) return {};
    const std::string module(name.data(), n);
    return RunCommandFor(module, modSND::GetShortName(module));
}

namespace {

RunChange Refused(LONG error) { return {RunChange::Refused, error, error == ERROR_ACCESS_DENIED}; }

class Win32RunValue final : public RunValue {
public:
    bool Registered(std::string_view name) override {
        return !Tray_function::GetRegString(HKEY_LOCAL_MACHINE, kRunKey, std::string(name)).empty();
    }
    RunChange Register(std::string_view name) override {
        const std::string path = AutostartCommand();
        if (path.empty()) return {RunChange::NoProgramFile};
        const LONG result = Tray_function::SetRegString(HKEY_LOCAL_MACHINE, kRunKey, std::string(name), path);
        return result == ERROR_SUCCESS ? RunChange{} : Refused(result);
    }
    RunChange Unregister(std::string_view name) override {
        const LONG result = Tray_function::DeleteRegValue(HKEY_LOCAL_MACHINE, kRunKey, std::string(name));
        // A value (or key) that is already gone is what was asked for.
        if (result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND) return {};
        return Refused(result);
    }
    std::string Where() const override { return std::string("HKEY_LOCAL_MACHINE\\") + kRunKey; }
};

}  // namespace

std::unique_ptr<RunValue> CreateRunValue() { return std::make_unique<Win32RunValue>(); }

}  // namespace vt::win32
