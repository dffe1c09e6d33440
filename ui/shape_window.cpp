// The main window takes the outline of its face picture: every pixel of the
// key colour is cut out of the window's region, one pixel at a time, once at
// start-up, from the persistent image of the face (the window is not on
// screen yet).
#include "ui/shape_window.h"

namespace vt::modSND {

namespace {
// Held only while the region is built; once handed to the window it is the
// system's.
uintptr_t rgnWindow = 0;
}  // namespace

void ShapeWindow(Win32Api& api, const Form& form, uint32_t keyColor) {
    using win32c::kRgnDiff;
    rgnWindow = api.CreateRectRgn(0, 0, form.ScaleWidth(), form.ScaleHeight());
    // Both bounds are inclusive: the extra row and column lie outside the
    // region and never match.
    for (int16_t y = 0; y <= form.ScaleHeight(); ++y) {
        for (int16_t x = 0; x <= form.ScaleWidth(); ++x) {
            if (api.GetPixel(form.FaceDc(), x, y) == keyColor) {
                const uintptr_t pixel = api.CreateRectRgn(x, y, x + 1, y + 1);
                api.CombineRgn(rgnWindow, rgnWindow, pixel, kRgnDiff);
                api.DeleteObject(pixel);
            }
        }
    }
    api.SetWindowRgn(form.Hwnd(), std::exchange(rgnWindow, 0), true);
}

}  // namespace vt::modSND
