// The real Veltrane.exe under Wine, driven from outside.
#include <gtest/gtest.h>

#include <cmath>
#include <regex>

#include "tests/e2e/driver.h"
#include "ui/control_ids.h"

namespace {

using namespace e2e;

// Control ids of the main window, as the program numbers its children.
using namespace vt::form1;

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override { ClearSettings(); }
    void TearDown() override { ClearSettings(); }
};

RECT WindowRect(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

TEST_F(EndToEnd, EmptyStoreOpensAtTheOriginWithTheMachinesFigures) {
    Program program;
    HWND main = program.WaitMainWindow();
    ASSERT_NE(main, nullptr);
    const RECT r = WindowRect(main);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right - r.left, 453);
    EXPECT_EQ(r.bottom - r.top, 111);

    MEMORYSTATUSEX m{sizeof m};
    GlobalMemoryStatusEx(&m);
    const long totalMb = std::lround(std::nearbyint(m.ullTotalPhys / 1024.0) * 0.001);
    const long freeMb = std::lround(m.ullAvailPhys / 1024.0 * 0.001);
    const std::string label1 = ChildText(main, Label1);
    std::smatch match;
    ASSERT_TRUE(std::regex_match(label1, match, std::regex("  Totalt= (\\d+) Mb  Free= (\\d+) Mb     "))) << label1;
    EXPECT_EQ(std::stol(match[1]), totalMb);
    EXPECT_NEAR(std::stol(match[2]), freeMb, totalMb / 10.0);
    EXPECT_TRUE(std::regex_match(ChildText(main, Label4), std::regex("Busy= \\d+ Mb or [0-9.,]+ %")))
        << ChildText(main, Label4);

    // Nothing is written until the window closes.
    EXPECT_EQ(GetSetting(L"Top"), L"<absent>");
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitExit());
    EXPECT_EQ(GetSetting(L"Top"), L"0");
    EXPECT_EQ(GetSetting(L"Left"), L"0");
}

TEST_F(EndToEnd, UpdateAndTheUnitButtonRewriteTheTexts) {
    Program program;
    HWND main = program.WaitMainWindow();
    ASSERT_NE(main, nullptr);
    auto contains = [](const char* unit) {
        return [unit](const std::string& text) { return text.find(unit) != std::string::npos; };
    };
    PostClick(Child(main, Command5));
    EXPECT_TRUE(contains(" Kb  Free= ")(WaitText(main, Label1, contains(" Kb  Free= "))));
    EXPECT_TRUE(contains(" Kb or ")(ChildText(main, Label4)));
    PostClick(Child(main, Command5));
    EXPECT_TRUE(contains(" Byte  Free= ")(WaitText(main, Label1, contains(" Byte  Free= "))));
    EXPECT_TRUE(contains(" Byte or ")(ChildText(main, Label4)));
    PostClick(Child(main, Command5));
    EXPECT_TRUE(contains(" Mb  Free= ")(WaitText(main, Label1, contains(" Mb  Free= "))));
    // Update returns to Mb from any view.
    PostClick(Child(main, Command5));
    WaitText(main, Label1, contains(" Kb  Free= "));
    PostClick(Child(main, Command1));
    EXPECT_TRUE(contains(" Mb  Free= ")(WaitText(main, Label1, contains(" Mb  Free= "))));
}

