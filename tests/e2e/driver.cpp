#include "tests/e2e/driver.h"

#include <oleacc.h>

#include <commctrl.h>
#include <shellapi.h>

#include <vector>

namespace e2e {
namespace {

constexpr wchar_t kSettingsKey[] = L"Software\\Veltrane\\Startup";

}  // namespace

// The import library's IID_IAccessible resolves to a thunk, not to the GUID.
constexpr GUID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

std::string AccessibleName(HWND control) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), kIidAccessible,
                                          reinterpret_cast<void**>(&object))) ||
        !object) {
        return "<none>";
    }
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    const HRESULT hr = object->get_accName(self, &name);
    object->Release();
    if (FAILED(hr) || !name) return "<none>";
    const std::string text = Narrow(std::wstring(name, SysStringLen(name)));
    SysFreeString(name);
    return text;
}

std::wstring BesideThisProgram(const wchar_t* file) {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path, n);
    return dir.substr(0, dir.find_last_of(L'\\') + 1) + file;
}

std::string Narrow(const std::wstring& w) {
    if (w.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), out.data(), n, nullptr, nullptr);
    return out;
}

bool StartQuietly(const std::wstring& exe, PROCESS_INFORMATION& info, const std::wstring& switches) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE nul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                             OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW si{sizeof si};
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = si.hStdOutput = si.hStdError = nul;
    std::wstring command = L"\"" + exe + L"\"" + (switches.empty() ? L"" : L" " + switches);
    const bool started =
        CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &info) != FALSE;
    CloseHandle(nul);
    return started;
}

Program::Program() { StartQuietly(BesideThisProgram(L"Veltrane.exe"), info_); }
Program::Program(const std::wstring& exe) { StartQuietly(exe, info_); }

