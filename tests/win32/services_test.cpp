// The real backend's services under Wine: the contracts they share with the
// fake, and what only the system can answer.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/handle.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_native.h"
#include "platform/win32/win32_run_value.h"
#include "platform/win32/win32_tray.h"
#include "tests/contract_services.h"
#include "tests/contract_tray.h"

namespace vt {
namespace {

constexpr char kName[] = "Veltrane.ContractTest";

// The real shell (Wine's notification area), told of the icon as Windows
// tells it; the record is the one the host hands over.
struct Win32TrayDriver : contract::TrayDriver {
    std::unique_ptr<Platform> p = CreateWin32Platform();
    Platform& platform() override { return *p; }
    static WPARAM TrayId() { return static_cast<UINT>(reinterpret_cast<uintptr_t>(GetModuleHandleW(nullptr))); }
    static NOTIFYICONDATAA Record(Form& window) {
        NOTIFYICONDATAA nid{};
        nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
        nid.hWnd = win32::HwndOf(window);
        nid.uID = static_cast<UINT>(TrayId());
        return nid;
    }
    void Report(Form& window, intptr_t report) override {
        SendMessageW(win32::HwndOf(window), 1039, TrayId(), report);
    }
    void NotificationAreaMadeAnew(Form& window) override {
        NOTIFYICONDATAA nid = Record(window);
        Shell_NotifyIconA(NIM_DELETE, &nid);
        SendMessageW(win32::HwndOf(window), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    }
    bool ShellHolds(Form& window) override {
        NOTIFYICONDATAA nid = Record(window);  // a modify of no field: answered only for an icon there
        return Shell_NotifyIconA(NIM_MODIFY, &nid) != FALSE;
    }
    int ShellCalls() override { return win32::Win32TrayHost::Log().calls; }
    std::string LastChange() override {
        const auto& log = win32::Win32TrayHost::Log();
        if (log.message == NIM_ADD) return "add";
        if (log.message == NIM_DELETE) return "delete";
        const bool tip = log.flags & NIF_TIP, icon = log.flags & NIF_ICON;
        return tip && icon ? "tip icon" : tip ? "tip" : "icon";
    }
};

TEST(Win32Services, TrayContract) {
    Win32TrayDriver d;
    contract::TrayContract(d);
}

// The record as the shell gets it: the version-1 ANSI layout of this target
// (88 bytes on 32-bit Windows), the window, the instance handle as the id,
// flags 7, message 1039 and the tip field of the tip rule.
TEST(Win32Services, TrayRecordIsTheFirstVersionsWithTheTipRule) {
    auto p = CreateWin32Platform();
    FormEvents formEvents;
    auto window = p->CreateForm({.name = "TrayForm", .clientWidth = 40, .clientHeight = 20, .icon = 1}, formEvents);
    contract::TrayRecorder events;
    auto host = p->CreateTrayHost(*window, events);
    ASSERT_TRUE(host->Add("Veltrane", 1));
    const NOTIFYICONDATAA& nid = static_cast<win32::Win32TrayHost&>(*host).record();
    EXPECT_EQ(nid.cbSize, NOTIFYICONDATAA_V1_SIZE);
    EXPECT_EQ(nid.hWnd, win32::HwndOf(*window));
    EXPECT_EQ(nid.uID, static_cast<UINT>(reinterpret_cast<uintptr_t>(GetModuleHandleW(nullptr))));
    EXPECT_EQ(nid.uFlags, 7u);
    EXPECT_EQ(nid.uCallbackMessage, 1039u);
    EXPECT_NE(nid.hIcon, nullptr);
    EXPECT_EQ(std::string(nid.szTip, 64), std::string("Veltrane") + '\0' + std::string(55, ' '));
    host->Modify(std::string(70, 'T'), 1);
    EXPECT_EQ(std::string(nid.szTip, 64), std::string(64, 'T'));  // cut, no NUL
    host.reset();
    window->Unload();
}

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
