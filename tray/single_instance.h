// Only one copy of the program runs at a time.
#pragma once

#include "platform/platform.h"

namespace vt {

// Returns only when no other copy of the program runs; otherwise says so and
// ends the program, before it shows anything or adds an icon.
void CheckPrevInstance(Platform& platform);

}  // namespace vt
