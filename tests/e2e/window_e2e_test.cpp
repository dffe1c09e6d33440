// The main window's commands, menus, shape and autostart, driven from outside.
#include <gtest/gtest.h>

#include <regex>
#include <vector>

#include "tests/e2e/driver.h"
#include "ui/control_ids.h"

#include <sddl.h>

namespace {

using namespace e2e;

// Control and menu ids of the main window.
using namespace vt::form1;
constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

void PostMenu(HWND main, int id) { PostMessageW(main, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

void DeleteRunValue() {
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        HKEY key;
        if (RegOpenKeyExW(root, kRunKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            RegDeleteValueW(key, L"Veltrane");
            RegCloseKey(key);
        }
    }
}

class WindowEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        ClearSettings();
        SetSetting(L"sound", L"0");
        DeleteRunValue();
        main = program.WaitMainWindow();
        ASSERT_NE(main, nullptr);
    }
    void TearDown() override {
        ClearSettings();
        DeleteRunValue();
    }
    // Answers a box and waits until the program is back in its own loop.
    void Answer(HWND box) {
        AnswerMessageBox(box, IDOK);
        WaitFor([&] { return !IsWindow(box); });
        WaitFor([&] { return IsWindowEnabled(main) != FALSE; });
    }
    std::vector<MenuItem> FileMenu() { return ReadPopupMenu(program.Pid(), Child(main, Label2), WM_RBUTTONUP); }

    Program program;
    HWND main = nullptr;
};

TEST_F(WindowEndToEnd, PopupMenusCarryTheirRunTimeCaptions) {
    const auto file = FileMenu();
    ASSERT_EQ(file.size(), 10u);
    EXPECT_EQ(file[0].caption, "Cancel");
    EXPECT_EQ(file[1].caption, "Open Veltrane");
    EXPECT_EQ(file[2].caption, "-");
    EXPECT_TRUE(std::regex_match(file[3].caption, std::regex("Busy= [0-9.,]+ %\\."))) << file[3].caption;
    EXPECT_EQ(file[4].caption, "-");
    EXPECT_EQ(file[6].caption, "Set Warning sound");
    EXPECT_EQ(file[7].caption, "-");
    EXPECT_EQ(file[8].caption, "Make Autostart");
    EXPECT_EQ(file[9].caption, "Exit");
    for (const MenuItem& item : file) {
        if (item.caption != "-") {
            EXPECT_TRUE(item.enabled) << item.caption;
        }
    }

    const auto tema = ReadPopupMenu(program.Pid(), Child(main, Image2), WM_RBUTTONDOWN);
    ASSERT_EQ(tema.size(), 1u);
    EXPECT_EQ(tema[0].caption, "Change Icon Tema");
}

TEST_F(WindowEndToEnd, OpenIsDisabledOnceChosen) {
    EXPECT_TRUE(FileMenu().at(1).enabled);
    PostMenu(main, stupid);
    EXPECT_TRUE(WaitFor([&] { return !FileMenu().at(1).enabled; }, 5000));
    EXPECT_TRUE(IsWindowVisible(main));
}

TEST_F(WindowEndToEnd, HideKeepsTheProgramRunningAndExitEndsItWritingThePosition) {
    SetWindowPos(main, nullptr, 70, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    PostClick(Child(main, Command3));
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(main); }));
    EXPECT_FALSE(program.WaitExit(300));
    EXPECT_EQ(GetSetting(L"Left"), L"<absent>");  // hiding saves nothing
    EXPECT_TRUE(FileMenu().at(1).enabled);     // "Open Veltrane" offered again

    PostMenu(main, goner);
    ASSERT_TRUE(program.WaitExit());
    EXPECT_EQ(GetSetting(L"Left"), L"70");
    EXPECT_EQ(GetSetting(L"Top"), L"30");
}

TEST_F(WindowEndToEnd, WindowIsCutToTheOutlineOfItsFace) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(GetWindowRgn(main, region), COMPLEXREGION);
    EXPECT_FALSE(PtInRegion(region, 0, 0));      // the face's magenta corner
    EXPECT_FALSE(PtInRegion(region, 452, 110));
    EXPECT_TRUE(PtInRegion(region, 120, 40));    // the panel behind the figures
    DeleteObject(region);
    // What the screen shows there is checked on a screenshot (shape_on_screen.sh).
}

