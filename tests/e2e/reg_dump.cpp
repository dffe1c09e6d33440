// Prints every key and value under HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE,
// one line each, sorted, read live through the registry calls (the files
// wineserver keeps are written lazily and so cannot be compared).
//   K <path>                       a key
//   V <path> | <name> = <type>:<data as hex>
// A key that cannot be opened for reading is listed with "(unreadable)".
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Narrow(const std::wstring& w) {
    if (w.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::string Hex(const BYTE* data, DWORD size) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(size * 2);
    for (DWORD i = 0; i < size; ++i) {
        out += digits[data[i] >> 4];
        out += digits[data[i] & 15];
    }
    return out;
}

void Walk(HKEY parent, const std::wstring& sub, const std::string& path, std::vector<std::string>& lines) {
    HKEY key;
    if (RegOpenKeyExW(parent, sub.empty() ? nullptr : sub.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        lines.push_back("K " + path + " (unreadable)");
        return;
    }
    lines.push_back("K " + path);
    DWORD subKeys = 0, maxSub = 0, values = 0, maxName = 0, maxData = 0;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, &maxSub, nullptr, &values, &maxName, &maxData, nullptr,
                     nullptr);
    std::vector<wchar_t> name(std::max(maxName, maxSub) + 2);
    std::vector<BYTE> data(maxData + 2);
    for (DWORD i = 0;; ++i) {
        DWORD nameLen = static_cast<DWORD>(name.size()), type = 0, size = static_cast<DWORD>(data.size());
        const LONG r = RegEnumValueW(key, i, name.data(), &nameLen, nullptr, &type, data.data(), &size);
        if (r == ERROR_MORE_DATA) {
            // Grown since the count was taken: ask again with room for it.
            name.resize(name.size() * 2 + 256);
            data.resize(data.size() * 2 + 4096);
            --i;
            continue;
        }
        if (r != ERROR_SUCCESS) break;
        lines.push_back("V " + path + " | " + Narrow(std::wstring(name.data(), nameLen)) + " = " +
                        std::to_string(type) + ":" + Hex(data.data(), size));
    }
    std::vector<std::wstring> children;
    for (DWORD i = 0;; ++i) {
        DWORD nameLen = static_cast<DWORD>(name.size());
        const LONG r = RegEnumKeyExW(key, i, name.data(), &nameLen, nullptr, nullptr, nullptr, nullptr);
        if (r == ERROR_MORE_DATA) {
            name.resize(name.size() * 2 + 256);
            --i;
            continue;
        }
        if (r != ERROR_SUCCESS) break;
        children.emplace_back(name.data(), nameLen);
    }
    for (const std::wstring& child : children) Walk(key, child, path + "\\" + Narrow(child), lines);
    RegCloseKey(key);
}

}  // namespace

int main() {
    std::vector<std::string> lines;
    Walk(HKEY_CURRENT_USER, L"", "HKEY_CURRENT_USER", lines);
    Walk(HKEY_LOCAL_MACHINE, L"", "HKEY_LOCAL_MACHINE", lines);
    std::sort(lines.begin(), lines.end());
    for (const std::string& line : lines) {
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fputc('\n', stdout);
    }
    return 0;
}
