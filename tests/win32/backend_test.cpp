// The real Win32 backend under Wine: what only Windows can answer.
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <map>
#include <vector>

#include "memory/top_users.h"
#include "platform/convert.h"
#include "platform/errors.h"
#include "platform/win32/handle.h"
#include "platform/win32/win32_native.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_tray.h"
#include "sound/mod_snd.h"
#include "tests/contract_forms.h"
#include "tests/contract_settings.h"
#include "tests/win32/own_memory.h"
#include "ui/form1.h"
#include "ui/options_window.h"

#include <cstdio>

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

// Real time: Idle pumps messages until its time is up, Busy only sleeps.
struct Win32Driver : contract::Driver {
    std::unique_ptr<Platform> p = CreateWin32Platform();
    Platform& platform() override { return *p; }
    void PostClick(Form& form, int id) override {
        PostMessageW(GetDlgItem(win32::HwndOf(form), id), BM_CLICK, 0, 0);
    }
    void Idle(int ms) override {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            p->DoEvents();
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
            if (left.count() <= 0) break;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left.count()), QS_ALLINPUT);
        }
    }
    void Busy(int ms) override { Sleep(static_cast<DWORD>(ms)); }
    bool InsideWindow(Form& form, Point at) override {
        RECT client;
        GetClientRect(win32::HwndOf(form), &client);
        if (!PtInRect(&client, {at.x, at.y})) return false;
        const win32::unique_hrgn region(CreateRectRgn(0, 0, 0, 0));
        if (GetWindowRgn(win32::HwndOf(form), region.get()) == ERROR) return true;  // no outline: all of it
        return PtInRegion(region.get(), at.x, at.y) != FALSE;
    }
};

TEST(Win32Backend, OutlineContract) {
    Win32Driver d;
    contract::OutlineContract(d, kFacePicture);
}

TEST(Win32Backend, ChoiceContract) {
    Win32Driver d;
    contract::ChoiceContract(d);
}

TEST(Win32Backend, UnknownIdContract) {
    Win32Driver d;
    contract::UnknownIdContract(d);
}

TEST(Win32Backend, GeometryContract) {
    Win32Driver d;
    contract::GeometryContract(d);
}

TEST(Win32Backend, TimerContract) {
    Win32Driver d;
    contract::TimerContract(d);
}

