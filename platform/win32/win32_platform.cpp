// The real platform: message loop, message boxes, resources, the settings
// store under HKEY_CURRENT_USER\Software\<app>\<section>, the clock, the
// random generator, monitors, the single-instance test and the error report.
#include "platform/win32/win32_platform.h"

#include <windows.h>

#include <array>
#include <string>
#include <utility>

#include "platform/convert.h"
#include "platform/dpi.h"
#include "platform/win32/win32_internal.h"
#include "platform/win32/win32_process_snapshot.h"
#include "platform/win32/win32_tray.h"

namespace vt {

namespace win32 {
namespace {

std::wstring SettingsKey(std::string_view app, std::string_view section) {
    return L"Software\\" + Widen(app) + L"\\" + Widen(section);
}

}  // namespace

std::wstring Widen(std::string_view text) {
    if (text.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string Narrow(std::wstring_view text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

COLORREF ToColorRef(Color color) {
    if (color & 0x80000000u) return GetSysColor(static_cast<int>(color & 0xFF));
    return color & 0x00FFFFFFu;
}

unique_hmodule LoadSystemLibrary(const wchar_t* name) {
    unique_hmodule library(LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    if (library || GetLastError() != ERROR_INVALID_PARAMETER) return library;
    // A system without the search flags: the library by its full path.
    wchar_t folder[MAX_PATH];
    const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    return unique_hmodule(LoadLibraryW((std::wstring(folder, n) + L"\\" + name).c_str()));
}

WideText::WideText(std::string_view utf8) {
    const int length = static_cast<int>(utf8.size());
    int n = utf8.empty() ? 0 : MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, small_.data(),
                                                   static_cast<int>(small_.size()) - 1);
    if (n == 0 && !utf8.empty()) {
        large_ = Widen(utf8);
        text_ = large_.c_str();
        return;
    }
    small_[static_cast<size_t>(n)] = L'\0';
    text_ = small_.data();
}

// Once: a second fault while the box shows ends the program at once. The
// timers stop first, so that a fault that persists does not raise again at
// every tick, each report inside the last.
void ReportUntrapped(std::string_view what, int number) noexcept {
    static bool reporting = false;
    // No dead icon stays behind in the notification area.
    Win32TrayHost::DeleteAllIcons();
    if (std::exchange(reporting, true)) ExitProcess(1);
    Win32Form::StopAllTimers();
    std::array<char, 512> text;
    const std::string_view report = UntrappedErrorText(number, what, text);
    MessageBoxW(nullptr, WideText(report).c_str(), L"Veltrane", MB_OK | MB_ICONERROR | MB_TASKMODAL);
    ExitProcess(1);
}

Win32Platform::Win32Platform() {
    wchar_t separator[8] = L".";
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) > 0 && separator[0] < 128) {
        SetDecimalSeparator(static_cast<char>(separator[0]));
    }
    // The end of an earlier run on this thread (its last form unloaded) is
    // not this run's: left in the queue, it would come before every paint
    // and timer.
    MSG stale;
    PeekMessageW(&stale, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

Win32Platform::~Win32Platform() = default;

std::unique_ptr<Form> Win32Platform::CreateForm(const FormDef& def, FormEvents& events) {
    return std::make_unique<Win32Form>(*this, def, events);
}

void Win32Platform::FormUnloaded(const Win32Form* form) {
    if (dpiForm_ == form) dpiForm_ = nullptr;
    if (--loadedForms_ <= 0) PostQuitMessage(0);
}

void Win32Platform::Run() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) Pump(msg);
}

void Win32Platform::DoEvents() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        Pump(msg);
    }
}

int Win32Platform::MsgBox(std::string_view text, unsigned style, std::string_view title) {
    // Owned by whichever of our windows is active, so that it is modal to it;
    // with none active (in the background, or hidden in the tray), by the
    // main window, so the program's windows still wait for the answer.
    HWND owner = GetActiveWindow();
    if (!owner) owner = FindWindowW(L"Veltrane.Form1", nullptr);
    if (owner) {
        DWORD pid = 0;
        GetWindowThreadProcessId(owner, &pid);
        if (pid != GetCurrentProcessId()) owner = nullptr;
    }
    // Converted without allocating: the alarm's box may come when memory is short.
    return MessageBoxW(owner, WideText(text).c_str(), WideText(title).c_str(), style | MB_SETFOREGROUND);
}

void Win32Platform::End() { ExitProcess(0); }

std::unique_ptr<TrayHost> Win32Platform::CreateTrayHost(Form& window, TrayEvents& events) {
    return std::make_unique<Win32TrayHost>(*this, static_cast<Win32Form&>(window), events);
}

bool Win32Platform::PrevInstance() {
    // A named mutex per user session: the first copy owns it for its whole run.
    instanceMutex_.reset(CreateMutexW(nullptr, FALSE, L"Local\\Veltrane.Instance"));
    return GetLastError() == ERROR_ALREADY_EXISTS;
}

std::span<const uint8_t> Win32Platform::CustomResource(int id) {
    HRSRC info = FindResourceW(nullptr, MAKEINTRESOURCEW(id), L"CUSTOM");
    if (!info) return {};
    HGLOBAL data = LoadResource(nullptr, info);
    if (!data) return {};
    return {static_cast<const uint8_t*>(LockResource(data)), SizeofResource(nullptr, info)};
}

// Loaded at exactly the size asked for: the shell shows the notification
// icon at the small-icon size of its display, and a picture made for that
// size is sharp where a scaled 32 x 32 one blurs.
HICON Win32Platform::IconAt(int id, int size) {
    auto it = icons_.find({id, size});
    if (it == icons_.end()) {
        unique_hicon icon(static_cast<HICON>(
            LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
        if (!icon) return nullptr;
        it = icons_.emplace(std::make_pair(id, size), std::move(icon)).first;
    }
    return it->second.get();
}

std::string Win32Platform::GetSetting(std::string_view app, std::string_view section, std::string_view key,
                                      std::string_view fallback) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, SettingsKey(app, section).c_str(), 0, KEY_QUERY_VALUE, &opened) !=
        ERROR_SUCCESS) {
        return std::string(fallback);
    }
    const unique_hkey sectionKey(opened);
    HKEY hkey = sectionKey.get();
    const std::wstring name = Widen(key);
    DWORD type = 0, size = 0;
    std::string result(fallback);
    if (RegQueryValueExW(hkey, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        // A value of another type than text reads as empty text, which no
        // reader converts: the start-up then reports it instead of guessing.
        result.clear();
        if (type == REG_SZ || type == REG_EXPAND_SZ) {
            std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
            DWORD bytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
            if (RegQueryValueExW(hkey, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                                 &bytes) == ERROR_SUCCESS) {
                data.resize(bytes / sizeof(wchar_t));
                const size_t nul = data.find(L'\0');
                if (nul != std::wstring::npos) data.resize(nul);
                result = Narrow(data);
            }
        }
    }
    return result;
}

void Win32Platform::SaveSetting(std::string_view app, std::string_view section, std::string_view key,
                                std::string_view value) {
    HKEY created = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, SettingsKey(app, section).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, &created, nullptr) != ERROR_SUCCESS) {
        return;
    }
    const unique_hkey hkey(created);
    const std::wstring data = Widen(value);
    RegSetValueExW(hkey.get(), Widen(key).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

void Win32Platform::DeleteSetting(std::string_view app, std::string_view section, std::string_view key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, SettingsKey(app, section).c_str(), 0, KEY_SET_VALUE, &opened) !=
        ERROR_SUCCESS) {
        return;
    }
    const unique_hkey sectionKey(opened);
    RegDeleteValueW(sectionKey.get(), Widen(key).c_str());
}

