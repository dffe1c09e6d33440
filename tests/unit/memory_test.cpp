#include <gtest/gtest.h>

#include "memory/system.h"
#include "platform/fake/fake_platform.h"
#include "ui/form1.h"

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

// A sample the system would not give is skipped wherever it is taken: the
// figures, the tip and the warning stay as the last good sample left them,
// and the next one that comes is shown.
TEST(FreeMemory, FailedSampleIsSkipped) {
    fake::FakePlatform platform;
    Form1 f(platform);
    platform.memoryStatusFails = true;
    platform.Dispatch([&] { f.Start(); });  // the first Update too: no error 6 for a total of 0
    EXPECT_FALSE(platform.ended);
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_EQ(f.form().Caption(form1::Label1), "Not Updated");

    platform.memoryStatusFails = false;
    platform.Dispatch([&] { f.Command1_Click(); });
    const std::string totals = f.form().Caption(form1::Label1), tip = platform.shell.Tip();
    platform.Dispatch([&] { f.Timer2_Timer(); });
    platform.memoryStatusFails = true;
    platform.memory.availPhys = 1ull << 20;
    for (auto handler : {&Form1::Command1_Click, &Form1::Timer4_Timer, &Form1::Timer3_Timer}) {
        platform.Dispatch([&] { (f.*handler)(); });
        EXPECT_EQ(f.form().Caption(form1::Label1), totals);
        EXPECT_EQ(f.form().ForeColor(form1::Label1), kWhite);  // no flash either
        EXPECT_EQ(platform.shell.Tip(), tip);
        EXPECT_FALSE(platform.ended);
    }
    platform.memoryStatusFails = false;
    platform.Dispatch([&] { f.Command1_Click(); });
    EXPECT_EQ(f.form().Caption(form1::Label1), "  Totalt= 524 Mb  Free= 1 Mb     ");
}

}  // namespace
}  // namespace vt
