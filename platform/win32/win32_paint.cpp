// Painting what the system does not: picture boxes and images (a bitmap or
// an icon over the face or a back colour, and the lines they hold), and the
// graphical buttons, owner-drawn in their back colour with the focus
// rectangle the keyboard-cue state allows; all at the form's DPI.
#include "platform/win32/win32_internal.h"

#include "platform/dpi.h"

namespace vt::win32 {

// The part of the face that a control on it covers, as the control's own
// background: only those pixels are copied, and converted to the screen's
// format.
void Win32Form::PaintFace(const Control& c, HDC dc) {
    RECT client;
    GetClientRect(c.hwnd, &client);
    const Rect at = Physical(c);
    BitBlt(dc, 0, 0, client.right, client.bottom, faceDc_.get(), at.left, at.top, SRCCOPY);
}

void Win32Form::PaintPicture(const Control& box, HDC dc) {
    RECT client;
    GetClientRect(box.hwnd, &client);
    const Color back = box.back == kDefaultColor ? kColorButtonFace : box.back;
    if (box.def.kind == ControlKind::Image && face_ && box.def.container == 0) {
        PaintFace(box, dc);
    } else {
        FillRect(dc, &client, BrushFor(back));
    }
    if (box.icon) {
        const int size = dpi::Scale(32, dpi_);
        DrawIconEx(dc, 0, 0, box.icon, size, size, 0, nullptr, DI_NORMAL);
    } else if (box.pictureDc) {
        BITMAP bm;
        GetObjectW(box.picture.get(), sizeof bm, &bm);
        BitBlt(dc, 0, 0, bm.bmWidth, bm.bmHeight, box.pictureDc.get(), 0, 0, SRCCOPY);
    }
    for (auto& [id, c] : controls_) {
        if (c.def.kind != ControlKind::Line || c.def.container != box.def.id) continue;
        const Rect ends = Physical(c);
        unique_hpen pen(CreatePen(PS_SOLID, dpi::Scale(1, dpi_), ToColorRef(c.fore)));
        ScopedSelect select(dc, pen.get());
        MoveToEx(dc, ends.left, ends.top, nullptr);
        LineTo(dc, ends.width, ends.height);
    }
}

void Win32Form::DrawButton(const DRAWITEMSTRUCT& item) {
    Control* c = ControlOf(item.hwndItem);
    if (!c) return;
    RECT r = item.rcItem;
    const bool pressed = item.itemState & ODS_SELECTED;
    FillRect(item.hDC, &r, BrushFor(c->back == kDefaultColor ? kColorButtonFace : c->back));
    DrawEdge(item.hDC, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    if (pressed) OffsetRect(&r, 1, 1);
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor((item.itemState & ODS_DISABLED) ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    const std::wstring text = Widen(WindowText(item.hwndItem));
    ScopedSelect font(item.hDC, FontFor(c->def.font));
    DrawTextW(item.hDC, text.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    // Only once the keyboard is used, so a mouse user sees no rectangle.
    const bool cues = !(item.itemState & ODS_NOFOCUSRECT) && !focusCuesHidden_;
    if ((item.itemState & ODS_FOCUS) && cues) {
        RECT focus = item.rcItem;
        InflateRect(&focus, -dpi::Scale(3, dpi_), -dpi::Scale(3, dpi_));
        DrawFocusDots(item.hDC, focus, GetSysColor(COLOR_BTNTEXT));
    }
}

void DrawFocusDots(HDC dc, RECT r, COLORREF ink) {
    for (int x = r.left; x < r.right; x += 2) {
        SetPixelV(dc, x, r.top, ink);
        SetPixelV(dc, x, r.bottom - 1, ink);
    }
    for (int y = r.top; y < r.bottom; y += 2) {
        SetPixelV(dc, r.left, y, ink);
        SetPixelV(dc, r.right - 1, y, ink);
    }
}

}  // namespace vt::win32