TEST_F(WindowEndToEnd, OptionsWindowIsModalAndOpensBelowTheMainWindow) {
    PostClick(Child(main, Command4));
    HWND options = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        options = FindWindowW(L"Veltrane.frmOptions", nullptr);
        return options && IsWindowVisible(options);
    }));
    EXPECT_EQ(Text(options), "Options");
    EXPECT_FALSE(IsWindowEnabled(main));
    RECT m, o;
    GetWindowRect(main, &m);
    GetWindowRect(options, &o);
    EXPECT_EQ(o.left, m.left);
    EXPECT_EQ(o.top, m.bottom);
    PostMessageW(options, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(options); }));
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(main) != FALSE; }));
}

TEST_F(WindowEndToEnd, AutostartIsWrittenAndRemovedWithTheCaptionFollowing) {
    EXPECT_EQ(FileMenu().at(8).caption, "Make Autostart");
    PostMenu(main, autoItem);
    HWND box = WaitMessageBox(program.Pid(), L"Veltrane");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), "Autostart fixed!");
    Answer(box);
    EXPECT_EQ(RunValue(), L"\"" + BesideThisProgram(L"Veltrane.exe") + L"\"");  // the whole path, in quotes
    EXPECT_TRUE(WaitFor([&] { return CaptionOf(FileMenu(), 8) == "Remove Autostart"; }, 5000));

    PostMenu(main, autoItem);
    box = WaitMessageBox(program.Pid(), L"Veltrane");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), "Autostart removed!");
    Answer(box);
    EXPECT_EQ(RunValue(), L"<absent>");
    EXPECT_TRUE(WaitFor([&] { return CaptionOf(FileMenu(), 8) == "Make Autostart"; }, 5000));
}

// Wine checks a key's access list: with one that denies setting values the
// user's Run key refuses the write and the delete, as a key locked down by
// an administrator does on Windows. Restored when it goes.
class RunKeyRefusingWrites {
public:
    RunKeyRefusingWrites() {
        HKEY created = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_READ, nullptr, &created, nullptr) ==
            ERROR_SUCCESS) {
            RegCloseKey(created);
        }
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, READ_CONTROL | WRITE_DAC, &key_) != ERROR_SUCCESS) return;
        DWORD size = 0;
        RegGetKeySecurity(key_, DACL_SECURITY_INFORMATION, nullptr, &size);
        old_.resize(size);
        if (RegGetKeySecurity(key_, DACL_SECURITY_INFORMATION, old_.data(), &size) != ERROR_SUCCESS) return;
        PSECURITY_DESCRIPTOR deny = nullptr;
        // Everyone: no KEY_SET_VALUE (2) nor KEY_CREATE_SUB_KEY (4); all else allowed.
        ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(D;;0x6;;;WD)(A;;KA;;;WD)", SDDL_REVISION_1, &deny,
                                                             nullptr);
        active_ = RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, deny) == ERROR_SUCCESS;
        LocalFree(deny);
    }
    ~RunKeyRefusingWrites() {
        if (active_) RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, old_.data());
        if (key_) RegCloseKey(key_);
    }
    // The refusal holds for this process too.
    bool Refuses() const {
        if (!active_) return false;
        HKEY key;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            RegCloseKey(key);
            return false;
        }
        return true;
    }

private:
    HKEY key_ = nullptr;
    std::vector<char> old_;
    bool active_ = false;
};

TEST_F(WindowEndToEnd, RefusedRunKeyIsReportedAndTheCaptionStays) {
    {
        RunKeyRefusingWrites refusing;
        ASSERT_TRUE(refusing.Refuses());
        PostMenu(main, autoItem);
        HWND box = WaitMessageBox(program.Pid(), L"Veltrane");
        ASSERT_NE(box, nullptr);
        const std::string text = MessageBoxText(box);
        EXPECT_EQ(text.rfind("Autostart could not be fixed:", 0), 0u) << text;
        EXPECT_NE(text.find("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"), std::string::npos)
            << text;
        EXPECT_NE(text.find("access was denied."), std::string::npos) << text;
        Answer(box);
        EXPECT_EQ(RunValue(), L"<absent>");
        EXPECT_EQ(CaptionOf(FileMenu(), 8), "Make Autostart");
    }
    // Allowed again: the next click writes it; refused once more, the delete
    // is reported and the value stays.
    PostMenu(main, autoItem);
    HWND box = WaitMessageBox(program.Pid(), L"Veltrane");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), "Autostart fixed!");
    Answer(box);
    ASSERT_NE(RunValue(), L"<absent>");
    {
        RunKeyRefusingWrites refusing;
        ASSERT_TRUE(refusing.Refuses());
        PostMenu(main, autoItem);
        box = WaitMessageBox(program.Pid(), L"Veltrane");
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(MessageBoxText(box).rfind("Autostart could not be removed:", 0), 0u) << MessageBoxText(box);
        Answer(box);
        EXPECT_NE(RunValue(), L"<absent>");
        EXPECT_EQ(CaptionOf(FileMenu(), 8), "Remove Autostart");
    }
    EXPECT_FALSE(program.WaitExit(0));
}

