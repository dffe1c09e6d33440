// The benchmark's hand-written copy of the main window against the real one,
// both running: every window of the two, in the same order, must have the
// same class, styles, place, font and text, the same outline, the same tools
// in its tooltip and the focus on the same control. Only what follows the
// figures of the moment may differ. Checking every second, it shows the
// figures as Veltrane does.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "tests/e2e/driver.h"
#include "ui/control_ids.h"

namespace {

using namespace e2e;
using namespace vt::form1;

constexpr wchar_t kSameClass[] = L"VeltraneSameWindow";

struct Shown {
    int id;
    std::wstring className;
    DWORD style, exStyle;
    RECT rect;  // in the parent's client area
    std::wstring face;
    LONG fontHeight;
    std::string text;
};

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = L"";
    GetClassNameW(hwnd, name, 64);
    // Each program names its picture class after itself.
    const std::wstring s = name;
    const size_t dot = s.find(L".Picture");
    return dot == std::wstring::npos ? s : L"<picture>";
}

std::vector<Shown> WindowsOf(HWND main) {
    std::vector<HWND> all;
    EnumChildWindows(main, [](HWND w, LPARAM list) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(w);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&all));
    std::vector<Shown> shown;
    for (HWND w : all) {
        Shown s{GetDlgCtrlID(w), ClassOf(w), static_cast<DWORD>(GetWindowLongW(w, GWL_STYLE)),
                static_cast<DWORD>(GetWindowLongW(w, GWL_EXSTYLE)), {}, L"", 0, Text(w)};
        GetWindowRect(w, &s.rect);
        MapWindowPoints(nullptr, GetParent(w), reinterpret_cast<POINT*>(&s.rect), 2);
        if (HFONT font = reinterpret_cast<HFONT>(SendMessageW(w, WM_GETFONT, 0, 0))) {
            LOGFONTW lf{};
            GetObjectW(font, sizeof lf, &lf);
            s.face = lf.lfFaceName;
            s.fontHeight = lf.lfHeight;
        }
        shown.push_back(s);
    }
    return shown;
}

std::vector<char> RegionOf(HWND hwnd) {
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    std::vector<char> data;
    if (GetWindowRgn(hwnd, rgn) != ERROR) {
        data.resize(GetRegionData(rgn, 0, nullptr));
        GetRegionData(rgn, static_cast<DWORD>(data.size()), reinterpret_cast<RGNDATA*>(data.data()));
    }
    DeleteObject(rgn);
    return data;
}

LRESULT ToolCount(HWND main) {
    struct Find {
        HWND owner, tips;
    } find{main, nullptr};
    EnumWindows([](HWND w, LPARAM p) {
        auto* f = reinterpret_cast<Find*>(p);
        wchar_t name[64] = L"";
        GetClassNameW(w, name, 64);
        if (GetWindow(w, GW_OWNER) == f->owner && std::wstring(name) == L"tooltips_class32") f->tips = w;
        return f->tips ? FALSE : TRUE;
    }, reinterpret_cast<LPARAM>(&find));
    return find.tips ? SendMessageW(find.tips, TTM_GETTOOLCOUNT, 0, 0) : -1;
}

RECT PlaceOf(HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    MapWindowPoints(nullptr, GetParent(w), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

int FocusId(HWND main) {
    GUITHREADINFO info{sizeof info};
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info) || !info.hwndFocus) return -1;
    return GetDlgCtrlID(info.hwndFocus);
}

class SameWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ClearSettings();
        SetSetting(L"sound", L"0");
        wchar_t path[MAX_PATH];
        const std::wstring self(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
        ASSERT_TRUE(StartQuietly(self.substr(0, self.find_last_of(L'\\') + 1) + L"same_window.exe", same_, Switches()));
        main_ = program_.WaitMainWindow();
        ASSERT_NE(main_, nullptr);
        ASSERT_TRUE(WaitFor([&] {
            copy_ = FindWindowW(kSameClass, nullptr);
            return copy_ && IsWindowVisible(copy_);
        }));
        // The first figures' flash is over in both.
        Sleep(300);
    }
    void TearDown() override {
        if (copy_) PostMessageW(copy_, WM_CLOSE, 0, 0);
        if (same_.hProcess) {
            if (WaitForSingleObject(same_.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(same_.hProcess, 1);
            CloseHandle(same_.hProcess);
            CloseHandle(same_.hThread);
        }
        ClearSettings();
    }

    virtual std::wstring Switches() const { return L""; }

    Program program_;
    PROCESS_INFORMATION same_{};
    HWND main_ = nullptr, copy_ = nullptr;
};

TEST_F(SameWindow, MakesTheMainWindowAsVeltraneDoes) {
    RECT a, b;
    GetWindowRect(main_, &a);
    GetWindowRect(copy_, &b);
    EXPECT_EQ(a.right - a.left, b.right - b.left);
    EXPECT_EQ(a.bottom - a.top, b.bottom - b.top);
    EXPECT_EQ(GetWindowLongW(main_, GWL_STYLE), GetWindowLongW(copy_, GWL_STYLE));
    EXPECT_EQ(GetWindowLongW(main_, GWL_EXSTYLE), GetWindowLongW(copy_, GWL_EXSTYLE));
    EXPECT_EQ(Text(main_), Text(copy_));
    EXPECT_EQ(RegionOf(main_), RegionOf(copy_)) << "the outline";
    EXPECT_EQ(ToolCount(main_), ToolCount(copy_)) << "the tooltip's tools";
    // Each takes the focus to Update when it is activated.
    for (HWND w : {copy_, main_}) {
        SetForegroundWindow(w);
        EXPECT_TRUE(WaitFor([&] { return FocusId(w) == Command1; }, 5000)) << FocusId(w);
    }

    const std::vector<Shown> want = WindowsOf(main_), got = WindowsOf(copy_);
    ASSERT_GE(want.size(), 18u);  // every control that is a window, and the combo box's edit
    ASSERT_EQ(want.size(), got.size());
    for (size_t i = 0; i < want.size(); ++i) {
        const Shown &w = want[i], &g = got[i];
        SCOPED_TRACE("window " + std::to_string(i) + ", id " + std::to_string(w.id));
        EXPECT_EQ(w.id, g.id);
        EXPECT_EQ(w.className, g.className);
        EXPECT_EQ(w.style, g.style);
        EXPECT_EQ(w.exStyle, g.exStyle);
        EXPECT_EQ(w.face, g.face);
        EXPECT_EQ(w.fontHeight, g.fontHeight);
        // The bar's length, its caption's place and the two lines of figures
        // follow the memory free at the moment of each program's Update.
        const bool figures = w.id == Label1 || w.id == Label4;
        if (!figures) {
            EXPECT_EQ(w.text, g.text);
        }
        EXPECT_EQ(w.rect.top, g.rect.top);
        EXPECT_EQ(w.rect.bottom, g.rect.bottom);
        if (w.id != Label3) {
            EXPECT_EQ(w.rect.left, g.rect.left);
        }
        if (w.id != Label3 && w.id != Picture1) {
            EXPECT_EQ(w.rect.right, g.rect.right);
        }
    }
}

class SameWindowChecking : public SameWindow {
protected:
    std::wstring Switches() const override { return L"/check"; }
};

// Veltrane updated by hand, the copy by its check every second: once both
// have read the same memory (the two lines agree), the bar ends and its
// caption stands where Veltrane's do.
TEST_F(SameWindowChecking, ShowsTheFiguresAsVeltraneDoes) {
    EXPECT_EQ(ChildText(copy_, Combo1), "sec");
    EXPECT_EQ(ChildText(copy_, Text1), "1");
    auto same = [&](int id) { return ChildText(main_, id) == ChildText(copy_, id); };
    auto samePlace = [&](int id) {
        const RECT want = PlaceOf(Child(main_, id)), got = PlaceOf(Child(copy_, id));
        return want.left == got.left && want.right == got.right;
    };
    // Read together: memory moves with whatever else the machine runs, and
    // either program may take a new sample between two readings.
    bool agreed = false;
    for (int attempt = 0; attempt < 10 && !agreed; ++attempt) {
        PostClick(Child(main_, Command1));
        agreed = WaitFor([&] { return same(Label1) && same(Label4) && samePlace(Picture1) && samePlace(Label3); },
                         2500);
    }
    ASSERT_TRUE(agreed) << ChildText(main_, Label1) << "|" << ChildText(main_, Label4) << " against "
                        << ChildText(copy_, Label1) << "|" << ChildText(copy_, Label4);
    for (const int id : {Picture1, Label3}) {
        const RECT want = PlaceOf(Child(main_, id)), got = PlaceOf(Child(copy_, id));
        EXPECT_EQ(want.left, got.left) << id;
        EXPECT_EQ(want.right, got.right) << id;
    }
}

}  // namespace
