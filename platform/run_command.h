// What the Run value holds for the program, and whether a value names it:
// rules of their own, so that they can be checked without a registry.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace vt {

// The program's full path in double quotes, so that the shell cannot start a
// program sitting at a prefix of a path with blanks. Empty for no path.
std::string RunCommandFor(std::string_view programPath);

// The value starts this program: the path alone, with or without its quotes
// and blanks around them, as the system compares file names (`samePath`).
bool NamesProgram(std::string_view value, std::string_view programPath,
                  const std::function<bool(std::string_view, std::string_view)>& samePath);

}  // namespace vt