// What the start-up makes of the values it finds: this program's own, an
// earlier version's under the machine-wide key, another copy's.
TEST(AutostartAtStart, CaptionFollowsTheValueFound) {
    const std::wstring self = L"\"" + BesideThisProgram(L"Veltrane.exe") + L"\"";
    const struct {
        HKEY root;
        std::wstring data;
        const char* caption;
    } cases[] = {
        {HKEY_CURRENT_USER, self, "Remove Autostart"},
        {HKEY_LOCAL_MACHINE, L"C:\\VELTRANE.EXE", "Remove Autostart"},
        {HKEY_CURRENT_USER, L"\"C:\\Elsewhere\\Veltrane.exe\"", "Make Autostart"},
    };
    for (const auto& c : cases) {
        ClearSettings();
        SetSetting(L"sound", L"0");
        HKEY key;
        RegCreateKeyExW(c.root, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
        RegSetValueExW(key, L"Veltrane", 0, REG_SZ, reinterpret_cast<const BYTE*>(c.data.c_str()),
                       static_cast<DWORD>((c.data.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
        {
            Program program;
            HWND main = program.WaitMainWindow();
            ASSERT_NE(main, nullptr);
            EXPECT_EQ(CaptionOf(ReadPopupMenu(program.Pid(), Child(main, Label2), WM_RBUTTONUP), 8), c.caption);
        }
        DeleteRunValue();
    }
    ClearSettings();
}

// The program in folders whose names the ANSI code page cannot spell: the
// value it registers names that very file.
TEST(AutostartAtStart, ProgramInAFolderOfAnyNameRegistersItself) {
    for (const wchar_t* folder : {L"C:\\\u0141\u00F3d\u017A", L"C:\\\u30C4\u30FC\u30EB"}) {  // Łódź, in Japanese
        ClearSettings();
        SetSetting(L"sound", L"0");
        DeleteRunValue();
        CreateDirectoryW(folder, nullptr);
        const std::wstring exe = std::wstring(folder) + L"\\Veltrane.exe";
        ASSERT_TRUE(CopyFileW(BesideThisProgram(L"Veltrane.exe").c_str(), exe.c_str(), FALSE));
        {
            Program program(exe);
            HWND main = program.WaitMainWindow();
            ASSERT_NE(main, nullptr);
            PostMenu(main, autoItem);
            HWND box = WaitMessageBox(program.Pid(), L"Veltrane");
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(MessageBoxText(box), "Autostart fixed!");
            AnswerMessageBox(box, IDOK);
            EXPECT_EQ(RunValue(), L"\"" + exe + L"\"");
            PostMessageW(main, WM_CLOSE, 0, 0);
            EXPECT_TRUE(program.WaitExit());
        }
        DeleteRunValue();
        DeleteFileW(exe.c_str());
        RemoveDirectoryW(folder);
    }
    ClearSettings();
}

}  // namespace

namespace {

TEST(SoundMenuAtStart, CaptionFollowsTheStoredSetting) {
    for (auto [stored, caption] : {std::pair{L"0", "Turn On Sound"}, {L"1", "Turn Off Sound"}}) {
        ClearSettings();
        SetSetting(L"sound", stored);
        Program program;
        HWND main = program.WaitMainWindow();
        ASSERT_NE(main, nullptr);
        const auto menu = ReadPopupMenu(program.Pid(), Child(main, Label2), WM_RBUTTONUP);
        EXPECT_EQ(CaptionOf(menu, 5), caption);
        // Chosen once, it offers the other way round.
        PostMenu(main, 106);
        const char* other = std::string(caption) == "Turn On Sound" ? "Turn Off Sound" : "Turn On Sound";
        EXPECT_TRUE(WaitFor([&] { return CaptionOf(ReadPopupMenu(program.Pid(), Child(main, Label2), WM_RBUTTONUP), 5) == other; }, 5000));
    }
    ClearSettings();
}

}  // namespace
