// The program-wide variables, shared by both windows and the tray hook.
#pragma once

#include <cstdint>

namespace vt {

struct ProgramState {
    // Tray_function
    bool blnSound = false;      // sound on/off, setting "sound"
    int16_t intTema = 0;        // icon theme 0 to 5, setting "Tema"
    bool blnAutostart = false;  // the Run value is registered
    bool blnTipPending = false; // a hover refresh is armed
    // From the last memory sample, in Kb of 1024 bytes.
    int32_t lngFreeKb = 0;
    // Low-memory warning.
    int16_t intWarnMb = 0;
    bool blnWarnSet = false;
};

// The application title: names the settings, the Run value and message boxes.
inline constexpr const char* kAppTitle = "Veltrane";

}  // namespace vt
