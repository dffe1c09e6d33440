// What this test process holds, as the process table should report it.
#pragma once

#include <windows.h>

#include <psapi.h>

#include <gtest/gtest.h>

#include <cstdint>

namespace vt::win32 {

// Private bytes as the system counts them (Wine leaves PrivateUsage at 0 and
// counts the same figure in PagefileUsage); a table's reading of this
// process lies within 16 MB of it, what the test allocated in between.
inline void ExpectOwnPrivateBytes(uint64_t reported) {
    PROCESS_MEMORY_COUNTERS_EX own{};
    own.cb = sizeof own;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&own), sizeof own);
    const uint64_t expected = own.PrivateUsage ? own.PrivateUsage : own.PagefileUsage;
    EXPECT_GT(reported, 1u << 20);
    EXPECT_NEAR(static_cast<double>(reported), static_cast<double>(expected), 16.0 * (1 << 20));
}

}  // namespace vt::win32
