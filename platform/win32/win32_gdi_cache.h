// The fonts and solid brushes a form's windows share: each made once and
// held while the form lives (fonts until its DPI changes), so that painting
// and a new caption never create one.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "platform/platform.h"
#include "platform/win32/handle.h"

namespace vt::win32 {

class GdiCache {
public:
    using Fonts = std::map<std::pair<std::string, int>, unique_hfont>;

    // A regular font of the face whose characters are `pixels` high.
    HFONT Font(std::string_view face, int pixels);
    HBRUSH Brush(Color color);
    // The fonts made so far, handed over: windows that still use them must
    // be given others before they go.
    Fonts TakeFonts() { return std::exchange(fonts_, {}); }

private:
    Fonts fonts_;
    std::map<Color, unique_hbrush> brushes_;
};

}  // namespace vt::win32
