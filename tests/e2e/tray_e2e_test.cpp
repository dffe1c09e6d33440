// The tray presence of the real Veltrane.exe under Wine, seen from outside.
//
// Whether the program's icon is in the notification area is asked of the
// shell itself: NIM_MODIFY with no flags changes nothing and succeeds only
// for an icon that exists under that window and id, whichever process asks.
// That is the shell's own list (explorer.exe under Wine), not a count the
// program keeps, so an icon the program believes it removed but the shell
// still shows would be caught.
#include <windows.h>

#include <psapi.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "tests/e2e/driver.h"
#include "ui/control_ids.h"

namespace {

using namespace e2e;

using vt::form1::Command1;

class TrayEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        ClearSettings();
        SetSetting(L"sound", L"0");
    }
    void TearDown() override { ClearSettings(); }
};

// Sent, not posted: returns once the program has handled it.
LRESULT Send(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(hwnd, msg, wp, lp, SMTO_NORMAL, 60000, &result);
    return static_cast<LRESULT>(result);
}

HWND MainOf(DWORD pid) {
    HWND hwnd = nullptr;
    while ((hwnd = FindWindowExW(nullptr, hwnd, kMainClass, nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner == pid) return hwnd;
    }
    return nullptr;
}

TEST_F(TrayEndToEnd, IconIsThereWhileTheProgramRunsAndGoesWithIt) {
    Program program;
    HWND main = program.WaitMainWindow();
    ASSERT_NE(main, nullptr);
    const UINT id = TrayId(main);
    ASSERT_NE(id, 0u);
    EXPECT_TRUE(WaitFor([&] { return TrayIconExists(main, id); }));
    EXPECT_FALSE(TrayIconExists(main, id + 1));
    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitExit());
    EXPECT_FALSE(TrayIconExists(main, id));
}

// Needs the lead's goner_Click on the menu dispatch; the close above covers
// the removal until then.
TEST_F(TrayEndToEnd, ExitRemovesTheIcon) {
    Program program;
    HWND main = program.WaitMainWindow();
    ASSERT_NE(main, nullptr);
    const UINT id = TrayId(main);
    ASSERT_TRUE(WaitFor([&] { return TrayIconExists(main, id); }));
    PostMessageW(main, WM_COMMAND, vt::form1::goner, 0);
    ASSERT_TRUE(program.WaitExit());
    EXPECT_FALSE(TrayIconExists(main, id));
}

TEST_F(TrayEndToEnd, CallbackBringsTheHiddenWindowBack) {
    Program program;
    HWND main = program.WaitMainWindow();
    ASSERT_NE(main, nullptr);
    ShowWindow(main, SW_HIDE);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(main); }));
    PostMessageW(main, kTrayCallback, TrayId(main), WM_LBUTTONDOWN);
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(main) != FALSE; }));
    // A callback with another id is no click on the icon.
    ShowWindow(main, SW_HIDE);
    Send(main, kTrayCallback, TrayId(main) + 1, WM_LBUTTONDOWN);
    EXPECT_FALSE(IsWindowVisible(main));
}

TEST_F(TrayEndToEnd, ThemeAboveFiveStopsTheStartWithoutADeadIcon) {
    SetSetting(L"Tema", L"7");
    Program program;
    HWND box = WaitMessageBox(program.Pid(), L"Error");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box).rfind("Error number: 5", 0), 0u) << MessageBoxText(box);
    // The icon was added before the first Update failed, and is gone already
    // while the report is up.
    HWND main = MainOf(program.Pid());
    ASSERT_NE(main, nullptr);
    EXPECT_FALSE(TrayIconExists(main, TrayId(main)));
    AnswerMessageBox(box, IDOK);
    EXPECT_TRUE(program.WaitExit());
}

