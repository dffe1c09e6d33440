#include "memory/system.h"

#include <cstdint>

#include "platform/convert.h"

namespace vt {

int32_t System::BytesToKb(uint64_t bytes) {
    const double kb = RoundEven(static_cast<double>(bytes) / 1024.0);
    if (kb >= 2147483647.0) return INT32_MAX;
    return static_cast<int32_t>(kb);
}

bool System::FreeMemory(uint8_t& btePercentUsed, int32_t& lngTotalRam, int32_t& lngFreeRam) {
    MemoryStatus status;
    if (!platform_.QueryMemoryStatus(status)) return false;
    btePercentUsed = static_cast<uint8_t>(status.load);
    lngTotalRam = BytesToKb(status.totalPhys);
    lngFreeRam = BytesToKb(status.availPhys);
    return true;
}

}  // namespace vt
