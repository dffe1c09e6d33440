// Where the notification area is: among the taskbar's direct children, in
// window order, the first whose class name contains "TrayNotifyWnd". Plain
// C++ over the window system's lookups, so that the search can be checked
// without a taskbar.
#pragma once

#include <string_view>

namespace vt {

// firstChild(window) and nextSibling(window) give the null window when there
// is none; className(window, buffer, 255) writes the NUL-ended name. The
// buffer is not cleared between windows: each name overwrites its start.
template <typename Window, typename FirstChild, typename NextSibling, typename ClassName>
Window FindTrayNotifyWnd(Window taskbar, FirstChild&& firstChild, NextSibling&& nextSibling, ClassName&& className) {
    char name[256] = {};
    Window child = firstChild(taskbar);
    while (child) {
        className(child, name, 255);
        if (std::string_view(name, 255).find("TrayNotifyWnd") != std::string_view::npos) break;
        child = nextSibling(child);
    }
    return child;
}

}  // namespace vt
