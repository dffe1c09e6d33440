#include "form1_fixture.h"
#include "memory/status_text.h"
#include "platform/tray_protocol.h"

namespace vt {
namespace {

using namespace form1;

TEST_F(Form1Test, UpdateFillsEveryLineFromTheSample) {
    SetMemoryKb(524288, 131072);
    Start();
    EXPECT_EQ(Caption(Label1), "  Totalt= 524 Mb  Free= 131 Mb     ");
    EXPECT_EQ(Caption(Label4), "Busy= 393 Mb or 75 %");
    EXPECT_EQ(f.form().Bounds(Picture1).width, 150);
    EXPECT_EQ(f.form().ToolTip(Picture1), "75%");
    EXPECT_EQ(f.form().Bounds(Label3).left, 153);
    EXPECT_EQ(f.memory().strBusyText(), "Busy= 75 %");
    Run(&Form1::Command1_Click);
    EXPECT_EQ(Caption(sucker), "Busy= 75 %");
}

TEST_F(Form1Test, BusyLineCutsThePercentTextAtFourCharacters) {
    SetMemoryKb(262144, 100000);
    Start();
    EXPECT_FLOAT_EQ(f.memory().sngFreePercent(), 38.16794f);
    EXPECT_EQ(Caption(Label4), "Busy= 162 Mb or 61.9 %");
    EXPECT_EQ(f.memory().intBusyPercent(), 62);
    EXPECT_EQ(f.form().Bounds(Picture1).width, 124);
    EXPECT_EQ(f.form().ToolTip(Picture1), "62%");
}

TEST_F(Form1Test, UnitToggleCyclesKbByteMbOnTheLastSample) {
    SetMemoryKb(262144, 100000);
    Start();
    const int samples = platform.samples;
    Run(&Form1::Command5_Click);
    EXPECT_EQ(Caption(Label1), "  Totalt= 262144 Kb  Free= 100000 Kb     ");
    EXPECT_EQ(Caption(Label4), "Busy= 162144 Kb or 61.86 %");
    EXPECT_EQ(f.memory().intBusyPercent(), 62);
    Run(&Form1::Command5_Click);
    EXPECT_EQ(Caption(Label1), "  Totalt= 2.684355E+08 Byte  Free= 1.024E+08 Byte     ");
    EXPECT_EQ(Caption(Label4), "Busy= 166035456 Byte or 61.85303 %");
    EXPECT_EQ(f.memory().intUnitView(), 0);
    Run(&Form1::Command5_Click);
    EXPECT_EQ(Caption(Label4), "Busy= 162 Mb or 61.9 %");
    Run(&Form1::Command5_Click);
    EXPECT_EQ(Caption(Label4), "Busy= 162144 Kb or 61.86 %");
    EXPECT_EQ(platform.samples, samples);  // no new sample, no flash
    // An Update in between returns to Mb and restarts the cycle at Kb.
    Run(&Form1::Command1_Click);
    EXPECT_EQ(f.memory().intUnitView(), 1);
    Run(&Form1::Command5_Click);
    EXPECT_EQ(f.memory().intUnitView(), 2);
}

TEST_F(Form1Test, ByteViewDoesNotOverflowOnLargeMachines) {
    SetMemoryKb(2000000000, 500000000);  // about 1.9 TiB
    Start();
    Run(&Form1::Command5_Click);
    Run(&Form1::Command5_Click);
    EXPECT_FALSE(platform.ended);
    EXPECT_EQ(Caption(Label4), "Busy= 1536000000000 Byte or 75 %");
}

TEST_F(Form1Test, BusyFigureCarriesNoBinaryNoise) {
    SetMemoryKb(1000000, 971000);  // free percent 97.1: 100 - 97.1 is 2.9000000000000057 in binary
    Start();
    EXPECT_EQ(f.memory().strBusyText(), "Busy= 2.9 %");
    EXPECT_EQ(Caption(Label4), "Busy= 29 Mb or 2.9 %");
    Run(&Form1::Command5_Click);
    EXPECT_EQ(Caption(Label4), "Busy= 29000 Kb or 2.9 %");
    EXPECT_EQ(BusyText(38.16794f, 4, " %"), "Busy= 61.9 %");
    EXPECT_EQ(BusyText(100.0f, 4, " %"), "Busy= 0 %");
}

TEST_F(Form1Test, FreeEqualToTotalGivesAnEmptyBar) {
    SetMemoryKb(524288, 524288);
    Start();
    EXPECT_EQ(f.memory().strBusyText(), "Busy= 0 %");
    EXPECT_EQ(f.form().Bounds(Picture1).width, 0);
    EXPECT_EQ(f.form().Bounds(Label3).left, 3);
}

TEST_F(Form1Test, UpdateFlashesBothLinesRedForOneTick) {
    SetMemoryKb(524288, 131072);
    Start();
    EXPECT_EQ(f.form().ForeColor(Label1), kRed);
    EXPECT_EQ(f.form().ForeColor(Label4), kRed);
    EXPECT_TRUE(f.form().Enabled(Timer2));
    Run(&Form1::Timer2_Timer);
    EXPECT_EQ(f.form().ForeColor(Label1), kWhite);
    EXPECT_EQ(f.form().ForeColor(Label4), kWhite);
    EXPECT_FALSE(f.form().Enabled(Timer2));
}

TEST_F(Form1Test, HoverRefreshTouchesOnlyTipAndStatusMenu) {
    SetMemoryKb(524288, 131072);
    Start();
    Run(&Form1::Timer2_Timer);
    const std::string label1 = Caption(Label1), label4 = Caption(Label4);
    platform.Dispatch([&] { platform.tray().Report(tray_protocol::kMouseMove); });
    EXPECT_TRUE(f.tray().blnTipPending());
    EXPECT_TRUE(f.form().Enabled(Timer4));
    SetMemoryKb(524288, 262144);
    Run(&Form1::Timer4_Timer);
    EXPECT_FALSE(f.form().Enabled(Timer4));
    EXPECT_FALSE(f.tray().blnTipPending());
    EXPECT_EQ(f.memory().strBusyText(), "Busy= 50 %");
    EXPECT_EQ(Caption(sucker), "Busy= 50 %");
    EXPECT_EQ(Caption(Label1), label1);
    EXPECT_EQ(Caption(Label4), label4);
    EXPECT_EQ(f.form().ForeColor(Label1), kWhite);  // no flash
    EXPECT_EQ(f.memory().intUnitView(), 1);
    // The next toggle shows the hover refresh's sample.
    Run(&Form1::Command5_Click);
    EXPECT_EQ(Caption(Label1), "  Totalt= 524288 Kb  Free= 262144 Kb     ");
}

TEST_F(Form1Test, TotalOfZeroMegabytesEndsWithTheErrorReport) {
    SetMemoryKb(400, 100);
    Start();
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].text.rfind("Error number: 6\rDescription: ", 0), 0u);
    EXPECT_TRUE(platform.ended);
}

}  // namespace
}  // namespace vt
