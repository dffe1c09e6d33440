// The Run value under the current user's Run key, through the wide registry
// calls: the program's full path in quotes. Per user, because only an
// elevated program may write the machine-wide key, and a value there starts
// whatever file lies at its path for every user who signs in. A value an
// earlier version left under the machine-wide key still counts, and goes
// when autostart is turned off, where the rights allow.
#include "platform/win32/win32_run_value.h"

#include <vector>

#include "platform/run_command.h"
#include "platform/win32/win32_internal.h"

namespace vt::win32 {

namespace Tray_function {

std::wstring GetRegString(HKEY hKey, const std::wstring& subKey, const std::wstring& valueName) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(hKey, subKey.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return {};
    const unique_hkey key(opened);
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return {};
    }
    std::wstring buffer(size / sizeof(wchar_t) + 1, L'\0');
    DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                         &bytes) != ERROR_SUCCESS) {
        return {};
    }
    buffer.resize(bytes / sizeof(wchar_t));
    // A value stored without its terminating NUL reads back whole.
    return buffer.substr(0, buffer.find(L'\0'));
}

LONG SetRegString(HKEY hKey, const std::wstring& subKey, const std::wstring& valueName, const std::wstring& data) {
    HKEY created = nullptr;
    const LONG result =
        RegCreateKeyExW(hKey, subKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &created, nullptr);
    if (result != ERROR_SUCCESS) return result;
    const unique_hkey key(created);
    return RegSetValueExW(key.get(), valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

LONG DeleteRegValue(HKEY hKey, const std::wstring& subKey, const std::wstring& valueName) {
    HKEY opened = nullptr;
    const LONG result = RegOpenKeyExW(hKey, subKey.c_str(), 0, KEY_SET_VALUE, &opened);
    if (result != ERROR_SUCCESS) return result;
    const unique_hkey key(opened);
    return RegDeleteValueW(key.get(), valueName.c_str());
}

}  // namespace Tray_function

std::wstring ModulePath() {
    std::vector<wchar_t> name(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (n == 0) return {};
        if (n < name.size()) return {name.data(), n};
        if (name.size() >= 32768) return {};
        name.resize(name.size() * 2);  // cut at the buffer: try a larger one
    }
}

namespace {

RunChange Refused(LONG error) { return {RunChange::Refused, error, error == ERROR_ACCESS_DENIED}; }

bool Gone(LONG result) { return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND; }

// The user switched the entry off in the system's list of startup programs:
// a binary value whose first byte is odd.
bool SwitchedOff(const std::wstring& name) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kStartupApprovedKey, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) {
        return false;
    }
    const unique_hkey key(opened);
    BYTE data[16] = {};
    DWORD type = 0, size = sizeof data;
    const LONG result = RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, data, &size);
    return (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) && type == REG_BINARY && size > 0 &&
           (data[0] & 1) != 0;
}

class Win32RunValue final : public RunValue {
public:
    explicit Win32RunValue(std::wstring programPath) : programPath_(std::move(programPath)) {}

    bool Registered(std::string_view name) override {
        const std::wstring value = Widen(name);
        if (SwitchedOff(value)) return false;
        const std::wstring mine = Tray_function::GetRegString(HKEY_CURRENT_USER, kRunKey, value);
        const std::wstring program = Program();
        if (!mine.empty() && !program.empty() &&
            NamesProgram(Narrow(mine), Narrow(program), [](std::string_view a, std::string_view b) {
                const std::wstring wa = Widen(a), wb = Widen(b);
                return CompareStringOrdinal(wa.c_str(), static_cast<int>(wa.size()), wb.c_str(),
                                            static_cast<int>(wb.size()), TRUE) == CSTR_EQUAL;
            })) {
            return true;
        }
        return !Tray_function::GetRegString(HKEY_LOCAL_MACHINE, kRunKey, value).empty();
    }

    RunChange Register(std::string_view name) override {
        const std::wstring program = Program();
        if (program.empty()) return {RunChange::NoProgramFile};
        const std::wstring value = Widen(name);
        const LONG result =
            Tray_function::SetRegString(HKEY_CURRENT_USER, kRunKey, value, Widen(RunCommandFor(Narrow(program))));
        if (result != ERROR_SUCCESS) return Refused(result);
        // Switched on again: the list of startup programs forgets that the
        // user had switched it off.
        Tray_function::DeleteRegValue(HKEY_CURRENT_USER, kStartupApprovedKey, value);
        return {};
    }

    RunChange Unregister(std::string_view name) override {
        const std::wstring value = Widen(name);
        const LONG result = Tray_function::DeleteRegValue(HKEY_CURRENT_USER, kRunKey, value);
        if (!Gone(result)) return Refused(result);
        // An earlier version's machine-wide value, where the rights allow;
        // where they do not, it stays, and nothing is said.
        Tray_function::DeleteRegValue(HKEY_LOCAL_MACHINE, kRunKey, value);
        Tray_function::DeleteRegValue(HKEY_CURRENT_USER, kStartupApprovedKey, value);
        return {};
    }

    std::string Where() const override { return "HKEY_CURRENT_USER\\" + Narrow(kRunKey); }

private:
    std::wstring Program() const { return programPath_.empty() ? ModulePath() : programPath_; }

    std::wstring programPath_;
};

}  // namespace

std::unique_ptr<RunValue> CreateRunValue(std::wstring programPath) {
    return std::make_unique<Win32RunValue>(std::move(programPath));
}

}  // namespace vt::win32
