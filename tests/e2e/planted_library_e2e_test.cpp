// Libraries planted beside the program are never loaded: not at the start
// (the greeting's sound), not when a screen reader asks for a control's name,
// not when the options window opens with its tab control. Wine prefers its
// own copy of a system library; told to prefer a native one (ctest runs this
// test with WINEDLLOVERRIDES=winmm,oleacc,uxtheme=n,b, which reaches the
// program through this test's own environment), it searches the program's
// folder first, as Windows does for a library that is no KnownDLL.
#include <windows.h>

#include <objbase.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/driver.h"
#include "ui/control_ids.h"

namespace {

using namespace e2e;

TEST(PlantedLibraries, AreNeverLoaded) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"veltrane-planted";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring exe = folder + L"\\Veltrane.exe";
    ASSERT_TRUE(CopyFileW(BesideThisProgram(L"Veltrane.exe").c_str(), exe.c_str(), FALSE));
    const std::vector<std::wstring> planted = {L"winmm.dll", L"uxtheme.dll", L"oleacc.dll"};
    for (const std::wstring& name : planted) {
        ASSERT_TRUE(CopyFileW(BesideThisProgram(L"planted_library.dll").c_str(), (folder + L"\\" + name).c_str(), FALSE));
    }
    auto marked = [&](const std::wstring& name) {
        return GetFileAttributesW((folder + L"\\" + name + L".loaded").c_str()) != INVALID_FILE_ATTRIBUTES;
    };
    // The mark works: loaded, the library leaves one (under a name of its
    // own here: this process prefers Wine's copies of the system's).
    const std::wstring probe = folder + L"\\probe.dll";
    ASSERT_TRUE(CopyFileW(BesideThisProgram(L"planted_library.dll").c_str(), probe.c_str(), FALSE));
    HMODULE loaded = LoadLibraryW(probe.c_str());
    ASSERT_NE(loaded, nullptr);
    FreeLibrary(loaded);
    EXPECT_TRUE(marked(L"probe.dll"));
    DeleteFileW((probe + L".loaded").c_str());
    DeleteFileW(probe.c_str());

    auto anyMarked = [&] {
        for (const std::wstring& name : planted) {
            if (marked(name)) return true;
        }
        return false;
    };
    ClearSettings();
    SetSetting(L"sound", L"1");
    {
        Program program(exe);
        // A planted library loaded at the start may keep the program from
        // coming up at all: the mark is enough.
        HWND main = nullptr;
        WaitFor([&] { return anyMarked() || (main = FindWindowW(L"Veltrane.Form1", nullptr)) != nullptr; });
        ASSERT_FALSE(anyMarked());
        main = program.WaitMainWindow();
        ASSERT_NE(main, nullptr);
        EXPECT_EQ(AccessibleName(Child(main, vt::form1::Command5)), "Units");
        PostClick(Child(main, vt::form1::Command4));
        HWND options = nullptr;
        ASSERT_TRUE(WaitFor([&] {
            options = FindWindowW(L"Veltrane.frmOptions", nullptr);
            return options && IsWindowVisible(options);
        }));
        PostClick(Child(options, vt::frm_options::Command3));
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(options); }));
        PostMessageW(main, WM_CLOSE, 0, 0);
        EXPECT_TRUE(program.WaitExit());
    }
    for (const std::wstring& name : planted) {
        EXPECT_FALSE(marked(name)) << Narrow(name);
        DeleteFileW((folder + L"\\" + name + L".loaded").c_str());
        DeleteFileW((folder + L"\\" + name).c_str());
    }
    DeleteFileW(exe.c_str());
    RemoveDirectoryW(folder.c_str());
    ClearSettings();
    CoUninitialize();
}

}  // namespace
