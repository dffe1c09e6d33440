// What the real backend puts on the screen, read back as pixels: labels
// beneath the buttons they overlap, label texts that can be read on their
// back colour.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/win32/handle.h"
#include "platform/win32/win32_native.h"
#include "platform/win32/win32_platform.h"
#include "ui/form1.h"
#include "ui/options_window.h"

namespace vt {
namespace {

// The pixels of a device context's rectangle, as 0x00BBGGRR.
class Pixels {
public:
    Pixels(HDC from, RECT r) : width_(r.right - r.left), height_(r.bottom - r.top) {
        BITMAPINFO format{};
        format.bmiHeader = {sizeof(BITMAPINFOHEADER), width_, -height_, 1, 32, BI_RGB};
        void* bits = nullptr;
        win32::unique_hbitmap dib(CreateDIBSection(from, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
        win32::unique_hdc dc(CreateCompatibleDC(from));
        {
            win32::ScopedSelect select(dc.get(), dib.get());
            BitBlt(dc.get(), 0, 0, width_, height_, from, r.left, r.top, SRCCOPY);
            GdiFlush();
            const auto* p = static_cast<const uint32_t*>(bits);
            // DIB pixels are 0x00RRGGBB.
            for (int i = 0; i < width_ * height_; ++i) {
                pixels_.push_back(RGB((p[i] >> 16) & 0xFF, (p[i] >> 8) & 0xFF, p[i] & 0xFF));
            }
        }
    }
    COLORREF At(int x, int y) const { return pixels_[static_cast<size_t>(y * width_ + x)]; }
    int Count(RECT r, const std::function<bool(COLORREF)>& pred) const {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) n += pred(At(x, y));
        }
        return n;
    }

private:
    int width_, height_;
    std::vector<COLORREF> pixels_;
};

// The form's client area as the screen shows it, children and all.
Pixels Screen(HWND form) {
    RedrawWindow(form, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    HDC dc = GetDCEx(form, nullptr, DCX_CACHE);
    RECT client;
    GetClientRect(form, &client);
    Pixels shown(dc, client);
    ReleaseDC(form, dc);
    return shown;
}

// A control as it draws itself, with nothing over it.
Pixels Printed(HWND control) {
    RECT own;
    GetClientRect(control, &own);
    HDC screen = GetDC(nullptr);
    win32::unique_hdc dc(CreateCompatibleDC(screen));
    win32::unique_hbitmap bitmap(CreateCompatibleBitmap(screen, own.right, own.bottom));
    ReleaseDC(nullptr, screen);
    win32::ScopedSelect select(dc.get(), bitmap.get());
    SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
    return Pixels(dc.get(), own);
}

// A child's rectangle in its form's client area.
RECT InForm(HWND form, HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void ShowPage(HWND form, int tabId, int page) {
    HWND tab = GetDlgItem(form, tabId);
    SendMessageW(tab, TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
    NMHDR change{tab, static_cast<UINT_PTR>(tabId), static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(form, WM_NOTIFY, static_cast<WPARAM>(tabId), reinterpret_cast<LPARAM>(&change));
}

std::vector<int> ChildOrder(HWND form) {
    std::vector<int> ids;
    for (HWND w = GetWindow(form, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) ids.push_back(GetDlgCtrlID(w));
    return ids;
}

class Win32Drawing : public testing::Test {
protected:
    void TearDown() override {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
};

// The options window's warning page: "Mb" runs under the left third of
// "Set", which shows there as it draws itself; the warning's state, black
// on the caption text's black by the table, shows in white.
TEST_F(Win32Drawing, LabelsLieBeneathButtonsAndShowTheirTextOnTheirBack) {
    namespace o = frm_options;
    auto p = CreateWin32Platform();
    FormEvents events;
    auto form = p->CreateForm(OptionsWindowDef(), events);
    HWND hwnd = win32::HwndOf(*form);
    form->Show();
    ShowPage(hwnd, o::SSTab1, 1);
    p->DoEvents();
    const Pixels shown = Screen(hwnd);

    HWND set = GetDlgItem(hwnd, o::Command4);
    const RECT button = InForm(hwnd, set), label = InForm(hwnd, GetDlgItem(hwnd, o::Label3));
    RECT under;
    ASSERT_TRUE(IntersectRect(&under, &button, &label));
    const Pixels alone = Printed(set);
    int differ = 0;
    for (int y = under.top; y < under.bottom; ++y) {
        for (int x = under.left; x < under.right; ++x) {
            differ += shown.At(x, y) != alone.At(x - button.left, y - button.top);
        }
    }
    EXPECT_EQ(differ, 0) << "of " << (under.right - under.left) * (under.bottom - under.top);
    EXPECT_GT(alone.Count({under.left - button.left, 0, under.right - button.left, button.bottom - button.top},
                          [&](COLORREF c) { return c != GetSysColor(COLOR_BTNFACE); }),
              0);  // the button's edge lies there

    const RECT state = InForm(hwnd, GetDlgItem(hwnd, o::Label7));
    EXPECT_EQ(form->Caption(o::Label7), "Off");
    EXPECT_GT(shown.Count(state, [](COLORREF c) { return c == RGB(255, 255, 255); }), 0);
    EXPECT_GT(shown.Count(state, [](COLORREF c) { return c == GetSysColor(COLOR_CAPTIONTEXT); }), 0);
    form->Unload();
}

// Only labels over a button, text or combo box move: the main window's
// children lie in the order they always did ("Freeware" above the title
// picture, "Check every" already beneath the interval it reaches into).
TEST_F(Win32Drawing, MainWindowKeepsItsChildOrder) {
    using namespace form1;
    auto p = CreateWin32Platform();
    FormEvents events;
    auto form = p->CreateForm(MainWindowDef(), events);
    EXPECT_EQ(ChildOrder(win32::HwndOf(*form)),
              (std::vector<int>{Command5, Command4, Command3, Combo1, Text1, Picture1, Picture2, pictray, Command2,
                                Command1, Label5, Image3, Image2, Image1, Label4, Label2, Label1}));
    form->Unload();
}

}  // namespace
}  // namespace vt
