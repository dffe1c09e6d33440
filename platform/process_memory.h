// One row of the process table the facade hands out: plain data, so that the
// rules that read it need nothing of the platform but this header.
#pragma once

#include <cstdint>
#include <string>

namespace vt {

struct ProcessMemory {
    uint32_t pid = 0;
    std::string name;           // the executable's file name, UTF-8 ("chrome.exe")
    uint64_t privateBytes = 0;  // memory only this process holds (commit charge)
    // False when the process would not open for the user (another user's or
    // a protected one): its name and figure are unknown.
    bool queryable = false;
};

}  // namespace vt
