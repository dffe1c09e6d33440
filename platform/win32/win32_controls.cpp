// The controls of a form: each made from its row of the control table
// (buttons, text and combo boxes, tabs, frames and option buttons are the
// system's own; labels are STATIC windows over their container's face;
// picture boxes and images are a window class of our own), the fonts and
// brushes they share, and their properties. Each setter hands the window only
// what changed: a caption set to the text it already has would still repaint.
#include "platform/win32/win32_internal.h"

#include "platform/form_rules.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <algorithm>
#include <cmath>

#include "platform/dpi.h"

namespace vt::win32 {
namespace {

// The text the system keeps with a window, read without a message round:
// labels, buttons and frames hold theirs there (where DefWindowProc puts it),
// so it is what they show. A third of a millisecond quicker than WM_GETTEXT
// under Wine, and read twice in every Update.
std::string StoredText(HWND hwnd) {
    std::wstring text(128, L'\0');
    for (;;) {
        const int n = InternalGetWindowText(hwnd, text.data(), static_cast<int>(text.size()));
        if (n < static_cast<int>(text.size()) - 1) {
            text.resize(static_cast<size_t>(std::max(n, 0)));
            return Narrow(text);
        }
        text.resize(text.size() * 2);
    }
}

}  // namespace

std::string WindowText(HWND hwnd) {
    const int n = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    GetWindowTextW(hwnd, text.data(), n + 1);
    text.resize(static_cast<size_t>(n));
    return Narrow(text);
}

// Tab controls and frames are drawn behind the controls they hold; the
// window that really holds those controls is the nearest picture box or the
// form, and their positions add up on the way (dpi::PhysicalRect).
HWND Win32Form::ContainerHwnd(int container) const {
    while (container != 0) {
        const Control& c = At(container);
        if (c.def.kind != ControlKind::Tab && c.def.kind != ControlKind::Frame) return c.hwnd;
        container = c.def.container;
    }
    return hwnd_;
}

// The page a control lies on: (tab control id, page), or (0, -1).
std::pair<int, int> Win32Form::PageOf(const ControlDef& def) const {
    const ControlDef* d = &def;
    while (d->container != 0) {
        const Control& parent = At(d->container);
        if (parent.def.kind == ControlKind::Tab) return {parent.def.id, d->tab};
        d = &parent.def;
    }
    return {0, -1};
}

void Win32Form::ShowPage(int tabId) {
    const int page = TabCtrl_GetCurSel(At(tabId).hwnd);
    HWND focus = GetFocus();
    for (auto& [id, c] : controls_) {
        const auto [tab, onPage] = PageOf(c.def);
        if (tab == tabId && c.hwnd) ShowWindow(c.hwnd, onPage == page ? SW_SHOWNA : SW_HIDE);
    }
    // Typing must not go on into a control that was just hidden.
    if (focus && !IsWindowVisible(focus)) ::SetFocus(At(tabId).hwnd);
}

void Win32Form::CreateControl(const ControlDef& def) {
    // In its place first: the window's user data points at it from creation on.
    Control& c = controls_.emplace(def.id, Control{def}).first->second;
    c.form = this;
    c.caption = def.caption;
    c.toolTip = def.toolTip ? def.toolTip : "";
    c.back = def.back;
    c.fore = def.fore;
    c.rect = def.rect;
    c.enabled = def.kind != ControlKind::Timer && !(def.style & kDisabled);
    HWND parent = ContainerHwnd(def.container);
    const Rect r = Physical(c);
    const bool hidden = PageOf(def).second > 0;  // only the first page shows at first
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    const HMENU childId = reinterpret_cast<HMENU>(static_cast<INT_PTR>(def.id));
    switch (def.kind) {
        case ControlKind::Button:
            style |= WS_TABSTOP | ((def.style & kGraphical) ? BS_OWNERDRAW : BS_PUSHBUTTON);
            c.hwnd = CreateWindowExW(0, L"BUTTON", Widen(def.caption).c_str(), style, r.left, r.top, r.width,
                                     r.height, parent, childId, Module(), nullptr);
            break;
        case ControlKind::Label:
            style |= SS_NOTIFY | SS_NOPREFIX |
                     ((def.style & kCentered) ? SS_CENTER : (def.style & kRightAligned) ? SS_RIGHT : SS_LEFT);
            c.hwnd = CreateWindowExW(0, L"STATIC", Widen(def.caption).c_str(), style, r.left, r.top, r.width,
                                     r.height, parent, childId, Module(), nullptr);
            break;
        case ControlKind::PictureBox:
        case ControlKind::Image:
            c.hwnd = CreateWindowExW(0, kPictureClass, L"", style, r.left, r.top, r.width, r.height, parent,
                                     childId, Module(), &c);
            if (def.picture) LoadControlPicture(c);
            break;
        case ControlKind::TextBox:
            style |= WS_TABSTOP | ES_AUTOHSCROLL;
            c.hwnd = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", Widen(def.caption).c_str(), style, r.left, r.top,
                                     r.width, r.height, parent, childId, Module(), nullptr);
            break;
        case ControlKind::ComboBox:
            style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;
            c.hwnd = CreateWindowExW(0, L"COMBOBOX", L"", style, r.left, r.top, r.width, DropHeight(c), parent,
                                     childId, Module(), nullptr);
            for (const char* item : def.items) {
                SendMessageW(c.hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
            }
            SetWindowTextW(c.hwnd, Widen(def.caption).c_str());
            break;
        case ControlKind::Tab: {
            c.hwnd = CreateWindowExW(0, WC_TABCONTROLW, L"", style | WS_TABSTOP, r.left, r.top, r.width, r.height,
                                     parent, childId, Module(), nullptr);
            // Drawn in the classic way, so its pages take the button face
            // that the controls on them are painted in. The theme library
            // is loaded by name: only the options window has a tab control.
            if (!themeLibrary_) themeLibrary_.reset(LoadLibraryW(L"uxtheme.dll"));
            if (const auto setTheme = ProcAddress<decltype(&SetWindowTheme)>(themeLibrary_, "SetWindowTheme")) {
                setTheme(c.hwnd, L"", L"");
            }
            SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(def.font)), FALSE);
            int index = 0;
            for (const char* item : def.items) {
                std::wstring text = Widen(item);
                TCITEMW tab{TCIF_TEXT};
                tab.pszText = text.data();
                TabCtrl_InsertItem(c.hwnd, index++, &tab);
            }
            break;
        }
        case ControlKind::Frame:
            c.hwnd = CreateWindowExW(0, L"BUTTON", Widen(def.caption).c_str(), style | BS_GROUPBOX, r.left, r.top,
                                     r.width, r.height, parent, childId, Module(), nullptr);
            break;
        case ControlKind::OptionButton:
            style |= WS_TABSTOP | BS_AUTORADIOBUTTON | (lastKind_ == ControlKind::OptionButton ? 0 : WS_GROUP);
            c.hwnd = CreateWindowExW(0, L"BUTTON", Widen(def.caption).c_str(), style, r.left, r.top, r.width,
                                     r.height, parent, childId, Module(), nullptr);
            if (def.style & kChecked) SendMessageW(c.hwnd, BM_SETCHECK, BST_CHECKED, 0);
            break;
        case ControlKind::Line:
            // A rule on a plain window; lines in picture boxes are painted by the box.
            if (parent == hwnd_ && !faceDc_) {
                const bool flat = def.rect.top == def.rect.height;
                c.hwnd = CreateWindowExW(0, L"STATIC", L"", style | (flat ? SS_ETCHEDHORZ : SS_ETCHEDVERT),
                                         r.left, r.top, flat ? r.width - r.left : 2, flat ? 2 : r.height - r.top,
                                         parent, childId, Module(), nullptr);
            }
            break;
        case ControlKind::Timer:
            break;
    }
    lastKind_ = def.kind;
    if (hidden && c.hwnd) ShowWindow(c.hwnd, SW_HIDE);
    if (c.hwnd) {
        SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(def.font)), FALSE);
        FitText(c);
        // A plain subclass rather than the common controls' one, which looks
        // up a window property on every message (a server call under Wine);
        // for the same reason the tooltips are handed the mouse by ControlProc
        // instead of subclassing the controls themselves.
        SetWindowLongPtrW(c.hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&c));
        c.classProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(c.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ControlProc)));
        if (!c.enabled) EnableWindow(c.hwnd, FALSE);
        if (!c.toolTip.empty()) {
            std::wstring tip = Widen(c.toolTip);
            TTTOOLINFOW ti{sizeof ti};
            ti.uFlags = TTF_IDISHWND;
            ti.hwnd = hwnd_;
            ti.uId = reinterpret_cast<UINT_PTR>(c.hwnd);
            ti.lpszText = tip.data();
            SendMessageW(toolTips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
        }
    }
}

