// Veltrane's main window written by hand: the same window, controls, fonts,
// pictures, outline, tooltips, menus, tray icon, greeting and first figures
// as Veltrane makes at start-up, straight on the system with nothing in
// between, and then only its message loop. What Veltrane costs beyond this
// program is what its own structure costs, not what the window does.
//
//   same_window                          the window alone, as above
//   same_window /check                   and then the Update every second and
//                                        the hover refresh, as Veltrane does
//                                        checking every second
//   same_window /time <updates> <hovers> the Update and the hover refresh
//                                        timed in-process as leak_bench times
//                                        Veltrane's; prints us_per_update and
//                                        us_per_hover and ends
#include <windows.h>
#include <commctrl.h>
#include <mmsystem.h>
#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>

#include "bench/batch_clock.h"
#include "bench/same_window/figures.h"
#include "ui/control_ids.h"

namespace {

using namespace same_window;
using namespace vt::form1;
using vt::kBarPicture, vt::kFacePicture, vt::kHidePicture, vt::kTitlePicture;

// --- handles this program owns -------------------------------------------

struct GdiDelete {
    void operator()(void* object) const { DeleteObject(static_cast<HGDIOBJ>(object)); }
};
template <typename H>
using Gdi = std::unique_ptr<std::remove_pointer_t<H>, GdiDelete>;
struct DcDelete {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
using MemoryDc = std::unique_ptr<HDC__, DcDelete>;
struct MenuDestroy {
    void operator()(HMENU menu) const { DestroyMenu(menu); }
};
using PopupMenu = std::unique_ptr<HMENU__, MenuDestroy>;
struct IconDestroy {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
using Icon = std::unique_ptr<HICON__, IconDestroy>;
struct HandleClose {
    void operator()(HANDLE h) const { CloseHandle(h); }
};
using Kernel = std::unique_ptr<void, HandleClose>;

// A GDI object selected into a DC for one scope.
class Selected {
public:
    Selected(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~Selected() { SelectObject(dc_, old_); }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// --- display scaling ------------------------------------------------------

constexpr int kBaseDpi = 96;
constexpr int kStepDpis[] = {96, 120, 144, 168, 192};  // pictures 10xx .. 14xx

int Scale(int v, int dpi) {
    if (v < 0) return -Scale(-v, dpi);
    return static_cast<int>((static_cast<long long>(v) * dpi + kBaseDpi / 2) / kBaseDpi);
}

struct Box {
    int left, top, width, height;
};

// By the edges, so that controls meeting at 96 DPI meet at every DPI.
Box ScaleBox(Box b, int dpi) {
    const int left = Scale(b.left, dpi), top = Scale(b.top, dpi);
    return {left, top, Scale(b.left + b.width, dpi) - left, Scale(b.top + b.height, dpi) - top};
}

int FontHeight(double points, int dpi) { return -static_cast<int>(std::lround(points * dpi / 72.0)); }

// Looked up at run time: older systems lack these entry points.
struct DpiCalls {
    UINT(WINAPI* forWindow)(HWND) = nullptr;
    UINT(WINAPI* forSystem)() = nullptr;
    int(WINAPI* metrics)(int, UINT) = nullptr;
    BOOL(WINAPI* adjust)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;
};

template <typename F>
void Find(HMODULE module, const char* name, F& f) {
    f = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

const DpiCalls& Dpi() {
    static const DpiCalls calls = [] {
        DpiCalls c;
        if (HMODULE user32 = GetModuleHandleW(L"user32.dll")) {
            Find(user32, "GetDpiForWindow", c.forWindow);
            Find(user32, "GetDpiForSystem", c.forSystem);
            Find(user32, "GetSystemMetricsForDpi", c.metrics);
            Find(user32, "AdjustWindowRectExForDpi", c.adjust);
        }
        return c;
    }();
    return calls;
}

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kBaseDpi;
}

int SystemDpi() {
    const UINT dpi = Dpi().forSystem ? Dpi().forSystem() : 0;
    return dpi > 0 ? static_cast<int>(dpi) : ScreenDpi();
}

int WindowDpi(HWND hwnd) {
    const UINT dpi = Dpi().forWindow ? Dpi().forWindow(hwnd) : 0;
    return dpi > 0 ? static_cast<int>(dpi) : ScreenDpi();
}

int SmallIconSize(int dpi) {
    const int size = Dpi().metrics ? Dpi().metrics(SM_CXSMICON, static_cast<UINT>(dpi)) : 0;
    return size > 0 ? size : Scale(16, dpi);
}

// --- pictures ---------------------------------------------------------------

bool PictureSize(int id, SIZE& size) {
    HRSRC info = FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(2) /* RT_BITMAP */);
    if (!info || SizeofResource(nullptr, info) < sizeof(BITMAPINFOHEADER)) return false;
    const auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(nullptr, info)));
    if (!header) return false;
    size = {header->biWidth, std::abs(header->biHeight)};
    return true;
}

// The version drawn for the DPI (or the nearest larger one, then smaller),
// stretched to the picture's size there when it was drawn for another.
Gdi<HBITMAP> LoadPicture(int base, int dpi) {
    int wanted = 4;
    for (int step = 0; step < 5; ++step) {
        if (kStepDpis[step] >= dpi) {
            wanted = step;
            break;
        }
    }
    SIZE have{};
    int id = 0;
    for (int step = wanted; step < 5 && !id; ++step) {
        if (PictureSize(base + 100 * step, have)) id = base + 100 * step;
    }
    for (int step = wanted - 1; step >= 0 && !id; --step) {
        if (PictureSize(base + 100 * step, have)) id = base + 100 * step;
    }
    if (!id) return {};
    Gdi<HBITMAP> loaded(static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    SIZE want{};
    if (!PictureSize(base, want)) {
        const int from = kStepDpis[(id - base) / 100];
        want = {MulDiv(have.cx, kBaseDpi, from), MulDiv(have.cy, kBaseDpi, from)};
    }
    want = {Scale(want.cx, dpi), Scale(want.cy, dpi)};
    if (!loaded || (want.cx == have.cx && want.cy == have.cy)) return loaded;
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), want.cx, -want.cy, 1, 24, BI_RGB};
    void* bits = nullptr;
    Gdi<HBITMAP> scaled(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!scaled) return loaded;
    MemoryDc from(CreateCompatibleDC(nullptr)), to(CreateCompatibleDC(nullptr));
    {
        Selected source(from.get(), loaded.get());
        Selected target(to.get(), scaled.get());
        SetStretchBltMode(to.get(), HALFTONE);
        SetBrushOrgEx(to.get(), 0, 0, nullptr);
        StretchBlt(to.get(), 0, 0, want.cx, want.cy, from.get(), 0, 0, have.cx, have.cy, SRCCOPY);
    }
    return scaled;
}

// --- the sample and its text ------------------------------------------------

std::wstring Widen(const std::string& text) {
    if (text.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

// Total and free memory in Kb of 1024 bytes.
struct SampleKb {
    int totalKb, freeKb;
};

SampleKb Sample() {
    MEMORYSTATUSEX status{sizeof status};
    GlobalMemoryStatusEx(&status);
    return {KbOf(status.ullTotalPhys), KbOf(status.ullAvailPhys)};
}

// --- the window's table ---------------------------------------------------

enum class Kind { Button, Timer, Combo, Text, PictureBox, Image, Line, Label };
enum Face { kArial, kSansSerif, kGaramond };
constexpr const wchar_t* kFaces[] = {L"Arial", L"MS Sans Serif", L"Garamond"};
constexpr double kPoints = 8.25;

// Colours: an RGB value, or a system colour index with the top bit set.
constexpr DWORD Sys(int index) { return 0x80000000u | static_cast<DWORD>(index); }
constexpr DWORD kDefault = 0xFFFFFFFFu;
constexpr DWORD kRed = 0x0000FF, kGreen = 0x00FF00, kWhite = 0xFFFFFF, kMagenta = 0xFF00FF;

COLORREF Rgb(DWORD color) { return (color & 0x80000000u) ? GetSysColor(static_cast<int>(color & 0xFF)) : color; }


struct Row {
    Kind kind;
    int id;
    int container;
    Box box;  // 96-DPI pixels in the container; a line's two ends
    const wchar_t* caption;
    bool centred;
    DWORD back, fore;
    Face face;
    const wchar_t* tip;
    int picture;
};

// In Veltrane's creation order.
constexpr Row kRows[] = {
    {Kind::Button, Command5, 0, {32, 32, 9, 14}, L"", false, Sys(15), kDefault, kArial,
     L"Show Kb or Bytes. If this button is red you have Ram Warning on", 0},
    {Kind::Button, Command4, 0, {40, 56, 49, 21}, L"Options", false, Sys(12), kDefault, kArial, nullptr, 0},
    {Kind::Button, Command3, 0, {92, 56, 61, 21}, L"Hide", false, Sys(12), kDefault, kArial,
     L"Remove me from screen", 0},
    {Kind::Timer, Timer4, 0, {}, nullptr, false, kDefault, kDefault, kArial, nullptr, 0},
    {Kind::Timer, Timer3, 0, {}, nullptr, false, kDefault, kDefault, kArial, nullptr, 0},
    {Kind::Timer, Timer2, 0, {}, nullptr, false, kDefault, kDefault, kArial, nullptr, 0},
    {Kind::Timer, Timer1, 0, {}, nullptr, false, kDefault, kDefault, kArial, nullptr, 0},
    {Kind::Combo, Combo1, 0, {152, 80, 57, 22}, L"min", false, kRed, kDefault, kArial, nullptr, 0},
    {Kind::Text, Text1, 0, {124, 80, 25, 22}, L"1", false, kRed, kDefault, kArial, L"Max 60", 0},
    {Kind::PictureBox, Picture1, 0, {256, 50, 196, 17}, L"", false, kDefault, kDefault, kArial, nullptr, kBarPicture},
    {Kind::PictureBox, Picture2, 0, {256, 50, 195, 17}, L"", false, Sys(5), kDefault, kSansSerif, nullptr, 0},
    {Kind::Line, Line1, Picture2, {88, 0, 88, 16}, nullptr, false, kDefault, kGreen, kArial, nullptr, 0},
    {Kind::Label, Label3, Picture2, {104, 0, 141, 13}, L"Free Memory", false, kDefault, kDefault, kSansSerif,
     nullptr, 0},
    {Kind::PictureBox, pictray, 0, {516, 312, 33, 61}, L"", false, kDefault, kDefault, kArial, nullptr, 0},
    {Kind::Button, Command2, 0, {212, 80, 25, 21}, L"Set", false, Sys(12), kDefault, kGaramond,
     L"Works only when this form is visible", 0},
    {Kind::Button, Command1, 0, {156, 56, 77, 21}, L"Update", false, Sys(12), kDefault, kArial,
     L"Click on me to check your RAM (Random Access Memory) ", 0},
    {Kind::Label, Label5, 0, {172, 4, 53, 13}, L"Freeware", false, kDefault, Sys(14), kArial, nullptr, 0},
    {Kind::Image, Image3, 0, {236, 4, 11, 13}, L"", false, kDefault, kDefault, kArial, nullptr, kHidePicture},
    {Kind::Image, Image2, 0, {56, 1, 199, 19}, L"", false, kDefault, kDefault, kArial, nullptr, kTitlePicture},
    {Kind::Image, Image1, 0, {492, 120, 32, 32}, L"", false, kDefault, kDefault, kArial, nullptr, 0},
    {Kind::Label, Label4, 0, {48, 36, 205, 13}, L"", true, kDefault, Sys(14), kArial, nullptr, 0},
    {Kind::Label, Label2, 0, {60, 84, 65, 13}, L"Check every", false, kDefault, Sys(14), kArial, nullptr, 0},
    {Kind::Label, Label1, 0, {44, 24, 209, 13}, L"Not Updated", true, kDefault, Sys(14), kArial, nullptr, 0},
};
constexpr int kRowCount = static_cast<int>(sizeof kRows / sizeof kRows[0]);

struct MenuRow {
    int id, parent;
    const wchar_t* caption;
};
constexpr MenuRow kMenus[] = {
    {mnufile, 0, L"mnufile"}, {mnuCancel, mnufile, L"Cancel"}, {stupid, mnufile, L"Open Veltrane"},
    {sdgf, mnufile, L"-"}, {sucker, mnufile, L"Get Status"}, {fgh, mnufile, L"-"},
    {mnuSoff, mnufile, L"Turn on Sound"}, {mnuSetWarning, mnufile, L"Set Warning sound"},
    {Malackca, mnufile, L"-"}, {autoItem, mnufile, L"Make AutoStart"}, {goner, mnufile, L"Exit"},
    {mnuIconTema, 0, L"mnuIconTema"}, {IconTemaChange2, mnuIconTema, L"Change Icon Tema"},
};

constexpr wchar_t kClassName[] = L"VeltraneSameWindow";
constexpr wchar_t kPictureClass[] = L"VeltraneSameWindow.Picture";
constexpr UINT kTrayMessage = WM_USER + 15;
constexpr int kDefaultIcon = 145;
constexpr int kClientWidth = 453, kClientHeight = 111;

// --- the window ---------------------------------------------------------------

struct Control {
    const Row* row = nullptr;
    HWND hwnd = nullptr;
    Box box{};  // as the program last set it, in 96-DPI pixels
    DWORD back = kDefault, fore = kDefault;
    std::wstring caption;
    Gdi<HBITMAP> picture;
    MemoryDc pictureDc;
    HGDIOBJ oldPicture = nullptr;
};

class MainWindow {
public:
    bool Create();
    void Load();
    // Veltrane checking every second: the check row reads "1 sec" on green
    // and a timer runs the Update; the tray icon's hover refresh is armed.
    void CheckEverySecond();
    // n Updates (the theme changing every 50) and m hover refreshes, timed
    // as leak_bench times Veltrane's; prints the figures and closes.
    void Time(int updates, int hovers);
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK PictureProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

private:
    Control& At(int id);
    Control* Of(HWND hwnd);
    Box Physical(const Control& c) const;
    HFONT FontFor(Face face);
    HFONT FontOfHeight(Face face, int height);
    HBRUSH BrushFor(DWORD color);
    void MakeControl(const Row& row);
    void FitText(Control& c);
    void SetCaption(int id, const std::string& text);
    void SetFore(int id, DWORD color);
    void SetBack(int id, DWORD color);
    void MoveControl(Control& c, Box box);
    void AddTip(HWND control, const std::wstring& text, UINT message = TTM_ADDTOOLW);
    void SetBarTip(const std::wstring& text);
    void SetMenuCaption(int id, const std::wstring& text);
    void Shape();
    void RestorePosition();
    void AddIcon();
    void Greet();
    void Update();
    void HoverRefresh();
    void SetTip(const std::string& busyText);
    void ShowTheme(float freePercent);
    void ShowIcon(HICON icon);
    HICON IconOf(int id);
    void ModifyIcon();
    void DoEvents();
    void Paint(HWND hwnd, HDC dc);
    void DrawButton(const DRAWITEMSTRUCT& item);
    bool ColourChild(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);

    HWND hwnd_ = nullptr;
    HWND tips_ = nullptr;
    int dpi_ = kBaseDpi;
    int clientWidth_ = kClientWidth, clientHeight_ = kClientHeight;
    Gdi<HBITMAP> face_;
    MemoryDc faceDc_;
    HGDIOBJ oldFace_ = nullptr;
    Gdi<HBRUSH> faceBrush_;
    Icon icon_;
    std::map<int, Icon> icons_;  // theme pictures, loaded once
    HICON windowIcon_ = nullptr;
    Control controls_[kRowCount];
    Gdi<HFONT> fonts_[3];
    std::map<std::pair<int, int>, Gdi<HFONT>> fitted_;
    std::map<DWORD, Gdi<HBRUSH>> brushes_;
    Gdi<HFONT> tipFont_;
    PopupMenu menus_[2];
    std::wstring menuCaptions_[sizeof kMenus / sizeof kMenus[0]];
    std::wstring barTip_;
    Kernel instance_;
    // What the shell is to show, and what it was last handed.
    NOTIFYICONDATAA nid_{}, nidShown_{};
    UINT taskbarCreated_ = 0;
    bool iconAdded_ = false;
    float freePercent_ = 0;      // the last Update's
    int theme_ = 0;              // the setting "Tema": 0 the default icon, 1 to 5 a theme
    bool live_ = false;          // checking (or timed): the hover refresh is armed
    bool hoverPending_ = false;
    bool cuesHidden_ = false;
    HWND lastFocus_ = nullptr;
};

Control& MainWindow::At(int id) {
    for (Control& c : controls_) {
        if (c.row->id == id) return c;
    }
    std::abort();
}

Control* MainWindow::Of(HWND hwnd) {
    for (Control& c : controls_) {
        if (c.hwnd && c.hwnd == hwnd) return &c;
    }
    return nullptr;
}

Box MainWindow::Physical(const Control& c) const {
    if (c.row->kind == Kind::Line) {
        return {Scale(c.box.left, dpi_), Scale(c.box.top, dpi_), Scale(c.box.width, dpi_), Scale(c.box.height, dpi_)};
    }
    return ScaleBox(c.box, dpi_);
}

HFONT MainWindow::FontFor(Face face) {
    if (!fonts_[face]) {
        fonts_[face].reset(CreateFontW(FontHeight(kPoints, dpi_), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                       DEFAULT_PITCH | FF_SWISS, kFaces[face]));
    }
    return fonts_[face].get();
}

HFONT MainWindow::FontOfHeight(Face face, int height) {
    Gdi<HFONT>& font = fitted_[{face, height}];
    if (!font) {
        font.reset(CreateFontW(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, kFaces[face]));
    }
    return font.get();
}

HBRUSH MainWindow::BrushFor(DWORD color) {
    Gdi<HBRUSH>& brush = brushes_[color];
    if (!brush) brush.reset(CreateSolidBrush(Rgb(color)));
    return brush.get();
}

// Away from 96 DPI a label's caption may come out wider than the label:
// it takes the largest font, down to a tenth smaller, that shows it whole.
void MainWindow::FitText(Control& c) {
    if (dpi_ == kBaseDpi || c.row->kind != Kind::Label) return;
    const int height = -FontHeight(kPoints, dpi_);
    RECT client;
    GetClientRect(c.hwnd, &client);
    HDC dc = GetDC(c.hwnd);
    HFONT chosen = FontFor(c.row->face);
    for (int h = height; h >= height - height / 10; --h) {
        HFONT font = h == height ? FontFor(c.row->face) : FontOfHeight(c.row->face, h);
        Selected select(dc, font);
        RECT need{0, 0, client.right, 0};
        DrawTextW(dc, c.caption.c_str(), -1, &need, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
        chosen = font;
        if (need.right <= client.right && need.bottom <= client.bottom) break;
    }
    ReleaseDC(c.hwnd, dc);
    if (reinterpret_cast<HFONT>(SendMessageW(c.hwnd, WM_GETFONT, 0, 0)) != chosen) {
        SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(chosen), TRUE);
    }
}

void MainWindow::AddTip(HWND control, const std::wstring& text, UINT message) {
    std::wstring tip = text;
    TTTOOLINFOW ti{sizeof ti};
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = hwnd_;
    ti.uId = reinterpret_cast<UINT_PTR>(control);
    ti.lpszText = tip.data();
    SendMessageW(tips_, message, 0, reinterpret_cast<LPARAM>(&ti));
}

void MainWindow::MakeControl(const Row& row) {
    Control& c = controls_[&row - kRows];
    c.row = &row;
    c.box = row.box;
    c.back = row.back;
    c.fore = row.fore;
    c.caption = row.caption ? row.caption : L"";
    HWND parent = row.container ? At(row.container).hwnd : hwnd_;
    const Box r = Physical(c);
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    HMENU id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id));
    HINSTANCE module = GetModuleHandleW(nullptr);
    switch (row.kind) {
        case Kind::Button:
            c.hwnd = CreateWindowExW(0, L"BUTTON", row.caption, style | WS_TABSTOP | BS_OWNERDRAW, r.left, r.top,
                                     r.width, r.height, parent, id, module, nullptr);
            break;
        case Kind::Label:
            c.hwnd = CreateWindowExW(0, L"STATIC", row.caption,
                                     style | SS_NOTIFY | SS_NOPREFIX | (row.centred ? SS_CENTER : SS_LEFT), r.left,
                                     r.top, r.width, r.height, parent, id, module, nullptr);
            break;
        case Kind::PictureBox:
        case Kind::Image:
            // A picture box paints around the label it holds.
            c.hwnd = CreateWindowExW(0, kPictureClass, L"", row.kind == Kind::PictureBox ? style | WS_CLIPCHILDREN : style,
                                     r.left, r.top, r.width, r.height, parent, id, module, this);
            if (row.picture) {
                c.pictureDc.reset(CreateCompatibleDC(faceDc_.get()));
                c.picture = LoadPicture(row.picture, dpi_);
                c.oldPicture = SelectObject(c.pictureDc.get(), c.picture.get());
            }
            break;
        case Kind::Text:
            c.hwnd = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", row.caption, style | WS_TABSTOP | ES_AUTOHSCROLL,
                                     r.left, r.top, r.width, r.height, parent, id, module, nullptr);
            break;
        case Kind::Combo: {
            // Its window reaches down to the bottom of the open list.
            const Box drop = ScaleBox({row.box.left, row.box.top, row.box.width, row.box.height + 120}, dpi_);
            c.hwnd = CreateWindowExW(0, L"COMBOBOX", L"", style | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN |
                                     CBS_AUTOHSCROLL, r.left, r.top, r.width, drop.height, parent, id, module,
                                     nullptr);
            for (const wchar_t* item : {L"hour", L"min", L"sec", L"Off"}) {
                SendMessageW(c.hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
            }
            SetWindowTextW(c.hwnd, row.caption);
            break;
        }
        case Kind::Line:   // painted by its picture box
        case Kind::Timer:  // armed when enabled
            break;
    }
    if (!c.hwnd) return;
    SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(row.face)), FALSE);
    FitText(c);
    if (row.tip) AddTip(c.hwnd, row.tip);
}