int Win32Platform::Hour() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return now.wHour;
}

ClockTime Win32Platform::Now() {
    FILETIME utc;
    GetSystemTimeAsFileTime(&utc);
    const uint64_t ticks = (static_cast<uint64_t>(utc.dwHighDateTime) << 32) | utc.dwLowDateTime;
    constexpr uint64_t kTicksPerSecond = 10'000'000, kFrom1601To1970 = 11'644'473'600;
    SYSTEMTIME local;
    GetLocalTime(&local);
    return {static_cast<int64_t>(ticks / kTicksPerSecond - kFrom1601To1970), local.wHour, local.wMinute};
}

// Presenting, a program full screen (Direct3D or not), quiet hours: the
// states in which the shell itself holds its notifications back.
bool Win32Platform::UserWantsQuiet() {
    using QueryState = HRESULT(WINAPI*)(int*);
    static const auto query =
        ProcAddress<QueryState>(GetModuleHandleW(L"shell32.dll"), "SHQueryUserNotificationState");
    int state = 0;
    if (!query || FAILED(query(&state))) return false;
    constexpr int kBusy = 2, kFullScreen = 3, kPresenting = 4, kQuietTime = 6;
    return state == kBusy || state == kFullScreen || state == kPresenting || state == kQuietTime;
}

void Win32Platform::Randomize() {
    // Reseeded from the timer: milliseconds since midnight, as the clock has them.
    SYSTEMTIME now;
    GetLocalTime(&now);
    randomState_ = ((now.wHour * 60u + now.wMinute) * 60u + now.wSecond) * 1000u + now.wMilliseconds;
    randomState_ ^= 0x9E3779B97F4A7C15ull;
}

double Win32Platform::Rnd() {
    // splitmix64: small, good enough for picking a click sound.
    uint64_t z = (randomState_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) / 9007199254740992.0;
}

bool Win32Platform::RectOnAnyMonitor(Rect r) {
    const RECT rect{r.left, r.top, r.left + r.width, r.top + r.height};
    return MonitorFromRect(&rect, MONITOR_DEFAULTTONULL) != nullptr;
}

Rect Win32Platform::PrimaryWorkArea() {
    RECT work{0, 0, 0, 0};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return {work.left, work.top, work.right - work.left, work.bottom - work.top};
}


}  // namespace win32

void UseSystemLibrariesOnly() {
    // Looked up: Windows 7 has the call only with an update installed.
    using SetDirectories = BOOL(WINAPI*)(DWORD);
    const auto set = win32::ProcAddress<SetDirectories>(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
    if (set) set(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

std::unique_ptr<Platform> CreateWin32Platform() { return std::make_unique<win32::Win32Platform>(); }

}  // namespace vt
