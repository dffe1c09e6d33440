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
    // What it registers is the running program, in full and in quotes.
    ASSERT_EQ(p->Autorun().Register(kName).outcome, RunChange::Done);
    const std::wstring module = win32::ModulePath();
    EXPECT_FALSE(module.empty());
    EXPECT_EQ(win32::Tray_function::GetRegString(HKEY_CURRENT_USER, win32::kRunKey, win32::Widen(kName)),
              L"\"" + module + L"\"");
    EXPECT_EQ(p->Autorun().Where(), "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
    p->Autorun().Unregister(kName);
    EXPECT_EQ(win32::LiveHandles(win32::HandleKind::Key), keys);  // every key opened is closed
}

// Programs in folders whose names the ANSI code page cannot spell, and one
// deep down: the value holds each path whole, read back as it was written,
// and names the program.
TEST(Win32Services, RunValueHoldsAnyPathWhole) {
    const std::wstring deep = L"C:\\" + std::wstring(200, L'd') + L"\\Veltrane.exe";
    for (const std::wstring& program : {std::wstring(L"C:\\\u0141\u00F3d\u017A\\Veltrane.exe"),  // Łódź
                                       std::wstring(L"C:\\\u30C4\u30FC\u30EB\\Veltrane.exe"),   // a folder named in Japanese
                                       deep}) {
        auto run = win32::CreateRunValue(program);
        ASSERT_EQ(run->Register(kName).outcome, RunChange::Done);
        const std::wstring key = win32::Widen(kName);
        EXPECT_EQ(win32::Tray_function::GetRegString(HKEY_CURRENT_USER, win32::kRunKey, key), L"\"" + program + L"\"");
        DWORD type = 0, size = 0;
        HKEY opened = nullptr;
        ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, win32::kRunKey, 0, KEY_QUERY_VALUE, &opened), ERROR_SUCCESS);
        const win32::unique_hkey runKey(opened);
        RegQueryValueExW(runKey.get(), key.c_str(), nullptr, &type, nullptr, &size);
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(size, (program.size() + 3) * sizeof(wchar_t));  // the quotes and the NUL counted
        EXPECT_TRUE(run->Registered(kName));
        EXPECT_FALSE(win32::CreateRunValue(L"C:\\Other\\Veltrane.exe")->Registered(kName));  // another copy's
        EXPECT_EQ(run->Unregister(kName).outcome, RunChange::Done);
        EXPECT_FALSE(run->Registered(kName));
    }
}

// An earlier version's machine-wide value counts and goes with the next
// removal; an entry switched off in the system's list counts as off until
// it is registered again.
TEST(Win32Services, RunValueOfEarlierVersionsAndTheUsersSwitch) {
    auto run = win32::CreateRunValue(L"C:\\Tools\\Veltrane.exe");
    const std::wstring key = win32::Widen(kName);
    ASSERT_EQ(win32::Tray_function::SetRegString(HKEY_LOCAL_MACHINE, win32::kRunKey, key, L"C:\\OLD\\VELTRANE.EXE"),
              ERROR_SUCCESS);
    EXPECT_TRUE(run->Registered(kName));
    EXPECT_EQ(run->Unregister(kName).outcome, RunChange::Done);
    EXPECT_EQ(win32::Tray_function::GetRegString(HKEY_LOCAL_MACHINE, win32::kRunKey, key), L"");
    EXPECT_FALSE(run->Registered(kName));

    ASSERT_EQ(run->Register(kName).outcome, RunChange::Done);
    HKEY created = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, win32::kStartupApprovedKey, 0, nullptr, 0, KEY_SET_VALUE | KEY_QUERY_VALUE, nullptr,
                              &created, nullptr),
              ERROR_SUCCESS);
    const win32::unique_hkey approved(created);
    const BYTE off[12] = {3}, on[12] = {2};
    RegSetValueExW(approved.get(), key.c_str(), 0, REG_BINARY, off, sizeof off);
    EXPECT_FALSE(run->Registered(kName));  // switched off by the user
    RegSetValueExW(approved.get(), key.c_str(), 0, REG_BINARY, on, sizeof on);
    EXPECT_TRUE(run->Registered(kName));
    RegSetValueExW(approved.get(), key.c_str(), 0, REG_BINARY, off, sizeof off);
    ASSERT_EQ(run->Register(kName).outcome, RunChange::Done);  // on again: the switch is cleared
    EXPECT_TRUE(run->Registered(kName));
    EXPECT_EQ(RegQueryValueExW(approved.get(), key.c_str(), nullptr, nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);
    run->Unregister(kName);
}

TEST(Win32Services, RunValueReadsOnlyNonEmptyText) {
    const struct {
        const char* what;
        DWORD type;
        std::wstring text;
        std::wstring read;
    } cases[] = {
        {"with NUL", REG_SZ, std::wstring(L"C:\\V.EXE\0", 9), L"C:\\V.EXE"},
        {"without NUL", REG_SZ, L"C:\\V.EXE", L"C:\\V.EXE"},
        {"text after a NUL", REG_SZ, std::wstring(L"A\0B", 3), L"A"},
        {"empty", REG_SZ, L"", L""},
        {"wrong type", REG_EXPAND_SZ, L"C:\\V.EXE", L""},
    };
    HKEY created = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, win32::kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &created,
                              nullptr),
              ERROR_SUCCESS);
    const win32::unique_hkey key(created);
    const std::wstring name = win32::Widen(kName);
    for (const auto& c : cases) {
        ASSERT_EQ(RegSetValueExW(key.get(), name.c_str(), 0, c.type, reinterpret_cast<const BYTE*>(c.text.data()),
                                 static_cast<DWORD>(c.text.size() * sizeof(wchar_t))),
                  ERROR_SUCCESS);
        EXPECT_EQ(win32::Tray_function::GetRegString(HKEY_CURRENT_USER, win32::kRunKey, name), c.read) << c.what;
    }
    RegDeleteValueW(key.get(), name.c_str());
    EXPECT_EQ(win32::Tray_function::GetRegString(HKEY_CURRENT_USER, win32::kRunKey, name), L"");
    EXPECT_EQ(win32::Tray_function::GetRegString(HKEY_CURRENT_USER, L"Software\\Missing", name), L"");
}

TEST(Win32Services, SoundContractWithoutADevice) {
    auto p = CreateWin32Platform();
    const std::span<const uint8_t> click = p->CustomResource(105);  // the shortest sound, 0.02 s
    ASSERT_FALSE(click.empty());
    contract::SoundContract(p->Sound(), click);
}

}  // namespace
}  // namespace vt
