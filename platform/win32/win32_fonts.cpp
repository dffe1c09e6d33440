// The fonts of a form's controls at the window's DPI, and the labels that
// take a slightly smaller one where their caption would not show whole.
#include "platform/win32/win32_internal.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/dpi.h"

namespace vt::win32 {

// At the window's DPI: on a second display of another scale the screen's
// DPI would be the wrong one.
HFONT Win32Form::FontFor(const FontDef& font) {
    const FontDef& f = font.face ? font : def_.font;
    return gdi_.Font(f.face ? f.face : "Arial", -dpi::FontHeight(f.points, dpi_));
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
    auto fontAt = [&](int h) { return gdi_.Font(f.face ? f.face : "Arial", h); };
    // The status lines change their figures every second and little else:
    // where every digit is as wide as the others in each font the fit was
    // measured in, the fit of "1234 Mb" is the fit of "0000 Mb", and is not
    // measured again. No other candidate is asked: each font asked about is
    // one the system realises and keeps.
    std::wstring text = Widen(c.caption);
    std::wstring shape = text;
    std::replace_if(shape.begin(), shape.end(), [](wchar_t ch) { return ch >= L'1' && ch <= L'9'; }, L'0');
    HFONT chosen = c.fittedFont;
    if (!chosen || shape != c.fittedShape) {
        RECT client;
        GetClientRect(c.hwnd, &client);
        bool digitsAlike = true;
        for (int h = height; h >= height - height / 10; --h) {
            ScopedSelect select(dc, fontAt(h));
            INT widths[10];
            digitsAlike = digitsAlike && GetCharWidth32W(dc, L'0', L'9', widths) &&
                          std::all_of(widths, widths + 10, [&](INT w) { return w == widths[0]; });
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

}  // namespace vt::win32