HFONT Win32Form::FontFor(const FontDef& font) {
    const FontDef& f = font.face ? font : def_.font;
    auto key = std::make_pair(std::string(f.face ? f.face : "Arial"), f.points);
    auto it = fonts_.find(key);
    if (it != fonts_.end()) return it->second.get();
    // At the window's DPI: on a second display of another scale the
    // screen's DPI would be the wrong one.
    unique_hfont created(CreateFontW(dpi::FontHeight(f.points, dpi_), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                     DEFAULT_PITCH | FF_SWISS, Widen(key.first).c_str()));
    HFONT h = created.get();
    fonts_.emplace(key, std::move(created));
    return h;
}

// The table's labels were laid out for their fonts at 96 DPI. At another DPI
// the font grows by its point size while the label grows by its pixels, and
// the glyphs' hinting differs: a caption can come out a little wider than
// its label and wrap onto a line the label cannot show. Such a label takes
// the largest font, down to a tenth smaller, that shows its whole caption;
// at 96 DPI every label keeps the table's font.
void Win32Form::FitText(Control& c) {
    if (dpi_ == dpi::kBaseDpi || c.def.kind != ControlKind::Label || !c.hwnd) return;
    const FontDef& f = c.def.font.face ? c.def.font : def_.font;
    const int height = -dpi::FontHeight(f.points, dpi_);
    if (!measureDc_) measureDc_.reset(CreateCompatibleDC(nullptr));  // no window DC to fetch each time
    HDC dc = measureDc_.get();
    auto fontAt = [&](int h) { return h == height ? FontFor(c.def.font) : FontOfHeight(f, h); };
    // The status lines change their figures every second and little else:
    // where every digit of every candidate font is as wide as the others,
    // the fit of "1234 Mb" is the fit of "0000 Mb", and is not measured again.
    if (!c.digitsAlike) {
        bool alike = true;
        for (int h = height; h >= height - height / 10 && alike; --h) {
            ScopedSelect select(dc, fontAt(h));
            INT widths[10];
            alike = GetCharWidth32W(dc, L'0', L'9', widths) &&
                    std::all_of(widths, widths + 10, [&](INT w) { return w == widths[0]; });
        }
        c.digitsAlike = alike;
    }
    const bool digitsAlike = *c.digitsAlike;
    std::wstring text = Widen(c.caption);
    std::wstring shape = text;
    if (digitsAlike) std::replace_if(shape.begin(), shape.end(), [](wchar_t ch) { return ch >= L'1' && ch <= L'9'; }, L'0');
    HFONT chosen = c.fittedFont;
    if (!chosen || shape != c.fittedShape) {
        RECT client;
        GetClientRect(c.hwnd, &client);
        for (int h = height; h >= height - height / 10; --h) {
            ScopedSelect select(dc, fontAt(h));
            RECT need{0, 0, client.right, 0};
            DrawTextW(dc, text.c_str(), -1, &need, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
            chosen = fontAt(h);
            if (need.right <= client.right && need.bottom <= client.bottom) break;
        }
        c.fittedShape = digitsAlike ? std::move(shape) : std::wstring();
        c.fittedFont = digitsAlike ? chosen : nullptr;
    }
    if (reinterpret_cast<HFONT>(SendMessageW(c.hwnd, WM_GETFONT, 0, 0)) != chosen) {
        SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(chosen), TRUE);
    }
}

