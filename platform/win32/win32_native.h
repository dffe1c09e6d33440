// The native window and face of a form the Win32 platform made, for the
// backend's own tests and the benchmarks.
#pragma once

#include <windows.h>

#include "platform/platform.h"

namespace vt::win32 {

HWND HwndOf(const Form& form);
// The device context holding the persistent image of the form's face.
HDC FaceDcOf(const Form& form);

}  // namespace vt::win32
