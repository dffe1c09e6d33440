// The keyboard and a screen reader on the real program, from outside: keys
// posted to the window that has the focus, names asked through the
// accessibility interface as a screen reader asks them.
#include <windows.h>

#include <oleacc.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/e2e/driver.h"
#include "ui/control_ids.h"

namespace {

using namespace e2e;
using namespace vt::form1;

HWND FocusOf(HWND main) {
    GUITHREADINFO info{sizeof info};
    GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info);
    return info.hwndFocus;
}

void PostKey(HWND to, UINT vk) {
    PostMessageW(to, WM_KEYDOWN, vk, 1);
    PostMessageW(to, WM_KEYUP, vk, 0xC0000001);
}

HWND Options() {
    HWND options = FindWindowW(L"Veltrane.frmOptions", nullptr);
    return options && IsWindowVisible(options) ? options : nullptr;
}

class KeyboardEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ClearSettings();
        SetSetting(L"sound", L"0");
        program = std::make_unique<Program>();
        main = program->WaitMainWindow();
        ASSERT_NE(main, nullptr);
        ASSERT_TRUE(WaitFor([&] { return FocusOf(main) == Child(main, Command1); }, 5000));
    }
    void TearDown() override {
        program.reset();
        ClearSettings();
        CoUninitialize();
    }
    // Marks the figures line so that an Update shows by rewriting it.
    void MarkFigures() { SendMessageW(Child(main, Label1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"marked")); }
    bool Updated() {
        return WaitText(main, Label1, [](const std::string& t) { return t != "marked"; }, 5000) != "marked";
    }

    std::unique_ptr<Program> program;
    HWND main = nullptr;
};

TEST_F(KeyboardEndToEnd, SpaceAndEnterOnUpdateRunAnUpdateAndOpenNothing) {
    for (UINT vk : {VK_SPACE, VK_RETURN}) {
        MarkFigures();
        PostKey(Child(main, Command1), vk);
        EXPECT_TRUE(Updated()) << vk;
        // The units stay (Enter is no click on the button of id 1), no options window opens (nor on id 2).
        EXPECT_NE(ChildText(main, Label1).find(" Mb"), std::string::npos) << ChildText(main, Label1);
        Sleep(300);
        EXPECT_EQ(Options(), nullptr) << vk;
    }
}

TEST_F(KeyboardEndToEnd, EscapeInTheMainWindowDoesNothingAndClosesTheOptions) {
    const std::string figures = ChildText(main, Label1);
    PostKey(Child(main, Command1), VK_ESCAPE);
    PostKey(Child(main, Text1), VK_ESCAPE);
    Sleep(500);
    EXPECT_EQ(Options(), nullptr);
    EXPECT_EQ(ChildText(main, Label1), figures);
    EXPECT_TRUE(IsWindowVisible(main));

    // Tab to "Options" and Enter opens the window; Escape in it is its Close.
    HWND options4 = Child(main, Command4);
    for (int i = 0; i < 8 && FocusOf(main) != options4; ++i) {
        HWND from = FocusOf(main);
        ASSERT_NE(from, nullptr);
        PostKey(from, VK_TAB);
        WaitFor([&] { return FocusOf(main) != from; }, 5000);
    }
    ASSERT_EQ(FocusOf(main), options4);
    PostKey(options4, VK_RETURN);
    HWND options = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (options = Options()) != nullptr; }));
    // Once the options window has given the focus to one of its controls.
    ASSERT_TRUE(WaitFor([&] { return IsChild(options, FocusOf(options)) != FALSE; }));
    PostKey(FocusOf(options), VK_ESCAPE);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(options); }));
    // The main window has its controls back, and "Options" the focus.
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(main) && FocusOf(main) == options4; }, 5000));
}

TEST_F(KeyboardEndToEnd, ScreenReaderNamesOfControlsWithoutCaptions) {
    // The bar's tooltip is its width as a percentage of the track: "62%" or "62.5%".
    RECT bar;
    GetWindowRect(Child(main, Picture1), &bar);
    const int width = bar.right - bar.left;
    const std::string busy = std::to_string(width / 2) + (width % 2 ? ".5%" : "%");
    const struct {
        int id;
        std::string name;
    } cases[] = {
        {Picture1, busy},
        {Command5, "Units"},
        {Image3, "Hide"},
        {Command1, "Update"},  // a caption is its own name
        {Command4, "Options"},
    };
    for (const auto& c : cases) EXPECT_EQ(AccessibleName(Child(main, c.id)), c.name) << c.id;
    // The names say what the window shows: no caption changed.
    EXPECT_EQ(ChildText(main, Command5), "");
    EXPECT_EQ(ChildText(main, Picture1), "");
}

}  // namespace