TEST_F(TrayEndToEnd, SecondCopyIsRefusedAndEnds) {
    Program first;
    HWND main = first.WaitMainWindow();
    ASSERT_NE(main, nullptr);
    Program second;
    HWND box = WaitMessageBox(second.Pid(), L"Veltrane");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), "The program is already in use.");
    EXPECT_NE(GetDlgItem(box, IDOK), nullptr);
    EXPECT_EQ(GetDlgItem(box, IDCANCEL), nullptr);
    EXPECT_EQ(MainOf(second.Pid()) ? IsWindowVisible(MainOf(second.Pid())) : FALSE, FALSE);
    AnswerMessageBox(box, IDOK);
    EXPECT_TRUE(second.WaitExit());
    // The first copy goes on, its icon in place.
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_TRUE(TrayIconExists(main, TrayId(main)));
}

// When the shell makes its notification area anew it forgets every icon and
// broadcasts "TaskbarCreated"; the program puts its icon back, hidden or not.
TEST_F(TrayEndToEnd, IconComesBackWhenTheShellsTaskbarIsMadeAnew) {
    Program program;
    HWND main = program.WaitMainWindow();
    ASSERT_NE(main, nullptr);
    const UINT id = TrayId(main);
    ASSERT_TRUE(WaitFor([&] { return TrayIconExists(main, id); }));
    const UINT created = RegisterWindowMessageW(L"TaskbarCreated");
    ASSERT_NE(created, 0u);
    auto forgetAndBroadcast = [&] {
        NOTIFYICONDATAW nid{};
        nid.cbSize = NOTIFYICONDATAW_V1_SIZE;
        nid.hWnd = main;
        nid.uID = id;
        ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &nid));
        ASSERT_FALSE(TrayIconExists(main, id));
        DWORD_PTR result = 0;
        SendMessageTimeoutW(HWND_BROADCAST, created, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
    };
    forgetAndBroadcast();
    EXPECT_TRUE(WaitFor([&] { return TrayIconExists(main, id); }, 5000));
    EXPECT_TRUE(IsWindowVisible(main));

    ShowWindow(main, SW_HIDE);
    forgetAndBroadcast();
    EXPECT_TRUE(WaitFor([&] { return TrayIconExists(main, id); }, 5000));
    EXPECT_FALSE(IsWindowVisible(main));
    // The icon that came back is the program's: its click still works.
    PostMessageW(main, kTrayCallback, id, WM_LBUTTONDOWN);
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(main) != FALSE; }));

    PostMessageW(main, WM_COMMAND, vt::form1::goner, 0);
    ASSERT_TRUE(program.WaitExit());
    EXPECT_FALSE(TrayIconExists(main, id));
}

// Thousands of Updates and clicks on the icon, each setting the tip and the
// theme picture, with hover callbacks in between: the program's memory stays
// where it was. (The picture itself changes only with the machine's free
// memory here; the backend test changes it on every round, in-process.)
TEST_F(TrayEndToEnd, ThemeSoakKeepsTheProgramsMemoryFlat) {
    SetSetting(L"Tema", L"3");
    Program program;
    HWND main = program.WaitMainWindow();
    ASSERT_NE(main, nullptr);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, program.Pid());
    ASSERT_NE(process, nullptr);
    HWND update = Child(main, Command1);
    const UINT id = TrayId(main);
    auto rounds = [&](int count) {
        for (int i = 0; i < count; ++i) {
            Send(update, BM_CLICK, 0, 0);
            Send(main, kTrayCallback, id, i % 10 == 0 ? WM_MOUSEMOVE : WM_LBUTTONDOWN);
        }
    };
    auto pagefile = [&] {
        PROCESS_MEMORY_COUNTERS counters{sizeof counters};
        GetProcessMemoryInfo(process, &counters, sizeof counters);
        return counters.PagefileUsage;
    };
    rounds(100);
    const SIZE_T before = pagefile();
    rounds(1200);
    const SIZE_T after = pagefile();
    CloseHandle(process);
    std::printf("pagefile usage %zu KB -> %zu KB\n", static_cast<size_t>(before / 1024),
                static_cast<size_t>(after / 1024));
    // An icon or a DC lost a round would be thousands of objects, megabytes.
    EXPECT_LT(after, before + 256 * 1024);
    EXPECT_TRUE(TrayIconExists(main, id));
    EXPECT_FALSE(program.WaitExit(0));
}

}  // namespace
