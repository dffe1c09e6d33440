// What the Run value holds for the running program: a rule of its own, so
// that it can be checked without a registry.
#pragma once

#include <string>
#include <string_view>

namespace vt {

// The program's own file in its short form where the system has one, else
// in full; in double quotes when it still contains a blank (so that the
// shell cannot start a program sitting at a prefix of the path). Empty when
// the file name is unknown, or when it holds a character the code page could
// not spell ('?') and there is no short (ASCII) form to register instead.
std::string RunCommandFor(std::string_view module, std::string_view shortPath);

}  // namespace vt
