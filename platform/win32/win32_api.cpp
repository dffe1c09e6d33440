// The named Win32 calls behind the facade.
#include <windows.h>

#include <memory>

#include "platform/win32_api.h"

namespace vt {
namespace {

class RealApi final : public Win32Api {
public:
    void GlobalMemoryStatusEx(MemoryStatusEx& status) override {
        MEMORYSTATUSEX m{};
        m.dwLength = sizeof m;
        ::GlobalMemoryStatusEx(&m);
        status.dwMemoryLoad = m.dwMemoryLoad;
        status.ullTotalPhys = m.ullTotalPhys;
        status.ullAvailPhys = m.ullAvailPhys;
    }
};

}  // namespace

std::unique_ptr<Win32Api> CreateWin32Api() { return std::make_unique<RealApi>(); }

}  // namespace vt