TEST(Win32Backend, PendingEventsContract) {
    Win32Driver d;
    contract::PendingEventsContract(d);
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

// What each kind of registry value gives a reader of the settings store, and
// what the start-up makes of it as "Left": the text, then its number or the
// error its report shows. Only text values are text; nothing is changed.
TEST(Win32Backend, SettingsOfEveryRegistryTypeAndShape) {
    auto p = CreateWin32Platform();
    const wchar_t* subKey = L"Software\\Veltrane.BadTypeTest\\Startup";
    auto bytesOf = [](std::wstring_view text) {
        return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    };
    const std::wstring longDigits(70000, L'7');
    const std::wstring longPadded = std::wstring(70000, L' ') + L"7";
    const DWORD five = 5;
    const uint64_t six = 6;
    const struct {
        const char* what;
        DWORD type;
        std::string data;  // the raw bytes stored
        std::string text;  // what GetSetting returns
        int error;         // what CLng of it raises, 0 when it converts
        int32_t value;
    } cases[] = {
        {"REG_DWORD", REG_DWORD, std::string(reinterpret_cast<const char*>(&five), 4), "", 13, 0},
        {"REG_QWORD", REG_QWORD, std::string(reinterpret_cast<const char*>(&six), 8), "", 13, 0},
        {"REG_BINARY", REG_BINARY, std::string("5\0", 2), "", 13, 0},
        {"REG_NONE", REG_NONE, "", "", 13, 0},
        {"REG_MULTI_SZ", REG_MULTI_SZ, bytesOf(std::wstring_view(L"5\0\0", 3)), "", 13, 0},
        {"REG_EXPAND_SZ", REG_EXPAND_SZ, bytesOf(std::wstring_view(L"7\0", 2)), "7", 0, 7},
        {"REG_EXPAND_SZ unexpanded", REG_EXPAND_SZ, bytesOf(std::wstring_view(L"%SystemRoot%\0", 13)),
         "%SystemRoot%", 13, 0},
        {"zero-length REG_SZ", REG_SZ, "", "", 13, 0},
        {"REG_SZ without its NUL", REG_SZ, bytesOf(L"12"), "12", 0, 12},
        {"REG_SZ of an odd length", REG_SZ, bytesOf(L"12") + "x", "12", 0, 12},
        {"REG_SZ with a NUL inside", REG_SZ, bytesOf(std::wstring_view(L"5\0" L"9\0", 4)), "5", 0, 5},
        {"REG_SZ negative", REG_SZ, bytesOf(std::wstring_view(L"-120\0", 5)), "-120", 0, -120},
        {"REG_SZ full-width digit", REG_SZ, bytesOf(std::wstring_view(L"\xFF15\0", 2)), "\xEF\xBC\x95", 13, 0},
        {"REG_SZ of 70000 digits", REG_SZ, bytesOf(longDigits), std::string(70000, '7'), 13, 0},
        {"REG_SZ of 70000 blanks and a 7", REG_SZ, bytesOf(longPadded), std::string(70000, ' ') + "7", 0, 7},
    };
    for (const auto& c : cases) {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, subKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExW(key, L"Left", 0, c.type, reinterpret_cast<const BYTE*>(c.data.data()),
                                 static_cast<DWORD>(c.data.size())),
                  ERROR_SUCCESS)
            << c.what;
        RegCloseKey(key);
        auto stored = [&] {
            std::pair<DWORD, std::string> out{};
            DWORD size = 0;
            HKEY read;
            if (RegOpenKeyExW(HKEY_CURRENT_USER, subKey, 0, KEY_QUERY_VALUE, &read) != ERROR_SUCCESS) return out;
            RegQueryValueExW(read, L"Left", nullptr, &out.first, nullptr, &size);
            out.second.resize(size);
            RegQueryValueExW(read, L"Left", nullptr, &out.first, reinterpret_cast<BYTE*>(out.second.data()), &size);
            RegCloseKey(read);
            return out;
        };
        const auto before = stored();
        EXPECT_EQ(before.first, c.type) << c.what;

        const std::string text = p->GetSetting("Veltrane.BadTypeTest", "Startup", "Left", "0");
        EXPECT_EQ(text.size(), c.text.size()) << c.what;
        EXPECT_TRUE(text == c.text) << c.what;
        int error = 0;
        int32_t value = 0;
        try {
            value = CLng(text);
        } catch (const RuntimeError& e) {
            error = e.number();
        }
        EXPECT_EQ(error, c.error) << c.what;
        EXPECT_EQ(value, c.value) << c.what;
        EXPECT_TRUE(stored() == before) << c.what;  // reading changed nothing
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Veltrane.BadTypeTest");
}

TEST(Win32Backend, MainWindowControlsAreRealWindowsWithReadableCaptions) {
    auto p = CreateWin32Platform();
    Recorder events;
    {
        auto form = p->CreateForm(MainWindowDef(), events);
        HWND hwnd = win32::HwndOf(*form);
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
        HDC face = win32::FaceDcOf(*form);
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

// The controls' own procedure hands the pointer to the tips and still
// reports the presses: a tip shows over its control, a press on a picture
// still clicks it, and a label's new text reaches the screen.
TEST(Win32Backend, ControlProcedureRelaysTipsPressesAndPaints) {
    auto p = CreateWin32Platform();
    struct : Recorder {
        std::vector<int> downs;
        void MouseDown(int id, MouseButton) override { downs.push_back(id); }
    } events;
    auto form = p->CreateForm(MainWindowDef(), events);
    form->Show();
    HWND hwnd = win32::HwndOf(*form);
    auto pumpUntil = [&](auto done) {
        for (const DWORD start = GetTickCount(); !done() && GetTickCount() - start < 3000; Sleep(10)) p->DoEvents();
        return done();
    };

    HWND hide = GetDlgItem(hwnd, Command3);
    RECT r;
    GetWindowRect(hide, &r);
    SetCursorPos(r.left + 5, r.top + 5);
    SendMessageW(hide, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    HWND tip = nullptr;
    EXPECT_TRUE(pumpUntil([&] {
        tip = FindWindowW(TOOLTIPS_CLASSW, nullptr);
        return tip && IsWindowVisible(tip);
    }));
    if (tip) {
        EXPECT_EQ(WindowText(tip), L"Remove me from screen");
    }

    HWND image = GetDlgItem(hwnd, Image3);
    PostMessageW(image, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    PostMessageW(image, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_TRUE(pumpUntil([&] { return !events.clicks.empty(); }));
    EXPECT_EQ(events.downs, std::vector<int>{Image3});
    EXPECT_EQ(events.clicks, std::vector<int>{Image3});

    HWND label = GetDlgItem(hwnd, Label1);
    p->DoEvents();
    form->SetCaption(Label1, "  Totalt= 524 Mb  Free= 131 Mb     ");
    EXPECT_TRUE(GetUpdateRect(label, nullptr, FALSE));
    EXPECT_TRUE(pumpUntil([&] { return !GetUpdateRect(label, nullptr, FALSE); }));
    form->Unload();
}

// The hook goes in through the real window procedure chain: the icon's
// notification reaches it, every other message still reaches the window.
TEST(Win32Backend, TrayHookSitsInTheRealWindowProcedureChain) {
    auto p = CreateWin32Platform();
    Form1 f(*p);
    f.Start();
    HWND hwnd = win32::HwndOf(f.form());
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(win32::Win32TrayHost::TrayWndProc));
    EXPECT_EQ(WindowText(hwnd), L"Veltrane");  // WM_GETTEXT went on to the window's own procedure
    EXPECT_EQ(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0), 8);  // with its answer
    const auto id = static_cast<WPARAM>(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(GetModuleHandleW(nullptr))));
    ShowWindow(hwnd, SW_HIDE);
    f.form().SetEnabled(stupid, true);
    SendMessageW(hwnd, 1039, id + 1, 513);  // another icon's: no notification of ours
    EXPECT_FALSE(IsWindowVisible(hwnd));
    SendMessageW(hwnd, 0x0200, id, 513);  // known by the id alone, whatever the message number
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_FALSE(f.form().Enabled(stupid));
    ShowWindow(hwnd, SW_HIDE);
    SendMessageW(hwnd, 1039, id, 513);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    f.RemoveTrayIcon();
    // The window's own procedure is back.
    EXPECT_NE(GetWindowLongPtrW(hwnd, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(win32::Win32TrayHost::TrayWndProc));
    f.form().Unload();
}

// Thousands of theme changes and default-icon resets hold no more icons than
// there are pictures, and the process's GDI and USER objects stay put.
TEST(Win32Backend, ThemeSoakKeepsTheHandleCountsFlat) {
    auto p = CreateWin32Platform();
    Form1 f(*p);
    f.Start();
    auto round = [&](int from, int count) {
        for (int i = from; i < from + count; ++i) {
            f.tray().SetTema(static_cast<int16_t>(1 + i % 5));
            f.tray().ShowTheme(static_cast<float>((i * 7) % 101));
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
    EXPECT_EQ(f.form().Icon(), 145);
    EXPECT_EQ(win32::WindowIconOf(f.form()), win32::IconOf(*p, 145));
    EXPECT_EQ(SendMessageW(win32::HwndOf(f.form()), WM_GETICON, ICON_BIG, 0),
              reinterpret_cast<LRESULT>(win32::IconOf(*p, 145)));
    f.RemoveTrayIcon();
    f.form().Unload();
}

int IconWidth(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return 0;
    BITMAP bm{};
    GetObjectW(info.hbmMask, sizeof bm, &bm);
    DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    return bm.bmWidth;
}

// Each group at the notification area's size and at 32 x 32, each size
// loaded once.
TEST(Win32Backend, EveryIconGroupLoads) {
    auto p = CreateWin32Platform();
    const int small = GetSystemMetrics(SM_CXSMICON);
    for (int id = 101; id <= 145; ++id) {
        const HICON icon = win32::IconOf(*p, id, 32);
        ASSERT_NE(icon, nullptr) << id << " error " << GetLastError();
        EXPECT_EQ(win32::IconOf(*p, id, 32), icon) << id;
        EXPECT_EQ(IconWidth(icon), 32) << id;
        const HICON tray = win32::IconOf(*p, id);
        ASSERT_NE(tray, nullptr) << id;
        EXPECT_EQ(win32::IconOf(*p, id), tray) << id;
        EXPECT_EQ(IconWidth(tray), small) << id;
        EXPECT_TRUE(p->IconExists(id)) << id;
    }
    EXPECT_NE(win32::IconOf(*p, 1), nullptr);
    EXPECT_EQ(win32::IconOf(*p, 146), nullptr);
    EXPECT_EQ(win32::IconOf(*p, 146, 32), nullptr);
    EXPECT_FALSE(p->IconExists(146));
}

// Each group carries a 32-bit picture drawn for every size the shell asks
// for between 100 and 200 %, and Windows' own choice among the group's
// images lands on it rather than on the 16-colour one of the same size.
TEST(Win32Backend, IconGroupsHoldA32BitPictureOfEveryTraySize) {
    const HMODULE module = GetModuleHandleW(nullptr);
    HDC screen = GetDC(nullptr);
    for (int id : {1, 101, 113, 144, 145}) {
        HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
        ASSERT_NE(group, nullptr) << id;
        auto* directory = static_cast<BYTE*>(LockResource(LoadResource(module, group)));
        for (int n : {16, 20, 24, 32, 40, 48}) {
            const int entry = LookupIconIdFromDirectoryEx(directory, TRUE, n, n, LR_DEFAULTCOLOR);
            HRSRC image = FindResourceW(module, MAKEINTRESOURCEW(entry), MAKEINTRESOURCEW(3));  // RT_ICON
            ASSERT_NE(image, nullptr) << id << " at " << n;
            const auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, image)));
            EXPECT_EQ(header->biWidth, n) << id;
            EXPECT_EQ(header->biHeight, 2 * n) << id;
            EXPECT_EQ(header->biBitCount, 32) << id << " at " << n;

            win32::unique_hicon icon(
                static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, n, n, 0)));
            ICONINFO info{};
            ASSERT_TRUE(GetIconInfo(icon.get(), &info)) << id << " at " << n;
            BITMAP bm{};
            GetObjectW(info.hbmColor, sizeof bm, &bm);
            EXPECT_EQ(bm.bmWidth, n) << id;
            EXPECT_EQ(bm.bmHeight, n) << id;
            EXPECT_EQ(bm.bmBitsPixel, 32) << id << " at " << n;
            BITMAPINFO format{};
            format.bmiHeader = {sizeof(BITMAPINFOHEADER), n, -n, 1, 32, BI_RGB};
            std::vector<uint32_t> pixels(static_cast<size_t>(n) * n);
            ASSERT_EQ(GetDIBits(screen, info.hbmColor, 0, n, pixels.data(), &format, DIB_RGB_COLORS), n);
            // A 16-colour image, even stretched, comes back without alpha.
            const auto translucent = std::count_if(pixels.begin(), pixels.end(), [](uint32_t p) {
                return (p >> 24) != 0 && (p >> 24) != 255;
            });
            EXPECT_GT(translucent, 0) << id << " at " << n;
            EXPECT_NE(pixels.front() >> 24, 255u) << id << " at " << n;           // rounded corner
            EXPECT_EQ(pixels[n / 2 * n + n / 2] >> 24, 255u) << id << " at " << n;  // opaque middle
            DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);
        }
    }
    ReleaseDC(nullptr, screen);
}

