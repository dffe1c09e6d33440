// The named Win32 calls behind the facade. Regions created here are counted
// with the program's other handles, so leak tests can see them; so are the
// process handles of the process table, which never outlive its call.
#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string_view>

#include "platform/win32/handle.h"
#include "platform/win32/win32_internal.h"
#include "platform/win32_api.h"

namespace vt {
namespace {

HWND H(uintptr_t hwnd) { return reinterpret_cast<HWND>(hwnd); }


// The portable procedures the program installs (the main window's hook),
// each with its context, by the window they serve, behind a procedure with
// the system's calling convention.
struct Hook {
    WndProc proc;
    void* context;
};
std::map<HWND, Hook> g_hooks;

LRESULT CALLBACK HookTrampoline(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    const auto it = g_hooks.find(hwnd);
    if (it == g_hooks.end()) return DefWindowProcW(hwnd, msg, wp, lp);
    const Hook hook = it->second;
    // No exception may unwind through the system's frames: an error the hook
    // does not trap gets the untrapped-error report here, as in any handler.
    LRESULT result = 0;
    win32::Guard([&] { result = hook.proc(hook.context, reinterpret_cast<uintptr_t>(hwnd), msg, wp, lp); });
    return result;
}

// Up to N - 1 UTF-16 units of the text and its NUL; a character is never
// split.
template <size_t N>
void CopyWide(wchar_t (&field)[N], std::string_view utf8) {
    std::wstring wide = win32::Widen(utf8);
    size_t n = std::min(wide.size(), N - 1);
    if (n > 0 && n < wide.size() && IS_HIGH_SURROGATE(wide[n - 1])) --n;
    std::copy_n(wide.data(), n, field);
    field[n] = L'\0';
}

// The record Shell_NotifyIconGetRect takes (Windows 7 on), laid out here
// because the call is looked up at run time.
struct IconIdentifier {
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    GUID guidItem;
};
using GetRectProc = HRESULT(WINAPI*)(const IconIdentifier*, RECT*);

GetRectProc FindGetRect() {
    const HMODULE shell = ::GetModuleHandleW(L"shell32.dll");
    const FARPROC proc = shell ? ::GetProcAddress(shell, "Shell_NotifyIconGetRect") : nullptr;
    return reinterpret_cast<GetRectProc>(reinterpret_cast<void (*)()>(proc));
}

class RealApi final : public Win32Api {
public:
    bool Shell_NotifyIconA(uint32_t message, const NotifyIconData& data) override {
        // The version-1 layout of this target (88 bytes on 32-bit Windows).
#ifndef _WIN64
        static_assert(NOTIFYICONDATAA_V1_SIZE == 88);
#endif
        NOTIFYICONDATAA nid{};
        nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
        nid.hWnd = H(data.hWnd);
        nid.uID = data.uID;
        nid.uFlags = data.uFlags;
        nid.uCallbackMessage = data.uCallbackMessage;
        nid.hIcon = reinterpret_cast<HICON>(data.hIcon);
        static_assert(sizeof data.szTip == 64);
        std::memcpy(nid.szTip, data.szTip, sizeof data.szTip);
        return ::Shell_NotifyIconA(message, &nid) != FALSE;
    }

    uint32_t RegisterWindowMessageA(const char* name) override { return ::RegisterWindowMessageA(name); }

    bool Shell_NotifyIconW(uint32_t message, const NotifyIconInfo& data) override {
        NOTIFYICONDATAW nid{};
        nid.cbSize = sizeof nid;
        nid.hWnd = H(data.hWnd);
        nid.uID = data.uID;
        nid.uFlags = data.uFlags;
        nid.uVersion = data.uVersion;
        CopyWide(nid.szInfoTitle, data.szInfoTitle);
        CopyWide(nid.szInfo, data.szInfo);
        nid.dwInfoFlags = data.dwInfoFlags;
        return ::Shell_NotifyIconW(message, &nid) != FALSE;
    }

    bool Shell_NotifyIconGetRect(uintptr_t hWnd, uint32_t uID, WinRect& rect) override {
        static const GetRectProc getRect = FindGetRect();
        if (!getRect) return false;
        const IconIdentifier id{sizeof id, H(hWnd), uID, {}};
        RECT r{};
        if (FAILED(getRect(&id, &r))) return false;
        rect = {r.left, r.top, r.right, r.bottom};
        return true;
    }

    intptr_t WndProcAddress(uintptr_t hwnd, WndProc proc, void* context) override {
        g_hooks[H(hwnd)] = Hook{proc, context};
        return reinterpret_cast<intptr_t>(&HookTrampoline);
    }
    intptr_t SetWindowLongPtrA(uintptr_t hwnd, int index, intptr_t value) override {
        return ::SetWindowLongPtrA(H(hwnd), index, value);
    }
    intptr_t CallWindowProcA(intptr_t proc, uintptr_t hwnd, uint32_t msg, uintptr_t wp, intptr_t lp) override {
        return ::CallWindowProcA(reinterpret_cast<WNDPROC>(proc), H(hwnd), msg, wp, lp);
    }

};

}  // namespace

std::unique_ptr<Win32Api> CreateWin32Api() { return std::make_unique<RealApi>(); }

}  // namespace vt
