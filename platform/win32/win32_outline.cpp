// What forms do to their own windows beyond their controls: the outline cut
// from the key colour of the face (GetPixel on the face's persistent image,
// CreateRectRgn, CombineRgn, SetWindowRgn), the drag by the surface
// (ReleaseCapture and the caption's move command), and the animation into
// the notification area (AnimateTray).
#include "platform/win32/win32_internal.h"
#include "platform/win32/win32_native.h"

#include "platform/notification_area.h"
#include "platform/dpi.h"
#include "platform/outline.h"

namespace vt::win32 {
namespace modSND {

// Read from the face's persistent image: the window may not be on screen yet.
void ShapeWindow(HWND hwnd, HDC face, int width, int height, COLORREF keyColor) {
    // Held only while the region is built; once handed to the window it is
    // the system's.
    unique_hrgn window(CreateRectRgn(0, 0, width, height));
    ForEachKeyRun(
        width, height, [&](int x, int y) { return face && GetPixel(face, x, y) == keyColor; },
        [&](int left, int right, int y) {
            const unique_hrgn run(CreateRectRgn(left, y, right, y + 1));
            CombineRgn(window.get(), window.get(), run.get(), RGN_DIFF);
        });
    if (SetWindowRgn(hwnd, window.get(), TRUE)) window.release();
}

}  // namespace modSND

namespace Tray_function {

// Direction 1: the caption animation from the window's rectangle into the
// notification area; none where there is no taskbar or no notification area
// in it. Always answers 0.
int16_t AnimateTray(int16_t direction, HWND hWnd) {
    if (direction != 1) return 0;
    const HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    if (!taskbar) return 0;
    const HWND tray = FindTrayNotifyWnd(
        taskbar, [](HWND w) { return GetWindow(w, GW_CHILD); }, [](HWND w) { return GetWindow(w, GW_HWNDNEXT); },
        [](HWND w, char* name, int length) { GetClassNameA(w, name, length); });
    if (!tray) return 0;
    RECT from, to;
    GetWindowRect(hWnd, &from);
    GetWindowRect(tray, &to);
    DrawAnimatedRects(hWnd, IDANI_CAPTION, &from, &to);
    return 0;
}

}  // namespace Tray_function

void Win32Form::CutOutline(Color key) {
    modSND::ShapeWindow(hwnd_, faceDc_.get(), clientWidth_, clientHeight_, ToColorRef(key));
}

// The system moves the window with the mouse as if its caption were held
// (SC_MOVE + HTCAPTION), and returns when the button is released.
void Win32Form::Drag() {
    ReleaseCapture();
    SendMessageA(hwnd_, WM_SYSCOMMAND, 0xF012, 0);
}

void Win32Form::AnimateToTray() { Tray_function::AnimateTray(1, hwnd_); }

HWND HwndOf(const Form& form) { return static_cast<const Win32Form&>(form).hwnd(); }
HDC FaceDcOf(const Form& form) { return static_cast<const Win32Form&>(form).faceDc(); }
HICON WindowIconOf(const Form& form) { return static_cast<const Win32Form&>(form).windowIcon(); }
HICON IconOf(Platform& platform, int group) { return static_cast<Win32Platform&>(platform).IconResource(group); }
HICON IconOf(Platform& platform, int group, int sizeAt96) {
    auto& p = static_cast<Win32Platform&>(platform);
    return p.IconAt(group, dpi::Scale(sizeAt96, p.Dpi()));
}

}  // namespace vt::win32
