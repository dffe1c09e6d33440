// The registry routines of the autostart value, the short-path routine, and
// the menu item that toggles the value.
#include "autostart/autostart.h"

#include <algorithm>
#include <vector>

#include "platform/api_handle.h"

namespace vt {

using namespace win32c;

namespace Tray_function {

std::string GetRegString(Win32Api& api, int32_t hKey, const std::string& subKey, const std::string& valueName) {
    UniqueRegKey key(api);
    if (api.RegOpenKeyA(hKey, subKey.c_str(), key.out()) != kErrorSuccess) return {};
    uint32_t type = 0, size = 0;
    if (api.RegQueryValueExA(key.get(), valueName.c_str(), type, nullptr, size) != kErrorSuccess || type != kRegSz) {
        return {};
    }
    std::string buffer(size, ' ');
    if (api.RegQueryValueExA(key.get(), valueName.c_str(), type, reinterpret_cast<uint8_t*>(buffer.data()), size) !=
        kErrorSuccess) {
        return {};
    }
    buffer.resize(std::min<size_t>(size, buffer.size()));
    // A value stored without its terminating NUL reads back whole.
    return buffer.substr(0, buffer.find('\0'));
}

long SetRegString(Win32Api& api, int32_t hKey, const std::string& subKey, const std::string& valueName,
                  const std::string& data) {
    UniqueRegKey key(api);
    const long created = api.RegCreateKeyA(hKey, subKey.c_str(), key.out());
    if (created != kErrorSuccess) return created;
    // The terminating NUL is not counted; readers cope with either form.
    return api.RegSetValueExA(key.get(), valueName.c_str(), kRegSz, reinterpret_cast<const uint8_t*>(data.data()),
                              static_cast<uint32_t>(data.size()));
}

long DeleteRegValue(Win32Api& api, int32_t hKey, const std::string& subKey, const std::string& valueName) {
    UniqueRegKey key(api);
    const long opened = api.RegOpenKeyA(hKey, subKey.c_str(), key.out());
    if (opened != kErrorSuccess) return opened;
    return api.RegDeleteValueA(key.get(), valueName.c_str());
}

}  // namespace Tray_function

namespace modSND {

std::string GetShortName(Win32Api& api, const std::string& path) {
    std::string buffer(165, '\0');
    uint32_t n = api.GetShortPathNameA(path.c_str(), buffer.data(), 164);
    if (n > 164) {
        // Too long for the usual buffer: the call said how much it needs.
        buffer.assign(n + 1, '\0');
        n = api.GetShortPathNameA(path.c_str(), buffer.data(), n);
        if (n >= buffer.size()) return {};
    }
    return buffer.substr(0, n);
}

}  // namespace modSND

std::string AutostartCommand(Win32Api& api) {
    std::vector<char> name(260);
    uint32_t n = 0;
    while ((n = api.GetModuleFileNameA(name.data(), static_cast<uint32_t>(name.size()))) >= name.size() - 1 &&
           name.size() < 32768) {
        name.resize(name.size() * 2);  // cut at the buffer: try a larger one
    }
    if (n == 0 || n >= name.size() - 1) return {};
    const std::string module(name.data(), n);
    std::string path = modSND::GetShortName(api, module);
    // A name the ANSI code page cannot spell comes back with '?' in it; only
    // its short form (which is ASCII) could be registered.
    if (path.empty() && module.find('?') != std::string::npos) return {};
    if (path.empty()) path = module;
    if (path.find(' ') != std::string::npos) path = '"' + path + '"';
    return path;
}

namespace {

std::string Reason(long error) {
    if (error == kErrorAccessDenied) {
        return "access was denied. Administrator rights are needed to change the programs that start with "
               "Windows.";
    }
    return "Windows error " + std::to_string(error) + ".";
}

}  // namespace

void Autostart::ReadState() {
    if (!Tray_function::GetRegString(platform_.Api(), kHkeyLocalMachine, kRunKey, platform_.AppTitle()).empty()) {
        form_.SetCaption(menuItem_, "Remove Autostart");
        blnAutostart = true;
    } else {
        form_.SetCaption(menuItem_, "Make Autostart");
        blnAutostart = false;
    }
}

void Autostart::Toggle() {
    Win32Api& api = platform_.Api();
    const std::string name = platform_.AppTitle();
    const std::string where = std::string("HKEY_LOCAL_MACHINE\\") + kRunKey;
    std::string message;
    if (blnAutostart) {
        const long result = Tray_function::DeleteRegValue(api, kHkeyLocalMachine, kRunKey, name);
        // A value (or key) that is already gone is what was asked for.
        if (result != kErrorSuccess && result != kErrorFileNotFound) {
            platform_.MsgBox("Autostart could not be removed: the value \"" + name + "\" under " + where +
                                 " could not be deleted, because " + Reason(result),
                             kOkOnly | kExclamation, platform_.AppTitle());
            return;
        }
        form_.SetCaption(menuItem_, "Make Autostart");
        blnAutostart = false;
        message = "Autostart removed!";
    } else {
        const std::string path = AutostartCommand(api);
        if (path.empty()) {
            platform_.MsgBox("Autostart could not be fixed: the program's own file name could not be read, or its "
                             "folder's name cannot be written in the system's code page.",
                             kOkOnly | kExclamation, platform_.AppTitle());
            return;
        }
        const long result = Tray_function::SetRegString(api, kHkeyLocalMachine, kRunKey, name, path);
        if (result != kErrorSuccess) {
            platform_.MsgBox("Autostart could not be fixed: the value \"" + name + "\" under " + where +
                                 " could not be written, because " + Reason(result),
                             kOkOnly | kExclamation, platform_.AppTitle());
            return;
        }
        form_.SetCaption(menuItem_, "Remove Autostart");
        blnAutostart = true;
        message = "Autostart fixed!";
    }
    platform_.MsgBox(message, kOkOnly, platform_.AppTitle());
}

}  // namespace vt