void MainWindow::SetMenuCaption(int id, const std::wstring& text) {
    for (const MenuRow& m : kMenus) {
        if (m.id != id) continue;
        std::wstring& shown = menuCaptions_[&m - kMenus];
        if (shown == text) return;
        shown = text;
        HMENU parent = menus_[m.parent == mnufile ? 0 : 1].get();
        ModifyMenuW(parent, static_cast<UINT>(id), MF_BYCOMMAND | MF_STRING, static_cast<UINT_PTR>(id), text.c_str());
    }
}

bool MainWindow::Create() {
    HINSTANCE module = GetModuleHandleW(nullptr);
    WNDCLASSEXW pictures{sizeof pictures};
    pictures.style = CS_DBLCLKS;
    pictures.lpfnWndProc = PictureProc;
    pictures.hInstance = module;
    pictures.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    pictures.lpszClassName = kPictureClass;
    RegisterClassExW(&pictures);
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);

    WNDCLASSEXW wc{sizeof wc};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = Proc;
    wc.hInstance = module;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconW(module, MAKEINTRESOURCEW(1));
    wc.hIconSm = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    wc.lpszClassName = kClassName;
    RegisterClassExW(&wc);

    // Made without a size: only the window knows the DPI of its display.
    const DWORD style = WS_POPUP | WS_CLIPCHILDREN, exStyle = WS_EX_TOOLWINDOW;
    if (!CreateWindowExW(exStyle, kClassName, L"Veltrane", style, 0, 0, 0, 0, nullptr, nullptr, module, this)) {
        return false;
    }
    dpi_ = WindowDpi(hwnd_);
    clientWidth_ = Scale(kClientWidth, dpi_);
    clientHeight_ = Scale(kClientHeight, dpi_);

    HDC screen = GetDC(nullptr);
    faceDc_.reset(CreateCompatibleDC(screen));
    ReleaseDC(nullptr, screen);
    face_ = LoadPicture(kFacePicture, dpi_);
    oldFace_ = SelectObject(faceDc_.get(), face_.get());
    faceBrush_.reset(CreatePatternBrush(face_.get()));

    RECT frame{0, 0, clientWidth_, clientHeight_};
    if (!Dpi().adjust || !Dpi().adjust(&frame, style, FALSE, exStyle, static_cast<UINT>(dpi_))) {
        AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    }
    int width = frame.right - frame.left, height = frame.bottom - frame.top;
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE;
    SetWindowPos(hwnd_, nullptr, 0, 0, width, height, flags);
    RECT client;
    GetClientRect(hwnd_, &client);
    if (client.right != clientWidth_ || client.bottom != clientHeight_) {
        width += clientWidth_ - client.right;
        height += clientHeight_ - client.bottom;
        SetWindowPos(hwnd_, nullptr, 0, 0, width, height, flags);
    }

    // The shell's first picture: the group's own at the notification area's size.
    const int iconSize = SmallIconSize(dpi_);
    icon_.reset(static_cast<HICON>(
        LoadImageW(module, MAKEINTRESOURCEW(1), IMAGE_ICON, iconSize, iconSize, LR_DEFAULTCOLOR)));

    tips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0,
                            0, 0, hwnd_, nullptr, module, nullptr);
    if (dpi_ != SystemDpi()) {
        NONCLIENTMETRICSW metrics{sizeof metrics};
        if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
            metrics.lfStatusFont.lfHeight = MulDiv(metrics.lfStatusFont.lfHeight, dpi_, SystemDpi());
            tipFont_.reset(CreateFontIndirectW(&metrics.lfStatusFont));
            SendMessageW(tips_, WM_SETFONT, reinterpret_cast<WPARAM>(tipFont_.get()), FALSE);
        }
    }
    for (const Row& row : kRows) MakeControl(row);

    // Focus rectangles only once the keyboard is used.
    BOOL always = FALSE;
    SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &always, 0);
    if (!always) SendMessageW(hwnd_, WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);

    for (const MenuRow& m : kMenus) {
        menuCaptions_[&m - kMenus] = m.caption;
        if (m.parent == 0) {
            menus_[m.id == mnufile ? 0 : 1].reset(CreatePopupMenu());
            continue;
        }
        HMENU parent = menus_[m.parent == mnufile ? 0 : 1].get();
        if (m.caption[0] == L'-' && !m.caption[1]) {
            AppendMenuW(parent, MF_SEPARATOR, static_cast<UINT_PTR>(m.id), nullptr);
        } else {
            AppendMenuW(parent, MF_STRING, static_cast<UINT_PTR>(m.id), m.caption);
        }
    }
    return true;
}

