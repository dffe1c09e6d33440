// Message dispatch of forms, picture boxes and controls: what the system
// reports becomes a FormEvents call, run under Guard so that an error nothing
// trapped is reported and ends the program.
#include "platform/win32/win32_internal.h"

#include <commctrl.h>

#include "platform/dpi.h"
#include "platform/form_rules.h"

namespace vt::win32 {
namespace {

MouseButton ButtonOf(UINT msg) {
    switch (msg) {
        case WM_RBUTTONDOWN: case WM_RBUTTONUP: return MouseButton::Right;
        case WM_MBUTTONDOWN: case WM_MBUTTONUP: return MouseButton::Middle;
        default: return MouseButton::Left;
    }
}

}  // namespace

// Notifications that controls send to their container: the form handles them
// for controls in picture boxes too.
bool Win32Form::HandleChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX: {
            HDC dc = reinterpret_cast<HDC>(wp);
            HWND child = reinterpret_cast<HWND>(lp);
            Control* c = ControlOf(child);
            if (!c) c = ControlOf(GetParent(child));  // a combo box's edit part
            if (!c) return false;
            if (c->fore != kDefaultColor) SetTextColor(dc, ToColorRef(c->fore));
            // A label's text in its back colour (black on the caption text's
            // black, say) is drawn in the one of black and white that shows.
            auto readableOn = [&](Color back) {
                if (c->def.kind != ControlKind::Label) return;
                const COLORREF text = GetTextColor(dc);
                const COLORREF shown = ReadableTextColor(text, ToColorRef(back));
                if (shown != text) SetTextColor(dc, shown);
            };
            if (c->def.kind == ControlKind::Label && (c->def.style & kTransparent)) {
                SetBkMode(dc, TRANSPARENT);
                if (c->def.container == 0 && face_) {
                    // A label fills itself with the brush it is handed, then
                    // draws its text: its part of the face is copied into
                    // the DC it paints with first, and the brush is hollow.
                    PaintFace(*c, dc);
                    result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
                } else {
                    const Control& box = At(c->def.container);
                    const Color boxBack = box.back == kDefaultColor ? kColorButtonFace : box.back;
                    readableOn(boxBack);
                    result = reinterpret_cast<LRESULT>(BrushFor(boxBack));
                }
                return true;
            }
            const Color back = c->back == kDefaultColor
                                   ? (msg == WM_CTLCOLORSTATIC ? kColorButtonFace : kColorWindow)
                                   : c->back;
            readableOn(back);
            SetBkColor(dc, ToColorRef(back));
            result = reinterpret_cast<LRESULT>(BrushFor(back));
            return true;
        }
        case WM_NOTIFY: {
            const auto* hdr = reinterpret_cast<const NMHDR*>(lp);
            if (hdr->code != static_cast<UINT>(TCN_SELCHANGE)) return false;
            Control* c = ControlOf(hdr->hwndFrom);
            if (!c || c->def.kind != ControlKind::Tab) return false;
            ShowPage(c->def.id);
            result = 0;
            return true;
        }
        case WM_DRAWITEM:
            DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
            result = TRUE;
            return true;
        case WM_COMMAND: {
            const int id = LOWORD(wp);
            const int code = HIWORD(wp);
            if (lp == 0 && code == 0 && MenuOf(id)) {
                Guard([&] { events_.MenuClick(id); });
                result = 0;
                return true;
            }
            if (lp == 0) return false;
            if (code == BN_CLICKED || code == STN_CLICKED) {
                Control* c = ControlOf(reinterpret_cast<HWND>(lp));
                if (c && (c->def.kind == ControlKind::Button || c->def.kind == ControlKind::Label ||
                          c->def.kind == ControlKind::OptionButton || c->def.kind == ControlKind::CheckBox)) {
                    Guard([&] { events_.Click(id); });
                    result = 0;
                    return true;
                }
            }
            if (code == EN_SETFOCUS || code == CBN_SETFOCUS) {
                lastFocus_ = reinterpret_cast<HWND>(lp);
                Guard([&] { events_.GotFocus(id); });
            }
            return false;
        }
        default:
            return false;
    }
}