HFONT Win32Form::FontOfHeight(const FontDef& f, int height) {
    auto key = std::make_pair(std::string(f.face ? f.face : "Arial"), height);
    auto it = fittedFonts_.find(key);
    if (it != fittedFonts_.end()) return it->second.get();
    unique_hfont created(CreateFontW(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                     DEFAULT_PITCH | FF_SWISS, Widen(key.first).c_str()));
    HFONT h = created.get();
    fittedFonts_.emplace(key, std::move(created));
    return h;
}

HBRUSH Win32Form::BrushFor(Color color) {
    auto it = brushes_.find(color);
    if (it != brushes_.end()) return it->second.get();
    unique_hbrush brush(CreateSolidBrush(ToColorRef(color)));
    HBRUSH h = brush.get();
    brushes_.emplace(color, std::move(brush));
    return h;
}

Win32Form::Control* Win32Form::ControlOf(HWND hwnd) {
    for (auto& [id, c] : controls_) {
        if (c.hwnd == hwnd) return &c;
    }
    return nullptr;
}

// An id that names no control is the caller's fault, reported as error 5
// rather than as whatever the container would throw.
Win32Form::Control& Win32Form::At(int id) {
    const auto it = controls_.find(id);
    if (it == controls_.end()) Raise(kInvalidCall);
    return it->second;
}
const Win32Form::Control& Win32Form::At(int id) const { return const_cast<Win32Form*>(this)->At(id); }


