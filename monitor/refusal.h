// An entry the program turns down: the message box that says why, and the
// fault whose sound precedes the box when sound is on.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"
#include "sound/sound.h"

namespace vt {

enum class Fault : uint8_t {
    None,       // the box alone
    Zero,       // nothing, or 0, where a number is needed
    TooBig,     // a number above what the field takes
    NotNumber,  // text that is no number
};

struct Refusal {
    Fault fault = Fault::None;
    std::string text;
    unsigned style = 0;
    std::string title;
    // After the box: the entry emptied, and the focus back in it.
    bool clearEntry = false;
    bool focusEntry = false;
};

// With sound on, the chime and the fault's sound, both to their end; then
// the box that says why.
void ShowRefusal(Platform& platform, Sound& sound, const Refusal& refusal);

}  // namespace vt