// Every window picture exists for 100, 125, 150, 175 and 200 %, numbered
// base + 100 per step and sized as the program scales its rectangles; the
// face keeps its key colour outside the outline and none inside.
TEST(Win32Backend, EveryPictureHasAVersionForEachDisplayScale) {
    struct Picture {
        int id, width, height;
    };
    const Picture pictures[] = {{1001, 457, 111}, {1002, 200, 17}, {1003, 199, 19},
                                {1004, 11, 13},   {1005, 303, 36}, {1006, 80, 121}};
    const HMODULE module = GetModuleHandleW(nullptr);
    for (int step = 0; step <= 4; ++step) {
        const int dpi = 96 + 24 * step;
        auto scale = [dpi](int v) { return (v * dpi + 48) / 96; };
        for (const Picture& picture : pictures) {
            const int id = picture.id + 100 * step;
            win32::unique_hbitmap bitmap(static_cast<HBITMAP>(
                LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
            ASSERT_TRUE(bitmap) << id;
            BITMAP bm{};
            GetObjectW(bitmap.get(), sizeof bm, &bm);
            EXPECT_EQ(bm.bmWidth, scale(picture.width)) << id;
            EXPECT_EQ(bm.bmHeight, scale(picture.height)) << id;
            if (picture.id != 1001) continue;
            HDC screen = GetDC(nullptr);
            win32::unique_hdc dc(CreateCompatibleDC(screen));
            ReleaseDC(nullptr, screen);
            HGDIOBJ old = SelectObject(dc.get(), bitmap.get());
            EXPECT_EQ(GetPixel(dc.get(), 0, 0), RGB(255, 0, 255)) << id;
            EXPECT_EQ(GetPixel(dc.get(), scale(452), scale(42)), RGB(255, 0, 255)) << id;  // the wing's corner
            EXPECT_NE(GetPixel(dc.get(), scale(145), scale(55)), RGB(255, 0, 255)) << id;
            EXPECT_NE(GetPixel(dc.get(), scale(449), scale(58)), RGB(255, 0, 255)) << id;
            SelectObject(dc.get(), old);
        }
    }
}

TEST(Win32Backend, MissingCustomResourceIsEmpty) {
    auto p = CreateWin32Platform();
    EXPECT_TRUE(p->CustomResource(126).empty());
}

struct WaveFormat {
    int channels, rate, bits;
    double seconds;  // 0: judged by its size in bytes
    size_t bytes;    // 0: judged by its length
};

// The header of a whole RIFF WAVE PCM image, walked chunk by chunk; a
// failure is reported as text.
std::string ReadWave(std::span<const uint8_t> image, int& channels, int& rate, int& bits, size_t& dataBytes) {
    auto u16 = [&](size_t at) { return static_cast<unsigned>(image[at] | image[at + 1] << 8); };
    auto u32 = [&](size_t at) { return static_cast<uint32_t>(u16(at) | u16(at + 2) << 16); };
    if (image.size() < 12 || std::memcmp(image.data(), "RIFF", 4) != 0 || std::memcmp(&image[8], "WAVE", 4) != 0)
        return "not RIFF WAVE";
    if (u32(4) + 8 != image.size()) return "RIFF size " + std::to_string(u32(4)) + " in " + std::to_string(image.size());
    bool format = false;
    for (size_t at = 12; at + 8 <= image.size();) {
        const uint32_t size = u32(at + 4);
        if (at + 8 + size > image.size()) return "chunk runs past the end";
        if (std::memcmp(&image[at], "fmt ", 4) == 0) {
            if (u16(at + 8) != 1) return "format tag " + std::to_string(u16(at + 8));
            channels = static_cast<int>(u16(at + 10));
            rate = static_cast<int>(u32(at + 12));
            bits = static_cast<int>(u16(at + 22));
            format = true;
        } else if (std::memcmp(&image[at], "data", 4) == 0) {
            if (!format) return "data before fmt";
            dataBytes = size;
            return "";
        }
        at += 8 + size + (size & 1);
    }
    return "no data chunk";
}

TEST(Win32Backend, EverySoundIsACustomWaveOfItsFormatAndLength) {
    constexpr WaveFormat kMono8{1, 11025, 8, 0, 0};
    std::map<int, WaveFormat> table;
    const size_t clickBytes[25] = {2924, 1908, 6248, 7028, 292,  1932, 4044, 9316, 4452, 2064, 3292, 11484, 12204,
                                   2600, 2084, 6152, 3008, 392,  752,  2204, 1832, 5192, 4448, 6760, 4348};
    for (int i = 0; i < 25; ++i) table[101 + i] = {1, 11025, 8, 0, clickBytes[i]};
    for (auto [id, seconds] : {std::pair{127, 2.87}, {128, 2.74}, {129, 2.77}, {130, 2.66}, {132, 1.30}, {134, 2.01},
                               {137, 0.82}, {138, 2.49}, {140, 1.82}, {141, 3.87}}) {
        table[id] = kMono8;
        table[id].seconds = seconds;
    }
    table[133] = {1, 22050, 16, 1.28, 0};
    table[139] = {2, 11025, 8, 4.07, 0};
    ASSERT_EQ(table.size(), 37u);

    auto p = CreateWin32Platform();
    for (const auto& [id, want] : table) {
        const std::span<const uint8_t> image = p->CustomResource(id);
        ASSERT_FALSE(image.empty()) << id;
        int channels = 0, rate = 0, bits = 0;
        size_t data = 0;
        ASSERT_EQ(ReadWave(image, channels, rate, bits, data), "") << id;
        EXPECT_EQ(channels, want.channels) << id;
        EXPECT_EQ(rate, want.rate) << id;
        EXPECT_EQ(bits, want.bits) << id;
        if (want.seconds > 0) {
            const double seconds = static_cast<double>(data) / (channels * bits / 8) / rate;
            EXPECT_NEAR(seconds, want.seconds, want.seconds * 0.1) << id;
        } else {
            EXPECT_NEAR(static_cast<double>(image.size()), static_cast<double>(want.bytes), want.bytes * 0.1) << id;
        }
    }
    for (int id : {126, 131, 135, 136}) EXPECT_TRUE(p->CustomResource(id).empty()) << id;
}

// With or without a sound device, a waited sound returns within about its
// own length and a loop stops when told; here (no device) both are silent.
TEST(Win32Backend, SoundCallsReturnWithoutADevice) {
    auto p = CreateWin32Platform();
    modSND::Player player(*p);
    const auto start = std::chrono::steady_clock::now();
    player.PlayErrorPair(modSND::kErrorNotNumber);  // 1.3 s + 3.9 s where a device plays them
    const double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(waited, 5.2 + 3.0);
    player.LoopResSound(modSND::kAlarm);
    player.PlayResSound(modSND::kMorning);
    player.StopSound();
    player.StopSound();  // with nothing playing: harmless
    EXPECT_EQ(player.strSoundData().size(), p->CustomResource(modSND::kMorning).size());
}

}  // namespace
}  // namespace vt

