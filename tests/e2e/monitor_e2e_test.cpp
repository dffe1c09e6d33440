// The options window, the low-memory warning and the check row, driven from
// outside.
#include "tests/e2e/driver.h"
#include "ui/control_ids.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <regex>

namespace {

using namespace e2e;

using namespace vt::form1;
namespace opt = vt::frm_options;
// The options window's controls, prefixed to keep them apart from the main window's.
constexpr int oCommand3 = opt::Command3, oTab = opt::SSTab1, oOption3 = opt::Option3, oPick = opt::Command2,
              oLabel7 = opt::Label7, oLabel9 = opt::Label9, oLabel5 = opt::Label5, oText1 = opt::Text1,
              oSet = opt::Command4, oKeep = opt::Check1;

void SetText(HWND hwnd, const wchar_t* text) { SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)); }

class MonitorEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        ClearSettings();
        SetSetting(L"sound", L"0");
        program = std::make_unique<Program>();
        main = program->WaitMainWindow();
        ASSERT_NE(main, nullptr);
    }
    void TearDown() override {
        program.reset();
        ClearSettings();
    }
    HWND WaitOptions() {
        HWND options = nullptr;
        WaitFor([&] {
            options = FindWindowW(L"Veltrane.frmOptions", nullptr);
            return options && IsWindowVisible(options);
        });
        return options;
    }
    void CloseOptions(HWND options) {
        PostClick(Child(options, oCommand3));
        WaitFor([&] { return !IsWindow(options); });
    }
    // Answers the next box with this title and returns its text.
    std::string Answer(const wchar_t* title) {
        HWND box = WaitMessageBox(program->Pid(), title);
        if (!box) return "<no box>";
        const std::string text = MessageBoxText(box);
        AnswerMessageBox(box, IDOK);
        WaitFor([&] { return !IsWindow(box); });
        return text;
    }

    std::unique_ptr<Program> program;
    HWND main = nullptr;
};

TEST_F(MonitorEndToEnd, EachCommandOpensTheOptionsOnTheThemeTab) {
    for (int how = 0; how < 3; ++how) {
        if (how == 0) PostClick(Child(main, Command4));
        if (how == 1) PostMessageW(main, WM_COMMAND, mnuSetWarning, 0);
        if (how == 2) PostMessageW(main, WM_COMMAND, IconTemaChange2, 0);
        HWND options = WaitOptions();
        ASSERT_NE(options, nullptr) << how;
        EXPECT_EQ(SendMessageW(Child(options, oTab), TCM_GETCURSEL, 0, 0), 0) << how;
        EXPECT_FALSE(IsWindowEnabled(main));
        EXPECT_TRUE(std::regex_match(Text(Child(options, oLabel5)), std::regex("You have \\d+ Mb free now")));
        // Enter in the entry is no "Close".
        PostMessageW(Child(options, oText1), WM_KEYDOWN, VK_RETURN, 0);
        PostMessageW(Child(options, oText1), WM_KEYUP, VK_RETURN, 0);
        Sleep(200);
        EXPECT_TRUE(IsWindowVisible(options));
        CloseOptions(options);
    }
}

TEST_F(MonitorEndToEnd, PickedThemeIsStored) {
    PostMessageW(main, WM_COMMAND, IconTemaChange2, 0);
    HWND options = WaitOptions();
    ASSERT_NE(options, nullptr);
    PostClick(Child(options, oOption3));
    ASSERT_TRUE(WaitFor([&] {
        return SendMessageW(Child(options, oOption3), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }));
    PostClick(Child(options, oPick));
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(options); }));
    EXPECT_EQ(GetSetting(L"Tema"), L"3");
}

TEST_F(MonitorEndToEnd, CheckRowRejectsZeroTooBigAndLetters) {
    const struct {
        const wchar_t* entry;
        const wchar_t* title;
        const char* text;
    } cases[] = {
        {L"0", L"Wrong value", "Value can not be 0"},
        {L"61", L"Bad value", "Value must be lower then 61"},
        {L"abc", L"Bad value", "Value no good"},
    };
    for (const auto& c : cases) {
        SetText(Child(main, Text1), c.entry);
        PostClick(Child(main, Command2));
        EXPECT_EQ(Answer(c.title), c.text);
    }
    EXPECT_EQ(Text(Child(main, Combo1)), "min");
}

