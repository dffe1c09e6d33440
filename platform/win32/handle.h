// One move-only owner for every kind of OS handle, with a live count per kind
// so that leak tests can see what the program holds (GetGuiResources answers 0
// under Wine). Each kind is a typedef over its close function.
#pragma once

#include <windows.h>

#include <atomic>
#include <utility>

namespace vt::win32 {

enum class HandleKind { Icon, Region, Brush, Pen, Bitmap, Dc, Font, Menu, Kernel, Module, Key, Count };

inline std::atomic<int> g_liveHandles[static_cast<int>(HandleKind::Count)];

inline int LiveHandles(HandleKind kind) { return g_liveHandles[static_cast<int>(kind)].load(); }

template <typename H, auto Close, HandleKind Kind>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(H handle) : handle_(handle) {
        if (handle_) ++g_liveHandles[static_cast<int>(Kind)];
    }
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, H{})) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    H get() const { return handle_; }
    explicit operator bool() const { return handle_ != H{}; }

    void reset(H handle = H{}) {
        if (handle_ == handle) return;
        if (handle_) {
            Close(handle_);
            --g_liveHandles[static_cast<int>(Kind)];
        }
        handle_ = handle;
        if (handle_) ++g_liveHandles[static_cast<int>(Kind)];
    }
    // Hands the handle over to someone who closes it (SetWindowRgn, for one).
    H release() {
        if (handle_) --g_liveHandles[static_cast<int>(Kind)];
        return std::exchange(handle_, H{});
    }

private:
    H handle_{};
};

inline void CloseGdi(HGDIOBJ h) { DeleteObject(h); }
inline void CloseIcon(HICON h) { DestroyIcon(h); }
inline void CloseDc(HDC h) { DeleteDC(h); }
inline void CloseMenu(HMENU h) { DestroyMenu(h); }
inline void CloseKernel(HANDLE h) { CloseHandle(h); }
inline void CloseModule(HMODULE h) { FreeLibrary(h); }
inline void CloseKey(HKEY h) { RegCloseKey(h); }

using unique_hbrush = UniqueHandle<HBRUSH, CloseGdi, HandleKind::Brush>;
using unique_hpen = UniqueHandle<HPEN, CloseGdi, HandleKind::Pen>;
using unique_hbitmap = UniqueHandle<HBITMAP, CloseGdi, HandleKind::Bitmap>;
using unique_hfont = UniqueHandle<HFONT, CloseGdi, HandleKind::Font>;
using unique_hrgn = UniqueHandle<HRGN, CloseGdi, HandleKind::Region>;
using unique_hicon = UniqueHandle<HICON, CloseIcon, HandleKind::Icon>;
using unique_hdc = UniqueHandle<HDC, CloseDc, HandleKind::Dc>;
using unique_hmenu = UniqueHandle<HMENU, CloseMenu, HandleKind::Menu>;
using unique_handle = UniqueHandle<HANDLE, CloseKernel, HandleKind::Kernel>;
using unique_hmodule = UniqueHandle<HMODULE, CloseModule, HandleKind::Module>;
using unique_hkey = UniqueHandle<HKEY, CloseKey, HandleKind::Key>;

// Selects an object into a DC for one scope and puts the old one back.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~ScopedSelect() { SelectObject(dc_, old_); }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// Wide <-> UTF-8 for every text that crosses into Win32.
std::wstring Widen(std::string_view text);
std::string Narrow(std::wstring_view text);

}  // namespace vt::win32
