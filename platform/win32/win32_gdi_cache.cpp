#include "platform/win32/win32_gdi_cache.h"

#include "platform/win32/win32_internal.h"

namespace vt::win32 {

HFONT GdiCache::Font(std::string_view face, int pixels) {
    auto key = std::make_pair(std::string(face), pixels);
    auto it = fonts_.find(key);
    if (it == fonts_.end()) {
        unique_hfont created(CreateFontW(-pixels, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                         DEFAULT_PITCH | FF_SWISS, Widen(face).c_str()));
        it = fonts_.emplace(std::move(key), std::move(created)).first;
    }
    return it->second.get();
}

HBRUSH GdiCache::Brush(Color color) {
    auto it = brushes_.find(color);
    if (it == brushes_.end()) it = brushes_.emplace(color, unique_hbrush(CreateSolidBrush(ToColorRef(color)))).first;
    return it->second.get();
}

}  // namespace vt::win32