// The magenta around the face is cut out of the window's region, a run of
// key pixels on a row at a time (as Veltrane does it).
void MainWindow::Shape() {
    HRGN window = CreateRectRgn(0, 0, clientWidth_, clientHeight_);
    auto cut = [&](int left, int right, int y) {
        Gdi<HRGN> run(CreateRectRgn(left, y, right, y + 1));
        CombineRgn(window, window, run.get(), RGN_DIFF);
    };
    for (int y = 0; y <= clientHeight_; ++y) {
        int start = -1;
        for (int x = 0; x <= clientWidth_; ++x) {
            const bool key = GetPixel(faceDc_.get(), x, y) == kMagenta;
            if (key && start < 0) start = x;
            if (!key && start >= 0) {
                cut(start, x, y);
                start = -1;
            }
        }
        if (start >= 0) cut(start, clientWidth_ + 1, y);
    }
    if (!SetWindowRgn(hwnd_, window, TRUE)) DeleteObject(window);
}

// One of Veltrane's settings, with the fallback it uses.
std::wstring Setting(const wchar_t* name, const wchar_t* fallback) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Veltrane\\Startup", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return fallback;
    }
    std::wstring result = fallback;
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        result.clear();
        if (type == REG_SZ || type == REG_EXPAND_SZ) {
            std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
            DWORD bytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
            if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &bytes) ==
                ERROR_SUCCESS) {
                data.resize(bytes / sizeof(wchar_t));
                result = data.c_str();
            }
        }
    }
    RegCloseKey(key);
    return result;
}

