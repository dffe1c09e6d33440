// The properties of a form and its controls, read and set by the program:
// each setter hands the window only what changed, since a caption set to the
// text it already has would still repaint. The form's own position and size
// are in twips.
#include "platform/win32/win32_internal.h"

#include "platform/form_rules.h"

#include <commctrl.h>

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
    if (c.rect == rect) return;
    c.rect = rect;
    if (c.hwnd) MoveControl(c);
}

Rect Win32Form::Bounds(int id) const { return At(id).rect; }

void Win32Form::SetLine(int id, int x1, int y1, int x2, int y2) {
    Control& c = At(id);
    const Rect ends{x1, y1, x2, y2};
    if (c.rect == ends) return;
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
        for (int other : OptionGroup(def_.controls, id)) {
            if (other != id) SendMessageW(At(other).hwnd, BM_SETCHECK, BST_UNCHECKED, 0);
        }
    }
    SendMessageW(chosen, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool Win32Form::Checked(int id) const { return SendMessageW(At(id).hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void Win32Form::SetLeft(int32_t twips) {
    RECT r;
    GetWindowRect(hwnd_, &r);
    SetWindowPos(hwnd_, nullptr, static_cast<int>(std::lround(twips / static_cast<double>(kTwipsPerPixel))), r.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Form::SetTop(int32_t twips) {
    RECT r;
    GetWindowRect(hwnd_, &r);
    SetWindowPos(hwnd_, nullptr, r.left, static_cast<int>(std::lround(twips / static_cast<double>(kTwipsPerPixel))), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int32_t Win32Form::Left() const {
    RECT r;
    GetWindowRect(hwnd_, &r);
    return r.left * kTwipsPerPixel;
}
int32_t Win32Form::Top() const {
    RECT r;
    GetWindowRect(hwnd_, &r);
    return r.top * kTwipsPerPixel;
}
int32_t Win32Form::Width() const {
    RECT r;
    GetWindowRect(hwnd_, &r);
    return (r.right - r.left) * kTwipsPerPixel;
}
int32_t Win32Form::Height() const {
    RECT r;
    GetWindowRect(hwnd_, &r);
    return (r.bottom - r.top) * kTwipsPerPixel;
}

void Win32Form::SetPictureIcon(int id, int group) {
    Control& c = At(id);
    if (c.iconGroup == group) return;
    c.iconGroup = group;
    // The group's own picture at the box's size here, not a stretched copy.
    c.icon = group ? platform_.IconAt(group, dpi::Scale(32, dpi_)) : nullptr;
    if (c.hwnd) InvalidateRect(c.hwnd, nullptr, FALSE);
}

}  // namespace vt::win32
