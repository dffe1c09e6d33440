#include "platform/run_command.h"

namespace vt {

std::string RunCommandFor(std::string_view programPath) {
    if (programPath.empty()) return {};
    return '"' + std::string(programPath) + '"';
}

bool NamesProgram(std::string_view value, std::string_view programPath,
                  const std::function<bool(std::string_view, std::string_view)>& samePath) {
    auto trim = [](std::string_view text) {
        const size_t first = text.find_first_not_of(' ');
        if (first == std::string_view::npos) return std::string_view();
        return text.substr(first, text.find_last_not_of(' ') - first + 1);
    };
    value = trim(value);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    return !value.empty() && samePath(value, programPath);
}

}  // namespace vt
