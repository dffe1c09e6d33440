// What the real backend puts on the screen, read back as pixels: labels
// beneath the buttons they overlap, label texts that can be read on their
// back colour, and graphs.
#include <windows.h>

#include <commctrl.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "platform/dpi.h"
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

// The bar's caption follows the bar's end: when the bar shrinks and the
// caption moves back over where the bar was, the box behind both repaints
// that part around the caption, whose text stays whole on the screen.
TEST_F(Win32Drawing, TheBarsCaptionKeepsItsTextWhereTheBarWas) {
    using namespace form1;
    auto p = CreateWin32Platform();
    FormEvents events;
    auto form = p->CreateForm(MainWindowDef(), events);
    HWND hwnd = win32::HwndOf(*form);
    form->Show();
    const Rect bar = form->Bounds(Picture1), caption = form->Bounds(Label3);
    for (int width : {40, 4}) {
        form->SetBounds(Picture1, {bar.left, bar.top, width, bar.height});
        form->SetBounds(Label3, {width + 3, caption.top, caption.width, caption.height});
        p->DoEvents();
    }
    // Read as the screen shows it, nothing repainted for the reading.
    HDC dc = GetDCEx(hwnd, nullptr, DCX_CACHE);
    const RECT label = InForm(hwnd, GetDlgItem(GetDlgItem(hwnd, Picture2), Label3));
    ASSERT_GT(label.right, label.left);
    const Pixels shown(dc, label);
    ReleaseDC(hwnd, dc);
    const int firstLetters = (label.right - label.left) / 10;  // "Fr"
    EXPECT_GT(shown.Count({0, 0, firstLetters, label.bottom - label.top},
                          [](COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 128; }),
              0);
    form->Unload();
}

// The import library's IID_IAccessible resolves to a thunk, not to the GUID.
constexpr GUID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// What a screen reader asks of a control: its name and its role.
std::pair<std::wstring, LONG> AccessibleOf(HWND control) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), kIidAccessible,
                                          reinterpret_cast<void**>(&object))) ||
        !object) {
        return {L"<none>", 0};
    }
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    std::pair<std::wstring, LONG> answer{L"<none>", 0};
    BSTR name = nullptr;
    if (SUCCEEDED(object->get_accName(self, &name)) && name) {
        answer.first.assign(name, SysStringLen(name));
        SysFreeString(name);
    }
    VARIANT role;
    VariantInit(&role);
    if (SUCCEEDED(object->get_accRole(self, &role)) && role.vt == VT_I4) answer.second = role.lVal;
    object->Release();
    return answer;
}

