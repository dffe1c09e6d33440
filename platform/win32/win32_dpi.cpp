// What the window system says about display scaling, asked through user32
// entry points looked up at run time (older systems lack them, and Wine 8
// has them without per-monitor awareness), and the pictures at a DPI: the
// version made for it, or the nearest one stretched with HALFTONE.
#include "platform/win32/win32_internal.h"

#include "platform/dpi.h"

namespace vt::win32 {
namespace {

struct DpiEntryPoints {
    UINT(WINAPI* dpiForWindow)(HWND) = nullptr;
    UINT(WINAPI* dpiForSystem)() = nullptr;
    int(WINAPI* metricsForDpi)(int, UINT) = nullptr;
    BOOL(WINAPI* adjustForDpi)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;
};

template <typename F>
void Find(HMODULE module, const char* name, F& f) {
    f = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

const DpiEntryPoints& Entry() {
    static const DpiEntryPoints entry = [] {
        DpiEntryPoints e;
        HMODULE user32 = GetModuleHandleW(L"user32.dll");
        if (!user32) return e;
        Find(user32, "GetDpiForWindow", e.dpiForWindow);
        Find(user32, "GetDpiForSystem", e.dpiForSystem);
        Find(user32, "GetSystemMetricsForDpi", e.metricsForDpi);
        Find(user32, "AdjustWindowRectExForDpi", e.adjustForDpi);
        return e;
    }();
    return entry;
}

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : dpi::kBaseDpi;
}

// The width and height a bitmap resource has, read from its header without
// loading it.
bool PictureSize(int id, SIZE& size) {
    HRSRC info = FindResourceW(Module(), MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(2) /* RT_BITMAP */);
    if (!info || SizeofResource(Module(), info) < sizeof(BITMAPINFOHEADER)) return false;
    const auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(Module(), info)));
    if (!header) return false;
    if (header->biSize == sizeof(BITMAPCOREHEADER)) {
        const auto* core = reinterpret_cast<const BITMAPCOREHEADER*>(header);
        size = {core->bcWidth, core->bcHeight};
    } else {
        size = {header->biWidth, header->biHeight < 0 ? -header->biHeight : header->biHeight};
    }
    return true;
}

}  // namespace

int SystemDpi() {
    if (Entry().dpiForSystem) {
        const UINT dpi = Entry().dpiForSystem();
        if (dpi > 0) return static_cast<int>(dpi);
    }
    return ScreenDpi();
}

int WindowDpi(HWND hwnd) {
    if (hwnd && Entry().dpiForWindow) {
        const UINT dpi = Entry().dpiForWindow(hwnd);
        if (dpi > 0) return static_cast<int>(dpi);
    }
    return ScreenDpi();
}

int SmallIconSizeAt(int dpi) {
    if (Entry().metricsForDpi) {
        const int size = Entry().metricsForDpi(SM_CXSMICON, static_cast<UINT>(dpi));
        if (size > 0) return size;
    }
    return dpi::SmallIconSize(dpi);
}

void AdjustFrameForDpi(RECT& frame, DWORD style, DWORD exStyle, int dpi) {
    if (Entry().adjustForDpi && Entry().adjustForDpi(&frame, style, FALSE, exStyle, static_cast<UINT>(dpi))) return;
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
}

namespace {

// `picture` (of size `have`) scaled in halftone into a new 24-bit DIB
// section of `want`.
unique_hbitmap Scaled(HBITMAP picture, SIZE have, SIZE want) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), want.cx, -want.cy, 1, 24, BI_RGB};
    void* bits = nullptr;
    unique_hbitmap drawn(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!drawn) return {};
    unique_hdc from(CreateCompatibleDC(nullptr));
    unique_hdc to(CreateCompatibleDC(nullptr));
    ScopedSelect source(from.get(), picture);
    ScopedSelect target(to.get(), drawn.get());
    SetStretchBltMode(to.get(), HALFTONE);
    SetBrushOrgEx(to.get(), 0, 0, nullptr);
    StretchBlt(to.get(), 0, 0, want.cx, want.cy, from.get(), 0, 0, have.cx, have.cy, SRCCOPY);
    return drawn;
}

}  // namespace

unique_hbitmap LoadPicture(int base, int dpi) {
    SIZE have{};
    const int id = dpi::PictureVersion(base, dpi, [&](int candidate) { return PictureSize(candidate, have); });
    if (id == 0 || !PictureSize(id, have)) return {};
    unique_hbitmap loaded(static_cast<HBITMAP>(
        LoadImageW(Module(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!loaded) return {};
    // The size the picture has at this DPI: its 100 % size scaled, or, where
    // only other versions exist, the one found scaled from its own DPI.
    SIZE want{};
    if (!PictureSize(base, want)) {
        const int from = dpi::PictureStepDpi((id - base) / 100);
        want = {MulDiv(have.cx, dpi::kBaseDpi, from), MulDiv(have.cy, dpi::kBaseDpi, from)};
    }
    want = {dpi::Scale(want.cx, dpi), dpi::Scale(want.cy, dpi)};
    if (want.cx == have.cx && want.cy == have.cy) return loaded;

    unique_hbitmap scaled = Scaled(loaded.get(), have, want);
    return scaled ? std::move(scaled) : std::move(loaded);
}

}  // namespace vt::win32