bool Win32Form::HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (HandleChildNotify(msg, wp, lp, result)) return true;
    switch (msg) {
        case WM_ERASEBKGND: {
            HDC dc = reinterpret_cast<HDC>(wp);
            RECT client;
            GetClientRect(hwnd_, &client);
            FillRect(dc, &client, BrushFor(def_.back));
            if (faceDc_) BitBlt(dc, 0, 0, client.right, client.bottom, faceDc_.get(), 0, 0, SRCCOPY);
            result = 1;
            return true;
        }
        case WM_TIMER:
            if (controls_.count(static_cast<int>(wp))) {
                Guard([&] { events_.Timer(static_cast<int>(wp)); });
                result = 0;
                return true;
            }
            return false;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            Guard([&] { events_.MouseDown(0, ButtonOf(msg)); });
            return false;
        case WM_LBUTTONUP:
            Guard([&] {
                events_.Click(0);
                // The click may have unloaded the form.
                if (hwnd_) events_.MouseUp(0, MouseButton::Left);
            });
            return false;
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            Guard([&] { events_.MouseUp(0, ButtonOf(msg)); });
            return false;
        case WM_LBUTTONDBLCLK:
            Guard([&] { events_.DblClick(0); });
            return false;
        case WM_UPDATEUISTATE:
            UpdateFocusCues(wp);
            return false;
        case WM_ACTIVATE:
            if (!HandleActivate(wp)) return false;
            result = 0;
            return true;
        case WM_CLOSE:
            Unload();
            result = 0;
            return true;
        case WM_DPICHANGED: {
            // Only the system sends it, but any program can post it: one
            // without a rectangle or with a DPI no display has is dropped.
            const RECT* suggested = reinterpret_cast<const RECT*>(lp);
            const int dpi = LOWORD(wp);
            if (suggested && dpi >= dpi::kLowestDpi && dpi <= dpi::kHighestDpi) {
                ApplyDpi(dpi, suggested->left, suggested->top);
            }
            result = 0;
            return true;
        }
        default:
            return false;
    }
}

LRESULT CALLBACK Win32Form::FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return GuardedProc([&] { return FormMessage(hwnd, msg, wp, lp); });
}

LRESULT Win32Form::FormMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<Win32Form*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Win32Form*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    LRESULT result = 0;
    if (self && self->HandleMessage(msg, wp, lp, result)) return result;
    if (msg == WM_NCDESTROY) SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK Win32Form::PictureProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return GuardedProc([&] { return PictureMessage(hwnd, msg, wp, lp); });
}

// The Control of a window of one of our own classes, which is handed over
// at creation and kept in the window's user data.
const Win32Form::Control* Win32Form::OwnClassControl(HWND hwnd, UINT msg, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
    }
    return reinterpret_cast<const Control*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

LRESULT Win32Form::PictureMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (const Control* c = OwnClassControl(hwnd, msg, lp)) {
        LRESULT result = 0;
        if (c->form->HandleChildNotify(msg, wp, lp, result)) return result;
        if (msg == WM_ERASEBKGND) return 1;
        if (msg == WM_PAINT) {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            c->form->PaintPicture(*c, dc);
            EndPaint(hwnd, &ps);
            return 0;
        }
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// Mouse presses and releases of every control, reported before the control
// acts on them; clicks come through the container's notifications.
LRESULT CALLBACK Win32Form::ControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return GuardedProc([&] { return ControlMessage(hwnd, msg, wp, lp); });
}

LRESULT Win32Form::ControlMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* c = reinterpret_cast<Control*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!c) return DefWindowProcW(hwnd, msg, wp, lp);
    const WNDPROC classProc = c->classProc;
    Win32Form* self = c->form;
    const int id = c->def.id;
    if (msg >= WM_MOUSEFIRST && msg <= WM_MBUTTONDBLCLK && !c->toolTip.empty()) {
        MSG relayed{hwnd, msg, wp, lp};
        SendMessageW(self->toolTips_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
    }
    switch (msg) {
        case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
            Guard([&] { self->events_.MouseDown(id, ButtonOf(msg)); });
            break;
        case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP: {
            // A button's click comes inside its own release: a click that
            // unloads the form leaves no release to report.
            const ControlKind kind = c->def.kind;
            const LRESULT r = CallWindowProcW(classProc, hwnd, msg, wp, lp);
            if (kind == ControlKind::PictureBox || kind == ControlKind::Image) {
                if (msg == WM_LBUTTONUP) Guard([&] { self->events_.Click(id); });
            }
            if (self->hwnd_) Guard([&] { self->events_.MouseUp(id, ButtonOf(msg)); });
            return r;
        }
        case WM_ERASEBKGND:
            if (c->def.kind == ControlKind::Frame) {
                // A group box leaves its inside to whatever lies behind it.
                RECT client;
                GetClientRect(hwnd, &client);
                FillRect(reinterpret_cast<HDC>(wp), &client,
                         self->BrushFor(c->back == kDefaultColor ? kColorButtonFace : c->back));
                return 1;
            }
            break;
        case WM_SETTEXT:
            // A label paints a new text at once, and the red of the flash
            // that comes with it paints it again: one paint serves both.
            if (c->def.kind == ControlKind::Label) {
                const LRESULT r = DefWindowProcW(hwnd, msg, wp, lp);
                InvalidateRect(hwnd, nullptr, TRUE);
                return r;
            }
            break;
        case WM_SETFOCUS:
            self->lastFocus_ = hwnd;
            break;
        case WM_GETOBJECT:
            if (const LRESULT r = self->AccessibleObject(hwnd, wp, lp)) return r;
            break;
        case WM_LBUTTONDBLCLK:
            if (c->def.kind != ControlKind::Button) Guard([&] { self->events_.DblClick(id); });
            break;
        case WM_NCDESTROY:
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            break;
        default:
            break;
    }
    return CallWindowProcW(classProc, hwnd, msg, wp, lp);
}

}  // namespace vt::win32
