// The check period, the low-memory warning and the options window.
#include "sound_fixture.h"
#include "ui/options_window.h"

namespace vt {
namespace {

using namespace form1;
namespace opt = frm_options;

void Store(fake::FakePlatform& p, const std::string& key, const std::string& value) {
    p.settings["veltrane\\startup\\" + key] = value;
}

class MonitorTest : public Form1Test {
protected:
    explicit MonitorTest(bool sound = false) {
        AddSounds(platform);
        Store(platform, "sound", sound ? "1" : "0");
        SetMemoryKb(4'000'000, 150'500);
        Start();
        platform.audio.sounds.clear();
    }
    Form& F() { return f.form(); }
    void Set(const std::string& amount, const std::string& unit) {
        F().SetCaption(Text1, amount);
        F().SetCaption(Combo1, unit);
        Run(&Form1::Command2_Click);
    }
    std::string LastBox() { return platform.boxes.empty() ? "" : platform.boxes.back().text; }
    // Runs the user's steps inside the modal options window.
    void InOptions(const std::function<void(frmOptions&)>& steps) {
        platform.onModal = [&](fake::FakeForm& form) { platform.Dispatch([&] { steps(*f.options()); }); (void)form; };
        Run(&Form1::Command4_Click);
        platform.onModal = nullptr;
    }
    void SetWarning(const std::string& entry) {
        InOptions([&](frmOptions& o) {
            o.form().SetCaption(opt::Text1, entry);
            o.Command4_Click();
        });
    }
};

class MonitorWithSoundTest : public MonitorTest {
protected:
    MonitorWithSoundTest() : MonitorTest(true) {}
};

TEST_F(MonitorTest, CheckRowAcceptsOneToSixtyAndRejectsTheRest) {
    struct Case {
        const char* amount;
        const char* unit;
        const char* box;  // "" when none
        bool running;
        int32_t target;
    };
    const Case cases[] = {
        {"0", "sec", "Value can not be 0", false, 0},
        {"0.4", "sec", "Value can not be 0", false, 0},
        {"60", "min", "", true, 3600},
        {"60.5", "sec", "", true, 60},  // halves go to the even neighbour
        {"2.5", "sec", "", true, 2},
        {"61", "sec", "Value must be lower then 61", false, 0},
        {"-3", "sec", "", true, -3},
        {"abc", "sec", "Value no good", false, 0},
        {"", "sec", "Value no good", false, 0},
        {"99999999999", "sec", "Value no good", false, 0},
        {" 5 ", "hour", "", true, 18000},
        {"5", "Min", "", false, 0},  // not a unit: nothing more happens
    };
    for (const Case& c : cases) {
        F().SetEnabled(Timer1, false);
        F().SetBackColor(Text1, kRed);
        F().SetBackColor(Combo1, kRed);
        platform.boxes.clear();
        const int samples = platform.samples;
        Set(c.amount, c.unit);
        EXPECT_EQ(LastBox(), c.box) << c.amount;
        EXPECT_EQ(F().Enabled(Timer1), c.running) << c.amount;
        EXPECT_EQ(F().BackColor(Text1), c.running ? kGreen : kRed) << c.amount;
        EXPECT_EQ(F().BackColor(Combo1), F().BackColor(Text1));
        if (c.running) {
            EXPECT_EQ(f.checkPeriod().lngTickTarget(), c.target) << c.amount;
        }
        EXPECT_EQ(platform.samples, samples + 1) << c.amount;  // the Update runs first
    }
    EXPECT_EQ(F().Caption(Text1), "5");  // trimmed in place
}

TEST_F(MonitorWithSoundTest, CheckRowErrorsPlayTheirPairBeforeTheBox) {
    for (auto [amount, fault] : {std::pair{"0", 134}, {"61", 140}, {"x", 141}}) {
        platform.audio.sounds.clear();
        Set(amount, "sec");
        EXPECT_EQ(Played(platform.audio), (Calls{{132, kWait}, {fault, kWait}})) << amount;
        EXPECT_EQ(platform.boxes.back().style, kOkOnly | kExclamation);
    }
}

TEST_F(MonitorTest, TicksRunAnUpdateEveryPeriod) {
    Set("2", "sec");
    const int samples = platform.samples;
    Run(&Form1::Timer1_Timer);
    EXPECT_EQ(platform.samples, samples);
    Run(&Form1::Timer1_Timer);
    EXPECT_EQ(platform.samples, samples + 1);
    EXPECT_EQ(F().ForeColor(Label1), kRed);
    EXPECT_EQ(F().ForeColor(Label4), kRed);
    EXPECT_TRUE(F().Enabled(Timer2));
    EXPECT_EQ(f.checkPeriod().lngTickCount(), 0);

    Set("60", "hour");
    const int before = platform.samples;
    for (int i = 0; i < 216000; ++i) f.Timer1_Timer();
    EXPECT_EQ(platform.samples, before + 1);
}

TEST_F(MonitorTest, RunningPeriodQuestion) {
    Set("1", "min");
    for (int i = 0; i < 17; ++i) f.Timer1_Timer();
    platform.answers = {kNo};
    const int samples = platform.samples;
    Set("5", "sec");
    EXPECT_EQ(platform.boxes.back().text, "Timer is running, are you sure you want to set a new time?");
    EXPECT_EQ(platform.boxes.back().title, "No time?");
    EXPECT_EQ(platform.boxes.back().style, kYesNo);
    EXPECT_EQ(platform.samples, samples);  // No: untouched, counter included
    EXPECT_EQ(f.checkPeriod().lngTickTarget(), 60);
    EXPECT_EQ(f.checkPeriod().lngTickCount(), 17);
    EXPECT_TRUE(F().Enabled(Timer1));

    platform.answers = {kYes};
    Set("0", "sec");  // Yes, then a refused number: the running period goes on as it was
    EXPECT_TRUE(F().Enabled(Timer1));
    EXPECT_EQ(f.checkPeriod().lngTickTarget(), 60);
    EXPECT_EQ(f.checkPeriod().lngTickCount(), 17);
    EXPECT_EQ(F().BackColor(Text1), kGreen);

    platform.answers = {kYes};
    Set("3", "sec");
    EXPECT_EQ(f.checkPeriod().lngTickTarget(), 3);
    const size_t boxes = platform.boxes.size();
    const int updates = platform.samples;
    Set("3", "Off");  // no question, no Update
    EXPECT_EQ(platform.boxes.size(), boxes);
    EXPECT_EQ(platform.samples, updates);
    EXPECT_FALSE(F().Enabled(Timer1));
    EXPECT_EQ(F().BackColor(Combo1), kRed);
}

TEST_F(MonitorTest, FocusSelectsTheWholeNumber) {
    F().SetCaption(Text1, "42");
    platform.Dispatch([&] { f.GotFocus(Text1); });
    const auto& state = static_cast<fake::FakeForm&>(F()).At(Text1);
    EXPECT_EQ(state.selStart, 0);
    EXPECT_EQ(state.selLength, 2);
}

TEST(FreeMbFigure, ThousandsRoundedToEvenInThirtyTwoBits) {
    EXPECT_EQ(FreeMbFigure(150'500), 150);
    EXPECT_EQ(FreeMbFigure(151'500), 152);
    EXPECT_EQ(FreeMbFigure(150'499), 150);
    EXPECT_EQ(FreeMbFigure(40'000'000), 40000);  // 40 GB free, beyond 16 bits
}

TEST_F(MonitorTest, WarningEntryChecks) {
    struct Case {
        const char* entry;
        const char* box;
        const char* textAfter;
    };
    const Case cases[] = {
        {"", "Please insert a Megabyte value", ""},
        {"abc", "Please use a number for amount of RAM!", ""},
        {"   ", "Please use a number for amount of RAM!", ""},
        {"150", "Your inserted Mb value is bigger or equal to 150 Mb, The value must be lower, try again", "150"},
        {"149.5", "Your inserted Mb value is bigger or equal to 150 Mb, The value must be lower, try again", "149.5"},
        {"40000", "Invalid value please try again", "40000"},
    };
    for (const Case& c : cases) {
        std::string after;
        InOptions([&](frmOptions& o) {
            o.form().SetCaption(opt::Text1, c.entry);
            o.Command4_Click();
            after = o.form().Caption(opt::Text1);
        });
        EXPECT_EQ(LastBox(), c.box) << c.entry;
        EXPECT_EQ(platform.boxes.back().style, kOkOnly);
        EXPECT_EQ(after, c.textAfter) << c.entry;
        EXPECT_FALSE(f.warning().blnWarnSet()) << c.entry;
        EXPECT_FALSE(F().Enabled(Timer3));
    }
}

TEST_F(MonitorWithSoundTest, SettingAWarningArmsTheMonitorInOrder) {
    std::string label7, label9;
    bool setEnabled = true, offEnabled = false;
    InOptions([&](frmOptions& o) {
        o.form().SetCaption(opt::Text1, " 100 ");
        o.Command4_Click();
        label7 = o.form().Caption(opt::Label7);
        label9 = o.form().Caption(opt::Label9);
        setEnabled = o.form().Enabled(opt::Command4);
        offEnabled = o.form().Enabled(opt::Command5);
    });
    ASSERT_EQ(platform.boxes.size(), 2u);
    EXPECT_EQ(platform.boxes[0].title, "Message 1/2");
    EXPECT_EQ(platform.boxes[0].style, kOkOnly | kInformation);
    EXPECT_EQ(platform.boxes[0].text,
              "Press the Ok button to hear the Warningsound that will sound \rwhen the program gets to your inserted "
              "value. ");
    EXPECT_EQ(platform.boxes[1].title, "Message 2/2");
    EXPECT_NE(platform.boxes[1].text.find("If you don\u00B4t have a soundcard"), std::string::npos);
    EXPECT_EQ(Played(platform.audio), (Calls{{127, kPlay}}));
    EXPECT_EQ(f.warning().intWarnMb(), 100);
    EXPECT_TRUE(f.warning().blnWarnSet());
    EXPECT_EQ(label7, "On");
    EXPECT_EQ(label9, "100 Mb");
    EXPECT_FALSE(setEnabled);
    EXPECT_TRUE(offEnabled);
    EXPECT_EQ(F().BackColor(Command5), kRed);
    EXPECT_TRUE(F().Enabled(Timer3));
}

TEST_F(MonitorWithSoundTest, EqualityFiresTheAlarmUntilAClickOnTheSurface) {
    SetWarning("100");
    Run(&Form1::Command3_Click);  // hidden in the tray
    platform.audio.sounds.clear();
    platform.currentPid = 7;
    platform.processes = {{7, "Veltrane.exe", 9ull << 30},
                          {20, "chrome.exe", 3'382'286'746ull},
                          {21, "Code.exe", 1'288'490'189ull},
                          {22, "", 8ull << 30},  // the system gives it no name
                          {23, "Teams.exe", 966'367'641ull},
                          {24, "notepad.exe", 4ull << 20}};
    EXPECT_TRUE(platform.shell.balloons.empty());  // the list is taken only when the warning fires
    EXPECT_EQ(platform.processTables, 0);
    SetMemoryKb(4'000'000, 100'400);
    Run(&Form1::Timer3_Timer);
    ASSERT_EQ(platform.shell.balloons.size(), 1u);
    EXPECT_EQ(platform.shell.balloons[0].title, "Veltrane: memory is low");
    EXPECT_EQ(platform.shell.balloons[0].text, "100 Mb free. Largest: chrome.exe 3.1 GB, Code.exe 1.2 GB, Teams.exe 921 MB");
    EXPECT_TRUE(F().Visible());
    EXPECT_FALSE(F().Enabled(Timer3));
    EXPECT_EQ(Played(platform.audio), (Calls{{127, kLoop}}));
    EXPECT_TRUE(f.warning().blnAlarmOn());
    Run(&Form1::Timer3_Timer);  // fired: nothing more
    EXPECT_EQ(platform.audio.sounds.size(), 1u);

    const size_t boxes = platform.boxes.size();
    platform.Dispatch([&] { f.MouseDown(kForm, MouseButton::Left); });  // a press that did not move
    ASSERT_EQ(platform.boxes.size(), boxes + 1);
    EXPECT_EQ(platform.boxes.back().text, "The RAM Mb have been reached");
    EXPECT_EQ(platform.boxes.back().title, "RAM Mb Warning Finished");
    EXPECT_EQ(platform.audio.sounds.back().address, nullptr);  // stopped
    EXPECT_EQ(F().ForeColor(Label2), kWhite);
    EXPECT_EQ(f.warning().intWarnMb(), 0);
    EXPECT_TRUE(f.warning().blnWarnSet());  // still "On", with 0 Mb
    Run(&Form1::Form_Click);
    EXPECT_EQ(platform.boxes.size(), boxes + 1);  // an ordinary click now does nothing

    std::string label7, label9;
    InOptions([&](frmOptions& o) {
        label7 = o.form().Caption(opt::Label7);
        label9 = o.form().Caption(opt::Label9);
    });
    EXPECT_EQ(label7, "On");
    EXPECT_EQ(label9, "0 Mb");
}

TEST_F(MonitorTest, WithSoundOffTheAlarmIsAMessageBox) {
    SetWarning("100");
    EXPECT_TRUE(platform.audio.sounds.empty());
    SetMemoryKb(4'000'000, 90'000);
    size_t balloonsAtTheBox = 0;
    platform.onMsgBox = [&] { balloonsAtTheBox = platform.shell.balloons.size(); };
    Run(&Form1::Timer3_Timer);
    EXPECT_EQ(balloonsAtTheBox, 1u);  // up while the box waits
    EXPECT_EQ(platform.shell.balloons.at(0).text, "90 Mb free.");  // the fake lists no process
    EXPECT_EQ(LastBox(), "The RAM Mb have been reached");
    EXPECT_FALSE(f.warning().blnAlarmOn());
    EXPECT_FALSE(f.warning().blnWarnFired());
    EXPECT_EQ(f.warning().intWarnMb(), 0);
}

TEST_F(MonitorWithSoundTest, TurningOffDuringTheAlarmLeavesItPending) {
    SetWarning("100");
    SetMemoryKb(4'000'000, 50'000);
    Run(&Form1::Timer3_Timer);
    InOptions([&](frmOptions& o) { o.Command5_Click(); });
    EXPECT_EQ(LastBox(), "Warning stopped");
    EXPECT_EQ(platform.audio.sounds.back().address, nullptr);
    EXPECT_FALSE(f.warning().blnWarnSet());
    EXPECT_EQ(F().BackColor(Command5), kColorButtonFace);
    EXPECT_TRUE(f.warning().blnAlarmOn());
    Run(&Form1::Form_Click);
    EXPECT_EQ(LastBox(), "The RAM Mb have been reached");
}

// While the acknowledgement's box is open the options window opens from the
// tray's menu, and a warning set anew there stays as it was set: the box's
// return does not clear it.
TEST_F(MonitorTest, WarningSetAnewWhileTheAcknowledgementShowsStaysSet) {
    SetWarning("100");
    SetMemoryKb(4'000'000, 90'000);
    bool setAnew = false;
    platform.onMsgBox = [&] {
        if (setAnew || LastBox() != "The RAM Mb have been reached") return;
        setAnew = true;
        InOptions([&](frmOptions& o) {
            o.Command5_Click();  // Turn off warning
            o.form().SetCaption(opt::Text1, "50");
            o.Command4_Click();  // Set
        });
    };
    Run(&Form1::Timer3_Timer);  // sound off: the box comes at once
    platform.onMsgBox = nullptr;
    ASSERT_TRUE(setAnew);
    EXPECT_EQ(f.warning().intWarnMb(), 50);
    EXPECT_TRUE(f.warning().blnWarnSet());
    EXPECT_FALSE(f.warning().blnWarnFired());
    EXPECT_TRUE(F().Enabled(Timer3));
    SetMemoryKb(4'000'000, 40'000);
    Run(&Form1::Timer3_Timer);  // and it fires
    EXPECT_EQ(LastBox(), "The RAM Mb have been reached");
}

TEST_F(MonitorTest, LargeMachinesCanSetAndWatchAWarning) {
    SetMemoryKb(64'000'000, 40'000'000);  // 40,000 MB free
    Run(&Form1::Command1_Click);
    SetWarning("30000");
    EXPECT_TRUE(f.warning().blnWarnSet());
    EXPECT_EQ(f.warning().intWarnMb(), 30000);
    Run(&Form1::Timer3_Timer);
    EXPECT_FALSE(platform.ended);
    EXPECT_FALSE(f.warning().blnAlarmOn());
}

TEST_F(MonitorTest, OptionsWindowShowsTheLastSampleAndTheThemeTabFirst) {
    std::string label5;
    uintptr_t preview = 0;
    InOptions([&](frmOptions& o) {
        label5 = o.form().Caption(opt::Label5);
        preview = static_cast<fake::FakeForm&>(o.form()).pictureIcons[opt::Image1];
        EXPECT_EQ(o.intPreviewFrame, 4);
        EXPECT_FALSE(o.form().Enabled(opt::Timer1));
    });
    EXPECT_EQ(label5, "You have 150 Mb free now");
    EXPECT_EQ(preview, 108);
}

TEST_F(MonitorTest, PreviewFramesAndLabelsPerTheme) {
    struct Cycle {
        int16_t tema;
        std::vector<int> icons;  // per tick, 0 where the picture stays
    };
    const Cycle cycles[] = {
        {1, {104, 105, 106, 107, 108, 109, 110, 111, 112, 113, 104}},
        {2, {114, 115, 116, 117, 118, 119, 120, 121, 122, 123, 114}},
        {3, {124, 125, 126, 127, 128, 129, 130, 131, 132, 133, 124}},
        {4, {102, 0, 0, 0, 0, 0, 0, 101, 0, 0, 102}},
        {5, {135, 136, 137, 138, 139, 140, 141, 142, 143, 144, 135}},
    };
    for (const Cycle& c : cycles) {
        InOptions([&](frmOptions& o) {
            auto& form = static_cast<fake::FakeForm&>(o.form());
            o.OptionClick(c.tema);
            EXPECT_TRUE(form.Enabled(opt::Timer1));
            EXPECT_EQ(form.focus, opt::Command2);
            for (size_t tick = 0; tick < c.icons.size(); ++tick) {
                form.pictureIcons.erase(opt::Image1);
                o.Timer1_Timer();
                const int percent = 90 - 10 * static_cast<int>(tick % 10);
                EXPECT_EQ(form.Caption(opt::Label1), std::to_string(percent) + "%") << c.tema << " tick " << tick;
                if (c.icons[tick]) {
                    EXPECT_EQ(form.pictureIcons[opt::Image1], c.icons[tick])
                        << c.tema << " tick " << tick;
                } else {
                    EXPECT_EQ(form.pictureIcons.count(opt::Image1), 0u) << c.tema << " tick " << tick;
                }
            }
            o.Image1_Click();
            EXPECT_FALSE(form.Enabled(opt::Timer1));
        });
    }
}

TEST_F(MonitorTest, PickWithoutTouchingSelectsThemeOneAndDefaultPutsZero) {
    f.tray().SetTema(4);
    int samples = 0;
    InOptions([&](frmOptions& o) {
        samples = platform.samples;
        o.Command2_Click();
    });
    EXPECT_EQ(f.tray().intTema(), 1);
    EXPECT_EQ(platform.settings["veltrane\\startup\\tema"], "1");
    EXPECT_EQ(platform.samples, samples + 1);

    InOptions([&](frmOptions& o) {
        o.form().SetChecked(opt::Option3, true);
        o.Command2_Click();
    });
    EXPECT_EQ(f.tray().intTema(), 3);

    InOptions([&](frmOptions& o) { o.Command1_Click(); });
    EXPECT_EQ(f.tray().intTema(), 0);
    EXPECT_EQ(platform.settings["veltrane\\startup\\tema"], "0");
}

}  // namespace
}  // namespace vt
