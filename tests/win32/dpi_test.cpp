// Both windows at the display's DPI and after a move to a display of
// another DPI: client sizes, every control where the scaled table puts it,
// the region against the face at that scale, and every text inside its
// control, measured with the control's own font. tests/win32/dpi_sweep.sh
// runs these at 96, 120, 144 and 192 DPI.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/dpi.h"
#include "platform/win32/win32_native.h"
#include "platform/win32/win32_platform.h"
#include "ui/form1.h"
#include "ui/options_window.h"

namespace vt {
namespace {

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// The DPI a test moves the window to: 192, or back to 96 where the display
// already is at 192.
int OtherDpi() { return ScreenDpi() == 192 ? 96 : 192; }

struct Reshaper : FormEvents {
    Platform* platform = nullptr;
    Form* form = nullptr;
    int changes = 0;
    void DpiChanged() override {
        ++changes;
        form->CutOutline(kMagenta);
    }
};

std::wstring Text(HWND hwnd) {
    wchar_t buffer[512] = L"";
    GetWindowTextW(hwnd, buffer, 512);
    return buffer;
}

// The rectangle of a child window relative to its parent's client area.
Rect ChildRect(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

HWND ControlWindow(HWND form, const FormDef& def, int id) {
    for (const ControlDef& c : def.controls) {
        if (c.id == id && c.container != 0) {
            const ControlDef* box = nullptr;
            for (const ControlDef& d : def.controls) box = d.id == c.container ? &d : box;
            if (box->kind == ControlKind::PictureBox) return GetDlgItem(GetDlgItem(form, box->id), id);
        }
    }
    return GetDlgItem(form, id);
}

// Width and height of a text in a font: one line, or wrapped at a width as
// a label wraps it.
SIZE Measure(HFONT font, const std::wstring& text, bool wrap, int width) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    if (wrap) {
        RECT r{0, 0, width, 0};
        DrawTextW(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
        size = {r.right, r.bottom};
    } else {
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    }
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return size;
}
SIZE Measure(HWND control, const std::wstring& text, bool wrap, int width) {
    return Measure(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), text, wrap, width);
}

// Texts that run past their box at these DPIs with Wine's fonts: 8.25 pt is
// 14 px at 120 DPI, a little more than the layout's 1.25 times its 11 px at
// 96. Labels take a smaller font where they must; a text box scrolls its
// text instead. Each stays listed (and reported as a note) until the table
// gives it room.
struct KnownOverflow {
    const char* form;
    int control;
    int dpi;
};
constexpr KnownOverflow kKnownOverflows[] = {
    {"frmOptions", vt::frm_options::Text1, 120},
};

bool KnownOverflowAt(const char* form, int control, int dpi) {
    for (const KnownOverflow& k : kKnownOverflows) {
        if (std::strcmp(k.form, form) == 0 && k.control == control && k.dpi == dpi) return true;
    }
    return false;
}

// A system metric at a DPI: the system gives its own DPI's.
int MetricAt(int index, int dpi) { return MulDiv(GetSystemMetrics(index), dpi, ScreenDpi()); }

// The room a control leaves its text, beyond the text itself: edges,
// margins, the check circle, the drop button.
int Chrome(ControlKind kind, HWND control, int dpi) {
    switch (kind) {
        case ControlKind::Button: return 2 * dpi::Scale(2, dpi);
        case ControlKind::OptionButton:
        case ControlKind::CheckBox: return dpi::Scale(13 + 3, dpi);
        case ControlKind::Frame: return dpi::Scale(2 * 8, dpi);
        case ControlKind::TextBox: {
            const LRESULT margins = SendMessageW(control, EM_GETMARGINS, 0, 0);
            return LOWORD(margins) + HIWORD(margins) + 2 * MetricAt(SM_CXEDGE, dpi);
        }
        case ControlKind::ComboBox: return MetricAt(SM_CXVSCROLL, dpi) + 2 * MetricAt(SM_CXEDGE, dpi) + 2;
        default: return 0;
    }
}

// Everything the checks below compare, for one window at one DPI.
void CheckWindow(Form& form, const FormDef& def, int dpi, const char* when) {
    SCOPED_TRACE(std::string(def.name) + " at " + std::to_string(dpi) + " DPI, " + when);
    HWND hwnd = win32::HwndOf(form);
    const dpi::ScaledLayout layout = dpi::LayoutAt(def, dpi);
    RECT client;
    GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, layout.clientWidth);
    EXPECT_EQ(client.bottom, layout.clientHeight);
    EXPECT_EQ(form.ScaleWidth(), layout.clientWidth);
    EXPECT_EQ(form.ScaleHeight(), layout.clientHeight);
    if (def.picture) {
        BITMAP face{};
        GetObjectW(GetCurrentObject(win32::FaceDcOf(form), OBJ_BITMAP), sizeof face, &face);
        EXPECT_EQ(face.bmWidth, dpi::Scale(457, dpi));
        EXPECT_EQ(face.bmHeight, dpi::Scale(111, dpi));
    }

