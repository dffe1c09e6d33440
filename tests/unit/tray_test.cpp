#include "platform/tray_protocol.h"
#include "sound_fixture.h"
#include "tray/icon_theme.h"

namespace vt {
namespace {

using namespace form1;
using fake::TrayNotification;

std::string Tip(const tray_protocol::TipField& field) { return std::string(field.data(), field.size()); }
std::string Padded(std::string text) { return text.append(64 - text.size(), ' '); }

class TrayTest : public Form1Test {
protected:
    // The shell tells the window about the icon, as its message would.
    void Report(intptr_t report) {
        platform.Dispatch([&] { platform.tray().Report(report); });
    }
    const fake::FakeShell::Icon* Shown() { return platform.shell.icon ? &*platform.shell.icon : nullptr; }
    const std::vector<TrayNotification>& Sent() { return platform.shell.notifications; }
    void Store(const std::string& key, const std::string& value) {
        platform.settings["veltrane\\startup\\" + key] = value;
    }
};

// The text and its NUL go left-aligned into the 64-character field: padded
// with blanks, or cut at 64 characters with no NUL left.
TEST(TrayTip, TheTextAndItsNulPaddedOrCut) {
    const struct {
        std::string text;
        std::string field;
    } cases[] = {
        {"Veltrane", Padded(std::string("Veltrane") + '\0')},
        {"Busy= 75 %", Padded(std::string("Busy= 75 %") + '\0')},
        {"", Padded(std::string(1, '\0'))},
        {std::string(63, 'x'), std::string(63, 'x') + '\0'},
        {std::string(64, 'y'), std::string(64, 'y')},
        {std::string(100, 'z'), std::string(64, 'z')},
    };
    for (const auto& c : cases) EXPECT_EQ(Tip(tray_protocol::MakeTipField(c.text)), c.field) << c.text;
}

TEST_F(TrayTest, StartHooksTheWindowThenAddsTheIconWithTheTitleTip) {
    Start();
    ASSERT_GE(Sent().size(), 2u);
    const TrayNotification& added = Sent()[0];
    EXPECT_EQ(added.message, TrayNotification::Add);
    EXPECT_EQ(added.iconGroup, 1);  // the window's own icon
    EXPECT_EQ(Tip(added.tipField), Padded(std::string("Veltrane") + '\0'));
    EXPECT_TRUE(platform.tray().hooked);

    // The first Update puts the busy text in; theme 0 leaves the picture.
    ASSERT_NE(Shown(), nullptr);
    EXPECT_EQ(Tip(Shown()->tip), Padded(std::string("Busy= 75 %") + '\0'));
    EXPECT_EQ(Shown()->group, 1);
    EXPECT_TRUE(f.tray().Shown());
}

TEST_F(TrayTest, DoubleClickShowsAndUpdatesTwice) {
    AddSounds(platform);
    Start();
    platform.audio.sounds.clear();
    f.form().Hide();
    f.form().SetEnabled(stupid, true);
    const int samples = platform.samples;
    const int passes = platform.doEventsPasses;
    for (intptr_t mouse : {tray_protocol::kLButtonDown, tray_protocol::kLButtonUp, tray_protocol::kLButtonDblClk,
                           tray_protocol::kLButtonUp}) {
        Report(mouse);
    }
    EXPECT_TRUE(f.form().Visible());
    EXPECT_FALSE(f.form().Enabled(stupid));
    EXPECT_EQ(platform.samples, samples + 2);
    EXPECT_EQ(Played(platform.audio), (Calls{{133, kPlay}, {133, kPlay}}));
    EXPECT_EQ(platform.doEventsPasses, passes + 4);  // after each sound and each action

    // With sound off the window comes back in silence.
    f.MenuClick(mnuSoff);  // its confirmation still plays
    const size_t played = platform.audio.sounds.size();
    Report(tray_protocol::kLButtonDown);
    EXPECT_EQ(platform.audio.sounds.size(), played);
    EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(TrayTest, LeftButtonShowsAndRightButtonOpensTheMenu) {
    Start();
    f.form().Hide();
    Report(tray_protocol::kLButtonDown);
    EXPECT_TRUE(f.form().Visible());
    auto& form = static_cast<fake::FakeForm&>(f.form());
    Report(tray_protocol::kRButtonDown);
    Report(tray_protocol::kRButtonUp);  // nothing
    EXPECT_EQ(form.popups, std::vector<int>{mnufile});
}

TEST_F(TrayTest, HoverRefreshesOncePerTimerPeriod) {
    Start();
    const int samples = platform.samples;
    for (int i = 0; i < 50; ++i) Report(tray_protocol::kMouseMove);
    EXPECT_TRUE(f.tray().blnTipPending());
    EXPECT_TRUE(f.form().Enabled(Timer4));
    EXPECT_EQ(platform.samples, samples);  // nothing sampled before the tick

    platform.memory = {0, 1000ull << 20, 400ull << 20};
    Run(&Form1::Timer4_Timer);
    EXPECT_FALSE(f.tray().blnTipPending());
    EXPECT_FALSE(f.form().Enabled(Timer4));
    EXPECT_EQ(platform.samples, samples + 1);
    EXPECT_EQ(Sent().back().message, TrayNotification::Modify);
    EXPECT_EQ(Tip(Shown()->tip).substr(0, 11), std::string("Busy= 60 %") + '\0');

    // Moves during the period were dropped; the next one starts a new cycle.
    Report(tray_protocol::kMouseMove);
    EXPECT_TRUE(f.tray().blnTipPending());
    EXPECT_TRUE(f.form().Enabled(Timer4));
}

TEST(ThemeTable, LevelIsReadFromTheFirstFourCharacters) {
    EXPECT_EQ(ThemeLevel(37.46f), 37);
    EXPECT_EQ(ThemeLevel(9.96f), 10);
    EXPECT_EQ(ThemeLevel(19.5f), 20);
    EXPECT_EQ(ThemeLevel(18.5f), 18);  // halves to the even neighbour
    EXPECT_EQ(ThemeLevel(99.96f), 100);
    EXPECT_EQ(ThemeLevel(100.0f), 100);
}

TEST(ThemeTable, BandsAndTheirIcons) {
    const struct {
        int16_t level;
        int icons[5];
    } rows[] = {
        {0, {113, 123, 133, 101, 144}},   {9, {113, 123, 133, 101, 144}},
        {10, {112, 122, 132, 101, 143}},  {19, {112, 122, 132, 101, 143}},
        {20, {111, 121, 131, 102, 142}},  {55, {108, 118, 128, 102, 139}},
        {99, {104, 114, 124, 102, 135}},  {100, {103, 103, 103, 102, 134}},
    };
    for (const auto& row : rows) {
        for (int16_t tema = 1; tema <= 5; ++tema) {
            EXPECT_EQ(ThemeIconId(tema, row.level), row.icons[tema - 1]) << tema << " at " << row.level;
        }
    }
    for (int16_t tema : {int16_t{0}, int16_t{-1}, int16_t{6}}) EXPECT_EQ(ThemeIconId(tema, 50), 0);
}

TEST_F(TrayTest, UpdateShowsTheThemePictureOnWindowAndTray) {
    Store("tema", "4");
    SetMemoryKb(200000, 39000);  // 39 of 200 Mb: 19.5 % rounds to 20
    Start();
    EXPECT_EQ(f.form().Icon(), 102);
    EXPECT_EQ(Shown()->group, 102);

    SetMemoryKb(200000, 37000);  // 18.5 %: 18
    Run(&Form1::Command1_Click);
    EXPECT_EQ(Shown()->group, 101);

    // A hover refresh reads its own sample's percent.
    SetMemoryKb(200000, 100000);
    Report(tray_protocol::kMouseMove);
    Run(&Form1::Timer4_Timer);
    EXPECT_EQ(Shown()->group, 102);

    Run(&Form1::cmdChangeIcon_Click);
    EXPECT_EQ(f.form().Icon(), 145);
    EXPECT_EQ(Shown()->group, 145);
    EXPECT_EQ(f.tray().intTema(), 4);
}

TEST_F(TrayTest, HoverWithAThemeOutsideTheTableLeavesThePicture) {
    Store("tema", "-1");
    Start();
    Run(&Form1::cmdChangeIcon_Click);
    Report(tray_protocol::kMouseMove);
    Run(&Form1::Timer4_Timer);
    EXPECT_FALSE(platform.ended);
    ASSERT_TRUE(platform.boxes.empty()) << platform.boxes[0].text;
    EXPECT_EQ(Shown()->group, 145);
    EXPECT_FALSE(f.tray().blnTipPending());
}

TEST_F(TrayTest, ThemeAboveFiveStopsTheStartAndTakesTheIconAlong) {
    Store("tema", "6");
    Start();
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].text.rfind("Error number: 5\r", 0), 0u) << platform.boxes[0].text;
    EXPECT_TRUE(platform.ended);
    EXPECT_EQ(Sent().front().message, TrayNotification::Add);
    EXPECT_EQ(Sent().back().message, TrayNotification::Delete);
    EXPECT_EQ(Shown(), nullptr);
}

TEST_F(TrayTest, StartStoppedBeforeTheIconSendsNoDelete) {
    Store("left", "abc");
    Start();
    EXPECT_TRUE(platform.ended);
    EXPECT_TRUE(Sent().empty());
}

TEST_F(TrayTest, UntrappedErrorRemovesTheIcon) {
    Start();
    platform.Dispatch([] { Raise(kOverflow); });
    EXPECT_TRUE(platform.ended);
    EXPECT_EQ(Shown(), nullptr);
}

TEST_F(TrayTest, NewNotificationAreaGetsTheIconBackWithTheCurrentRecord) {
    Store("tema", "1");
    Start();
    const fake::FakeShell::Icon current = *Shown();
    platform.Dispatch([&] { platform.tray().NotificationAreaMadeAnew(); });
    ASSERT_NE(Shown(), nullptr);
    EXPECT_EQ(Shown()->group, current.group);
    EXPECT_EQ(Tip(Shown()->tip), Tip(current.tip));
    // Each add moves the icon to the protocol that reports keyboard use.
    EXPECT_EQ(platform.shell.versionCalls, 2);
    EXPECT_EQ(Shown()->version, 3u);
}

// After a change of DPI the platform draws the window's picture at the new
// size: the outline is cut again and the shell gets that picture.
TEST_F(TrayTest, DpiChangeReshapesAndHandsTheShellTheNewPicture) {
    Start();
    auto& form = static_cast<fake::FakeForm&>(f.form());
    const int shaped = form.outlineCuts;
    f.form().SetIcon(145);
    platform.Dispatch([&] { f.DpiChanged(); });
    EXPECT_EQ(form.outlineCuts, shaped + 1);
    ASSERT_NE(Shown(), nullptr);
    EXPECT_EQ(Shown()->group, 145);
    EXPECT_TRUE(Sent().back().icon);
    EXPECT_FALSE(Sent().back().tip);
}

// What each gesture on the icon comes to, mouse and keyboard, as the shell of
// version 3 reports it: a mouse click still does one thing once.
TEST_F(TrayTest, EachGestureActsOnce) {
    const struct {
        const char* gesture;
        std::vector<intptr_t> reports;
        bool chooses;          // the user picks an item of a menu that opens
        bool iconKnown;        // the shell says where the icon is
        int updates;
        std::vector<int> popups;
        std::optional<Point> at;
        int focusReturns;
    } cases[] = {
        {"left click", {513, 514, 0x400}, true, false, 1, {}, std::nullopt, 0},
        {"right click", {516, 517, 0x7B}, true, false, 0, {mnufile}, std::nullopt, 0},
        {"Space or Enter", {0x401}, true, false, 1, {}, std::nullopt, 0},
        {"balloon clicked", {0x405}, true, false, 1, {}, std::nullopt, 0},
        {"menu key, item chosen", {0x7B}, true, true, 0, {mnufile}, Point{1200, 770}, 0},
        {"menu key, dismissed", {0x7B}, false, true, 0, {mnufile}, Point{1200, 770}, 1},
        {"Shift+F10 where the shell does not say", {0x7B}, false, false, 0, {mnufile}, std::nullopt, 1},
        {"right click, then the menu key", {516, 517, 0x7B, 0x7B}, false, false, 0, {mnufile, mnufile},
         std::nullopt, 1},
    };
    for (const auto& c : cases) {
        fake::FakePlatform p;
        AddSounds(p);
        Form1 form(p);
        p.Dispatch([&] { form.Start(); });
        form.form().Hide();
        auto& shown = static_cast<fake::FakeForm&>(form.form());
        shown.popupChosen = c.chooses;
        p.shell.iconRectKnown = c.iconKnown;
        p.audio.sounds.clear();
        const int samples = p.samples;
        for (intptr_t report : c.reports) p.Dispatch([&] { p.tray().Report(report); });
        EXPECT_EQ(p.samples - samples, c.updates) << c.gesture;
        EXPECT_EQ(p.audio.sounds.size(), static_cast<size_t>(c.updates)) << c.gesture;  // the window-back sound
        EXPECT_EQ(shown.Visible(), c.updates > 0) << c.gesture;
        EXPECT_EQ(shown.popups, c.popups) << c.gesture;
        if (!c.popups.empty()) {
            EXPECT_EQ(shown.popupPoints.back().has_value(), c.at.has_value()) << c.gesture;
            if (c.at) {
                EXPECT_EQ(shown.popupPoints.back()->x, c.at->x) << c.gesture;
            }
        }
        EXPECT_EQ(p.shell.focusReturns, c.focusReturns) << c.gesture;
    }
}

TEST_F(TrayTest, RefreshesHandTheShellOnlyWhatChanged) {
    Store("tema", "1");
    Start();
    const size_t sent = Sent().size();
    const fake::FakeShell::Icon before = *Shown();

    // Same figures: the shell hears nothing.
    Run(&Form1::Command1_Click);
    Run(&Form1::Timer4_Timer);
    EXPECT_EQ(Sent().size(), sent);

    // A new busy share in the same band of ten: the tip alone.
    platform.memory = {0, 1000ull << 20, 240ull << 20};
    Run(&Form1::Command1_Click);
    ASSERT_EQ(Sent().size(), sent + 1);
    EXPECT_TRUE(Sent().back().tip);
    EXPECT_FALSE(Sent().back().icon);
    EXPECT_EQ(Tip(Shown()->tip), Padded(std::string("Busy= 76 %") + '\0'));
    EXPECT_EQ(Shown()->group, before.group);

    // Another band: tip, then picture, each once.
    platform.memory = {0, 1000ull << 20, 500ull << 20};
    Run(&Form1::Command1_Click);
    ASSERT_EQ(Sent().size(), sent + 3);
    EXPECT_TRUE(Sent()[sent + 1].tip && !Sent()[sent + 1].icon);
    EXPECT_TRUE(Sent()[sent + 2].icon && !Sent()[sent + 2].tip);
    EXPECT_EQ(Shown()->group, 108);

    // A modify the shell refuses is handed over again on the next refresh,
    // and the shell's new notification area gets the whole record.
    platform.shell.refuses = true;
    platform.memory = {0, 1000ull << 20, 510ull << 20};
    Run(&Form1::Command1_Click);
    platform.shell.refuses = false;
    const size_t refused = Sent().size();
    Run(&Form1::Command1_Click);
    ASSERT_EQ(Sent().size(), refused + 1);
    EXPECT_EQ(Tip(Shown()->tip), Padded(std::string("Busy= 49.1 %") + '\0'));
    platform.Dispatch([&] { platform.tray().NotificationAreaMadeAnew(); });
    EXPECT_EQ(Sent().back().message, TrayNotification::Add);
    EXPECT_EQ(Tip(Shown()->tip), Padded(std::string("Busy= 49.1 %") + '\0'));
}

// The shell may not be ready at sign-in: a refused add is tried again every
// 2 s until it takes, and until then "Hide" keeps the window, which could
// not come back without the icon.
TEST_F(TrayTest, RefusedAddIsRetriedAndHideWaitsForTheIcon) {
    platform.shell.refuses = true;
    Start();
    EXPECT_FALSE(f.tray().Shown());
    f.Command3_Click();  // Hide
    EXPECT_TRUE(f.form().Visible());
    EXPECT_EQ(static_cast<fake::FakeForm&>(f.form()).trayAnimations, 0);
    const size_t adds = Sent().size();
    platform.Advance(2000);
    EXPECT_EQ(Sent().size(), adds + 1);  // tried again, refused again
    EXPECT_EQ(Sent().back().message, TrayNotification::Add);
    platform.shell.refuses = false;
    platform.Advance(1999);
    EXPECT_FALSE(f.tray().Shown());
    platform.Advance(1);
    ASSERT_TRUE(f.tray().Shown());
    EXPECT_EQ(Tip(Shown()->tip), Padded(std::string("Busy= 75 %") + '\0'));  // the record as it is now
    platform.Advance(10000);
    EXPECT_EQ(Sent().size(), adds + 2);  // no more tries once it took
    f.Command3_Click();
    EXPECT_FALSE(f.form().Visible());
}

TEST_F(TrayTest, RemoveTrayIconUnhooksAndDeletes) {
    Start();
    f.RemoveTrayIcon();
    EXPECT_FALSE(platform.tray().hooked);
    EXPECT_EQ(Shown(), nullptr);
    // The final close lets the window's messages alone once more and deletes nothing.
    const size_t sent = Sent().size();
    f.form().Unload();
    EXPECT_FALSE(platform.tray().hooked);
    EXPECT_EQ(Sent().size(), sent);
}

TEST_F(TrayTest, CloseWithoutExitLeavesNoIconBehind) {
    Start();
    f.form().Unload();
    EXPECT_FALSE(f.form().Loaded());
    EXPECT_FALSE(platform.tray().hooked);
    EXPECT_EQ(Shown(), nullptr);
}

TEST_F(TrayTest, SecondCopySaysSoAndEndsBeforeAnything) {
    platform.prevInstance = true;
    Start();
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].text, "The program is already in use.");
    EXPECT_EQ(platform.boxes[0].style, kOkOnly | kMsgBoxRight);
    EXPECT_EQ(platform.boxes[0].title, "Veltrane");
    EXPECT_TRUE(platform.ended);
    EXPECT_TRUE(Sent().empty());
    EXPECT_FALSE(f.form().Visible());
    EXPECT_EQ(Caption(Label1), "Not Updated");
}

// Hiding animates the window into the notification area (the search for it
// is the NotificationArea test's) and keeps the window loaded.
TEST_F(TrayTest, HideAnimatesTheWindowIntoTheNotificationArea) {
    Start();
    auto& form = static_cast<fake::FakeForm&>(f.form());
    f.Command3_Click();  // Hide
    EXPECT_EQ(form.trayAnimations, 1);
    EXPECT_FALSE(form.Visible());
    EXPECT_TRUE(form.Loaded());
}

}  // namespace
}  // namespace vt