void Win32Form::SetCaption(int id, std::string_view text) {
    if (id == 0) {
        if (caption_ == text) return;
        caption_ = text;
        SetWindowTextW(hwnd_, Widen(text).c_str());
        return;
    }
    if (Menu* m = MenuOf(id)) {
        if (m->caption == text) return;
        m->caption = text;
        ModifyMenuW(m->parent, static_cast<UINT>(id), MF_BYCOMMAND | MF_STRING | (m->enabled ? 0 : MF_GRAYED),
                    static_cast<UINT_PTR>(id), Widen(text).c_str());
        return;
    }
    Control& c = At(id);
    // Compared with what the window shows: the user may have edited a text
    // box, and another program may have set any window's text.
    if (c.hwnd ? ShownText(c) == text : c.caption == text) return;
    c.caption = text;
    if (!c.hwnd) return;
    SetWindowTextW(c.hwnd, Widen(text).c_str());
    FitText(c);
}

std::string Win32Form::Caption(int id) const {
    if (id == 0) return caption_;
    if (const Menu* m = MenuOf(id)) return m->caption;
    const Control& c = At(id);
    return c.hwnd ? ShownText(c) : c.caption;
}

// Text boxes and combo boxes keep their text in a buffer of their own, which
// only WM_GETTEXT reads; every other control shows the text the system keeps.
std::string Win32Form::ShownText(const Control& c) {
    const bool ownBuffer = c.def.kind == ControlKind::TextBox || c.def.kind == ControlKind::ComboBox;
    return ownBuffer ? WindowText(c.hwnd) : StoredText(c.hwnd);
}