    for (const ControlDef& c : def.controls) {
        HWND w = ControlWindow(hwnd, def, c.id);
        if (c.kind == ControlKind::Timer || (c.kind == ControlKind::Line && !w)) continue;
        ASSERT_NE(w, nullptr) << "control " << c.id;
        const dpi::ControlLayout& want = *layout.Find(c.id);
        // The table's rectangle, or where the program has moved the control since.
        const Rect place = dpi::PhysicalRect(def, c.id, form.Bounds(c.id), dpi);
        const Rect got = ChildRect(w);
        EXPECT_EQ(got.left, place.left) << "control " << c.id;
        EXPECT_EQ(got.top, place.top) << "control " << c.id;
        if (c.kind == ControlKind::Line) continue;
        EXPECT_EQ(got.width, place.width) << "control " << c.id;
        // A combo box's window is as high as its closed box; its list drops below.
        if (c.kind != ControlKind::ComboBox) {
            EXPECT_EQ(got.height, place.height) << "control " << c.id;
        }
        // Pictures and graphs draw no text.
        if (c.kind == ControlKind::PictureBox || c.kind == ControlKind::Image || c.kind == ControlKind::Graph) continue;
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(w, WM_GETFONT, 0, 0)), sizeof font, &font);
        if (c.kind == ControlKind::Label && dpi != dpi::kBaseDpi) {
            // A label may take a font up to a tenth smaller to show its whole caption.
            EXPECT_LE(font.lfHeight, want.fontHeight - want.fontHeight / 10) << "control " << c.id;
            EXPECT_GE(font.lfHeight, want.fontHeight) << "control " << c.id;
        } else {
            EXPECT_EQ(font.lfHeight, want.fontHeight) << "control " << c.id;
        }

        RECT inside;
        GetClientRect(w, &inside);
        std::wstring text = Text(w);
        if (c.kind == ControlKind::ComboBox) {
            for (const char* item : c.items) {
                const SIZE s = Measure(w, std::wstring(item, item + strlen(item)), false, 0);
                EXPECT_LE(s.cx + Chrome(c.kind, w, dpi), got.width) << "control " << c.id << " item " << item;
            }
            continue;
        }
        if (c.kind == ControlKind::Tab) {
            const int tabs = TabCtrl_GetItemCount(w);
            RECT last{};
            TabCtrl_GetItemRect(w, tabs - 1, &last);
            EXPECT_LE(last.right, inside.right) << "control " << c.id;
            continue;
        }
        if (text.empty()) continue;
        const bool label = c.kind == ControlKind::Label;
        const int chrome = Chrome(c.kind, w, dpi);
        const SIZE s = Measure(w, text, label, inside.right);
        const bool fitsHere = label ? s.cx <= inside.right && s.cy <= inside.bottom
                                    : s.cx + chrome <= got.width && (c.kind == ControlKind::Frame || s.cy <= inside.bottom);
        if (fitsHere) continue;
        // What does not fit at 96 DPI either is the table's, not the scaling's.
        const FontDef& f = c.font.face ? c.font : def.font;
        HFONT at96 = CreateFontW(dpi::FontHeight(f.points, dpi::kBaseDpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                 DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 DEFAULT_PITCH | FF_SWISS, std::wstring(f.face, f.face + strlen(f.face)).c_str());
        const int edge = c.kind == ControlKind::TextBox ? 2 * MetricAt(SM_CXEDGE, dpi::kBaseDpi) : 0;
        const SIZE s96 = Measure(at96, text, label, c.rect.width - edge);
        DeleteObject(at96);
        const bool fits96 = label ? s96.cx <= c.rect.width && s96.cy <= c.rect.height
                                  : s96.cx + chrome * dpi::kBaseDpi / dpi <= c.rect.width;
        if (!fits96) {
            std::printf("[ note     ] %s control %d is too small for its text at 96 DPI too: %ld x %ld in %d x %d\n",
                        def.name, c.id, s96.cx, s96.cy, c.rect.width, c.rect.height);
            continue;
        }
        if (KnownOverflowAt(def.name, c.id, dpi)) {
            std::printf("[ note     ] %s control %d is too small for its text at %d DPI: %ld x %ld in %d x %d\n", def.name,
                        c.id, dpi, s.cx, s.cy, got.width, got.height);
            continue;
        }
        ADD_FAILURE() << "control " << c.id << " \"" << form.Caption(c.id) << "\" needs " << s.cx << " x " << s.cy << " in "
                      << got.width << " x " << got.height << " (" << inside.right << " x " << inside.bottom
                      << " inside)";
    }
}

