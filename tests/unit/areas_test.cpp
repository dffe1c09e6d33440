// Each area made on its own, on a form of only the controls it uses and with
// only the areas it is given: what shows that they are usable without the
// main window.
#include <gtest/gtest.h>

#include "memory/memory_display.h"
#include "monitor/check_period.h"
#include "monitor/warning.h"
#include "settings/settings.h"
#include "platform/fake/fake_allocation.h"
#include "platform/fake/fake_platform.h"
#include "sound/sound.h"
#include "tray/tray_icon.h"

namespace vt {
namespace {

enum : int {
    kTotals = 1, kBusy, kBar, kBarCaption, kTrack, kBarLine, kFlash, kHover, kAmount, kUnit, kTick, kWatch, kMarker,
    kRowLabel, kMenu = 50, kStatus, kOpen, kSoundItem,
};

const FormDef& SmallWindow() {
    static const ControlDef controls[] = {
        {.kind = ControlKind::Label, .id = kTotals, .rect = {0, 0, 200, 13}},
        {.kind = ControlKind::Label, .id = kBusy, .rect = {0, 14, 200, 13}},
        {.kind = ControlKind::PictureBox, .id = kBar, .rect = {0, 30, 196, 17}},
        {.kind = ControlKind::PictureBox, .id = kTrack, .rect = {0, 30, 195, 17}},
        {.kind = ControlKind::Label, .id = kBarCaption, .container = kTrack, .rect = {104, 0, 80, 13}},
        {.kind = ControlKind::Line, .id = kBarLine, .container = kTrack, .rect = {88, 0, 88, 16}},
        {.kind = ControlKind::Timer, .id = kFlash, .interval = 100},
        {.kind = ControlKind::Timer, .id = kHover, .interval = 500},
        {.kind = ControlKind::TextBox, .id = kAmount, .rect = {0, 50, 25, 22}, .caption = "1"},
        {.kind = ControlKind::ComboBox, .id = kUnit, .rect = {30, 50, 57, 22}, .caption = "min"},
        {.kind = ControlKind::Timer, .id = kTick, .interval = 1000},
        {.kind = ControlKind::Timer, .id = kWatch, .interval = 5000},
        {.kind = ControlKind::Button, .id = kMarker, .rect = {90, 50, 9, 14}, .back = kColorButtonFace},
        {.kind = ControlKind::Label, .id = kRowLabel, .rect = {100, 50, 60, 13}},
    };
    static const MenuDef menus[] = {
        {kMenu, 0, "menu"}, {kStatus, kMenu, "Get Status"}, {kOpen, kMenu, "Open"}, {kSoundItem, kMenu, "Sound"}};
    static const FormDef def{.name = "Small", .clientWidth = 220, .clientHeight = 80, .icon = 1,
                             .controls = controls, .menus = menus};
    return def;
}

class AreaTest : public ::testing::Test {
protected:
    AreaTest() { platform.memory = {37, 524288ull * 1024, 131072ull * 1024}; }
    fake::FakePlatform platform;
    FormEvents events;
    std::unique_ptr<Form> form = platform.CreateForm(SmallWindow(), events);
    Sound sound{platform, *form, kSoundItem};
    MemoryDisplay memory{platform, *form, {kTotals, kBusy, kBar, kBarCaption, kBarLine, kStatus, kFlash, kHover}};
};

TEST_F(AreaTest, MemoryDisplayTellsItsListener) {
    struct Heard : MemoryDisplay::Listener {
        std::vector<std::pair<std::string, float>> updates, hovers;
        void Updated(const std::string& text, float percent) override { updates.emplace_back(text, percent); }
        void HoverRefreshed(const std::string& text, float percent) override { hovers.emplace_back(text, percent); }
    } heard;
    memory.SetListener(&heard);
    memory.Update();
    EXPECT_EQ(form->Caption(kTotals), "  Totalt= 524 Mb  Free= 131 Mb     ");
    EXPECT_EQ(form->Caption(kStatus), "Busy= 75 %");
    EXPECT_EQ(form->ForeColor(kTotals), kRed);
    ASSERT_EQ(heard.updates.size(), 1u);
    EXPECT_EQ(heard.updates[0].first, "Busy= 75 %");
    EXPECT_FLOAT_EQ(heard.updates[0].second, 25.0f);
    platform.memory.availPhys = 262144ull * 1024;
    memory.HoverRefresh();
    ASSERT_EQ(heard.hovers.size(), 1u);
    EXPECT_EQ(heard.hovers[0].first, "Busy= 50 %");
    EXPECT_EQ(form->Caption(kTotals), "  Totalt= 524 Mb  Free= 131 Mb     ");  // the lines stay
}

TEST_F(AreaTest, CheckPeriodRunsTheUpdateEveryPeriod) {
    CheckPeriod period(platform, *form, {kAmount, kUnit, kTick}, memory, sound);
    form->SetCaption(kAmount, "2");
    form->SetCaption(kUnit, "sec");
    period.Set();
    EXPECT_TRUE(form->Enabled(kTick));
    EXPECT_EQ(form->BackColor(kAmount), kGreen);
    EXPECT_EQ(period.lngTickTarget(), 2);
    const int samples = platform.samples;
    memory.EndFlash();
    period.Tick();
    EXPECT_EQ(platform.samples, samples);
    period.Tick();
    EXPECT_EQ(platform.samples, samples + 1);
    EXPECT_EQ(form->ForeColor(kBusy), kRed);
    form->SetCaption(kAmount, "0");
    period.Set();  // the running period's question, then the refusal
    ASSERT_EQ(platform.boxes.size(), 2u);
    EXPECT_EQ(platform.boxes[1].text, "Value can not be 0");
    EXPECT_TRUE(form->Enabled(kTick));  // the period that ran goes on
}

TEST_F(AreaTest, WarningFiresThroughItsHooksAndLoopsItsSound) {
    platform.resources[127] = std::vector<uint8_t>(64, 0x80);
    sound.SetSound(true);
    std::vector<std::string> seen;
    Settings settings(platform);
    LowMemoryWarning warning(platform, *form, {kWatch, kMarker, kRowLabel}, memory, sound, settings,
                             {.showWindow = [&] { seen.push_back("window"); },
                              .alarmSeen = [&] { seen.push_back("balloon"); }});
    warning.Arm(100);
    warning.StartWatching();
    EXPECT_EQ(form->BackColor(kMarker), kRed);
    warning.Watch();  // 131 Mb free: nothing
    EXPECT_TRUE(seen.empty());
    platform.memory.availPhys = 100000ull * 1024;
    warning.Watch();
    EXPECT_EQ(seen, (std::vector<std::string>{"window", "balloon"}));
    ASSERT_EQ(platform.audio.sounds.size(), 1u);
    EXPECT_EQ(platform.audio.sounds[0].kind, fake::SoundKind::Loop);
    EXPECT_FALSE(form->Enabled(kWatch));
    warning.Acknowledge();
    EXPECT_EQ(platform.boxes.back().text, "The RAM Mb have been reached");
    EXPECT_EQ(warning.intWarnMb(), 0);
    EXPECT_EQ(platform.audio.sounds.back().kind, fake::SoundKind::Stop);
}

TEST_F(AreaTest, TrayIconFollowsTheDisplayAndBringsTheWindowBack) {
    TrayIcon tray(platform, *form, {kOpen, kMenu}, memory, sound);
    tray.Add("Veltrane");
    ASSERT_TRUE(platform.shell.icon.has_value());
    EXPECT_EQ(platform.shell.Tip().substr(0, 9), std::string("Veltrane") + '\0');
    memory.Update();
    EXPECT_EQ(platform.shell.Tip().substr(0, 11), std::string("Busy= 75 %") + '\0');
    tray.SetTema(5);
    memory.Update();
    EXPECT_EQ(platform.shell.icon->group, 142);  // 25 % free: the band of 20

    const int samples = platform.samples;
    platform.tray().Report(513);
    EXPECT_TRUE(form->Visible());
    EXPECT_FALSE(form->Enabled(kOpen));
    EXPECT_EQ(platform.samples, samples + 1);
    platform.tray().Report(516);
    EXPECT_EQ(static_cast<fake::FakeForm&>(*form).popups, std::vector<int>{kMenu});
    tray.Remove();
    EXPECT_FALSE(platform.shell.icon.has_value());
}

// The alarm comes when memory is short. From the moment the warning fires,
// every allocation of the program is refused: the window still comes back,
// the alarm still loops (or, with sound off, its box still shows), the sound
// comes before the list of the largest programs is taken, and the balloon
// still names the free memory; nothing ends the program.
TEST(LowMemoryAlarm, ComesWithEveryAllocationRefused) {
    for (bool soundOn : {true, false}) {
        fake::FakePlatform platform;
        platform.memory = {37, 4'000'000ull * 1024, 900'000ull * 1024};
        platform.resources[127] = std::vector<uint8_t>(64, 0x80);
        platform.processes = {{20, "chrome.exe", 3'382'286'746ull}, {21, "Code.exe", 1'288'490'189ull}};
        FormEvents events;
        auto form = platform.CreateForm(SmallWindow(), events);
        Sound sound(platform, *form, kSoundItem);
        sound.SetSound(soundOn);
        MemoryDisplay memory(platform, *form, {kTotals, kBusy, kBar, kBarCaption, kBarLine, kStatus, kFlash, kHover});
        TrayIcon tray(platform, *form, {kOpen, kMenu}, memory, sound);
        tray.Add("Veltrane");
        std::optional<fake::AllocationRefusal> refusal;
        size_t soundsAtTheBalloon = 0;
        Settings settings(platform);
        LowMemoryWarning warning(platform, *form, {kWatch, kMarker, kRowLabel}, memory, sound, settings,
                                 {.showWindow = [&] {
                                      refusal.emplace();  // from here on, memory has run out
                                      form->Show();
                                  },
                                  .alarmSeen = [&] {
                                      soundsAtTheBalloon = platform.audio.sounds.size();
                                      tray.ShowLowMemoryBalloon(FreeMbFigure(memory.lngFreeKb()));
                                  }});
        warning.Arm(100);
        warning.StartWatching();
        EXPECT_EQ(platform.reservations, 1) << soundOn;  // the table is reserved while memory is there
        form->Hide();
        platform.memory.availPhys = 98'000ull * 1024;
        const int refusedBefore = fake::AllocationRefusal::Refused();
        platform.Dispatch([&] { warning.Watch(); });
        refusal.reset();
        const std::string what = soundOn ? "sound on" : "sound off";
        EXPECT_GT(fake::AllocationRefusal::Refused(), refusedBefore) << what;  // allocations were asked for
        EXPECT_FALSE(platform.ended) << what;
        EXPECT_TRUE(form->Visible()) << what;
        ASSERT_EQ(platform.shell.balloons.size(), 1u) << what;
        EXPECT_EQ(platform.shell.balloons[0].title, "Veltrane: memory is low") << what;
        EXPECT_EQ(platform.shell.balloons[0].text, "98 Mb free.") << what;
        if (soundOn) {
            ASSERT_EQ(platform.audio.sounds.size(), 1u);
            EXPECT_EQ(platform.audio.sounds[0].kind, fake::SoundKind::Loop);
            EXPECT_EQ(soundsAtTheBalloon, 1u);  // the loop had started
            EXPECT_TRUE(warning.blnAlarmOn());
            EXPECT_TRUE(platform.boxes.empty());
        } else {
            ASSERT_EQ(platform.boxes.size(), 1u);
            EXPECT_EQ(platform.boxes[0].text, "The RAM Mb have been reached");
        }
        // With memory back, the same balloon names the largest programs.
        tray.ShowLowMemoryBalloon(98);
        EXPECT_EQ(platform.shell.balloons.back().text, "98 Mb free. Largest: chrome.exe 3.1 GB, Code.exe 1.2 GB")
            << what;
    }
}

}  // namespace
}  // namespace vt