TEST_F(MonitorEndToEnd, WarningFiresWhenMemoryFallsAndIsAcknowledged) {
    PostClick(Child(main, Command4));
    HWND options = WaitOptions();
    ASSERT_NE(options, nullptr);
    std::smatch m;
    const std::string line = Text(Child(options, oLabel5));
    ASSERT_TRUE(std::regex_match(line, m, std::regex("You have (\\d+) Mb free now"))) << line;
    const long freeMb = std::stol(m[1]);
    const long threshold = freeMb - 150;
    ASSERT_GT(threshold, 0);
    ASSERT_LT(threshold, 32768) << "the threshold is a 16-bit figure";
    SetText(Child(options, oText1), std::to_wstring(threshold).c_str());
    PostClick(Child(options, oSet));
    EXPECT_NE(Answer(L"Message 1/2").find("Warningsound"), std::string::npos);
    EXPECT_NE(Answer(L"Message 2/2").find("Now the checking will begin."), std::string::npos);
    EXPECT_EQ(Text(Child(options, oLabel7)), "On");
    EXPECT_EQ(Text(Child(options, oLabel9)), std::to_string(threshold) + " Mb");
    CloseOptions(options);

    // Make free memory fall well below the threshold: a few hundred MB, touched.
    const size_t bytes = 600u << 20;
    auto* block = static_cast<char*>(VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    ASSERT_NE(block, nullptr);
    for (size_t i = 0; i < bytes; i += 4096) block[i] = 1;
    // With sound off the alarm is its message box; the monitor looks every 5 s.
    EXPECT_EQ(Answer(L"RAM Mb Warning Finished"), "The RAM Mb have been reached");
    VirtualFree(block, 0, MEM_RELEASE);

    // Acknowledged: still on, at 0 Mb.
    PostClick(Child(main, Command4));
    options = WaitOptions();
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(Text(Child(options, oLabel7)), "On");
    EXPECT_EQ(Text(Child(options, oLabel9)), "0 Mb");
    EXPECT_FALSE(IsWindowEnabled(Child(options, oSet)));
    CloseOptions(options);
}

TEST_F(MonitorEndToEnd, AlarmWithSoundLoopsUntilAClickOnTheWindow) {
    program.reset();
    SetSetting(L"sound", L"1");
    program = std::make_unique<Program>();
    main = program->WaitMainWindow();
    ASSERT_NE(main, nullptr);
    PostClick(Child(main, Command4));
    HWND options = WaitOptions();
    ASSERT_NE(options, nullptr);
    std::smatch m;
    const std::string line = Text(Child(options, oLabel5));
    ASSERT_TRUE(std::regex_match(line, m, std::regex("You have (\\d+) Mb free now")));
    SetText(Child(options, oText1), std::to_wstring(std::stol(m[1]) - 150).c_str());
    PostClick(Child(options, oSet));
    Answer(L"Message 1/2");
    Answer(L"Message 2/2");
    CloseOptions(options);
    const size_t bytes = 600u << 20;
    auto* block = static_cast<char*>(VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    for (size_t i = 0; i < bytes; i += 4096) block[i] = 1;
    Sleep(11000);  // two monitor ticks: the (silent) loop is playing, no box yet
    EXPECT_EQ(WaitMessageBox(program->Pid(), L"RAM Mb Warning Finished", 100), nullptr);
    // The balloon names this test, which holds the memory, as the largest.
    const std::string balloon = BalloonText();
    EXPECT_TRUE(std::regex_match(balloon, std::regex("\\d+ Mb free\\. Largest: e2e_tests\\.exe \\d+ MB, .+")))
        << balloon;
    // A click on the window's surface acknowledges it.
    PostMessageW(main, WM_LBUTTONUP, 0, MAKELPARAM(5, 60));
    EXPECT_EQ(Answer(L"RAM Mb Warning Finished"), "The RAM Mb have been reached");
    VirtualFree(block, 0, MEM_RELEASE);
}

// The colour on screen at the middle of a window.
COLORREF ColourAtMiddle(HWND hwnd) {
    RECT r;
    GetWindowRect(hwnd, &r);
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ReleaseDC(nullptr, screen);
    return colour;
}

// Free memory as the warning counts it (Mb of 1000 Kb).
long FreeWarningMb() {
    MEMORYSTATUSEX status{sizeof status};
    GlobalMemoryStatusEx(&status);
    return static_cast<long>(status.ullAvailPhys / 1024 / 1000);
}

// A warning kept from an earlier run is armed at the start without a box
// (the marker red, "On"), and real memory pressure fires it once an
// episode: twice, with a recovery in between.
TEST_F(MonitorEndToEnd, KeptWarningArmedAtStartFiresOnceAnEpisode) {
    program.reset();
    // Recovery is past the threshold by 5 %: the threshold lies 1.5 GB below
    // free memory, and each episode holds 2.5 GB more.
    const long threshold = FreeWarningMb() - 1500;
    if (threshold > 32767 || threshold < 500) GTEST_SKIP() << "free memory out of the warning's range";
    SetSetting(L"KeepWatching", L"1");
    SetSetting(L"WarnMb", std::to_wstring(threshold));
    program = std::make_unique<Program>();
    main = program->WaitMainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(WaitMessageBox(program->Pid(), L"Message 1/2", 1000), nullptr);
    EXPECT_TRUE(WaitFor([&] { return ColourAtMiddle(Child(main, Command5)) == RGB(255, 0, 0); }, 5000));
    PostClick(Child(main, Command4));
    HWND options = WaitOptions();
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(Text(Child(options, oLabel7)), "On");
    EXPECT_EQ(Text(Child(options, oLabel9)), std::to_string(threshold) + " Mb");
    EXPECT_EQ(SendMessageW(Child(options, oKeep), BM_GETCHECK, 0, 0), BST_CHECKED);
    CloseOptions(options);

    const size_t bytes = size_t{2500} << 20;
    for (int episode = 0; episode < 2; ++episode) {
        auto* block = static_cast<char*>(VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        ASSERT_NE(block, nullptr);
        for (size_t i = 0; i < bytes; i += 4096) block[i] = 1;
        EXPECT_EQ(Answer(L"RAM Mb Warning Finished"), "The RAM Mb have been reached") << episode;
        // Still low a check later: no second alarm in the same episode.
        EXPECT_EQ(WaitMessageBox(program->Pid(), L"RAM Mb Warning Finished", 6000), nullptr) << episode;
        VirtualFree(block, 0, MEM_RELEASE);
        Sleep(6000);  // a check that finds memory recovered arms the warning again
    }
    EXPECT_EQ(GetSetting(L"WarnMb"), std::to_wstring(threshold));
}

}  // namespace
