#include "form1_fixture.h"

namespace vt {
namespace {

using namespace form1;

void Store(fake::FakePlatform& p, const std::string& key, const std::string& value) {
    p.settings["veltrane\\startup\\" + key] = value;
}

TEST_F(Form1Test, EmptyStoreStartsAtTheOriginWithDefaultsAndWritesNothing) {
    Start();
    EXPECT_EQ(f.form().Left(), 0);
    EXPECT_EQ(f.form().Top(), 0);
    EXPECT_TRUE(f.sound().blnSound());
    EXPECT_EQ(f.tray().intTema(), 0);
    EXPECT_TRUE(f.form().Visible());
    EXPECT_TRUE(platform.writes.empty());
    EXPECT_TRUE(platform.boxes.empty());
    // The start-up's own status line ends in a full stop, the next Update's not.
    EXPECT_EQ(Caption(sucker), "Busy= 75 %.");
    Run(&Form1::Command1_Click);
    EXPECT_EQ(Caption(sucker), "Busy= 75 %");
}

TEST_F(Form1Test, StoredSettingsAreRestored) {
    Store(platform, "left", "-120");
    Store(platform, "top", "200");
    Store(platform, "sound", "0");
    Store(platform, "tema", "3");
    Start();
    EXPECT_EQ(f.form().Left(), -1800);  // partly off-screen stays where it was
    EXPECT_EQ(f.form().Top(), 3000);
    EXPECT_FALSE(f.sound().blnSound());
    EXPECT_EQ(f.tray().intTema(), 3);
}

TEST_F(Form1Test, SoundSettingReadsNumbersAndTruthWords) {
    for (auto [text, on] : {std::pair{"True", true}, {"5", true}, {"0", false}, {"false", false}}) {
        fake::FakePlatform p;
        Form1 form(p);
        Store(p, "sound", text);
        p.Dispatch([&] { form.Start(); });
        EXPECT_EQ(form.sound().blnSound(), on) << text;
        EXPECT_TRUE(p.boxes.empty()) << text;
    }
}

// Each bad stored value stops the start with the report and ends the program.
TEST_F(Form1Test, StoredValueThatDoesNotConvertStopsTheStart) {
    const struct {
        const char* key;
        const char* value;
        int number;
    } cases[] = {
        {"left", "abc", 13}, {"top", "", 13},       {"sound", "yes", 13}, {"tema", "x", 13},
        {"tema", "99999", 6}, {"left", "200000000", 6}, {"left", "1e10", 6},
    };
    for (const auto& c : cases) {
        fake::FakePlatform p;
        Form1 form(p);
        Store(p, c.key, c.value);
        p.Dispatch([&] { form.Start(); });
        ASSERT_EQ(p.boxes.size(), 1u) << c.key << "=" << c.value;
        const std::string expected = "Error number: " + std::to_string(c.number) + "\rDescription: ";
        EXPECT_EQ(p.boxes[0].text.rfind(expected, 0), 0u) << p.boxes[0].text;
        EXPECT_EQ(p.boxes[0].title, "Error");
        EXPECT_EQ(p.boxes[0].style, kOkOnly | kCritical);
        EXPECT_TRUE(p.ended);
        EXPECT_EQ(form.form().Caption(Label1), "Not Updated");  // nothing after the failing step ran
        EXPECT_TRUE(p.writes.empty());
    }
}

TEST_F(Form1Test, PositionOnNoMonitorOpensAtTheWorkArea) {
    Store(platform, "left", "5000");
    Store(platform, "top", "3000");
    platform.workArea = {40, 0, 1880, 1080};
    Start();
    EXPECT_EQ(f.form().Left(), 40 * 15);
    EXPECT_EQ(f.form().Top(), 0);
}

TEST_F(Form1Test, CloseSavesTopThenLeftInPixels) {
    Start();
    f.form().SetLeft(-1800);
    f.form().SetTop(1507);  // 100.47 pixels: nearest whole number
    f.form().Unload();
    ASSERT_EQ(platform.writes.size(), 2u);
    EXPECT_EQ(platform.writes[0], (std::pair<std::string, std::string>{"Top", "100"}));
    EXPECT_EQ(platform.writes[1], (std::pair<std::string, std::string>{"Left", "-120"}));
    EXPECT_FALSE(f.form().Loaded());
    // What was written as "Top" is what the next start reads as "top".
    fake::FakePlatform next;
    next.settings = platform.settings;
    Form1 again(next);
    next.Dispatch([&] { again.Start(); });
    EXPECT_EQ(again.form().Top(), 1500);
    EXPECT_EQ(again.form().Left(), -1800);
}

TEST_F(Form1Test, HideToTrayCancelsTheCloseAndSavesNothing) {
    Start();
    f.form().SetEnabled(stupid, false);
    Run(&Form1::Command3_Click);
    EXPECT_TRUE(f.form().Loaded());
    EXPECT_FALSE(f.form().Visible());
    EXPECT_TRUE(f.form().Enabled(stupid));
    EXPECT_TRUE(platform.writes.empty());
}

}  // namespace
}  // namespace vt
