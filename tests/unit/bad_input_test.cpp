// What every entry field and stored setting does with text that is not a plain
// number: which box, which sounds, and that a refused entry leaves the state
// it found exactly as it was.
#include <cmath>

#include "platform/convert.h"
#include "platform/errors.h"
#include "sound_fixture.h"
#include "ui/options_window.h"

namespace vt {
namespace {

using namespace form1;
namespace opt = frm_options;

const std::string kFullWidthFive = "\xEF\xBC\x95";  // U+FF15
const std::string kArabicThree = "\xD9\xA3";        // U+0663
const std::string kEmoji = "\xF0\x9F\x98\x80";      // U+1F600
const std::string kNulAfterFive("5\0", 2);
const std::string kNulAlone("\0", 1);

void Store(fake::FakePlatform& p, const std::string& key, const std::string& value) {
    p.settings["veltrane\\startup\\" + key] = value;
}

// Sets the decimal separator for one case and puts '.' back afterwards.
struct Separator {
    explicit Separator(char c) { SetDecimalSeparator(c); }
    ~Separator() { SetDecimalSeparator('.'); }
};

class BadInputTest : public Form1Test, public ::testing::WithParamInterface<bool> {
protected:
    BadInputTest() {
        AddSounds(platform);
        Store(platform, "sound", Sound() ? "1" : "0");
        SetMemoryKb(4'000'000, 150'500);  // 150 Mb free
        Start();
    }
    bool Sound() const { return GetParam(); }
    Form& F() { return f.form(); }
    // The sound pair a refused entry plays first, or nothing with sound off.
    Calls Pair(int fault) const { return Sound() && fault ? Calls{{132, kWait}, {fault, kWait}} : Calls{}; }
    void InOptions(const std::function<void(frmOptions&)>& steps) {
        platform.onModal = [&](fake::FakeForm&) { platform.Dispatch([&] { steps(*f.options()); }); };
        Run(&Form1::Command4_Click);
        platform.onModal = nullptr;
    }
};

INSTANTIATE_TEST_SUITE_P(Sound, BadInputTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "On" : "Off"; });

// The "Check every" row: Text1 with a unit, then Set. Every entry is tried
// from a stopped row and from a running "7 sec" period three ticks in, whose
// question is answered Yes; a refused entry leaves either exactly as it was.
TEST_P(BadInputTest, CheckRowEntries) {
    struct Case {
        std::string text;
        const char* unit;
        char separator;
        const char* box;    // "" when accepted
        const char* title;  // of the box
        int fault;          // second sound of the pair, 0 when accepted
        int32_t target;     // tick target when accepted
        const char* shown;  // Text1 afterwards
    };
    const char* kNoGood = "Value no good";
    const char* kZero = "Value can not be 0";
    const char* kBig = "Value must be lower then 61";
    const Case cases[] = {
        {"", "sec", '.', kNoGood, "Bad value", 141, 0, ""},
        {"   ", "sec", '.', kNoGood, "Bad value", 141, 0, ""},
        {"abc", "sec", '.', kNoGood, "Bad value", 141, 0, "abc"},
        {"12abc", "sec", '.', kNoGood, "Bad value", 141, 0, "12abc"},
        {"  5 ", "sec", '.', "", "", 0, 5, "5"},
        {"+5", "sec", '.', "", "", 0, 5, "+5"},
        {"-5", "sec", '.', "", "", 0, -5, "-5"},  // runs, and never reaches its target
        {"5.5", "sec", '.', "", "", 0, 6, "5.5"},
        {"4.5", "min", '.', "", "", 0, 240, "4.5"},
        {"5,5", "sec", '.', kNoGood, "Bad value", 141, 0, "5,5"},
        {"5,5", "sec", ',', "", "", 0, 6, "5,5"},
        {"5.5", "sec", ',', kNoGood, "Bad value", 141, 0, "5.5"},
        {"1e1", "hour", '.', "", "", 0, 36000, "1e1"},
        {"1E400", "sec", '.', kNoGood, "Bad value", 141, 0, "1E400"},
        {"99999999999", "sec", '.', kNoGood, "Bad value", 141, 0, "99999999999"},
        {"-99999999999", "sec", '.', kNoGood, "Bad value", 141, 0, "-99999999999"},
        {"0", "sec", '.', kZero, "Wrong value", 134, 0, "0"},
        {"-0.4", "sec", '.', kZero, "Wrong value", 134, 0, "-0.4"},
        {"60.5", "sec", '.', "", "", 0, 60, "60.5"},
        {"60.6", "sec", '.', kBig, "Bad value", 140, 0, "60.6"},
        {"&H10", "sec", '.', kNoGood, "Bad value", 141, 0, "&H10"},
        {"&O7", "sec", '.', kNoGood, "Bad value", 141, 0, "&O7"},
        {kFullWidthFive, "sec", '.', kNoGood, "Bad value", 141, 0, kFullWidthFive.c_str()},
        {kArabicThree, "sec", '.', kNoGood, "Bad value", 141, 0, kArabicThree.c_str()},
        {kEmoji, "sec", '.', kNoGood, "Bad value", 141, 0, kEmoji.c_str()},
        {kNulAfterFive, "sec", '.', kNoGood, "Bad value", 141, 0, nullptr},
        {kNulAlone, "sec", '.', kNoGood, "Bad value", 141, 0, nullptr},
        {"5", "Sec", '.', "", "", 0, 0, "5"},  // no unit: refused without a word
    };
    for (const Case& c : cases) {
        for (const bool fromRunning : {false, true}) {
            const std::string what = "[" + c.text + "] " + c.unit + (fromRunning ? " over a running period" : "");
            const Separator separator(c.separator);
            if (fromRunning) {
                F().SetCaption(Text1, "7");
                F().SetCaption(Combo1, "sec");
                platform.answers = {kYes};
                Run(&Form1::Command2_Click);
                for (int i = 0; i < 3; ++i) Run(&Form1::Timer1_Timer);
                ASSERT_TRUE(F().Enabled(Timer1));
                platform.answers = {kYes};
            } else {
                platform.answers.clear();
                F().SetEnabled(Timer1, false);
                F().SetBackColor(Text1, kRed);
                F().SetBackColor(Combo1, kRed);
            }
            const bool wasRunning = F().Enabled(Timer1);
            const Color wasColor = F().BackColor(Text1);
            const int32_t wasTarget = f.checkPeriod().lngTickTarget(), wasCount = f.checkPeriod().lngTickCount();
            platform.boxes.clear();
            platform.audio.sounds.clear();
            const int samples = platform.samples;

            F().SetCaption(Text1, c.text);
            F().SetCaption(Combo1, c.unit);
            Run(&Form1::Command2_Click);

            EXPECT_FALSE(platform.ended) << what;
            EXPECT_EQ(platform.samples, samples + 1) << what;  // the Update runs before the checks
            if (c.shown) {
                EXPECT_EQ(F().Caption(Text1), c.shown) << what;
            }
            const size_t question = fromRunning ? 1 : 0;
            if (*c.box) {
                ASSERT_EQ(platform.boxes.size(), question + 1) << what;
                EXPECT_EQ(platform.boxes.back().text, c.box) << what;
                EXPECT_EQ(platform.boxes.back().title, c.title) << what;
                EXPECT_EQ(platform.boxes.back().style, kOkOnly | kExclamation) << what;
            } else {
                EXPECT_EQ(platform.boxes.size(), question) << what;
            }
            EXPECT_EQ(Played(platform.audio), Pair(c.fault)) << what;
            const bool accepted = !*c.box && std::string(c.unit) != "Sec";
            if (accepted) {
                EXPECT_TRUE(F().Enabled(Timer1)) << what;
                EXPECT_EQ(f.checkPeriod().lngTickTarget(), c.target) << what;
                EXPECT_EQ(f.checkPeriod().lngTickCount(), 0) << what;
                EXPECT_EQ(F().BackColor(Text1), kGreen) << what;
            } else {
                EXPECT_EQ(F().Enabled(Timer1), wasRunning) << what;
                EXPECT_EQ(F().BackColor(Text1), wasColor) << what;
                if (wasRunning) {
                    EXPECT_EQ(f.checkPeriod().lngTickTarget(), wasTarget) << what;
                    EXPECT_EQ(f.checkPeriod().lngTickCount(), wasCount) << what;
                }
            }
            EXPECT_EQ(F().BackColor(Combo1), F().BackColor(Text1)) << what;
        }
    }
    // The restored period keeps counting where it stood: 7 - 3 ticks to go.
    F().SetCaption(Text1, "7");
    F().SetCaption(Combo1, "sec");
    platform.answers = {kYes};
    Run(&Form1::Command2_Click);
    for (int i = 0; i < 3; ++i) Run(&Form1::Timer1_Timer);
    platform.answers = {kYes};
    F().SetCaption(Text1, "x");
    Run(&Form1::Command2_Click);
    const int samples = platform.samples;
    for (int i = 0; i < 3; ++i) Run(&Form1::Timer1_Timer);
    EXPECT_EQ(platform.samples, samples);
    Run(&Form1::Timer1_Timer);
    EXPECT_EQ(platform.samples, samples + 1);
}

// The warning entry (options window Text1, then Set). Before each entry a
// warning of 100 Mb was set and turned off, so Label9 still shows it and the
// threshold still holds it: a refused entry must leave both as they were.
TEST_P(BadInputTest, WarningEntries) {
    struct Case {
        std::string text;
        char separator;
        const char* box;    // "" when accepted
        const char* after;  // Text1 afterwards
        int16_t mb;         // threshold when accepted
        bool pair;          // refused with sounds 132 and 134
    };
    const char* kEmpty = "Please insert a Megabyte value";
    const char* kNotNumber = "Please use a number for amount of RAM!";
    const char* kInvalid = "Invalid value please try again";
    const char* kTooBig = "Your inserted Mb value is bigger or equal to 150 Mb, The value must be lower, try again";
    const Case cases[] = {
        {"", '.', kEmpty, "", 0, false},
        {"   ", '.', kNotNumber, "", 0, false},
        {"abc", '.', kNotNumber, "", 0, false},
        {" 120 ", '.', "", " 120 ", 120, false},
        {"+120", '.', "", "+120", 120, false},
        {"-5", '.', "", "-5", -5, false},
        {"-32768", '.', "", "-32768", -32768, false},
        {"99.5", '.', "", "99.5", 100, false},
        {"100.5", '.', "", "100.5", 100, false},
        {"5,5", '.', kNotNumber, "", 0, false},
        {"5,5", ',', "", "5,5", 6, false},
        {"5.5", ',', kNotNumber, "", 0, false},
        {"1e1", '.', "", "1e1", 10, false},
        {"1E400", '.', kNotNumber, "", 0, false},
        {"99999999999", '.', kInvalid, "99999999999", 0, true},
        {"32768", '.', kInvalid, "32768", 0, true},
        {"-32769", '.', kInvalid, "-32769", 0, true},
        {"150", '.', kTooBig, "150", 0, false},
        {"149.5", '.', kTooBig, "149.5", 0, false},
        {"&H10", '.', kNotNumber, "", 0, false},
        {"&O7", '.', kNotNumber, "", 0, false},
        {kFullWidthFive, '.', kNotNumber, "", 0, false},
        {kArabicThree, '.', kNotNumber, "", 0, false},
        {kEmoji, '.', kNotNumber, "", 0, false},
        {kNulAfterFive, '.', kNotNumber, "", 0, false},
        {kNulAlone, '.', kNotNumber, "", 0, false},
    };
    for (const Case& c : cases) {
        const std::string what = "[" + c.text + "]";
        const Separator separator(c.separator);
        InOptions([&](frmOptions& o) {
            Form& w = o.form();
            w.SetCaption(opt::Text1, "100");
            o.Command4_Click();
            o.Command5_Click();
            ASSERT_EQ(f.warning().intWarnMb(), 100);
            platform.boxes.clear();
            platform.audio.sounds.clear();
            static_cast<fake::FakeForm&>(w).focus = -1;

            w.SetCaption(opt::Text1, c.text);
            o.Command4_Click();

            EXPECT_EQ(w.Caption(opt::Text1), c.after) << what;
            if (*c.box) {
                ASSERT_EQ(platform.boxes.size(), 1u) << what;
                EXPECT_EQ(platform.boxes[0].text, c.box) << what;
                EXPECT_EQ(platform.boxes[0].title, "Veltrane") << what;
                EXPECT_EQ(platform.boxes[0].style, kOkOnly) << what;
                EXPECT_EQ(Played(platform.audio), Pair(c.pair ? 134 : 0)) << what;
                EXPECT_EQ(static_cast<fake::FakeForm&>(w).focus, c.pair ? -1 : opt::Text1) << what;
                EXPECT_EQ(f.warning().intWarnMb(), 100) << what;
                EXPECT_FALSE(f.warning().blnWarnSet()) << what;
                EXPECT_EQ(w.Caption(opt::Label7), "Off") << what;
                EXPECT_EQ(w.Caption(opt::Label9), "100 Mb") << what;
                EXPECT_TRUE(w.Enabled(opt::Command4)) << what;
                EXPECT_FALSE(w.Enabled(opt::Command5)) << what;
                EXPECT_FALSE(F().Enabled(Timer3)) << what;
                EXPECT_EQ(F().BackColor(Command5), kColorButtonFace) << what;
            } else {
                ASSERT_EQ(platform.boxes.size(), 2u) << what;
                EXPECT_EQ(platform.boxes[1].title, "Message 2/2") << what;
                EXPECT_EQ(Played(platform.audio), (Sound() ? Calls{{127, kPlay}} : Calls{})) << what;
                EXPECT_EQ(f.warning().intWarnMb(), c.mb) << what;
                EXPECT_TRUE(f.warning().blnWarnSet()) << what;
                EXPECT_EQ(w.Caption(opt::Label7), "On") << what;
                EXPECT_EQ(w.Caption(opt::Label9), std::to_string(c.mb) + " Mb") << what;
                EXPECT_FALSE(w.Enabled(opt::Command4)) << what;
                EXPECT_TRUE(F().Enabled(Timer3)) << what;
                EXPECT_EQ(F().BackColor(Command5), kRed) << what;
                o.Command5_Click();
            }
        });
        EXPECT_FALSE(platform.ended) << what;
    }
}

// The four settings read at start-up. A value that does not convert stops
// the start with the report, before anything is added or written; then that
// value alone is forgotten, so that the next start reads its default.
TEST(BadStoredSetting, EachGivesItsReportOrItsValue) {
    struct Case {
        const char* key;
        std::string value;
        char separator;
        int error;       // 0: the program starts
        int32_t leftPx;  // where the window stands when it starts
        int32_t topPx;
        bool sound;
        int16_t tema;
    };
    const Case cases[] = {
        {"left", "abc", '.', 13},
        {"left", "", '.', 13},
        {"left", "1.5", '.', 0, 2, 0, true, 0},
        {"left", "2.5", '.', 0, 2, 0, true, 0},
        {"left", "1,5", '.', 13},
        {"left", "1,5", ',', 0, 2, 0, true, 0},
        {"left", "1.5", ',', 13},
        {"left", "  7 ", '.', 0, 7, 0, true, 0},
        {"left", "True", '.', 13},
        {"left", "99999999999", '.', 6},
        {"left", "2147483648", '.', 6},
        {"left", "143165577", '.', 6},  // 15 times that leaves 32 bits
        {"left", "-1", '.', 0, -1, 0, true, 0},
        {"left", "-32769", '.', 0, 0, 0, true, 0},  // on no monitor: the work area's corner
        {"left", kFullWidthFive, '.', 13},
        {"top", "abc", '.', 13},
        {"top", "", '.', 13},
        {"top", "1.5", '.', 0, 0, 2, true, 0},
        {"top", "1,5", '.', 13},
        {"top", "  7 ", '.', 0, 0, 7, true, 0},
        {"top", "True", '.', 13},
        {"top", "99999999999", '.', 6},
        {"top", "2147483648", '.', 6},
        {"top", "-1", '.', 0, 0, -1, true, 0},
        {"top", "-32769", '.', 0, 0, 0, true, 0},
        {"sound", "abc", '.', 13},
        {"sound", "", '.', 13},
        {"sound", "1.5", '.', 0, 0, 0, true, 0},
        {"sound", "1,5", '.', 13},
        {"sound", "0,0", ',', 0, 0, 0, false, 0},
        {"sound", "  7 ", '.', 0, 0, 0, true, 0},
        {"sound", "True", '.', 0, 0, 0, true, 0},
        {"sound", " false ", '.', 0, 0, 0, false, 0},
        {"sound", "0.0", '.', 0, 0, 0, false, 0},
        {"sound", "99999999999", '.', 0, 0, 0, true, 0},
        {"sound", "2147483648", '.', 0, 0, 0, true, 0},
        {"sound", "-1", '.', 0, 0, 0, true, 0},
        {"sound", "-32769", '.', 0, 0, 0, true, 0},
        {"sound", kNulAfterFive, '.', 13},
        {"tema", "abc", '.', 13},
        {"tema", "", '.', 13},
        {"tema", "1.5", '.', 0, 0, 0, true, 2},
        {"tema", "1,5", '.', 13},
        {"tema", "  3 ", '.', 0, 0, 0, true, 3},
        {"tema", "  7 ", '.', 5},  // no such theme: the first Update finds no icon
        {"tema", "True", '.', 13},
        {"tema", "99999999999", '.', 6},
        {"tema", "2147483648", '.', 6},
        {"tema", "32768", '.', 6},
        {"tema", "-1", '.', 0, 0, 0, true, -1},  // the default icon stays
        {"tema", "-32769", '.', 6},
    };
    for (const Case& c : cases) {
        const std::string what = std::string(c.key) + "=[" + c.value + "] with '" + c.separator + "'";
        const Separator separator(c.separator);
        fake::FakePlatform p;
        AddSounds(p);
        Form1 form(p);
        Store(p, c.key, c.value);
        const auto stored = p.settings;
        p.Dispatch([&] { form.Start(); });

        EXPECT_TRUE(p.writes.empty()) << what;
        auto kept = stored;
        if (c.error) kept.erase(std::string("veltrane\\startup\\") + c.key);
        EXPECT_EQ(p.settings, kept) << what;
        EXPECT_EQ(p.deletions.size(), c.error ? 1u : 0u) << what;
        EXPECT_EQ(p.ended, c.error != 0) << what;
        if (c.error) {
            ASSERT_EQ(p.boxes.size(), 1u) << what;
            EXPECT_EQ(p.boxes[0].text,
                      "Error number: " + std::to_string(c.error) + "\rDescription: " + ErrorDescription(c.error))
                << what;
            EXPECT_EQ(p.boxes[0].title, "Error") << what;
            EXPECT_EQ(p.boxes[0].style, kOkOnly | kCritical) << what;
            // The pair plays only once "sound" has been read as on: for a bad
            // "Tema", and for a position whose product with 15 overflows (it is
            // taken after all four reads).
            const auto number = ParseNumber(c.value);
            const bool productOverflows = c.error == 6 && number && std::fabs(*number) < 2147483648.0;
            const bool soundRead = std::string(c.key) == "tema" || productOverflows;
            const Calls played = Played(p.audio);
            const Calls pair{{132, kWait}, {134, kWait}};
            EXPECT_EQ(played.size() >= 2 && Calls(played.end() - 2, played.end()) == pair, soundRead) << what;
            EXPECT_FALSE(p.shell.icon.has_value()) << what;  // no icon left behind
        } else {
            EXPECT_TRUE(p.boxes.empty()) << what;
            EXPECT_EQ(form.form().Left(), c.leftPx * 15) << what;
            EXPECT_EQ(form.form().Top(), c.topPx * 15) << what;
            EXPECT_EQ(form.sound().blnSound(), c.sound) << what;
            EXPECT_EQ(form.tray().intTema(), c.tema) << what;
            EXPECT_EQ(form.form().Caption(mnuSoff), c.sound ? "Turn Off Sound" : "Turn On Sound") << what;
            EXPECT_TRUE(form.form().Visible()) << what;
        }
    }
}

// A start that failed on a stored value is reported once: the value is
// forgotten, the others kept, and the next start opens with its default
// (before, the program would never start again).
TEST(BadStoredSetting, TheNextStartOpensWithTheDefault) {
    const struct {
        const char* key;
        const char* value;
        int error;
        const char* forgotten;  // as the settings spell it
        const char* other;      // a good value stored beside it
    } cases[] = {
        {"tema", "99999", 6, "Tema", "left"},
        {"tema", "6", 5, "Tema", "left"},
        {"left", "143165577", 6, "Left", "top"},
        {"top", "letters", 13, "top", "left"},
        {"sound", "maybe", 13, "sound", "left"},
    };
    for (const auto& c : cases) {
        fake::FakePlatform p;
        Store(p, c.key, c.value);
        Store(p, c.other, "40");
        {
            Form1 form(p);
            p.Dispatch([&] { form.Start(); });
            ASSERT_EQ(p.boxes.size(), 1u) << c.key;
            EXPECT_EQ(p.boxes[0].text.rfind("Error number: " + std::to_string(c.error) + "\r", 0), 0u) << c.key;
            EXPECT_EQ(p.deletions, std::vector<std::string>{c.forgotten}) << c.key;
        }
        Form1 again(p);
        p.ended = false;
        p.boxes.clear();
        p.Dispatch([&] { again.Start(); });
        EXPECT_FALSE(p.ended) << c.key;
        EXPECT_TRUE(p.boxes.empty()) << c.key;
        EXPECT_TRUE(again.form().Visible()) << c.key;
        EXPECT_EQ(p.settings.count(std::string("veltrane\\startup\\") + c.other), 1u) << c.key;  // the other stays
    }
}

// The two entry rules on their own, without a window: what each entry comes to.
TEST(EntryRules, CheckRowGivesItsPeriodOrTheRefusal) {
    const struct {
        const char* amount;
        const char* unit;
        int32_t ticks;  // -1: no such unit
        Fault fault;    // None: accepted
    } cases[] = {
        {"5", "sec", 5, Fault::None},     {"2", "min", 120, Fault::None},   {"60", "hour", 216000, Fault::None},
        {"-5", "sec", -5, Fault::None},   {"3", "days", -1, Fault::None},   {"0", "min", 0, Fault::Zero},
        {"61", "sec", 0, Fault::TooBig},  {"x", "sec", 0, Fault::NotNumber}, {"", "hour", 0, Fault::NotNumber},
        {"1e10", "sec", 0, Fault::NotNumber},
    };
    for (const auto& c : cases) {
        const auto entry = ParseCheckRow(c.amount, c.unit);
        if (c.fault != Fault::None) {
            ASSERT_TRUE(std::holds_alternative<Refusal>(entry)) << c.amount;
            EXPECT_EQ(std::get<Refusal>(entry).fault, c.fault) << c.amount;
            continue;
        }
        ASSERT_TRUE(std::holds_alternative<CheckEntry>(entry)) << c.amount;
        const CheckEntry& row = std::get<CheckEntry>(entry);
        EXPECT_EQ(row.ticks.value_or(-1), c.ticks) << c.amount << " " << c.unit;
    }
}

TEST(EntryRules, WarningEntryGivesItsThresholdOrTheRefusal) {
    const struct {
        const char* text;
        int16_t mb;  // 0: refused
        const char* box;
        bool clear, focus;
    } cases[] = {
        {"100", 100, "", false, false},
        {" 7 ", 7, "", false, false},
        {"", 0, "Please insert a Megabyte value", false, true},
        {"abc", 0, "Please use a number for amount of RAM!", true, true},
        {"512", 0, "Your inserted Mb value is bigger or equal to 512 Mb, The value must be lower, try again", false,
         true},
        {"40000", 0, "Invalid value please try again", false, false},
    };
    for (const auto& c : cases) {
        const auto entry = ParseWarningEntry(c.text, 512'400, "Veltrane");
        if (c.mb != 0) {
            ASSERT_TRUE(std::holds_alternative<int16_t>(entry)) << c.text;
            EXPECT_EQ(std::get<int16_t>(entry), c.mb);
            continue;
        }
        ASSERT_TRUE(std::holds_alternative<Refusal>(entry)) << c.text;
        const Refusal& r = std::get<Refusal>(entry);
        EXPECT_EQ(r.text, c.box);
        EXPECT_EQ(r.title, "Veltrane");
        EXPECT_EQ(r.clearEntry, c.clear) << c.text;
        EXPECT_EQ(r.focusEntry, c.focus) << c.text;
    }
}

}  // namespace
}  // namespace vt
