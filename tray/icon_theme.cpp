#include "tray/icon_theme.h"

#include "platform/convert.h"

namespace vt {

int16_t ThemeLevel(float percent) { return CInt(Left(StrSingle(percent), 4)); }

int ThemeIconId(int16_t tema, int16_t level) {
    // Bands of ten: 0 for up to 9, 1 for 10 to 19, ..., 9 for 90 to 99, 10 for 100.
    const int band = level <= 9 ? 0 : level >= 100 ? 10 : level / 10;
    switch (tema) {
        case 1: return band == 10 ? 103 : 113 - band;
        case 2: return band == 10 ? 103 : 123 - band;
        case 3: return band == 10 ? 103 : 133 - band;
        case 4: return band < 2 ? 101 : 102;  // "tired" below 20
        case 5: return 144 - band;
        default: return 0;
    }
}

}  // namespace vt
