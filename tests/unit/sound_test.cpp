#include <cmath>
#include <cstring>
#include <set>

#include "sound_fixture.h"

namespace vt {
namespace {

using namespace form1;
using modSND::Player;

void Store(fake::FakePlatform& p, const std::string& key, const std::string& value) {
    p.settings["veltrane\\startup\\" + key] = value;
}

class SoundTest : public Form1Test {
protected:
    SoundTest() { AddSounds(platform); }
};

TEST_F(SoundTest, EachRoutineHandsTheResourceItselfWithItsFlagsAndKeepsItUntilTheNextCall) {
    Player player(platform);
    player.PlayResSound(130);
    player.LoopResSound(127);
    player.PlayResSoundWait(132);
    player.PlayResSoundWait(134);
    player.PlayResSound(101);
    player.StopSound();

    EXPECT_EQ(Played(platform.audio), (Calls{{130, kPlay}, {127, kLoop}, {132, kWait}, {134, kWait}, {101, kPlay}, {0, kStop}}));
    for (size_t i = 0; i + 1 < platform.audio.sounds.size(); ++i) {
        EXPECT_EQ(platform.audio.sounds[i].bytes, platform.resources[IdOf(platform.audio.sounds[i])]) << i;
    }
    // Every image stayed intact until the call after it had been made.
    EXPECT_TRUE(platform.audio.previousSoundStillValid);
    // Stopping passes no sound, and the last image is still the one held.
    EXPECT_EQ(platform.audio.sounds.back().address, nullptr);
    EXPECT_EQ(player.strSoundData().data(), platform.resources[101].data());  // the resource itself, not a copy
    EXPECT_EQ(player.strSoundData().size(), platform.resources[101].size());
    EXPECT_EQ(platform.audio.sounds[4].address, player.strSoundData().data());
    // One pass over pending events after each play, none after the stop.
    EXPECT_EQ(platform.doEventsPasses, 5);
}

TEST_F(SoundTest, MissingResourcePlaysNothing) {
    Player player(platform);
    player.PlayResSound(126);
    ASSERT_EQ(platform.audio.sounds.size(), 1u);
    EXPECT_EQ(platform.audio.sounds[0].address, nullptr);
}

TEST_F(SoundTest, GreetingFollowsTheHour) {
    const std::pair<int, int> cases[] = {{0, 138}, {5, 138}, {6, 128}, {11, 128},
                                         {12, 129}, {17, 129}, {18, 130}, {23, 130}};
    for (auto [hour, id] : cases) {
        fake::FakePlatform p;
        AddSounds(p);
        p.hour = hour;
        Form1 form(p);
        p.Dispatch([&] { form.Start(); });
        EXPECT_EQ(Played(p.audio), (Calls{{id, kPlay}})) << hour;
        EXPECT_EQ(form.form().Caption(mnuSoff), "Turn Off Sound");
        EXPECT_GE(p.doEventsPasses, 1);
    }
}

TEST_F(SoundTest, StartWithSoundOffIsSilentAndOffersToTurnItOn) {
    Store(platform, "sound", "0");
    Start();
    EXPECT_TRUE(platform.audio.sounds.empty());
    EXPECT_EQ(Caption(mnuSoff), "Turn On Sound");
    f.MouseUp(Command1, MouseButton::Left);
    EXPECT_TRUE(platform.audio.sounds.empty());
}

TEST_F(SoundTest, ClickDrawCoversExactlyTheTwentyFiveClickSounds) {
    std::set<int> seen;
    const int steps = 100000;
    for (int i = 0; i < steps; ++i) {
        platform.randoms.push_back(static_cast<double>(i) / steps);
        seen.insert(modSND::ClickSound(platform));
    }
    platform.randoms = {std::nextafter(1.0, 0.0)};
    seen.insert(modSND::ClickSound(platform));
    EXPECT_EQ(seen.size(), 25u);
    EXPECT_EQ(*seen.begin(), 101);
    EXPECT_EQ(*seen.rbegin(), 125);
    EXPECT_EQ(platform.reseeds, steps + 1);  // reseeded before every draw

    platform.randoms = {0.0, std::nextafter(1.0, 0.0), 0.04, 0.04 - 1e-12};
    EXPECT_EQ(modSND::ClickSound(platform), 101);
    EXPECT_EQ(modSND::ClickSound(platform), 125);
    EXPECT_EQ(modSND::ClickSound(platform), 102);
    EXPECT_EQ(modSND::ClickSound(platform), 101);
}

TEST_F(SoundTest, EveryButtonReleasedOverUpdatePlaysARandomClick) {
    Start();
    platform.audio.sounds.clear();
    platform.randoms = {0.0, 0.5, std::nextafter(1.0, 0.0)};
    const int before = platform.reseeds;
    f.MouseUp(Command1, MouseButton::Left);
    f.MouseUp(Command1, MouseButton::Right);
    f.MouseUp(Command1, MouseButton::Middle);
    f.MouseUp(Command2, MouseButton::Left);  // not over "Update"
    EXPECT_EQ(Played(platform.audio), (Calls{{101, kPlay}, {113, kPlay}, {125, kPlay}}));
    EXPECT_EQ(platform.reseeds - before, 3);
    EXPECT_TRUE(platform.audio.previousSoundStillValid);
}

TEST_F(SoundTest, SoundSwitchConfirmsBothWaysAndIsRememberedAcrossARestart) {
    Start();
    platform.audio.sounds.clear();
    f.MenuClick(mnuSoff);
    EXPECT_FALSE(f.sound().blnSound());
    EXPECT_EQ(Caption(mnuSoff), "Turn On Sound");
    EXPECT_EQ(platform.writes.back(), (std::pair<std::string, std::string>{"sound", "0"}));
    f.MouseUp(Command1, MouseButton::Left);  // now silent

    f.MenuClick(mnuSoff);
    EXPECT_TRUE(f.sound().blnSound());
    EXPECT_EQ(Caption(mnuSoff), "Turn Off Sound");
    EXPECT_EQ(platform.writes.back(), (std::pair<std::string, std::string>{"sound", "1"}));
    // The confirmation of "off" plays although sound is now off.
    EXPECT_EQ(Played(platform.audio), (Calls{{102, kPlay}, {101, kPlay}}));

    f.MenuClick(mnuSoff);
    Form1 again(platform);
    platform.Dispatch([&] { again.Start(); });
    EXPECT_FALSE(again.sound().blnSound());
    EXPECT_EQ(again.form().Caption(mnuSoff), "Turn On Sound");
}

// Records how many sounds had been played when a message box came up.
class BoxAfterSounds : public fake::FakePlatform {
public:
    int MsgBox(std::string_view text, unsigned style, std::string_view title) override {
        soundsBeforeBox.push_back(audio.sounds.size());
        return FakePlatform::MsgBox(text, style, title);
    }
    std::vector<size_t> soundsBeforeBox;
};

TEST(StartupErrorSound, ErrorPairPlaysToItsEndBeforeTheReportOnlyOnceSoundIsKnownToBeOn) {
    const struct {
        const char* key;
        const char* value;
        bool pair;
    } cases[] = {
        {"tema", "x", true},      // sound read as on (default) before the failing step
        {"left", "abc", false},   // fails before "sound" is read: still off
        {"sound", "yes", false},  // the sound setting itself does not convert
    };
    for (const auto& c : cases) {
        BoxAfterSounds p;
        AddSounds(p);
        Form1 form(p);
        Store(p, c.key, c.value);
        p.Dispatch([&] { form.Start(); });
        ASSERT_EQ(p.boxes.size(), 1u) << c.key;
        EXPECT_TRUE(p.ended);
        const Calls expected = c.pair ? Calls{{132, kWait}, {134, kWait}} : Calls{};
        EXPECT_EQ(Played(p.audio), expected) << c.key;
        EXPECT_EQ(p.soundsBeforeBox, std::vector<size_t>{expected.size()}) << c.key;
    }
    BoxAfterSounds p;
    AddSounds(p);
    Form1 form(p);
    Store(p, "sound", "0");
    Store(p, "tema", "x");
    p.Dispatch([&] { form.Start(); });
    EXPECT_TRUE(p.audio.sounds.empty());
}

}  // namespace
}  // namespace vt
