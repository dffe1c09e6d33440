#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace vt::modSND {

// Cuts every pixel of keyColor (0x00BBGGRR) out of the form's window region.
void ShapeWindow(Win32Api& api, const Form& form, uint32_t keyColor);

}  // namespace vt::modSND