TEST_F(EndToEnd, PositionSurvivesARestart) {
    {
        Program program;
        HWND main = program.WaitMainWindow();
        ASSERT_NE(main, nullptr);
        SetWindowPos(main, nullptr, 120, 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        // The move is the program's to carry out: close only once it has.
        ASSERT_TRUE(WaitFor([&] { return WindowRect(main).left == 120 && WindowRect(main).top == 80; }));
        PostMessageW(main, WM_CLOSE, 0, 0);
        ASSERT_TRUE(program.WaitExit());
    }
    EXPECT_EQ(GetSetting(L"Top"), L"80");
    EXPECT_EQ(GetSetting(L"Left"), L"120");
    Program again;
    HWND main = again.WaitMainWindow();
    ASSERT_NE(main, nullptr);
    const RECT r = WindowRect(main);
    EXPECT_EQ(r.left, 120);
    EXPECT_EQ(r.top, 80);
}

// A position on no monitor (one that has since gone) opens on the primary
// work area; one partly off the screen stays where it was. Starting, hiding
// and showing write nothing: only the close stores the position.
TEST_F(EndToEnd, PositionOffEveryMonitorOpensOnTheWorkAreaAndIsStoredOnlyAtTheClose) {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const struct {
        const wchar_t* left;
        const wchar_t* top;
        LONG wantLeft, wantTop;
    } cases[] = {
        {L"20000", L"-20000", work.left, work.top},
        {L"-30000", L"15000", work.left, work.top},
        {L"-120", L"30", -120, 30},
    };
    for (const auto& c : cases) {
        ClearSettings();
        SetSetting(L"sound", L"0");
        SetSetting(L"Left", c.left);
        SetSetting(L"top", c.top);
        Program program;
        HWND main = program.WaitMainWindow();
        ASSERT_NE(main, nullptr);
        const RECT r = WindowRect(main);
        EXPECT_EQ(r.left, c.wantLeft) << c.left;
        EXPECT_EQ(r.top, c.wantTop) << c.top;
        PostClick(Child(main, Command3));  // Hide
        ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(main); }));
        PostMessageW(main, WM_COMMAND, stupid, 0);
        ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(main) != FALSE; }));
        EXPECT_EQ(GetSetting(L"Left"), c.left);
        EXPECT_EQ(GetSetting(L"Top"), c.top);
        PostMessageW(main, WM_COMMAND, goner, 0);
        ASSERT_TRUE(program.WaitExit());
        EXPECT_EQ(GetSetting(L"Left"), std::to_wstring(c.wantLeft));
        EXPECT_EQ(GetSetting(L"Top"), std::to_wstring(c.wantTop));
    }
}

TEST_F(EndToEnd, StoredLeftThatIsNoNumberStopsTheStart) {
    SetSetting(L"Left", L"abc");
    SetSetting(L"sound", L"0");
    Program program;
    HWND box = WaitMessageBox(program.Pid(), L"Error");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box).rfind("Error number: 13", 0), 0u) << MessageBoxText(box);
    EXPECT_NE(MessageBoxText(box).find("Description: Type mismatch"), std::string::npos);
    EXPECT_EQ(FindWindowW(kMainClass, nullptr) ? IsWindowVisible(FindWindowW(kMainClass, nullptr)) : FALSE, FALSE);
    AnswerMessageBox(box, IDOK);
    EXPECT_TRUE(program.WaitExit());
    // The value is forgotten once reported, the others stay: the next start
    // opens at the default left edge.
    EXPECT_EQ(GetSetting(L"Left"), L"<absent>");
    EXPECT_EQ(GetSetting(L"sound"), L"0");
    Program again;
    HWND main = again.WaitMainWindow();
    ASSERT_NE(main, nullptr);
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(again.WaitExit());
}

// Wine has no sound device here: the greeting must not hold up the start.
TEST_F(EndToEnd, StartWithSoundOnDoesNotHang) {
    for (const wchar_t* stored : {L"<absent>", L"1"}) {
        ClearSettings();
        if (std::wstring(stored) != L"<absent>") SetSetting(L"sound", stored);
        Program program;
        HWND main = program.WaitMainWindow();
        ASSERT_NE(main, nullptr);
        EXPECT_EQ(ChildText(main, Label1).find("Not Updated"), std::string::npos);
        PostMessageW(main, WM_CLOSE, 0, 0);
        EXPECT_TRUE(program.WaitExit());
        EXPECT_EQ(GetSetting(L"sound"), stored);  // the start writes no sound setting
    }
}

// The error pair is played to its end before the report; without a device it
// ends at once and the report still comes.
TEST_F(EndToEnd, FailedStartWithSoundOnStillReports) {
    SetSetting(L"Tema", L"x");
    Program program;
    HWND box = WaitMessageBox(program.Pid(), L"Error");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box).rfind("Error number: 13", 0), 0u) << MessageBoxText(box);
    AnswerMessageBox(box, IDOK);
    EXPECT_TRUE(program.WaitExit());
}

TEST_F(EndToEnd, SoundSwitchStoresItsChoice) {
    Program program;
    HWND main = program.WaitMainWindow();
    ASSERT_NE(main, nullptr);
    auto stored = [](const wchar_t* want) {
        for (int i = 0; i < 500 && GetSetting(L"sound") != want; ++i) Sleep(20);
        return GetSetting(L"sound");
    };
    PostMessageW(main, WM_COMMAND, mnuSoff, 0);
    EXPECT_EQ(stored(L"0"), L"0");
    PostMessageW(main, WM_COMMAND, mnuSoff, 0);
    EXPECT_EQ(stored(L"1"), L"1");
    PostMessageW(main, WM_COMMAND, mnuSoff, 0);
    EXPECT_EQ(stored(L"0"), L"0");
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitExit());
    EXPECT_EQ(GetSetting(L"sound"), L"0");
}

}  // namespace