Program::~Program() {
    if (!info_.hProcess) return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

HWND Program::WaitMainWindow(DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    do {
        HWND hwnd = nullptr;
        while ((hwnd = FindWindowExW(nullptr, hwnd, kMainClass, nullptr)) != nullptr) {
            DWORD pid = 0;
            GetWindowThreadProcessId(hwnd, &pid);
            if (pid == info_.dwProcessId && IsWindowVisible(hwnd)) return hwnd;
        }
        if (WaitForSingleObject(info_.hProcess, 20) == WAIT_OBJECT_0) return nullptr;
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

bool Program::WaitExit(DWORD timeoutMs) { return WaitForSingleObject(info_.hProcess, timeoutMs) == WAIT_OBJECT_0; }

std::string Text(HWND hwnd) {
    wchar_t buffer[1024] = L"";
    DWORD_PTR got = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 5000, &got);
    return Narrow(std::wstring(buffer, got));
}

HWND Child(HWND parent, int id) {
    if (HWND direct = GetDlgItem(parent, id)) return direct;
    // Controls inside a container (a picture box) are grandchildren.
    struct Search {
        int id;
        HWND found;
    } search{id, nullptr};
    EnumChildWindows(
        parent,
        [](HWND w, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            if (GetDlgCtrlID(w) == s->id) {
                s->found = w;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string ChildText(HWND parent, int id) { return Text(Child(parent, id)); }

void PostClick(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

HWND WaitMessageBox(DWORD pid, const std::wstring& title, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    do {
        HWND hwnd = nullptr;
        while ((hwnd = FindWindowExW(nullptr, hwnd, L"#32770", title.c_str())) != nullptr) {
            DWORD owner = 0;
            GetWindowThreadProcessId(hwnd, &owner);
            if (owner == pid) return hwnd;
        }
        Sleep(20);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

std::string MessageBoxText(HWND box) { return Text(GetDlgItem(box, 0xFFFF)); }

void AnswerMessageBox(HWND box, int buttonId) {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, buttonId)));
}

UINT TrayId(HWND main) {
    return static_cast<UINT>(static_cast<uintptr_t>(GetWindowLongPtrW(main, GWLP_HINSTANCE)));
}

bool TrayIconExists(HWND main, UINT id) {
    NOTIFYICONDATAW nid{};
    nid.cbSize = NOTIFYICONDATAW_V1_SIZE;
    nid.hWnd = main;
    nid.uID = id;
    return Shell_NotifyIconW(NIM_MODIFY, &nid) != FALSE;
}

std::wstring RunValue() {
    wchar_t data[512];
    DWORD size = sizeof data;
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", L"Veltrane",
                     RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS) {
        return L"<absent>";
    }
    return data;
}

void ClearSettings() { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Veltrane"); }

void SetSetting(const std::wstring& name, const std::wstring& value) {
    HKEY key;
    RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

std::wstring GetSetting(const std::wstring& name) {
    wchar_t data[256];
    DWORD size = sizeof data;
    if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name.c_str(), RRF_RT_REG_SZ, nullptr, data, &size) !=
        ERROR_SUCCESS) {
        return L"<absent>";
    }
    return data;
}

}  // namespace e2e

#include <tlhelp32.h>

namespace e2e {
namespace {

struct PopupSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindPopup(HWND hwnd, LPARAM param) {
    auto* s = reinterpret_cast<PopupSearch*>(param);
    wchar_t name[32] = L"";
    GetClassNameW(hwnd, name, 32);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == s->pid && IsWindowVisible(hwnd) && std::wstring(name) == L"#32768") {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND WaitPopup(DWORD pid, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    do {
        PopupSearch s{pid, nullptr};
        EnumWindows(FindPopup, reinterpret_cast<LPARAM>(&s));
        if (s.found) return s.found;
        Sleep(20);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

uintptr_t RemoteModuleBase(DWORD pid, const wchar_t* name) {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
    if (snap == INVALID_HANDLE_VALUE) return 0;
    MODULEENTRY32W entry{sizeof entry};
    uintptr_t base = 0;
    for (BOOL more = Module32FirstW(snap, &entry); more; more = Module32NextW(snap, &entry)) {
        if (_wcsicmp(entry.szModule, name) == 0) base = reinterpret_cast<uintptr_t>(entry.modBaseAddr);
    }
    CloseHandle(snap);
    return base;
}

bool RunRemote(HANDLE process, LPTHREAD_START_ROUTINE start, void* param) {
    HANDLE thread = CreateRemoteThread(process, nullptr, 0, start, param, 0, nullptr);
    if (!thread) return false;
    const bool done = WaitForSingleObject(thread, 10000) == WAIT_OBJECT_0;
    CloseHandle(thread);
    return done;
}

}  // namespace

std::vector<MenuItem> ReadPopupMenu(DWORD pid, HWND target, UINT mouseMessage) {
    PostMessageW(target, mouseMessage, 0, MAKELPARAM(2, 2));
    HWND popup = WaitPopup(pid, 5000);
    if (!popup) return {};
    const auto menu = reinterpret_cast<void*>(SendMessageW(popup, MN_GETHMENU, 0, 0));

    HANDLE map = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 8192, L"Local\\Veltrane.MenuProbe");
    auto* view = static_cast<wchar_t*>(MapViewOfFile(map, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    view[0] = L'\0';

    const std::wstring dll = BesideThisProgram(L"menu_probe.dll");
    HMODULE local = LoadLibraryW(dll.c_str());
    const auto offset = reinterpret_cast<uintptr_t>(GetProcAddress(local, "DumpMenu")) - reinterpret_cast<uintptr_t>(local);
    HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, pid);
    const size_t bytes = (dll.size() + 1) * sizeof(wchar_t);
    void* remotePath = VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT, PAGE_READWRITE);
    WriteProcessMemory(process, remotePath, dll.c_str(), bytes, nullptr);
    // kernel32 sits at the same address in every process.
    auto loadLibrary = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW")));
    std::vector<MenuItem> items;
    if (RunRemote(process, loadLibrary, remotePath)) {
        const uintptr_t base = RemoteModuleBase(pid, L"menu_probe.dll");
        if (base && RunRemote(process, reinterpret_cast<LPTHREAD_START_ROUTINE>(base + offset), menu)) {
            std::wstring text(view);
            size_t at = 0;
            while (at < text.size()) {
                const size_t tab = text.find(L'\t', at), end = text.find(L'\n', at);
                if (tab == std::wstring::npos || end == std::wstring::npos) break;
                items.push_back({Narrow(text.substr(at, tab - at)), text[tab + 1] == L'1'});
                at = end + 1;
            }
        }
    }
    VirtualFreeEx(process, remotePath, 0, MEM_RELEASE);
    CloseHandle(process);
    FreeLibrary(local);
    UnmapViewOfFile(view);
    CloseHandle(map);

    // Close the menu as a user would, with Escape, and wait until it is gone.
    PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
    const DWORD start = GetTickCount();
    while (IsWindowVisible(popup) && GetTickCount() - start < 5000) Sleep(20);
    return items;
}

std::string CaptionOf(const std::vector<MenuItem>& items, size_t index) {
    return index < items.size() ? items[index].caption : "<none>";
}

namespace {

BOOL CALLBACK FindBalloon(HWND w, LPARAM found) {
    wchar_t name[64] = L"";
    GetClassNameW(w, name, 64);
    if (!IsWindowVisible(w) || std::wstring_view(name) != L"tooltips_class32") return TRUE;
    *reinterpret_cast<HWND*>(found) = w;
    return FALSE;
}

}  // namespace

std::string BalloonText() {
    HWND tip = nullptr;
    EnumWindows(FindBalloon, reinterpret_cast<LPARAM>(&tip));
    if (!tip) return {};
    DWORD pid = 0;
    GetWindowThreadProcessId(tip, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) return {};
    // The tool's record and its text live in the shell's own memory.
    constexpr SIZE_T kTextAt = 1024, kChars = 1024;
    auto* remote = static_cast<char*>(VirtualAllocEx(process, nullptr, kTextAt + kChars * sizeof(wchar_t),
                                                     MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    std::wstring text(kChars, L'\0');
    TTTOOLINFOW tool{sizeof tool};
    WriteProcessMemory(process, remote, &tool, sizeof tool, nullptr);
    if (remote && SendMessageW(tip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(remote))) {
        ReadProcessMemory(process, remote, &tool, sizeof tool, nullptr);
        tool.lpszText = reinterpret_cast<wchar_t*>(remote + kTextAt);
        WriteProcessMemory(process, remote, &tool, sizeof tool, nullptr);
        SendMessageW(tip, TTM_GETTEXTW, kChars - 1, reinterpret_cast<LPARAM>(remote));
        ReadProcessMemory(process, remote + kTextAt, text.data(), (kChars - 1) * sizeof(wchar_t), nullptr);
    }
    if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    text.resize(text.find(L'\0'));
    return Narrow(text);
}

}  // namespace e2e