// The region the shaping routine made is the face's non-magenta area at
// this scale, pixel for pixel.
void CheckRegion(Form& form, int dpi) {
    SCOPED_TRACE("region at " + std::to_string(dpi) + " DPI");
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(GetWindowRgn(win32::HwndOf(form), region), COMPLEXREGION);
    HDC face = win32::FaceDcOf(form);
    int inside = 0, wrong = 0, area = 0;
    for (int y = 0; y < form.ScaleHeight(); ++y) {
        for (int x = 0; x < form.ScaleWidth(); ++x) {
            const bool kept = GetPixel(face, x, y) != RGB(255, 0, 255);
            inside += kept;
            const bool in = PtInRegion(region, x, y) != FALSE;
            area += in;
            wrong += kept != in;
        }
    }
    DeleteObject(region);
    EXPECT_GT(inside, form.ScaleWidth() * form.ScaleHeight() / 2);
    EXPECT_EQ(area, inside);
    EXPECT_EQ(wrong, 0);
}

// The texts the program really shows, long figures of a big machine.
void ShowRealTexts(Form& main) {
    using namespace form1;
    main.SetCaption(Label1, "  Totalt= 24684 Mb  Free= 24266 Mb     ");
    main.SetCaption(Label4, "Busy= 418 Mb or 1.7 %");
}

void ShowRealTexts(Form& options, bool on) {
    using namespace frm_options;
    options.SetCaption(Label5, "You have 24266 Mb free now");
    options.SetCaption(Label7, on ? "On" : "Off");
    options.SetCaption(Label9, "200 Mb");
    options.SetCaption(Label1, "100%");
    options.SetCaption(Text1, "20000");
}

int IconWidth(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return 0;
    BITMAP mask{};
    GetObjectW(info.hbmMask, sizeof mask, &mask);
    DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    return mask.bmWidth;
}