namespace vt {
namespace {

// The real face, read from the window's persistent image before it is shown.
TEST(Win32Backend, ShapeWindowCutsTheFaceOutlineAndKeepsNoRegion) {
    auto p = CreateWin32Platform();
    FormEvents events;
    auto form = p->CreateForm(MainWindowDef(), events);
    HWND hwnd = win32::HwndOf(*form);
    const int regionsBefore = win32::LiveHandles(win32::HandleKind::Region);

    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    form->CutOutline(kMagenta);
    QueryPerformanceCounter(&end);
    std::printf("[ figures  ] ShapeWindow on the 453 x 111 face: %.1f ms\n",
                1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart));

    EXPECT_EQ(win32::LiveHandles(win32::HandleKind::Region), regionsBefore);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(GetWindowRgn(hwnd, region), COMPLEXREGION);
    HDC face = win32::FaceDcOf(*form);
    int cut = 0, wrong = 0;
    for (int y = 0; y < 111; ++y) {
        for (int x = 0; x < 453; ++x) {
            const bool key = GetPixel(face, x, y) == RGB(255, 0, 255);
            cut += key;
            wrong += key == (PtInRegion(region, x, y) != FALSE);
        }
    }
    DeleteObject(region);
    EXPECT_GT(cut, 0);
    EXPECT_EQ(wrong, 0);  // in the window exactly where the face is not magenta
}

// The process table as the platform hands it over: this process among the
// rows with its own name and a figure near what it reports of itself, and
// no handle held by the end of the reading.
TEST(Win32Backend, ProcessTableNamesThisProcessAndHoldsNoHandle) {
    auto p = CreateWin32Platform();
    const int kernel = win32::LiveHandles(win32::HandleKind::Kernel);
    DWORD systemHandles = 0, after = 0;
    GetProcessHandleCount(GetCurrentProcess(), &systemHandles);
    struct Table : ProcessVisitor {
        std::vector<ProcessMemory> rows;
        void Visit(const ProcessRow& row) override { rows.push_back({row.pid, std::string(row.name), row.privateBytes}); }
    };
    std::vector<ProcessMemory> table;
    p->ReserveProcessTable();
    for (int i = 0; i < 20; ++i) {
        Table reading;
        ASSERT_TRUE(p->VisitProcesses(reading));
        table = std::move(reading.rows);
    }
    GetProcessHandleCount(GetCurrentProcess(), &after);
    EXPECT_EQ(win32::LiveHandles(win32::HandleKind::Kernel), kernel);
    EXPECT_LE(after, systemHandles + 2);  // none per call

    EXPECT_EQ(p->CurrentProcessId(), GetCurrentProcessId());
    const ProcessMemory* self = nullptr;
    std::map<uint32_t, int> seen;
    int others = 0;
    for (const ProcessMemory& row : table) {
        ++seen[row.pid];
        if (row.pid == GetCurrentProcessId()) self = &row;
        else if (!row.name.empty()) ++others;
        EXPECT_EQ(row.name.find('\\'), std::string::npos) << row.name;
    }
    for (const auto& [pid, count] : seen) EXPECT_EQ(count, 1) << pid;
    EXPECT_GT(others, 0);  // the shell's own processes at least
    ASSERT_NE(self, nullptr);
    EXPECT_EQ(self->name, "win32_tests.exe");
    win32::ExpectOwnPrivateBytes(self->privateBytes);

    const auto top = top_users::Largest(table, p->CurrentProcessId());
    EXPECT_EQ(top.size(), std::min<size_t>(3, static_cast<size_t>(others)));
    for (const ProcessMemory& row : top) EXPECT_NE(row.pid, GetCurrentProcessId());
}

// What the shell answers beyond the version-1 record, as the fake answers
// it: only for an icon that is there; and the host's balloon with texts of
// any length, cut to the shell's fields.
TEST(Win32Backend, ShellCallsBeyondTheFirstRecord) {
    auto p = CreateWin32Platform();
    FormEvents formEvents;
    auto window = p->CreateForm({.name = "ShellCallsTest", .clientWidth = 10, .clientHeight = 10, .icon = 1},
                                formEvents);
    TrayEvents events;
    auto host = p->CreateTrayHost(*window, events);
    ASSERT_TRUE(host->Add("Veltrane", 145));
    const std::string longText(400, 'x');
    host->Balloon("Veltrane: memory is low", "512 Mb free. Largest: a.exe 3.1 GB");
    host->Balloon(longText, longText);
    host->ReturnFocus();  // Wine's shell does not take the focus back; nothing else happens

    auto wide = [&](DWORD message, UINT id, UINT flags) {
        NOTIFYICONDATAW nid{sizeof nid};
        nid.hWnd = win32::HwndOf(*window);
        nid.uID = id;
        nid.uFlags = flags;
        nid.uVersion = NOTIFYICON_VERSION;
        wcscpy(nid.szInfo, L"x");
        return Shell_NotifyIconW(message, &nid) != FALSE;
    };
    const UINT self = static_cast<UINT>(reinterpret_cast<uintptr_t>(GetModuleHandleW(nullptr)));
    EXPECT_TRUE(wide(NIM_SETVERSION, self, 0));
    EXPECT_FALSE(wide(NIM_SETVERSION, self + 1, 0));  // an icon not there
    EXPECT_TRUE(wide(NIM_MODIFY, self, NIF_INFO));
    EXPECT_FALSE(wide(NIM_MODIFY, self + 1, NIF_INFO));
    host->Remove();
    EXPECT_FALSE(wide(NIM_SETVERSION, self, 0));
    host->Balloon("t", "x");  // no icon: nothing handed over
    host.reset();
    window->Unload();
}

}  // namespace
}  // namespace vt