// The saved corner, unless no monitor shows it any more: then the corner of
// the primary work area.
void MainWindow::RestorePosition() {
    int left = static_cast<int>(std::nearbyint(std::wcstod(Setting(L"Left", L"0").c_str(), nullptr)));
    int top = static_cast<int>(std::nearbyint(std::wcstod(Setting(L"top", L"0").c_str(), nullptr)));
    RECT frame;
    GetWindowRect(hwnd_, &frame);
    const RECT where{left, top, left + frame.right - frame.left, top + frame.bottom - frame.top};
    if (!MonitorFromRect(&where, MONITOR_DEFAULTTONULL)) {
        RECT work{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        left = work.left;
        top = work.top;
    }
    SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The version-1 ANSI record Veltrane hands the shell, then version 3 of the
// protocol; the tip field is the text and its NUL, padded with blanks.
void MainWindow::AddIcon() {
    taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");
    nid_.cbSize = NOTIFYICONDATAA_V1_SIZE;
    nid_.hWnd = hwnd_;
    nid_.uID = static_cast<UINT>(reinterpret_cast<UINT_PTR>(GetModuleHandleW(nullptr)));
    nid_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid_.uCallbackMessage = kTrayMessage;
    nid_.hIcon = icon_.get();
    std::memset(nid_.szTip, ' ', sizeof nid_.szTip);
    std::memcpy(nid_.szTip, "Veltrane", 9);
    windowIcon_ = icon_.get();
    if (!Shell_NotifyIconA(NIM_ADD, &nid_)) return;
    iconAdded_ = true;
    nidShown_ = nid_;
    NOTIFYICONDATAW version{sizeof version};
    version.hWnd = hwnd_;
    version.uID = nid_.uID;
    version.uVersion = NOTIFYICON_VERSION;
    Shell_NotifyIconW(NIM_SETVERSION, &version);
}

// The greeting of the hour, from the embedded sounds, unless sound is off.
void MainWindow::Greet() {
    const std::wstring sound = Setting(L"sound", L"1");
    const bool on = std::wcstod(sound.c_str(), nullptr) != 0 || sound == L"True" || sound == L"true";
    if (!on) {
        SetMenuCaption(mnuSoff, L"Turn On Sound");
        return;
    }
    SYSTEMTIME now;
    GetLocalTime(&now);
    const int id = now.wHour >= 18 ? 130 : now.wHour >= 12 ? 129 : now.wHour >= 6 ? 128 : 138;
    if (HRSRC res = FindResourceW(nullptr, MAKEINTRESOURCEW(id), L"CUSTOM")) {
        sndPlaySoundA(static_cast<LPCSTR>(LockResource(LoadResource(nullptr, res))),
                      SND_ASYNC | SND_NODEFAULT | SND_MEMORY);
    }
    SetMenuCaption(mnuSoff, L"Turn Off Sound");
}

void MainWindow::SetCaption(int id, const std::string& text) {
    Control& c = At(id);
    const std::wstring wide = Widen(text);
    if (c.caption == wide) return;
    c.caption = wide;
    SetWindowTextW(c.hwnd, wide.c_str());
    FitText(c);
}

void MainWindow::SetFore(int id, DWORD color) {
    Control& c = At(id);
    if (c.fore == color) return;
    c.fore = color;
    InvalidateRect(c.hwnd, nullptr, TRUE);
}

void MainWindow::SetBack(int id, DWORD color) {
    Control& c = At(id);
    if (c.back == color) return;
    c.back = color;
    InvalidateRect(c.hwnd, nullptr, TRUE);
}

void MainWindow::MoveControl(Control& c, Box box) {
    c.box = box;
    const Box r = Physical(c);
    MoveWindow(c.hwnd, r.left, r.top, r.width, r.height, TRUE);
}

// The bar is named by its tip for a screen reader, which is told so.
void MainWindow::SetBarTip(const std::wstring& text) {
    if (text == barTip_) return;
    const bool added = !barTip_.empty();
    barTip_ = text;
    HWND bar = At(Picture1).hwnd;
    AddTip(bar, text, added ? TTM_UPDATETIPTEXTW : TTM_ADDTOOLW);
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, bar, OBJID_CLIENT, CHILDID_SELF);
}

// The tip field is the text and its NUL, padded with blanks.
void MainWindow::SetTip(const std::string& busyText) {
    std::memset(nid_.szTip, ' ', sizeof nid_.szTip);
    std::memcpy(nid_.szTip, busyText.c_str(), std::min(busyText.size() + 1, sizeof nid_.szTip));
    ModifyIcon();
}

HICON MainWindow::IconOf(int id) {
    Icon& icon = icons_[id];
    if (!icon) {
        const int size = SmallIconSize(dpi_);
        icon.reset(static_cast<HICON>(
            LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
    }
    return icon.get();
}

// The window's own icon and the shell's are the theme's picture.
void MainWindow::ShowIcon(HICON icon) {
    if (icon && icon != windowIcon_) {
        windowIcon_ = icon;
        SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    nid_.hIcon = windowIcon_;
    ModifyIcon();
}

void MainWindow::ShowTheme(float freePercent) {
    if (const int id = ThemeIcon(theme_, freePercent)) ShowIcon(IconOf(id));
}

// Only the fields that differ from what the shell shows, and nothing when
// none does: a modify that carries the icon costs the shell as much whether
// or not the icon changed.
void MainWindow::ModifyIcon() {
    if (!iconAdded_) return;
    NOTIFYICONDATAA change = nid_;
    change.uFlags = 0;
    if (nid_.hIcon != nidShown_.hIcon) change.uFlags |= NIF_ICON;
    if (std::memcmp(nid_.szTip, nidShown_.szTip, sizeof nid_.szTip) != 0) change.uFlags |= NIF_TIP;
    if (!change.uFlags || !Shell_NotifyIconA(NIM_MODIFY, &change)) return;
    if (change.uFlags & NIF_ICON) nidShown_.hIcon = nid_.hIcon;
    if (change.uFlags & NIF_TIP) std::memcpy(nidShown_.szTip, nid_.szTip, sizeof nid_.szTip);
}

// The totals and busy lines flash red, the bar and its caption move, the
// status line of the menu, the icon's tip and the theme's picture follow.
void MainWindow::Update() {
    SetFore(Label1, kRed);
    SetFore(Label4, kRed);
    SetTimer(hwnd_, Timer2, 100, nullptr);

    const SampleKb kb = Sample();
    const UpdateFigures f = ForUpdate(kb.totalKb, kb.freeKb);
    SetCaption(Label1, f.totals);
    SetCaption(Label4, f.busy);
    Control& bar = At(Picture1);
    if (bar.box.width != f.barWidth) MoveControl(bar, {bar.box.left, bar.box.top, f.barWidth, bar.box.height});
    SetBarTip(Widen(f.barTip));
    Control& caption = At(Label3);
    if (caption.box.left != f.barWidth + 3) {
        MoveControl(caption, {f.barWidth + 3, caption.box.top, caption.box.width, caption.box.height});
    }
    SetMenuCaption(sucker, Widen(f.busyText));
    Control& line = At(Line1);
    if (line.box.left != 100 || line.box.height != 24) {
        line.box = {100, 0, 100, 24};
        InvalidateRect(At(Picture2).hwnd, nullptr, TRUE);
    }
    SetTip(f.busyText);
    if (theme_ > 0) ShowTheme(f.freePercent);
    freePercent_ = f.freePercent;
}

// Half a second after the pointer came to rest on the icon: its tip, its
// picture and the status line of the menu, from a sample of their own.
void MainWindow::HoverRefresh() {
    KillTimer(hwnd_, Timer4);
    const SampleKb kb = Sample();
    const float freePercent = TipFreePercent(kb.totalKb, kb.freeKb);
    const std::string busyText = BusyText(freePercent, " %");
    SetTip(busyText);
    if (theme_ != 0) ShowTheme(freePercent);
    SetMenuCaption(sucker, Widen(busyText));
    hoverPending_ = false;
}

void MainWindow::Load() {
    instance_.reset(CreateMutexW(nullptr, FALSE, L"Local\\VeltraneSameWindow.Instance"));
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        MessageBoxW(nullptr, L"The program is already in use.", L"Veltrane", MB_OK | MB_RIGHT | MB_SETFOREGROUND);
        ExitProcess(0);
    }
    Shape();
    RestorePosition();
    AddIcon();
    HKEY run;
    bool autostart = false;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", &run) == ERROR_SUCCESS) {
        DWORD type = 0, size = 0;
        autostart = RegQueryValueExA(run, "Veltrane", nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
                    type == REG_SZ && size > 1;
        RegCloseKey(run);
    }
    SetMenuCaption(autoItem, autostart ? L"Remove Autostart" : L"Make Autostart");
    Greet();
    theme_ = static_cast<int>(RoundEven(std::wcstod(Setting(L"Tema", L"0").c_str(), nullptr)));
    Update();
    // After the start-up's Update the status line ends in a full stop.
    SetMenuCaption(sucker, Widen(BusyText(freePercent_, " %.")));
    ShowWindow(hwnd_, SW_SHOW);
    UpdateWindow(hwnd_);
}

void MainWindow::CheckEverySecond() {
    live_ = true;
    SetCaption(Text1, "1");
    SendMessageW(At(Combo1).hwnd, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"sec"));
    SetBack(Text1, kGreen);
    SetBack(Combo1, kGreen);
    Update();
    SetTimer(hwnd_, Timer1, 1000, nullptr);
}

void MainWindow::DoEvents() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// The loop of leak_bench, on this window: messages handled after every
// hundredth call (the paints and the timers that came due), the default
// picture shown before and after.
void MainWindow::Time(int updates, int hovers) {
    live_ = true;
    DoEvents();
    auto update = [&](int i) {
        theme_ = 1 + (i / 50) % 5;
        Update();
        if (i % 100 == 0) DoEvents();
    };
    auto hover = [&] {
        SendMessageW(hwnd_, kTrayMessage, nid_.uID, WM_MOUSEMOVE);
        HoverRefresh();
    };
    for (int i = 0; i < 1000; ++i) update(i);
    for (int i = 0; i < 100; ++i) hover();
    ShowIcon(IconOf(kDefaultIcon));
    DoEvents();

    bench::TimeUpdatesAndHovers(updates, hovers, update, hover, [&] { DoEvents(); });
    ShowIcon(IconOf(kDefaultIcon));
    DoEvents();
    SendMessageW(hwnd_, WM_CLOSE, 0, 0);
}

// --- painting -------------------------------------------------------------------

void MainWindow::Paint(HWND hwnd, HDC dc) {
    Control* self = Of(hwnd);
    if (!self) return;
    RECT client;
    GetClientRect(hwnd, &client);
    if (self->row->kind == Kind::Image) {
        const Box at = Physical(*self);
        SetBrushOrgEx(dc, -at.left, -at.top, nullptr);
        FillRect(dc, &client, faceBrush_.get());
    } else {
        FillRect(dc, &client, BrushFor(self->row->back == kDefault ? Sys(COLOR_BTNFACE) : self->row->back));
    }
    if (self->pictureDc) {
        BITMAP bm;
        GetObjectW(self->picture.get(), sizeof bm, &bm);
        BitBlt(dc, 0, 0, bm.bmWidth, bm.bmHeight, self->pictureDc.get(), 0, 0, SRCCOPY);
    }
    for (Control& c : controls_) {
        if (c.row->kind != Kind::Line || c.row->container != self->row->id) continue;
        const Box ends = Physical(c);
        Gdi<HPEN> pen(CreatePen(PS_SOLID, Scale(1, dpi_), Rgb(c.fore)));
        Selected select(dc, pen.get());
        MoveToEx(dc, ends.left, ends.top, nullptr);
        LineTo(dc, ends.width, ends.height);
    }
}

void MainWindow::DrawButton(const DRAWITEMSTRUCT& item) {
    Control* c = Of(item.hwndItem);
    if (!c) return;
    RECT r = item.rcItem;
    const bool pressed = item.itemState & ODS_SELECTED;
    FillRect(item.hDC, &r, BrushFor(c->row->back));
    DrawEdge(item.hDC, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    if (pressed) OffsetRect(&r, 1, 1);
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor((item.itemState & ODS_DISABLED) ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    wchar_t text[64];
    GetWindowTextW(item.hwndItem, text, 64);
    Selected font(item.hDC, FontFor(c->row->face));
    DrawTextW(item.hDC, text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT) && !cuesHidden_) {
        RECT focus = item.rcItem;
        InflateRect(&focus, -Scale(3, dpi_), -Scale(3, dpi_));
        const COLORREF ink = GetSysColor(COLOR_BTNTEXT);
        for (int x = focus.left; x < focus.right; x += 2) {
            SetPixelV(item.hDC, x, focus.top, ink);
            SetPixelV(item.hDC, x, focus.bottom - 1, ink);
        }
        for (int y = focus.top; y < focus.bottom; y += 2) {
            SetPixelV(item.hDC, focus.left, y, ink);
            SetPixelV(item.hDC, focus.right - 1, y, ink);
        }
    }
}

// Labels show the face (or their picture box) through; the red entry fields
// take their back colour.
bool MainWindow::ColourChild(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    HDC dc = reinterpret_cast<HDC>(wp);
    HWND child = reinterpret_cast<HWND>(lp);
    Control* c = Of(child);
    if (!c) c = Of(GetParent(child));  // a combo box's edit part
    if (!c) return false;
    if (c->fore != kDefault) SetTextColor(dc, Rgb(c->fore));
    if (c->row->kind == Kind::Label) {
        SetBkMode(dc, TRANSPARENT);
        if (c->row->container == 0) {
            const Box at = Physical(*c);
            SetBrushOrgEx(dc, -at.left, -at.top, nullptr);
            result = reinterpret_cast<LRESULT>(faceBrush_.get());
        } else {
            result = reinterpret_cast<LRESULT>(BrushFor(At(c->row->container).row->back));
        }
        return true;
    }
    const DWORD back =
        c->back == kDefault ? (msg == WM_CTLCOLORSTATIC ? Sys(COLOR_BTNFACE) : Sys(COLOR_WINDOW)) : c->back;
    SetBkColor(dc, Rgb(back));
    result = reinterpret_cast<LRESULT>(BrushFor(back));
    return true;
}

// --- messages -------------------------------------------------------------------

LRESULT MainWindow::Handle(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    switch (msg) {
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
            if (ColourChild(msg, wp, lp, result)) return result;
            break;
        case WM_DRAWITEM:
            DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
            return TRUE;
        case WM_ERASEBKGND: {
            HDC dc = reinterpret_cast<HDC>(wp);
            RECT client;
            GetClientRect(hwnd_, &client);
            FillRect(dc, &client, BrushFor(kMagenta));
            BitBlt(dc, 0, 0, client.right, client.bottom, faceDc_.get(), 0, 0, SRCCOPY);
            return 1;
        }
        case WM_TIMER:
            if (wp == Timer2) {  // the red flash of the figures ends
                KillTimer(hwnd_, Timer2);
                SetFore(Label1, kWhite);
                SetFore(Label4, kWhite);
            } else if (wp == Timer1) {
                Update();
            } else if (wp == Timer4) {
                HoverRefresh();
            }
            return 0;
        case kTrayMessage:
            // The first move of the pointer over the icon arms the hover
            // refresh; moves after it wait for it.
            if (live_ && wp == nid_.uID && lp == WM_MOUSEMOVE && !hoverPending_) {
                SetTimer(hwnd_, Timer4, 500, nullptr);
                hoverPending_ = true;
            }
            break;
        case WM_UPDATEUISTATE:
            if (HIWORD(wp) & UISF_HIDEFOCUS) {
                const bool hidden = LOWORD(wp) == UIS_SET ? true : LOWORD(wp) == UIS_CLEAR ? false : cuesHidden_;
                if (hidden != cuesHidden_) {
                    cuesHidden_ = hidden;
                    for (Control& c : controls_) {
                        if (c.row->kind == Kind::Button) InvalidateRect(c.hwnd, nullptr, FALSE);
                    }
                }
            }
            break;
        case WM_ACTIVATE:
            // The focus back to the control that had it; at first, Update.
            if (LOWORD(wp) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(hwnd_, focus)) lastFocus_ = focus;
                break;
            }
            if (HIWORD(wp)) break;
            SetFocus(lastFocus_ && IsWindow(lastFocus_) ? lastFocus_ : At(Command1).hwnd);
            return 0;
        case WM_CLOSE:
            if (iconAdded_) Shell_NotifyIconA(NIM_DELETE, &nid_);
            iconAdded_ = false;
            DestroyWindow(hwnd_);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            if (msg == taskbarCreated_ && taskbarCreated_ && iconAdded_) {
                NOTIFYICONDATAA again = nid_;
                again.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
                if (Shell_NotifyIconA(NIM_ADD, &again)) nidShown_ = nid_;
            }
            break;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK MainWindow::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return self ? self->Handle(msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK MainWindow::PictureProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self) {
        LRESULT result = 0;
        switch (msg) {
            case WM_CTLCOLORSTATIC:
                if (self->ColourChild(msg, wp, lp, result)) return result;
                break;
            case WM_ERASEBKGND:
                return 1;
            case WM_PAINT: {
                PAINTSTRUCT ps;
                HDC dc = BeginPaint(hwnd, &ps);
                self->Paint(hwnd, dc);
                EndPaint(hwnd, &ps);
                return 0;
            }
            default:
                break;
        }
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    // Without a switch, the window alone: what the start-up and memory
    // comparisons measure.
    const wchar_t* args = commandLine ? commandLine : L"";
    bool check = false;
    int updates = -1, hovers = -1;
    if (args[0] != L'\0') {
        check = std::wcscmp(args, L"/check") == 0;
        if (!check && (std::swscanf(args, L"/time %d %d", &updates, &hovers) != 2 || updates < 0 || hovers < 0)) {
            std::fprintf(stderr, "usage: same_window [/check | /time <updates> <hovers>]\n");
            return 2;
        }
    }
    wchar_t separator[8] = L".";
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) > 0 && separator[0] < 128) {
        SetDecimalSeparator(static_cast<char>(separator[0]));
    }
    static MainWindow window;
    if (!window.Create()) return 1;
    window.Load();
    if (check) window.CheckEverySecond();
    if (updates >= 0) window.Time(updates, hovers);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
