// A thin facade of the named Win32 calls the program makes, in plain C++
// types, so that the program's logic can run against a fake in the unit tests.
#pragma once

#include <cstdint>

namespace vt {

// The fields of MEMORYSTATUSEX the program reads.
struct MemoryStatusEx {
    uint32_t dwMemoryLoad = 0;
    uint64_t ullTotalPhys = 0;
    uint64_t ullAvailPhys = 0;
};

class Win32Api {
public:
    virtual ~Win32Api() = default;
    virtual void GlobalMemoryStatusEx(MemoryStatusEx& status) = 0;
};

}  // namespace vt
