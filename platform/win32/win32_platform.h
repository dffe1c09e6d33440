// The real platform over Win32. No <windows.h> here: the program's main and
// the Wine tests see only the portable interface.
#pragma once

#include <memory>

#include "platform/platform.h"

namespace vt {

std::unique_ptr<Platform> CreateWin32Platform();

}  // namespace vt
