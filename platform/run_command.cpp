#include "platform/run_command.h"

namespace vt {

std::string RunCommandFor(std::string_view module, std::string_view shortPath) {
    if (module.empty()) return {};
    if (shortPath.empty() && module.find('?') != std::string_view::npos) return {};
    std::string path(shortPath.empty() ? module : shortPath);
    if (path.find(' ') != std::string::npos) path = '"' + path + '"';
    return path;
}

}  // namespace vt
