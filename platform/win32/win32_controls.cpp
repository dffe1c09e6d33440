// The controls of a form, each made from its row of the control table
// (buttons, text and combo boxes, tabs, frames and option buttons are the
// system's own; labels are STATIC windows over their container's face;
// picture boxes and images, and graphs, are window classes of our own), where
// they sit at the window's DPI, and which page of a tab control shows them.
#include "platform/win32/win32_internal.h"

#include <commctrl.h>
#include <uxtheme.h>

#include "platform/dpi.h"
#include "platform/form_rules.h"

namespace vt::win32 {

// form, and their positions add up on the way (dpi::PhysicalRect).
HWND Win32Form::ContainerHwnd(int container) const {
    while (container != 0) {
        const Control& c = At(container);
        if (c.def.kind != ControlKind::Tab && c.def.kind != ControlKind::Frame) return c.hwnd;
        container = c.def.container;
    }
    return hwnd_;
}

std::pair<int, int> Win32Form::PageOf(const ControlDef& def) const { return vt::PageOf(def_, def); }

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
            // A picture box paints around what it holds: a label that moved
            // in over a part it repaints later keeps its text.
            if (def.kind == ControlKind::PictureBox) style |= WS_CLIPCHILDREN;
            c.hwnd = CreateWindowExW(0, kPictureClass, L"", style, r.left, r.top, r.width, r.height, parent,
                                     childId, Module(), &c);
            if (def.picture) LoadControlPicture(c);
            break;
        case ControlKind::Graph:
            c.hwnd = CreateWindowExW(0, kGraphClass, Widen(def.caption).c_str(), style | WS_TABSTOP, r.left, r.top,
                                     r.width, r.height, parent, childId, Module(), &c);
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
            if (!themeLibrary_) themeLibrary_ = LoadSystemLibrary(L"uxtheme.dll");
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
        case ControlKind::CheckBox:
            c.hwnd = CreateWindowExW(0, L"BUTTON", Widen(def.caption).c_str(), style | WS_TABSTOP | BS_AUTOCHECKBOX,
                                     r.left, r.top, r.width, r.height, parent, childId, Module(), nullptr);
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
Rect Win32Form::Physical(const Control& c) const { return dpi::PhysicalRect(def_, c.def.id, c.rect, dpi_); }

// A combo box's window reaches down to the bottom of its open list.
int Win32Form::DropHeight(const Control& c) const {
    return dpi::PhysicalRect(def_, c.def.id, {c.rect.left, c.rect.top, c.rect.width, c.rect.height + 120}, dpi_)
        .height;
}

void Win32Form::MoveControl(Control& c) {
    c.fittedFont = nullptr;  // fitted to the old size, perhaps with the old DPI's fonts
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

}  // namespace vt::win32
