// The keyboard in forms: Tab and Shift+Tab in the control table's own order,
// Enter on a button, Escape on the form's cancel button, arrows among option
// buttons, the focus given back when a form is active again, and the focus
// rectangle that shows only once the keyboard is used.
//
// Our own navigation rather than IsDialogMessage: that one follows the
// z-order, which here is also the order in which overlapping controls are
// drawn (the bar lies on its track, two labels share a row), and it turns
// Enter and Escape into WM_COMMAND of ids 1 and 2 with the window of that id,
// which in the main window is a real click on the units or options button.
#include "platform/win32/win32_internal.h"

#include <commctrl.h>

#include "platform/form_rules.h"

namespace vt::win32 {

void Pump(MSG& msg) {
    if (Win32Form::PreTranslate(msg)) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

bool Win32Form::PreTranslate(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || !msg.hwnd) return false;
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    if (!root || reinterpret_cast<WNDPROC>(GetClassLongPtrW(root, GCLP_WNDPROC)) != FormProc) return false;
    auto* self = reinterpret_cast<Win32Form*>(GetWindowLongPtrW(root, GWLP_USERDATA));
    return self && self->HandleKey(msg);
}

bool Win32Form::HandleKey(const MSG& msg) {
    const auto vk = static_cast<UINT>(msg.wParam);
    const bool arrow = vk == VK_LEFT || vk == VK_RIGHT || vk == VK_UP || vk == VK_DOWN;
    if (vk != VK_TAB && vk != VK_RETURN && vk != VK_ESCAPE && !arrow) return false;
    // The key goes to the window it was sent to; a combo box's edit part
    // speaks for the combo box.
    Control* c = ControlOf(msg.hwnd);
    if (!c && msg.hwnd != hwnd_) c = ControlOf(GetParent(msg.hwnd));
    LRESULT code = 0;
    if (msg.hwnd != hwnd_) {
        code = SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
    }
    // An open combo list closes on Enter or Escape itself.
    if (code & DLGC_WANTMESSAGE) return false;

    if (vk == VK_TAB) {
        if (code & DLGC_WANTTAB) return false;
        const bool backwards = GetKeyState(VK_SHIFT) < 0;
        const int next = NextTabStop(tabOrder_, c ? c->def.id : 0, backwards, [&](int id) { return CanTakeFocus(id); });
        if (next) {
            ShowFocusCues();
            MoveFocus(next);
        }
        return true;
    }
    if (arrow) {
        if (!c || c->def.kind != ControlKind::OptionButton || (code & DLGC_WANTARROWS)) return false;
        std::vector<int> group = OptionGroup(def_.controls, c->def.id);
        const bool backwards = vk == VK_LEFT || vk == VK_UP;
        const int next = NextTabStop(group, c->def.id, backwards, [&](int id) {
            const Control& o = At(id);
            return o.enabled && IsWindowVisible(o.hwnd);
        });
        ShowFocusCues();
        if (next && next != c->def.id) {
            Control& o = At(next);
            ::SetFocus(o.hwnd);
            // Moving onto an option chooses it, as the click it stands for.
            if (SendMessageW(o.hwnd, BM_GETCHECK, 0, 0) != BST_CHECKED) SendMessageW(o.hwnd, BM_CLICK, 0, 0);
        }
        return true;
    }
    if (vk == VK_RETURN) {
        if (c && c->def.kind == ControlKind::Button && c->enabled) ClickButton(*c);
        return true;
    }
    // Escape.
    if (def_.cancelControl) {
        const Control& cancel = At(def_.cancelControl);
        if (cancel.enabled && IsWindowVisible(cancel.hwnd)) ClickButton(cancel);
    }
    return true;
}

// What the button itself reports when Space releases it: no mouse press
// comes with it.
void Win32Form::ClickButton(const Control& c) {
    SendMessageW(GetParent(c.hwnd), WM_COMMAND, MAKEWPARAM(c.def.id, BN_CLICKED), reinterpret_cast<LPARAM>(c.hwnd));
}

bool Win32Form::CanTakeFocus(int id) const {
    const Control& c = At(id);
    if (!c.hwnd || !c.enabled || !IsWindowVisible(c.hwnd) || !IsWindowEnabled(c.hwnd)) return false;
    if (c.def.kind != ControlKind::OptionButton) return true;
    // Of a group of options, Tab stops at the chosen one (the first when
    // none is chosen); the arrows move within the group.
    const std::vector<int> group = OptionGroup(def_.controls, id);
    for (int other : group) {
        if (SendMessageW(At(other).hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED) return other == id;
    }
    return !group.empty() && group.front() == id;
}

void Win32Form::MoveFocus(int id) {
    const Control& c = At(id);
    ::SetFocus(c.hwnd);
    if (c.def.kind == ControlKind::TextBox) SendMessageW(c.hwnd, EM_SETSEL, 0, -1);
}

// Windows hides focus rectangles from a mouse user until the keyboard is
// used, unless the user asked for keyboard cues always to show. The form
// keeps the state itself as well: Wine answers WM_QUERYUISTATE with 0 and
// passes WM_UPDATEUISTATE on to no control.
void Win32Form::HideFocusCuesUntilKeyboard() {
    BOOL always = FALSE;
    SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &always, 0);
    if (!always) SendMessageW(hwnd_, WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
}

void Win32Form::ShowFocusCues() {
    if (focusCuesHidden_) SendMessageW(hwnd_, WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

void Win32Form::UpdateFocusCues(WPARAM wp) {
    if (!(HIWORD(wp) & UISF_HIDEFOCUS)) return;
    const bool hidden = LOWORD(wp) == UIS_SET ? true : LOWORD(wp) == UIS_CLEAR ? false : focusCuesHidden_;
    if (hidden == focusCuesHidden_) return;
    focusCuesHidden_ = hidden;
    for (auto& [id, c] : controls_) {
        const bool ownFocusRectangle =
            (c.def.kind == ControlKind::Button && (c.def.style & kGraphical)) || c.def.kind == ControlKind::Graph;
        if (ownFocusRectangle) InvalidateRect(c.hwnd, nullptr, FALSE);
    }
}

// A plain window would take the focus itself on activation and forget the
// control that had it; a form gives it back to that control, or at first to
// the first control of its tab order.
bool Win32Form::HandleActivate(WPARAM wp) {
    if (LOWORD(wp) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd_, focus)) lastFocus_ = focus;
        return false;
    }
    if (HIWORD(wp)) return false;  // minimised
    if (lastFocus_ && IsWindow(lastFocus_) && IsChild(hwnd_, lastFocus_) && IsWindowVisible(lastFocus_) &&
        IsWindowEnabled(lastFocus_)) {
        ::SetFocus(lastFocus_);
        return true;
    }
    const int first = NextTabStop(tabOrder_, 0, false, [&](int id) { return CanTakeFocus(id); });
    if (!first) return false;
    MoveFocus(first);
    return true;
}

}  // namespace vt::win32
