#include "platform/tray_protocol.h"

#include <algorithm>
#include <utility>

namespace vt::tray_protocol {

TipField MakeTipField(std::string_view text) {
    TipField field;
    field.fill(' ');
    const size_t n = std::min(text.size(), field.size());
    std::copy_n(text.begin(), n, field.begin());
    if (n < field.size()) field[n] = '\0';
    return field;
}

Meaning ReportReader::Read(intptr_t report) {
    switch (report) {
        case kMouseMove:
            return Meaning::Hover;
        case kLButtonDown:
        case kLButtonDblClk:
        case kKeySelect:
        case kBalloonUserClick:
            rightPressed_ = false;
            return Meaning::Activate;
        case kRButtonDown:
            rightPressed_ = true;
            return Meaning::MenuAtPointer;
        case kContextMenu:
            return std::exchange(rightPressed_, false) ? Meaning::None : Meaning::MenuFromKeyboard;
        case kSelect:  // the end of a left click whose press has acted already
        default:
            return Meaning::None;
    }
}

}  // namespace vt::tray_protocol