void SendDpiChange(Form& form, int dpi, int left, int top, const FormDef& def) {
    HWND hwnd = win32::HwndOf(form);
    RECT suggested{left, top, left + dpi::Scale(def.clientWidth, dpi), top + dpi::Scale(def.clientHeight, dpi)};
    SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

// The last form unloaded posts the quit message that ends the program; the
// tests after these ones run on in the same thread.
class Win32Dpi : public testing::Test {
protected:
    void TearDown() override {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    // The main window with its real texts and its outline, cut again at
    // every change of DPI.
    Form& ShapedMainWindow() {
        form_ = platform_->CreateForm(MainWindowDef(), reshaper_);
        reshaper_.platform = platform_.get();
        reshaper_.form = form_.get();
        ShowRealTexts(*form_);
        form_->CutOutline(kMagenta);
        return *form_;
    }

    std::unique_ptr<Platform> platform_ = CreateWin32Platform();
    Reshaper reshaper_;
    std::unique_ptr<Form> form_;
};

TEST_F(Win32Dpi, MainWindowAtTheDisplaysDpi) {
    Form& form = ShapedMainWindow();
    CheckWindow(form, MainWindowDef(), ScreenDpi(), "as created");
    CheckRegion(form, ScreenDpi());
}

TEST_F(Win32Dpi, OptionsWindowAtTheDisplaysDpi) {
    auto& p = platform_;
    FormEvents events;
    auto form = p->CreateForm(OptionsWindowDef(), events);
    for (bool on : {false, true}) {
        ShowRealTexts(*form, on);
        CheckWindow(*form, OptionsWindowDef(), ScreenDpi(), on ? "warning on" : "warning off");
    }
}

// Wine never sends it; Windows does when the window lands on a display of
// another scale.
TEST_F(Win32Dpi, DpiChangeLaysEverythingOutAnew) {
    auto& p = platform_;
    auto& events = reshaper_;
    Form* form = &ShapedMainWindow();
    form->SetBounds(form1::Picture1, {256, 50, 124, 17});
    form->SetLine(form1::Line1, 100, 0, 100, 24);
    form->CutOutline(kMagenta);
    const int to = OtherDpi();
    SendDpiChange(*form, to, 120, 90, MainWindowDef());
    EXPECT_EQ(events.changes, 1);
    RECT at;
    GetWindowRect(win32::HwndOf(*form), &at);
    EXPECT_EQ(at.left, 120);
    EXPECT_EQ(at.top, 90);
    EXPECT_EQ(form->Left(), 120 * 15);
    CheckWindow(*form, MainWindowDef(), to, "after the change");
    CheckRegion(*form, to);
    // The program's units stay the table's; the window's are the new DPI's.
    EXPECT_EQ(form->Bounds(form1::Picture1).width, 124);
    EXPECT_EQ(ChildRect(GetDlgItem(win32::HwndOf(*form), form1::Picture1)).width,
              dpi::Scale(256 + 124, to) - dpi::Scale(256, to));
    // Icons asked for now come at the new size, and the form's own icon (the
    // one the shell is handed) is the same picture at that size.
    EXPECT_EQ(IconWidth(win32::IconOf(*p, 145)), dpi::Scale(16, to));
    EXPECT_EQ(IconWidth(win32::WindowIconOf(*form)), dpi::Scale(16, to));
    EXPECT_EQ(win32::WindowIconOf(*form), win32::IconOf(*p, 1));

    FormEvents quiet;
    auto options = p->CreateForm(OptionsWindowDef(), quiet);
    ShowRealTexts(*options, true);
    SendDpiChange(*options, to, 0, 0, OptionsWindowDef());
    CheckWindow(*options, OptionsWindowDef(), to, "after the change");
    SendDpiChange(*options, ScreenDpi(), 0, 0, OptionsWindowDef());
    CheckWindow(*options, OptionsWindowDef(), ScreenDpi(), "back at the display's DPI");
}

// Any program can post the message: one without a rectangle, or with a DPI
// no display has, leaves the window as it is.
TEST_F(Win32Dpi, AnImplausibleDpiChangeIsIgnored) {
    Form& form = ShapedMainWindow();
    HWND hwnd = win32::HwndOf(form);
    RECT before;
    GetWindowRect(hwnd, &before);
    const struct {
        int dpi;
        bool rectangle;
    } rows[] = {{OtherDpi(), false}, {6944, true}, {65535, true}, {961, true}, {47, true}, {0, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "dpi " << row.dpi << (row.rectangle ? "" : ", no rectangle"));
        RECT suggested{0, 0, 50, 50};
        SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(row.dpi, row.dpi),
                     row.rectangle ? reinterpret_cast<LPARAM>(&suggested) : 0);
        EXPECT_EQ(reshaper_.changes, 0);
        RECT after;
        GetWindowRect(hwnd, &after);
        EXPECT_TRUE(EqualRect(&before, &after));
    }
    CheckWindow(form, MainWindowDef(), ScreenDpi(), "after the ignored changes");
}

}  // namespace
}  // namespace vt