namespace vt {
namespace {

using namespace form1;

// The control that holds the focus, a combo box for its edit part.
int FocusedId(HWND form) {
    HWND w = GetFocus();
    while (w && GetParent(w) != form) w = GetParent(w);
    return w ? GetDlgCtrlID(w) : -1;
}

// A key as the keyboard delivers it: posted to the focused window, through
// the message loop's navigation.
void PressKey(Platform& p, UINT vk, bool shift = false) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    HWND to = GetFocus();
    PostMessageW(to, WM_KEYDOWN, vk, 1);
    PostMessageW(to, WM_KEYUP, vk, 0xC0000001);
    p.DoEvents();
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
}

std::vector<int> Walk(Platform& p, HWND form, size_t steps, bool backwards) {
    std::vector<int> seen;
    for (size_t i = 0; i < steps; ++i) {
        PressKey(p, VK_TAB, backwards);
        seen.push_back(FocusedId(form));
    }
    return seen;
}

TEST(Win32Keyboard, MainWindowTabOrderFromUpdateAndBack) {
    auto p = CreateWin32Platform();
    Form1 f(*p);
    f.Start();
    HWND hwnd = win32::HwndOf(f.form());
    p->DoEvents();
    ASSERT_EQ(FocusedId(hwnd), Command1);  // the first of the order, without any key
    const std::vector<int> forward = {Command2, Text1, Combo1, Command3, Command4, Command5, Command1};
    EXPECT_EQ(Walk(*p, hwnd, forward.size(), false), forward);
    const std::vector<int> back = {Command5, Command4, Command3, Combo1, Text1, Command2, Command1};
    EXPECT_EQ(Walk(*p, hwnd, back.size(), true), back);
    // A disabled control is passed over.
    f.form().SetEnabled(Command2, false);
    EXPECT_EQ(Walk(*p, hwnd, 1, false), std::vector<int>{Text1});
    f.form().SetEnabled(Command2, true);
    f.RemoveTrayIcon();
    f.form().Unload();
}

// Enter clicks the focused button and nothing else, Escape nothing in the
// main window; in the options window Escape is its Close.
TEST(Win32Keyboard, EnterAndEscapeClickOnlyWhatTheyShould) {
    auto p = CreateWin32Platform();
    const struct {
        const char* what;
        const FormDef& def;
        int focus;
        UINT vk;
        std::vector<int> clicks;
    } cases[] = {
        {"Enter on Update", MainWindowDef(), Command1, VK_RETURN, {Command1}},
        {"Enter on Hide", MainWindowDef(), Command3, VK_RETURN, {Command3}},
        {"Enter on the units", MainWindowDef(), Command5, VK_RETURN, {Command5}},
        {"Enter in the amount", MainWindowDef(), Text1, VK_RETURN, {}},
        {"Escape on Update", MainWindowDef(), Command1, VK_ESCAPE, {}},
        {"Escape on Options", MainWindowDef(), Command4, VK_ESCAPE, {}},
        {"Escape in the amount", MainWindowDef(), Text1, VK_ESCAPE, {}},
        {"options: Escape on Close", OptionsWindowDef(), frm_options::Command3, VK_ESCAPE, {frm_options::Command3}},
        {"options: Escape on the tabs", OptionsWindowDef(), frm_options::SSTab1, VK_ESCAPE, {frm_options::Command3}},
        {"options: Enter in the entry", OptionsWindowDef(), frm_options::Text1, VK_RETURN, {}},
        {"options: Enter on Set", OptionsWindowDef(), frm_options::Command4, VK_RETURN, {frm_options::Command4}},
    };
    for (const auto& c : cases) {
        Recorder events;
        auto form = p->CreateForm(c.def, events);
        form->Show();
        p->DoEvents();
        HWND control = GetDlgItem(win32::HwndOf(*form), c.focus);
        ShowWindow(control, SW_SHOW);  // on a page not shown
        SetFocus(control);
        PressKey(*p, c.vk);
        EXPECT_EQ(events.clicks, c.clicks) << c.what;
        form->Unload();
    }
}

TEST(Win32Keyboard, OptionsWindowFollowsItsOrderOnTheWarningPage) {
    namespace o = frm_options;
    auto p = CreateWin32Platform();
    Recorder events;
    auto form = p->CreateForm(OptionsWindowDef(), events);
    HWND hwnd = win32::HwndOf(*form);
    form->Show();
    p->DoEvents();
    EXPECT_EQ(FocusedId(hwnd), o::Command3);  // the first that shows on the first page
    HWND tab = GetDlgItem(hwnd, o::SSTab1);
    SendMessageW(tab, TCM_SETCURSEL, 1, 0);
    NMHDR change{tab, static_cast<UINT_PTR>(o::SSTab1), static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(hwnd, WM_NOTIFY, o::SSTab1, reinterpret_cast<LPARAM>(&change));
    form->SetFocus(o::Text1);
    // "Turn off warning" is disabled at design, and is passed over.
    EXPECT_EQ(Walk(*p, hwnd, 5, false), (std::vector<int>{o::Command4, o::Check1, o::Command3, o::SSTab1, o::Text1}));
    form->SetEnabled(o::Command5, true);
    EXPECT_EQ(Walk(*p, hwnd, 3, false), (std::vector<int>{o::Command4, o::Command5, o::Check1}));
    // Space turns the check box over, as a click does.
    PressKey(*p, VK_SPACE);
    EXPECT_TRUE(form->Checked(o::Check1));
    EXPECT_EQ(events.clicks, std::vector<int>{o::Check1});
    events.clicks.clear();
    EXPECT_EQ(Walk(*p, hwnd, 2, true), (std::vector<int>{o::Command5, o::Command4}));
    // On the theme page Tab stops at the chosen option, the arrows choose another.
    SendMessageW(tab, TCM_SETCURSEL, 0, 0);
    SendMessageW(hwnd, WM_NOTIFY, o::SSTab1, reinterpret_cast<LPARAM>(&change));
    form->SetFocus(o::SSTab1);
    EXPECT_EQ(Walk(*p, hwnd, 2, false), (std::vector<int>{o::Option1, o::Command1}));
    form->SetFocus(o::Option1);
    PressKey(*p, VK_DOWN);
    EXPECT_EQ(FocusedId(hwnd), o::Option2);
    EXPECT_TRUE(form->Checked(o::Option2));
    EXPECT_EQ(events.clicks, std::vector<int>{o::Option2});
    form->Unload();
}

// The focus rectangle of a graphical button waits for the keyboard when the
// system hides keyboard cues, and shows at once when it asks for them.
TEST(Win32Keyboard, FocusRectangleFollowsTheKeyboardCues) {
    auto p = CreateWin32Platform();
    BOOL saved = FALSE;
    SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &saved, 0);
    auto rectangleDrawn = [&](HWND button) {
        // A pixel of the dotted rectangle, 3 pixels inside the corner.
        HDC dc = GetDC(button);
        RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        const COLORREF at = GetPixel(dc, 3, 3);
        ReleaseDC(button, dc);
        return at == GetSysColor(COLOR_BTNTEXT);
    };
    for (BOOL cues : {FALSE, TRUE}) {
        SystemParametersInfoW(SPI_SETKEYBOARDCUES, 0, reinterpret_cast<void*>(static_cast<INT_PTR>(cues)), 0);
        Recorder events;
        auto form = p->CreateForm(MainWindowDef(), events);
        HWND hwnd = win32::HwndOf(*form);
        form->Show();
        p->DoEvents();
        HWND update = GetDlgItem(hwnd, Command1);
        ASSERT_EQ(GetFocus(), update);
        EXPECT_EQ(rectangleDrawn(update), cues == TRUE) << cues;
        PressKey(*p, VK_TAB);
        PressKey(*p, VK_TAB, true);
        ASSERT_EQ(GetFocus(), update);
        EXPECT_TRUE(rectangleDrawn(update)) << cues;
        EXPECT_FALSE(rectangleDrawn(GetDlgItem(hwnd, Command2))) << cues;
        form->Unload();
    }
    SystemParametersInfoW(SPI_SETKEYBOARDCUES, 0, reinterpret_cast<void*>(static_cast<INT_PTR>(saved)), 0);
}

}  // namespace
}  // namespace vt
