// The memory sampler: one call gives the load figure and the total and
// available physical memory in Kb of 1024 bytes.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace vt {

class System {
public:
    explicit System(Platform& platform) : platform_(platform) {}

    // All three parameters are written, none is read. The Kb counts are 32-bit
    // and clamp at 2^31 - 1 Kb (2 TiB). False, and nothing written, when the
    // system would not say.
    bool FreeMemory(uint8_t& btePercentUsed, int32_t& lngTotalRam, int32_t& lngFreeRam);

    // Bytes to whole Kb, nearest-even, clamped to the 32-bit range.
    static int32_t BytesToKb(uint64_t bytes);

private:
    Platform& platform_;
};

}  // namespace vt