// A graph on the second page of a tab control: nothing of it reaches the
// screen while the first page shows; on its own page the values, the dashed
// level, the mark and, once Tab reaches it, the focus rectangle. A screen
// reader hears its caption as a chart's name. Painting it again and again
// holds no GDI object, and none is left once it is gone.
TEST_F(Win32Drawing, GraphDrawsOnlyOnItsPageAndIsReadAsAChart) {
    enum { kTab = 1, kButton, kGraph };
    static const ControlDef controls[] = {
        {.kind = ControlKind::Tab, .id = kTab, .rect = {8, 4, 387, 205}, .items = {"Now", "History"}},
        {.kind = ControlKind::Button, .id = kButton, .container = kTab, .rect = {20, 40, 60, 20}, .caption = "Set",
         .tab = 0},
        {.kind = ControlKind::Graph, .id = kGraph, .container = kTab, .rect = {12, 32, 230, 150},
         .caption = "Free memory, last hour: now 3.4 GB, lowest 1.2 GB at 14:32", .tab = 1},
    };
    FormDef def{.name = "GraphForm", .caption = "Graph", .clientWidth = 399, .clientHeight = 263, .borderless = false};
    def.controls = controls;
    using win32::HandleKind;
    const HandleKind kinds[] = {HandleKind::Pen, HandleKind::Bitmap, HandleKind::Dc, HandleKind::Brush};
    std::vector<int> before;
    for (HandleKind kind : kinds) before.push_back(win32::LiveHandles(kind));
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        auto p = CreateWin32Platform();
        FormEvents events;
        auto form = p->CreateForm(def, events);
        HWND hwnd = win32::HwndOf(*form), graphWindow = GetDlgItem(hwnd, kGraph);
        form->Show();
        p->DoEvents();

        // An hour of samples every 10 s, none from 20 to 25 minutes (asleep).
        GraphData data{.from = 0, .to = 3600, .low = 0, .high = 100, .gapAfter = 20, .level = 30, .marks = {1800}};
        for (int64_t t = 0; t <= 3600; t += 10) {
            if (t < 1200 || t > 1500) data.points.emplace_back(t, 60 + 20 * std::sin(static_cast<double>(t) / 300));
        }
        form->SetGraph(kGraph, data);
        p->DoEvents();
        auto blue = [](COLORREF c) { return GetBValue(c) > 150 && GetRValue(c) < 80; };
        auto red = [](COLORREF c) { return c == RGB(255, 0, 0); };
        RECT graph = InForm(hwnd, graphWindow);
        const Pixels hidden = Screen(hwnd);
        EXPECT_EQ(hidden.Count(graph, blue), 0);
        EXPECT_EQ(hidden.Count(graph, red), 0);

        ShowPage(hwnd, kTab, 1);
        auto checkDrawing = [&](int dpi) {
            SCOPED_TRACE("at " + std::to_string(dpi) + " DPI");
            graph = InForm(hwnd, graphWindow);
            const Rect want = dpi::PhysicalRect(def, kGraph, controls[2].rect, dpi);
            EXPECT_EQ(graph.left, want.left);
            EXPECT_EQ(graph.right - graph.left, want.width);
            const int width = graph.right - graph.left, height = graph.bottom - graph.top;
            const Pixels shown = Screen(hwnd);
            EXPECT_GT(shown.Count(graph, blue), width);
            // The level lies 70 % down the plot, dashed (red on about half
            // its row), as thick as one pixel at 96 DPI.
            int levelRow = 0, mostRed = 0, levelRows = 0;
            for (int y = graph.top; y < graph.bottom; ++y) {
                const int n = shown.Count({graph.left, y, graph.right, y + 1}, red);
                levelRows += n > width / 3;
                if (n > mostRed) levelRow = y, mostRed = n;
            }
            EXPECT_LT(mostRed, width * 3 / 4);
            EXPECT_NEAR(levelRow - graph.top, height * 0.7, dpi::Scale(4, dpi));
            EXPECT_EQ(levelRows, dpi::Scale(1, dpi));
            // The mark: a red tick up from the bottom edge, halfway across.
            const int middle = graph.left + width / 2, tick = dpi::Scale(6, dpi);
            EXPECT_GT(shown.Count({middle - 2, graph.bottom - tick, middle + 2, graph.bottom - 1}, red), tick);
            // No line across the 5 minutes without samples.
            const int gap = graph.left + width * 1350 / 3600;
            EXPECT_EQ(shown.Count({gap - 2, graph.top, gap + 2, graph.bottom}, blue), 0);
        };
        HDC screen = GetDC(nullptr);
        const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
        ReleaseDC(nullptr, screen);
        checkDrawing(dpi);
        // On a display of another scale, as Windows reports a move there.
        const int other = dpi == 192 ? 96 : 192;
        RECT suggested{0, 0, dpi::Scale(def.clientWidth, other), dpi::Scale(def.clientHeight, other)};
        SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(other, other), reinterpret_cast<LPARAM>(&suggested));
        checkDrawing(other);
        SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        graph = InForm(hwnd, graphWindow);
        const int width = graph.right - graph.left;

        // Tab from the tab control lands on the graph, which shows its focus.
        SetFocus(GetDlgItem(hwnd, kTab));
        PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
        p->DoEvents();
        EXPECT_EQ(GetFocus(), graphWindow);
        const int inset = dpi::Scale(1, dpi) + dpi::Scale(1, dpi);
        const RECT focusRow{graph.left + inset, graph.top + inset, graph.right - inset, graph.top + inset + 1};
        EXPECT_GT(Screen(hwnd).Count(focusRow, [](COLORREF c) { return c == GetSysColor(COLOR_WINDOWTEXT); }),
                  width / 3);

        const auto [name, role] = AccessibleOf(graphWindow);
        EXPECT_EQ(name, L"Free memory, last hour: now 3.4 GB, lowest 1.2 GB at 14:32");
        EXPECT_EQ(role, ROLE_SYSTEM_CHART);
        form->SetCaption(kGraph, "Free memory, last hour: now 3.5 GB");
        EXPECT_EQ(form->Caption(kGraph), "Free memory, last hour: now 3.5 GB");
        EXPECT_EQ(AccessibleOf(graphWindow).first, L"Free memory, last hour: now 3.5 GB");

        std::vector<int> painting;
        for (HandleKind kind : kinds) painting.push_back(win32::LiveHandles(kind));
        for (int i = 0; i < 50; ++i) {
            data.level = 30 + i;
            form->SetGraph(kGraph, data);
            UpdateWindow(graphWindow);
        }
        for (size_t i = 0; i < painting.size(); ++i) {
            EXPECT_EQ(win32::LiveHandles(kinds[i]), painting[i]) << static_cast<int>(kinds[i]);
        }
        form->Unload();
    }
    CoUninitialize();
    for (size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(win32::LiveHandles(kinds[i]), before[i]) << static_cast<int>(kinds[i]);
    }
}

}  // namespace
}  // namespace vt
