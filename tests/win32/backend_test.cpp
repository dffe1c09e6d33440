// The real Win32 backend under Wine: what only Windows can answer.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/handle.h"
#include "platform/win32/win32_platform.h"
#include "tests/contract_settings.h"
#include "ui/form1.h"

namespace vt {
namespace {

using namespace form1;

struct Recorder : FormEvents {
    std::vector<int> timers, clicks;
    void Timer(int id) override { timers.push_back(id); }
    void Click(int id) override { clicks.push_back(id); }
};

std::wstring WindowText(HWND hwnd) {
    wchar_t buffer[256] = L"";
    GetWindowTextW(hwnd, buffer, 256);
    return buffer;
}

TEST(Win32Backend, SettingsStoreContract) {
    auto p = CreateWin32Platform();
    SettingsStoreContract(*p);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Veltrane.ContractTest");
}

TEST(Win32Backend, SettingOfAnotherRegistryTypeReadsAsEmptyText) {
    auto p = CreateWin32Platform();
    HKEY key;
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Veltrane.TypeTest\\Startup", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                    &key, nullptr);
    const DWORD value = 5;
    RegSetValueExW(key, L"Left", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
    EXPECT_EQ(p->GetSetting("Veltrane.TypeTest", "Startup", "Left", "0"), "");
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Veltrane.TypeTest");
}

TEST(Win32Backend, MainWindowControlsAreRealWindowsWithReadableCaptions) {
    auto p = CreateWin32Platform();
    Recorder events;
    {
        auto form = p->CreateForm(MainWindowDef(), events);
        HWND hwnd = reinterpret_cast<HWND>(form->Hwnd());
        RECT client;
        GetClientRect(hwnd, &client);
        EXPECT_EQ(client.right, 453);
        EXPECT_EQ(client.bottom, 111);
        EXPECT_EQ(GetWindowLongW(hwnd, GWL_STYLE) & WS_CAPTION, 0);

        EXPECT_EQ(WindowText(GetDlgItem(hwnd, Label1)), L"Not Updated");
        EXPECT_EQ(WindowText(GetDlgItem(hwnd, Command1)), L"Update");
        EXPECT_EQ(WindowText(GetDlgItem(hwnd, Text1)), L"1");
        EXPECT_EQ(WindowText(GetDlgItem(hwnd, Combo1)), L"min");
        HWND picture2 = GetDlgItem(hwnd, Picture2);
        EXPECT_EQ(WindowText(GetDlgItem(picture2, Label3)), L"Free Memory");

        form->SetCaption(Label1, "  Totalt= 524 Mb  Free= 131 Mb     ");
        EXPECT_EQ(WindowText(GetDlgItem(hwnd, Label1)), L"  Totalt= 524 Mb  Free= 131 Mb     ");
        EXPECT_EQ(form->Caption(Label1), "  Totalt= 524 Mb  Free= 131 Mb     ");
        form->SetCaption(sucker, "Busy= 75 %.");
        EXPECT_EQ(form->Caption(sucker), "Busy= 75 %.");
        EXPECT_TRUE(form->Enabled(stupid));
        form->SetEnabled(stupid, false);
        EXPECT_FALSE(form->Enabled(stupid));

        form->SetBounds(Picture1, {256, 50, 124, 17});
        RECT bar;
        GetWindowRect(GetDlgItem(hwnd, Picture1), &bar);
        EXPECT_EQ(bar.right - bar.left, 124);

        form->SetLeft(-1800);
        form->SetTop(1500);
        EXPECT_EQ(form->Left(), -1800);
        EXPECT_EQ(form->Top(), 1500);

        // The face is readable before the window was ever shown.
        HDC face = reinterpret_cast<HDC>(form->FaceDc());
        EXPECT_EQ(GetPixel(face, 0, 0), RGB(255, 0, 255));
        EXPECT_EQ(GetPixel(face, 455, 50), RGB(255, 0, 255));
        EXPECT_NE(GetPixel(face, 100, 30), RGB(255, 0, 255));

        // A timer reports its ticks through the event interface.
        form->SetEnabled(Timer2, true);
        const DWORD start = GetTickCount();
        while (events.timers.empty() && GetTickCount() - start < 3000) {
            p->DoEvents();
            Sleep(10);
        }
        ASSERT_FALSE(events.timers.empty());
        EXPECT_EQ(events.timers[0], Timer2);

        // A posted button click arrives as the control's Click.
        PostMessageW(GetDlgItem(hwnd, Command1), BM_CLICK, 0, 0);
        const DWORD clickStart = GetTickCount();
        while (events.clicks.empty() && GetTickCount() - clickStart < 3000) {
            p->DoEvents();
            Sleep(10);
        }
        ASSERT_FALSE(events.clicks.empty());
        EXPECT_EQ(events.clicks[0], Command1);
    }
    // Everything the form held is released with it.
    using win32::HandleKind;
    for (HandleKind kind : {HandleKind::Brush, HandleKind::Bitmap, HandleKind::Dc, HandleKind::Font, HandleKind::Menu,
                            HandleKind::Pen}) {
        EXPECT_EQ(win32::LiveHandles(kind), 0) << static_cast<int>(kind);
    }
}

// The hook goes in through the real window procedure chain: the icon's
// notification reaches it, every other message still reaches the window.
TEST(Win32Backend, TrayHookSitsInTheRealWindowProcedureChain) {
    auto p = CreateWin32Platform();
    ProgramState g;
    Form1 f(*p, g);
    f.Start();
    HWND hwnd = reinterpret_cast<HWND>(f.form().Hwnd());
    EXPECT_EQ(WindowText(hwnd), L"Veltrane");  // WM_GETTEXT went on to the window's own procedure
    const auto id = static_cast<WPARAM>(static_cast<uint32_t>(p->Instance()));
    ShowWindow(hwnd, SW_HIDE);
    f.form().SetEnabled(stupid, true);
    SendMessageW(hwnd, 1039, id, 513);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_FALSE(f.form().Enabled(stupid));
    f.RemoveTrayIcon();
    f.form().Unload();
}

// Thousands of theme changes and default-icon resets hold no more icons than
// there are pictures, and the process's GDI and USER objects stay put.
TEST(Win32Backend, ThemeSoakKeepsTheHandleCountsFlat) {
    auto p = CreateWin32Platform();
    ProgramState g;
    Form1 f(*p, g);
    f.Start();
    auto round = [&](int from, int count) {
        for (int i = from; i < from + count; ++i) {
            g.intTema = static_cast<int16_t>(1 + i % 5);
            f.sngFreePercent = static_cast<float>((i * 7) % 101);
            f.blnFromUpdate = true;
            f.SetThemeIcon();
            if (i % 10 == 0) f.cmdChangeIcon_Click();
        }
    };
    round(0, 500);  // every picture shown at least once
    const int icons = win32::LiveHandles(win32::HandleKind::Icon);
    const DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    EXPECT_LE(icons, 46);
    round(500, 2500);
    f.cmdChangeIcon_Click();
    EXPECT_EQ(win32::LiveHandles(win32::HandleKind::Icon), icons);
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdi);
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), user);
    EXPECT_NE(f.form().Icon(), 0u);
    EXPECT_EQ(f.form().Icon(), p->IconResource(145));
    EXPECT_EQ(SendMessageW(reinterpret_cast<HWND>(f.form().Hwnd()), WM_GETICON, ICON_BIG, 0),
              static_cast<LRESULT>(f.form().Icon()));
    f.RemoveTrayIcon();
    f.form().Unload();
}

TEST(Win32Backend, EveryIconGroupLoads) {
    auto p = CreateWin32Platform();
    for (int id = 101; id <= 145; ++id) {
        const uintptr_t icon = p->IconResource(id);
        ASSERT_NE(icon, 0u) << id << " error " << GetLastError();
        EXPECT_EQ(p->IconResource(id), icon) << id;  // loaded once
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(reinterpret_cast<HICON>(icon), &info));
        BITMAP bm{};
        GetObjectW(info.hbmMask, sizeof bm, &bm);
        EXPECT_EQ(bm.bmWidth, 32) << id;
        DeleteObject(info.hbmMask);
        if (info.hbmColor) DeleteObject(info.hbmColor);
    }
    EXPECT_NE(p->IconResource(1), 0u);
    EXPECT_EQ(p->IconResource(146), 0u);
}

TEST(Win32Backend, MissingCustomResourceIsEmpty) {
    auto p = CreateWin32Platform();
    EXPECT_TRUE(p->CustomResource(126).empty());
}

}  // namespace
}  // namespace vt
