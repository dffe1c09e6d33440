// "Keep watching": the warning kept across alarms and restarts, armed again
// once memory has recovered, and its loop held back while the user wants
// quiet; and the ring of the last hour it is seen against.
#include "memory/memory_history.h"
#include "sound_fixture.h"
#include "ui/options_window.h"

namespace vt {
namespace {

using namespace form1;

void Store(fake::FakePlatform& p, const std::string& key, const std::string& value) {
    p.settings["veltrane\\startup\\" + key] = value;
}

// One run of the program with a kept warning, and what the user gets of it.
struct Session {
    fake::FakePlatform platform;
    Form1 f{platform};

    void Start() { platform.Dispatch([&] { f.Start(); }); }
    void SetMemoryKb(uint64_t totalKb, uint64_t freeKb) { platform.memory = {37, totalKb * 1024, freeKb * 1024}; }
    void Run(void (Form1::*handler)()) { platform.Dispatch([&] { (f.*handler)(); }); }
    void StartWith(bool sound, std::optional<int> keptMb, bool keep = true) {
        AddSounds(platform);
        Store(platform, "sound", sound ? "1" : "0");
        Store(platform, "keepwatching", keep ? "1" : "0");
        if (keptMb) Store(platform, "warnmb", std::to_string(*keptMb));
        SetFreeMb(3000);
        Start();
        platform.audio.sounds.clear();
    }
    void SetFreeMb(int mb) { SetMemoryKb(8'000'000, static_cast<uint64_t>(mb) * 1000); }
    // One check at this much free memory: what the user got from it.
    std::string Check(int freeMb) {
        SetFreeMb(freeMb);
        const size_t boxes = platform.boxes.size(), balloons = platform.shell.balloons.size();
        const size_t sounds = platform.audio.sounds.size();
        Run(&Form1::Timer3_Timer);
        std::string got;
        for (size_t i = sounds; i < platform.audio.sounds.size(); ++i) {
            if (platform.audio.sounds[i].kind == fake::SoundKind::Loop) got += "loop ";
        }
        if (platform.shell.balloons.size() > balloons) got += "balloon ";
        if (platform.boxes.size() > boxes) got += "box ";
        return got.empty() ? "-" : got.substr(0, got.size() - 1);
    }
    std::string Kept() {
        const auto it = platform.settings.find("veltrane\\startup\\warnmb");
        return it == platform.settings.end() ? "<none>" : it->second;
    }
};

class KeepWatchingTest : public ::testing::Test, public Session {};

TEST(RearmMargin, FivePercentAtLeastAHundred) {
    const std::pair<int16_t, int32_t> rows[] = {{1, 100}, {1999, 100}, {2000, 100}, {2001, 101},
                                                {4000, 200}, {32767, 1639}};
    for (auto [threshold, margin] : rows) EXPECT_EQ(RearmMargin(threshold), margin) << threshold;
}

// A kept warning of 1000 Mb (margin 100) and free memory at each check:
// one alarm an episode, however long the level hovers at the threshold.
TEST_F(KeepWatchingTest, FiresOnceAnEpisodeAndArmsAgainOnceRecovered) {
    StartWith(false, 1000);
    EXPECT_TRUE(platform.boxes.empty());  // armed quietly at the start
    EXPECT_EQ(f.form().BackColor(Command5), kRed);
    const struct {
        int freeMb;
        const char* got;  // sound off: the balloon and the box
    } checks[] = {
        {1200, "-"},
        {1000, "balloon box"},  // equality fires; acknowledged by the box
        {990, "-"},  {1010, "-"}, {995, "-"},  // hovering at the threshold: no new alarm
        {1099, "-"},                           // not yet past the margin
        {1100, "-"},                           // recovered: watching again
        {1050, "-"},
        {980, "balloon box"},                  // a new episode
        {1050, "-"},
        {990, "-"},                            // not past the margin since the last alarm
        {2000, "-"},
        {900, "balloon box"},
    };
    for (size_t i = 0; i < std::size(checks); ++i) {
        EXPECT_EQ(Check(checks[i].freeMb), checks[i].got) << "check " << i << " at " << checks[i].freeMb << " Mb";
        EXPECT_EQ(f.warning().intWarnMb(), 1000) << i;
        EXPECT_TRUE(f.warning().blnWarnSet()) << i;
    }
    EXPECT_EQ(Kept(), "1000");
}

// With sound on, the click acknowledges; "Turn off warning" ends the kept
// warning for good, stored threshold and all.
TEST_F(KeepWatchingTest, AcknowledgedByAClickOrTurnedOff) {
    StartWith(true, 500);
    EXPECT_EQ(Check(400), "loop balloon");
    EXPECT_EQ(Check(300), "-");  // fired: nothing more
    platform.Dispatch([&] { f.MouseDown(kForm, MouseButton::Left); });
    EXPECT_EQ(platform.boxes.back().text, "The RAM Mb have been reached");
    EXPECT_TRUE(f.warning().Recovering());
    EXPECT_EQ(Check(450), "-");
    EXPECT_EQ(Check(650), "-");  // 500 + 100: armed again
    EXPECT_EQ(Check(480), "loop balloon");
    platform.onModal = [&](fake::FakeForm&) { platform.Dispatch([&] { f.options()->Command5_Click(); }); };
    Session::Run(&Form1::Command4_Click);  // Options, Turn off warning
    platform.onModal = nullptr;
    EXPECT_EQ(platform.audio.sounds.back().kind, fake::SoundKind::Stop);
    EXPECT_FALSE(f.warning().blnWarnSet());
    EXPECT_EQ(Kept(), "<none>");
    EXPECT_FALSE(f.form().Enabled(Timer3));
}

// The box on the "Set Warning" tab shows the setting and changes it: off,
// the kept threshold is forgotten; on again, the warning set now is kept.
TEST_F(KeepWatchingTest, TheBoxOnTheWarningTab) {
    StartWith(false, 500);
    std::vector<std::string> seen;
    platform.onModal = [&](fake::FakeForm& options) {
        seen.push_back(std::string(options.Checked(frm_options::Check1) ? "on" : "off") + " " + Kept());
        for (int i = 0; i < 2; ++i) {
            platform.PostClick(options, frm_options::Check1);
            platform.Advance(0);
            seen.push_back(std::string(options.Checked(frm_options::Check1) ? "on" : "off") + " " + Kept() + " " +
                           platform.settings["veltrane\\startup\\keepwatching"]);
        }
    };
    Session::Run(&Form1::Command4_Click);
    EXPECT_EQ(seen, (std::vector<std::string>{"on 500", "off <none> 0", "on 500 1"}));
}

// What the next start finds: the box's state, and the warning only while
// the box is on.
TEST(KeepWatchingAcrossARestart, StoredOnlyWhileTheBoxIsOn) {
    const struct {
        const char* what;
        bool keep;
        bool setWarning;
        bool switchOffAfter;
        bool armedNextStart;
    } cases[] = {
        {"on, warning set", true, true, false, true},
        {"on, no warning", true, false, false, false},
        {"off, warning set", false, true, false, false},
        {"on, warning set, then off", true, true, true, false},
    };
    for (const auto& c : cases) {
        fake::FakePlatform p;
        p.settings["veltrane\\startup\\sound"] = "0";
        p.memory = {37, 8'000'000ull * 1024, 3'000'000ull * 1024};
        {
            Form1 form(p);
            p.Dispatch([&] { form.Start(); });
            p.Dispatch([&] { form.warning().SetKeepWatching(c.keep); });
            if (c.setWarning) {
                form.warning().Arm(700);
                form.warning().StartWatching();
            }
            if (c.switchOffAfter) p.Dispatch([&] { form.warning().SetKeepWatching(false); });
            form.form().Unload();
        }
        Form1 again(p);
        p.boxes.clear();
        p.Dispatch([&] { again.Start(); });
        EXPECT_TRUE(p.boxes.empty()) << c.what;
        EXPECT_EQ(again.warning().KeepWatching(), c.keep && !c.switchOffAfter) << c.what;
        EXPECT_EQ(again.warning().blnWarnSet(), c.armedNextStart) << c.what;
        EXPECT_EQ(again.form().Enabled(Timer3), c.armedNextStart) << c.what;
        EXPECT_EQ(again.form().BackColor(Command5), c.armedNextStart ? kRed : kColorButtonFace) << c.what;
        if (c.armedNextStart) {
            EXPECT_EQ(again.warning().intWarnMb(), 700) << c.what;
        }
    }
}

// Presenting, a program full screen, quiet hours: the kept warning's loop
// waits until they end; the window and the balloon come as always. Without
// "Keep watching", or with sound off, nothing waits.
TEST(KeepWatchingQuiet, TheLoopWaitsForTheQuietToEnd) {
    const struct {
        const char* what;
        bool keep, sound;
        std::vector<const char*> heard;  // at the firing check, then at each check while quiet, then once it ends
    } cases[] = {
        {"kept, sound on", true, true, {"balloon", "-", "-", "loop"}},
        {"not kept", false, true, {"loop balloon", "-", "-", "-"}},
        {"kept, sound off", true, false, {"balloon box", "-", "-", "-"}},
    };
    for (const auto& c : cases) {
        Session t;
        t.StartWith(c.sound, 500, c.keep);
        if (!c.keep) {
            t.f.warning().Arm(500);
            t.f.warning().StartWatching();
        }
        t.platform.quiet = true;
        EXPECT_EQ(t.Check(400), c.heard[0]) << c.what;
        EXPECT_TRUE(t.f.form().Visible()) << c.what;
        EXPECT_EQ(t.Check(400), c.heard[1]) << c.what;
        EXPECT_EQ(t.Check(400), c.heard[2]) << c.what;
        t.platform.quiet = false;
        EXPECT_EQ(t.Check(400), c.heard[3]) << c.what;
    }
    // A click while the loop waits acknowledges it: no sound comes at all.
    Session t;
    t.StartWith(true, 500);
    t.platform.quiet = true;
    EXPECT_EQ(t.Check(400), "balloon");
    t.platform.Dispatch([&] { t.f.Form_Click(); });
    t.platform.quiet = false;
    EXPECT_EQ(t.Check(400), "-");  // recovering: no new alarm, no late sound
    EXPECT_EQ(t.platform.audio.sounds.back().kind, fake::SoundKind::Stop);
}

// The ring of the last hour: 360 samples, a gap where the machine slept,
// what is older than the hour left out, the lowest and when.
TEST(MemoryHistoryRing, KeepsTheLastHour) {
    fake::FakePlatform p;
    MemoryHistory history(p);
    auto add = [&](int64_t t, uint64_t mb) {
        history.Add({t, mb << 20, static_cast<int8_t>(t / 3600 % 24), static_cast<int8_t>(t / 60 % 60)});
    };
    for (int64_t i = 0; i < 400; ++i) add(i * 10, 1000 + static_cast<uint64_t>(i));  // past the ring's size
    std::vector<int64_t> times;
    history.ForEachSample(3990, [&](const MemoryHistory::Sample& s) { times.push_back(s.time); });
    ASSERT_EQ(times.size(), 360u);  // the ring's last 360, all within the hour up to 3990
    EXPECT_EQ(times.front(), 400);
    EXPECT_EQ(times.back(), 3990);
    EXPECT_EQ(history.Latest()->time, 3990);

    add(3990 + 1800, 700);  // half an hour asleep, then one sample
    times.clear();
    history.ForEachSample(5790, [&](const MemoryHistory::Sample& s) { times.push_back(s.time); });
    EXPECT_EQ(times.front(), 2200);  // the hour back from the new sample
    EXPECT_EQ(times[times.size() - 2], 3990);  // then the gap
    EXPECT_EQ(times.back(), 5790);

    const auto lowest = history.Lowest(5790);
    ASSERT_TRUE(lowest);
    EXPECT_EQ(lowest->available, 700ull << 20);
    EXPECT_EQ(lowest->hour, 1);
    EXPECT_EQ(lowest->minute, 36);
    add(5800, 700);  // the same low again: the latest one counts
    EXPECT_EQ(history.Lowest(5800)->time, 5800);
    EXPECT_FALSE(MemoryHistory(p).Lowest(5800));

    history.MarkAlarm(1000);
    history.MarkAlarm(5795);
    std::vector<int64_t> alarms;
    history.ForEachAlarm(5800, [&](int64_t t) { alarms.push_back(t); });
    EXPECT_EQ(alarms, std::vector<int64_t>{5795});  // the other is older than the hour
}

// The History tab: the hour's samples against the total, the threshold as a
// level, the alarm marked, the figures now and the sentence a screen reader
// reads; a sample taken while it shows reaches it; the cache's line only
// where the system keeps a figure for it.
TEST_F(KeepWatchingTest, TheHistoryTabShowsTheHour) {
    StartWith(false, 500);
    auto setFree = [&](int mb) {
        SetFreeMb(mb);
        platform.memory.totalPageFile = 12'000'000ull * 1024;
        platform.memory.availPageFile = 7'000'000ull * 1024;
    };
    for (int mb : {3000, 400, 2000}) {  // the second fires the alarm
        setFree(mb);
        platform.Advance(10'000);
    }
    platform.onModal = [&](fake::FakeForm& o) {
        using namespace frm_options;
        const GraphData& g = o.graphs.at(Graph1);
        EXPECT_EQ(g.to, platform.Now().seconds);
        EXPECT_EQ(g.to - g.from, 3600);
        EXPECT_EQ(g.high, 8000);
        ASSERT_EQ(g.points.size(), 4u);  // the start's and three more
        EXPECT_EQ(g.points[2].second, 400);
        EXPECT_EQ(g.level, 500);
        ASSERT_EQ(g.marks.size(), 1u);
        EXPECT_EQ(o.Caption(Graph1), "Free memory, last hour: now 1.9 GB, lowest 390 MB at 00:53");
        EXPECT_EQ(o.Caption(Label14), "1.9 GB");
        EXPECT_EQ(o.Caption(Label16), "390 MB at 00:53");
        EXPECT_EQ(o.Caption(Label18), "4.7 GB of 11.4 GB");
        EXPECT_EQ(o.Caption(Label19) + o.Caption(Label20), "");
        platform.cacheBytes = 3ull << 30;
        setFree(2500);
        platform.Advance(10'000);
        EXPECT_EQ(o.graphs.at(Graph1).points.size(), 5u);
        EXPECT_EQ(o.Caption(Label14), "2.3 GB");
        EXPECT_EQ(o.Caption(Label19) + " " + o.Caption(Label20), "Cached 3.0 GB");
    };
    Session::Run(&Form1::Command4_Click);
    EXPECT_EQ(HistoryName(std::nullopt, std::nullopt), "Free memory, last hour: no sample yet");
}

TEST(MemoryHistoryRing, TheSamplerHasATimerOfItsOwn) {
    fake::FakePlatform p;
    Form1 f(p);
    p.Dispatch([&] { f.Start(); });
    ASSERT_TRUE(f.history().Latest());  // the first at the start
    const int samples = p.samples;
    p.Advance(60'000);
    EXPECT_EQ(p.samples - samples, 6);  // every 10 s, and nothing else samples
    EXPECT_EQ(f.history().Latest()->time, p.Now().seconds);
    p.memoryStatusFails = true;
    p.Advance(10'000);
    EXPECT_EQ(f.history().Latest()->time, p.Now().seconds - 10);  // a failed sample is a gap
}

}  // namespace
}  // namespace vt
