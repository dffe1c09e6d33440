// The real platform over Win32. No <windows.h> here: the program's main and
// the Wine tests see only the portable interface.
#pragma once

#include <memory>

#include "platform/platform.h"

namespace vt {

// Libraries come from the system folder alone, never from the program's
// own folder (a Downloads folder may hold a planted winmm.dll): the first
// thing the program's main does, before any library is loaded by name.
void UseSystemLibrariesOnly();

std::unique_ptr<Platform> CreateWin32Platform();

}  // namespace vt
