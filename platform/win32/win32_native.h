// The native window and face of a form the Win32 platform made, for the
// backend's own tests and the benchmarks.
#pragma once

#include <windows.h>

#include "platform/platform.h"

namespace vt::win32 {

HWND HwndOf(const Form& form);
// The device context holding the persistent image of the form's face.
HDC FaceDcOf(const Form& form);
// The picture the form's window shows as its icon.
HICON WindowIconOf(const Form& form);
// An icon group as the platform loads it: at the notification area's size
// at the current DPI, or at a size at 96 DPI, scaled.
HICON IconOf(Platform& platform, int group);
HICON IconOf(Platform& platform, int group, int sizeAt96);

}  // namespace vt::win32
