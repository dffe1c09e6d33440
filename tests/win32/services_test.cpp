// The real backend's services under Wine: the contracts they share with the
// fake, and what only the system can answer.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/handle.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_run_value.h"
#include "tests/contract_services.h"

namespace vt {
namespace {

constexpr char kName[] = "Veltrane.ContractTest";

TEST(Win32Services, RunValueContract) {
    auto p = CreateWin32Platform();
    const int keys = win32::LiveHandles(win32::HandleKind::Key);
    contract::RunValueContract(p->Autorun(), kName);
    // What it registers is the running program.
    ASSERT_EQ(p->Autorun().Register(kName).outcome, RunChange::Done);
    EXPECT_EQ(win32::Tray_function::GetRegString(HKEY_LOCAL_MACHINE, win32::kRunKey, kName),
              win32::AutostartCommand());
    EXPECT_FALSE(win32::AutostartCommand().empty());
    p->Autorun().Unregister(kName);
    EXPECT_EQ(win32::LiveHandles(win32::HandleKind::Key), keys);  // every key opened is closed
}

TEST(Win32Services, RunValueReadsOnlyNonEmptyText) {
    const struct {
        const char* what;
        DWORD type;
        std::string bytes;
        std::string read;
    } cases[] = {
        {"with NUL", REG_SZ, std::string("C:\\V.EXE\0", 9), "C:\\V.EXE"},
        {"without NUL", REG_SZ, "C:\\V.EXE", "C:\\V.EXE"},
        {"text after a NUL", REG_SZ, std::string("A\0B", 3), "A"},
        {"empty", REG_SZ, "", ""},
        {"wrong type", REG_DWORD, std::string("\1\0\0\0", 4), ""},
    };
    auto p = CreateWin32Platform();
    HKEY run = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, win32::kRunKey, &run), ERROR_SUCCESS);
    const win32::unique_hkey key(run);
    for (const auto& c : cases) {
        ASSERT_EQ(RegSetValueExA(run, kName, 0, c.type, reinterpret_cast<const BYTE*>(c.bytes.data()),
                                 static_cast<DWORD>(c.bytes.size())),
                  ERROR_SUCCESS);
        EXPECT_EQ(win32::Tray_function::GetRegString(HKEY_LOCAL_MACHINE, win32::kRunKey, kName), c.read) << c.what;
        EXPECT_EQ(p->Autorun().Registered(kName), !c.read.empty()) << c.what;
    }
    RegDeleteValueA(run, kName);
    EXPECT_EQ(win32::Tray_function::GetRegString(HKEY_LOCAL_MACHINE, win32::kRunKey, kName), "");
    EXPECT_EQ(win32::Tray_function::GetRegString(HKEY_LOCAL_MACHINE, "Software\\Missing", kName), "");
    // Written by the program (its NUL not counted): read back whole.
    ASSERT_EQ(win32::Tray_function::SetRegString(HKEY_LOCAL_MACHINE, win32::kRunKey, kName, "C:\\A B\\V.exe"),
              ERROR_SUCCESS);
    EXPECT_EQ(win32::Tray_function::GetRegString(HKEY_LOCAL_MACHINE, win32::kRunKey, kName), "C:\\A B\\V.exe");
    EXPECT_EQ(win32::Tray_function::DeleteRegValue(HKEY_LOCAL_MACHINE, win32::kRunKey, kName), ERROR_SUCCESS);
}

TEST(Win32Services, ShortNameOfLongPathsAndMissingFiles) {
    char temp[MAX_PATH] = "";
    ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
    const std::string deep = std::string(temp) + std::string(200, 'd');
    ASSERT_TRUE(CreateDirectoryA(deep.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    const std::string file = deep + "\\Veltrane.exe";
    CloseHandle(CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    const std::string shortName = win32::modSND::GetShortName(file);
    EXPECT_FALSE(shortName.empty());
    EXPECT_LT(shortName.size(), file.size());
    EXPECT_EQ(GetFileAttributesA(shortName.c_str()), GetFileAttributesA(file.c_str()));
    EXPECT_EQ(win32::modSND::GetShortName(deep + "\\nothing.exe"), "");
    DeleteFileA(file.c_str());
    RemoveDirectoryA(deep.c_str());
}

TEST(Win32Services, SoundContractWithoutADevice) {
    auto p = CreateWin32Platform();
    const std::span<const uint8_t> click = p->CustomResource(105);  // the shortest sound, 0.02 s
    ASSERT_FALSE(click.empty());
    contract::SoundContract(p->Sound(), click);
}

}  // namespace
}  // namespace vt