void Win32Form::SetEnabled(int id, bool enabled) {
    if (id == 0) {
        EnableWindow(hwnd_, enabled);
        return;
    }
    if (Menu* m = MenuOf(id)) {
        m->enabled = enabled;
        EnableMenuItem(m->parent, static_cast<UINT>(id), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
        return;
    }
    Control& c = At(id);
    if (c.def.kind == ControlKind::Timer) {
        // Enabling a timer restarts its count, as setting a new interval does.
        c.enabled = enabled;
        if (enabled) {
            SetTimer(hwnd_, static_cast<UINT_PTR>(id), static_cast<UINT>(c.def.interval), nullptr);
        } else {
            KillTimer(hwnd_, static_cast<UINT_PTR>(id));
        }
        return;
    }
    if (c.enabled == enabled) return;
    c.enabled = enabled;
    if (c.hwnd) EnableWindow(c.hwnd, enabled);
}

bool Win32Form::Enabled(int id) const {
    if (id == 0) return IsWindowEnabled(hwnd_);
    if (const Menu* m = MenuOf(id)) return m->enabled;
    return At(id).enabled;
}

void Win32Form::SetBackColor(int id, Color color) {
    Control& c = At(id);
    if (c.back == color) return;
    c.back = color;
    if (c.hwnd) InvalidateRect(c.hwnd, nullptr, TRUE);
}
Color Win32Form::BackColor(int id) const { return At(id).back; }

void Win32Form::SetForeColor(int id, Color color) {
    Control& c = At(id);
    if (c.fore == color) return;
    c.fore = color;
    if (c.hwnd) InvalidateRect(c.hwnd, nullptr, TRUE);
    if (c.def.kind == ControlKind::Line) InvalidateRect(ContainerHwnd(c.def.container), nullptr, TRUE);
}
Color Win32Form::ForeColor(int id) const { return At(id).fore; }

void Win32Form::SetToolTip(int id, std::string_view text) {
    Control& c = At(id);
    if (c.toolTip == text || !c.hwnd) return;
    const bool added = !c.toolTip.empty();
    c.toolTip = text;
    std::wstring tip = Widen(text);
    TTTOOLINFOW ti{sizeof ti};
    ti.uFlags = TTF_IDISHWND;
    ti.hwnd = hwnd_;
    ti.uId = reinterpret_cast<UINT_PTR>(c.hwnd);
    ti.lpszText = tip.data();
    SendMessageW(toolTips_, added ? TTM_UPDATETIPTEXTW : TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    // A control named by its tooltip has a new name for a screen reader.
    if (!c.def.accessibleName && !AccessibleName(c.def, c.caption, c.toolTip).empty()) {
        NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, c.hwnd, OBJID_CLIENT, CHILDID_SELF);
    }
}
std::string Win32Form::ToolTip(int id) const { return At(id).toolTip; }

void Win32Form::SetBounds(int id, Rect rect) {
    Control& c = At(id);
    if (c.rect.left == rect.left && c.rect.top == rect.top && c.rect.width == rect.width &&
        c.rect.height == rect.height) {
        return;
    }
    c.rect = rect;
    if (c.hwnd) MoveControl(c);
}

Rect Win32Form::Physical(const Control& c) const { return dpi::PhysicalRect(def_, c.def.id, c.rect, dpi_); }

// A combo box's window reaches down to the bottom of its open list.
int Win32Form::DropHeight(const Control& c) const {
    return dpi::PhysicalRect(def_, c.def.id, {c.rect.left, c.rect.top, c.rect.width, c.rect.height + 120}, dpi_)
        .height;
}

void Win32Form::MoveControl(Control& c) {
    c.fittedFont = nullptr;  // fitted to the old size, perhaps with the old DPI's fonts
    c.digitsAlike.reset();
    const Rect r = Physical(c);
    if (c.def.kind == ControlKind::Line) {
        const bool flat = c.rect.top == c.rect.height;
        MoveWindow(c.hwnd, r.left, r.top, flat ? r.width - r.left : 2, flat ? 2 : r.height - r.top, TRUE);
        return;
    }
    MoveWindow(c.hwnd, r.left, r.top, r.width, c.def.kind == ControlKind::ComboBox ? DropHeight(c) : r.height, TRUE);
}

// The control's picture at the window's DPI, in a DC of its own to paint from.
void Win32Form::LoadControlPicture(Control& c) {
    if (!c.pictureDc) {
        c.pictureDc.reset(CreateCompatibleDC(faceDc_ ? faceDc_.get() : nullptr));
    } else {
        SelectObject(c.pictureDc.get(), c.oldPictureBitmap);
    }
    c.picture = LoadPicture(c.def.picture, dpi_);
    c.oldPictureBitmap = SelectObject(c.pictureDc.get(), c.picture.get());
}

// The tips' font follows the window to a display of another scale; the
// system made the first one for its own DPI.
void Win32Form::SetTipFont() {
    NONCLIENTMETRICSW metrics{sizeof metrics};
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return;
    metrics.lfStatusFont.lfHeight = MulDiv(metrics.lfStatusFont.lfHeight, dpi_, SystemDpi());
    unique_hfont font(CreateFontIndirectW(&metrics.lfStatusFont));
    SendMessageW(toolTips_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    tipFont_ = std::move(font);
}
Rect Win32Form::Bounds(int id) const { return At(id).rect; }

void Win32Form::SetLine(int id, int x1, int y1, int x2, int y2) {
    Control& c = At(id);
    const Rect ends{x1, y1, x2, y2};
    if (c.rect.left == ends.left && c.rect.top == ends.top && c.rect.width == ends.width &&
        c.rect.height == ends.height) {
        return;
    }
    c.rect = ends;
    InvalidateRect(ContainerHwnd(c.def.container), nullptr, TRUE);
}

void Win32Form::SetSelection(int id, int start, int length) {
    SendMessageW(At(id).hwnd, EM_SETSEL, static_cast<WPARAM>(start), start + length);
}

void Win32Form::SetFocus(int id) { ::SetFocus(id == 0 ? hwnd_ : At(id).hwnd); }

void Win32Form::SetChecked(int id, bool checked) {
    HWND chosen = At(id).hwnd;
    // BM_SETCHECK leaves the rest of the group alone; a click would not.
    if (checked) {
        for (auto& [other, c] : controls_) {
            if (c.def.kind == ControlKind::OptionButton && other != id) SendMessageW(c.hwnd, BM_SETCHECK, BST_UNCHECKED, 0);
        }
    }
    SendMessageW(chosen, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool Win32Form::Checked(int id) const { return SendMessageW(At(id).hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void Win32Form::SetLeft(int32_t twips) {
    RECT r;
    GetWindowRect(hwnd_, &r);
    SetWindowPos(hwnd_, nullptr, static_cast<int>(std::lround(twips / 15.0)), r.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Form::SetTop(int32_t twips) {
    RECT r;
    GetWindowRect(hwnd_, &r);
    SetWindowPos(hwnd_, nullptr, r.left, static_cast<int>(std::lround(twips / 15.0)), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int32_t Win32Form::Left() const {
    RECT r;
    GetWindowRect(hwnd_, &r);
    return r.left * 15;
}
int32_t Win32Form::Top() const {
    RECT r;
    GetWindowRect(hwnd_, &r);
    return r.top * 15;
}
int32_t Win32Form::Width() const {
    RECT r;
    GetWindowRect(hwnd_, &r);
    return (r.right - r.left) * 15;
}
int32_t Win32Form::Height() const {
    RECT r;
    GetWindowRect(hwnd_, &r);
    return (r.bottom - r.top) * 15;
}

void Win32Form::SetPictureIcon(int id, uintptr_t icon) {
    Control& c = At(id);
    HICON h = reinterpret_cast<HICON>(icon);
    if (c.iconGiven == h) return;
    c.iconGiven = h;
    // Whatever size the program asked for, the box shows the group's own
    // picture at its size here, not a stretched copy.
    c.icon = h ? platform_.SameIconAt(h, dpi::Scale(32, dpi_)) : nullptr;
    if (c.hwnd) InvalidateRect(c.hwnd, nullptr, FALSE);
}

}  // namespace vt::win32
