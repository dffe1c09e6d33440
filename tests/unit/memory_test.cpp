#include <gtest/gtest.h>

#include "memory/system.h"
#include "platform/fake/fake_platform.h"

namespace vt {
namespace {

struct Sample {
    uint8_t load = 0;
    int32_t total = 0, free = 0;
};

Sample Take(uint64_t totalBytes, uint64_t availBytes, uint32_t load = 37) {
    fake::FakePlatform platform;
    platform.memory = {load, totalBytes, availBytes};
    System system(platform);
    Sample s;
    system.FreeMemory(s.load, s.total, s.free);
    return s;
}

TEST(FreeMemory, ConvertsBytesToKbNearestEven) {
    EXPECT_EQ(Take(536870912, 0).total, 524288);
    EXPECT_EQ(Take(1 << 20, 1536).free, 2);
    EXPECT_EQ(Take(1 << 20, 2560).free, 2);
    EXPECT_EQ(Take(4294967295ull, 0).total, 4194304);
    EXPECT_EQ(Take(1 << 20, 0, 37).load, 37);
}

TEST(FreeMemory, LargeMachinesAreNotCappedAt4GiB) {
    const Sample s = Take(24ull << 30, 20ull << 30);
    EXPECT_EQ(s.total, 25165824);
    EXPECT_EQ(s.free, 20971520);
    // Beyond what 32-bit Kb hold (2 TiB): clamped, never wrapped negative.
    EXPECT_EQ(Take(4ull << 40, 3ull << 40).total, INT32_MAX);
    EXPECT_EQ(Take(4ull << 40, 3ull << 40).free, INT32_MAX);
}

}  // namespace
}  // namespace vt
