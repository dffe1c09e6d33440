#include <cstring>

#include "sound_fixture.h"
#include "tray/tray_function.h"

namespace vt {
namespace {

using namespace form1;
using namespace win32c;

constexpr uint32_t kTrayId = 0x400000;  // the fake's instance handle
constexpr uintptr_t Icon(int id) { return 0x1C000u + static_cast<uintptr_t>(id); }

std::string Tip(const NotifyIconData& nid) { return std::string(nid.szTip, sizeof nid.szTip); }
std::string Padded(std::string text) { return text.append(64 - text.size(), ' '); }

class TrayTest : public Form1Test {
protected:
    intptr_t Notify(intptr_t mouse) { return Deliver(tray::kCallbackMessage, kTrayId, mouse); }
    intptr_t Deliver(uint32_t msg, uintptr_t wp, intptr_t lp) {
        intptr_t result = 0;
        platform.Dispatch([&] { result = platform.api.Deliver(fake::kMainHwnd, msg, wp, lp); });
        return result;
    }
    const NotifyIconData* Shown() {
        const auto it = platform.api.trayIcons.find({fake::kMainHwnd, kTrayId});
        return it == platform.api.trayIcons.end() ? nullptr : &it->second;
    }
    void Store(const std::string& key, const std::string& value) {
        platform.settings["veltrane\\startup\\" + key] = value;
    }
};

TEST(TrayTip, ShortTextKeepsItsNulAndIsPaddedWithBlanks) {
    const std::string tip(TipField(std::string("Veltrane") + '\0').data(), 64);
    EXPECT_EQ(tip, Padded(std::string("Veltrane") + '\0'));

    const std::string text63(63, 'x');
    EXPECT_EQ(std::string(TipField(text63 + '\0').data(), 64), text63 + '\0');
}

TEST(TrayTip, TextOf64OrMoreIsCutAndCarriesNoNul) {
    const std::string text64(64, 'y');
    EXPECT_EQ(std::string(TipField(text64 + '\0').data(), 64), text64);
    EXPECT_EQ(std::string(TipField(std::string(100, 'z') + '\0').data(), 64), std::string(64, 'z'));
}

// The record keeps the tip as the shell's 64-byte field (the backend lays the
// rest out in the version-1 form of its target, 88 bytes on 32-bit Windows).
TEST(TrayRecord, TipGoesIntoTheRecordsFieldCutOrPadded) {
    NotifyIconData nid;
    SetTip(nid, std::string(70, 'T') + '\0');
    EXPECT_EQ(std::string(nid.szTip, sizeof nid.szTip), std::string(64, 'T'));  // cut, no NUL
    SetTip(nid, std::string("Busy= 75 %") + '\0');
    EXPECT_EQ(std::string(nid.szTip, sizeof nid.szTip), Padded(std::string("Busy= 75 %") + '\0'));
}

TEST_F(TrayTest, StartHooksTheWindowThenAddsTheIconWithTheTitleTip) {
    Start();
    ASSERT_GE(platform.api.notifications.size(), 2u);
    const auto& [message, added] = platform.api.notifications[0];
    EXPECT_EQ(message, kNimAdd);
    EXPECT_EQ(added.cbSize, 88u);
    EXPECT_EQ(added.hWnd, fake::kMainHwnd);
    EXPECT_EQ(added.uID, kTrayId);
    EXPECT_EQ(added.uFlags, 7u);
    EXPECT_EQ(added.uCallbackMessage, 1039u);
    EXPECT_EQ(added.hIcon, Icon(1));  // the window's own icon
    EXPECT_EQ(Tip(added), Padded(std::string("Veltrane") + '\0'));
    EXPECT_NE(platform.api.windowProcs.at(fake::kMainHwnd), fake::kOriginalProc);

    // The first Update puts the busy text in; theme 0 leaves the picture.
    ASSERT_NE(Shown(), nullptr);
    EXPECT_EQ(Tip(*Shown()), Padded(std::string("Busy= 75 %") + '\0'));
    EXPECT_EQ(Shown()->hIcon, Icon(1));
    EXPECT_EQ(platform.api.trayIcons.size(), 1u);
}

TEST_F(TrayTest, ForeignMessagesPassUntouchedWithTheOldProceduresAnswer) {
    Start();
    f.form().Hide();
    const int samples = platform.samples;
    EXPECT_EQ(Deliver(0x000F, 7, 9), fake::kOriginalResult);
    // The callback message with another id is no notification of the icon.
    EXPECT_EQ(Deliver(tray::kCallbackMessage, kTrayId + 1, tray::kLButtonDown), fake::kOriginalResult);
    ASSERT_EQ(platform.api.passedOn.size(), 2u);
    EXPECT_EQ(platform.api.passedOn[0].msg, 0x000Fu);
    EXPECT_EQ(platform.api.passedOn[0].wParam, 7u);
    EXPECT_EQ(platform.api.passedOn[0].lParam, 9);
    EXPECT_EQ(platform.api.passedOn[1].wParam, kTrayId + 1);
    EXPECT_FALSE(f.form().Visible());
    EXPECT_EQ(platform.samples, samples);
}

TEST_F(TrayTest, DoubleClickShowsAndUpdatesTwice) {
    AddSounds(platform);
    Start();
    platform.audio.sounds.clear();
    f.form().Hide();
    f.form().SetEnabled(stupid, true);
    const int samples = platform.samples;
    const int passes = platform.doEventsPasses;
    for (intptr_t mouse : {tray::kLButtonDown, intptr_t{514}, tray::kLButtonDblClk, intptr_t{514}}) {
        EXPECT_EQ(Notify(mouse), fake::kOriginalResult);
    }
    EXPECT_TRUE(f.form().Visible());
    EXPECT_FALSE(f.form().Enabled(stupid));
    EXPECT_EQ(platform.samples, samples + 2);
    EXPECT_EQ(Played(platform.audio), (Calls{{133, kPlay}, {133, kPlay}}));
    EXPECT_EQ(platform.doEventsPasses, passes + 4);  // after each sound and each action
    EXPECT_EQ(platform.api.passedOn.size(), 4u);  // handled or not, all go on

    // With sound off the window comes back in silence.
    f.MenuClick(mnuSoff);  // its confirmation still plays
    const size_t played = platform.audio.sounds.size();
    Notify(tray::kLButtonDown);
    EXPECT_EQ(platform.audio.sounds.size(), played);
    EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(TrayTest, NotificationsAreKnownByTheirIdAloneAndRightButtonOpensTheMenu) {
    Start();
    f.form().Hide();
    Deliver(0x0200, kTrayId, tray::kLButtonDown);  // any message number
    EXPECT_TRUE(f.form().Visible());
    auto& form = static_cast<fake::FakeForm&>(f.form());
    Notify(tray::kRButtonDown);
    Notify(517);  // right button up: nothing
    EXPECT_EQ(form.popups, std::vector<int>{mnufile});
}

TEST_F(TrayTest, HoverRefreshesOncePerTimerPeriod) {
    Start();
    const int samples = platform.samples;
    for (int i = 0; i < 50; ++i) Notify(tray::kMouseMove);
    EXPECT_TRUE(f.tray().blnTipPending);
    EXPECT_TRUE(f.form().Enabled(Timer4));
    EXPECT_EQ(platform.samples, samples);  // nothing sampled before the tick

    platform.memory = {0, 1000ull << 20, 400ull << 20};
    Run(&Form1::Timer4_Timer);
    EXPECT_FALSE(f.tray().blnTipPending);
    EXPECT_FALSE(f.form().Enabled(Timer4));
    EXPECT_EQ(platform.samples, samples + 1);
    EXPECT_EQ(platform.api.notifications.back().first, kNimModify);
    EXPECT_EQ(Tip(*Shown()).substr(0, 11), std::string("Busy= 60 %") + '\0');

    // Moves during the period were dropped; the next one starts a new cycle.
    Notify(tray::kMouseMove);
    EXPECT_TRUE(f.tray().blnTipPending);
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
    EXPECT_EQ(f.form().Icon(), Icon(102));
    EXPECT_EQ(Shown()->hIcon, Icon(102));
    EXPECT_FALSE(f.memory().blnFromUpdate);

    SetMemoryKb(200000, 37000);  // 18.5 %: 18
    Run(&Form1::Command1_Click);
    EXPECT_EQ(Shown()->hIcon, Icon(101));

    Run(&Form1::cmdChangeIcon_Click);
    EXPECT_EQ(f.form().Icon(), Icon(145));
    EXPECT_EQ(Shown()->hIcon, Icon(145));
    EXPECT_EQ(f.tray().intTema, 4);
}

TEST_F(TrayTest, HoverWithAThemeOutsideTheTableLeavesThePicture) {
    Store("tema", "-1");
    Start();
    Run(&Form1::cmdChangeIcon_Click);
    Notify(tray::kMouseMove);
    Run(&Form1::Timer4_Timer);
    EXPECT_FALSE(platform.ended);
    ASSERT_TRUE(platform.boxes.empty()) << platform.boxes[0].text;
    EXPECT_EQ(Shown()->hIcon, Icon(145));
    EXPECT_FALSE(f.tray().blnTipPending);
}

TEST_F(TrayTest, ThemeAboveFiveStopsTheStartAndTakesTheIconAlong) {
    Store("tema", "6");
    Start();
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].text.rfind("Error number: 5\r", 0), 0u) << platform.boxes[0].text;
    EXPECT_TRUE(platform.ended);
    EXPECT_EQ(platform.api.notifications.front().first, kNimAdd);
    EXPECT_EQ(platform.api.notifications.back().first, kNimDelete);
    EXPECT_TRUE(platform.api.trayIcons.empty());
}

TEST_F(TrayTest, StartStoppedBeforeTheIconSendsNoDelete) {
    Store("left", "abc");
    Start();
    EXPECT_TRUE(platform.ended);
    EXPECT_TRUE(platform.api.notifications.empty());
}

TEST_F(TrayTest, UntrappedErrorRemovesTheIcon) {
    Start();
    platform.Dispatch([] { Raise(kOverflow); });
    EXPECT_TRUE(platform.ended);
    EXPECT_TRUE(platform.api.trayIcons.empty());
}

TEST_F(TrayTest, NewNotificationAreaGetsTheIconBackWithTheCurrentRecord) {
    Store("tema", "1");
    Start();
    const NotifyIconData current = *Shown();
    platform.api.trayIcons.clear();  // the shell started anew
    const uint32_t created = platform.api.RegisterWindowMessageA("TaskbarCreated");
    EXPECT_EQ(Deliver(created, 0, 0), fake::kOriginalResult);
    ASSERT_NE(Shown(), nullptr);
    EXPECT_EQ(Shown()->hIcon, current.hIcon);
    EXPECT_EQ(Tip(*Shown()), Tip(current));
    EXPECT_EQ(platform.api.passedOn.back().msg, created);
    // Each add moves the icon to the protocol that reports keyboard use.
    int versions = 0;
    for (const auto& [message, info] : platform.api.wideNotifications) {
        if (message != kNimSetVersion) continue;
        ++versions;
        EXPECT_EQ(info.hWnd, fake::kMainHwnd);
        EXPECT_EQ(info.uID, kTrayId);
    }
    EXPECT_EQ(versions, 2);
    EXPECT_EQ((platform.api.trayVersions[{fake::kMainHwnd, kTrayId}]), 3u);
}

// After a change of DPI the platform holds the window's picture at the new
// size: the outline is cut again and the shell gets that picture.
TEST_F(TrayTest, DpiChangeReshapesAndHandsTheShellTheNewPicture) {
    Start();
    auto& form = static_cast<fake::FakeForm&>(f.form());
    const int shaped = form.outlineCuts;
    f.form().SetIcon(Icon(145));  // what the backend swaps in at the new size
    platform.Dispatch([&] { f.DpiChanged(); });
    EXPECT_EQ(form.outlineCuts, shaped + 1);
    ASSERT_NE(Shown(), nullptr);
    EXPECT_EQ(Shown()->hIcon, Icon(145));
    EXPECT_EQ(platform.api.notifications.back().second.uFlags, kNifIcon);
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
        p.api.iconRectKnown = c.iconKnown;
        p.audio.sounds.clear();
        const int samples = p.samples;
        for (intptr_t report : c.reports) {
            p.Dispatch([&] { p.api.Deliver(fake::kMainHwnd, tray::kCallbackMessage, kTrayId, report); });
        }
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
        EXPECT_EQ(p.api.focusReturns, c.focusReturns) << c.gesture;
    }
}

TEST_F(TrayTest, RefreshesHandTheShellOnlyWhatChanged) {
    Store("tema", "1");
    Start();
    const size_t sent = platform.api.notifications.size();
    const NotifyIconData before = *Shown();

    // Same figures: the shell hears nothing, the record keeps all its flags.
    Run(&Form1::Command1_Click);
    Run(&Form1::Timer4_Timer);
    EXPECT_EQ(platform.api.notifications.size(), sent);
    EXPECT_EQ(f.tray().nidTray.uFlags, 7u);

    // A new busy share in the same band of ten: the tip alone.
    platform.memory = {0, 1000ull << 20, 240ull << 20};
    Run(&Form1::Command1_Click);
    ASSERT_EQ(platform.api.notifications.size(), sent + 1);
    EXPECT_EQ(platform.api.notifications.back().second.uFlags, kNifTip);
    EXPECT_EQ(Tip(*Shown()), Padded(std::string("Busy= 76 %") + '\0'));
    EXPECT_EQ(Shown()->hIcon, before.hIcon);

    // Another band: tip, then picture, each once.
    platform.memory = {0, 1000ull << 20, 500ull << 20};
    Run(&Form1::Command1_Click);
    ASSERT_EQ(platform.api.notifications.size(), sent + 3);
    EXPECT_EQ(platform.api.notifications[sent + 1].second.uFlags, kNifTip);
    EXPECT_EQ(platform.api.notifications[sent + 2].second.uFlags, kNifIcon);
    EXPECT_EQ(Shown()->hIcon, Icon(108));
    EXPECT_EQ(Shown()->uCallbackMessage, 1039u);

    // A modify the shell refuses is handed over again on the next refresh,
    // and the shell's new notification area gets the whole record.
    platform.api.shellRefuses = true;
    platform.memory = {0, 1000ull << 20, 510ull << 20};
    Run(&Form1::Command1_Click);
    platform.api.shellRefuses = false;
    const size_t refused = platform.api.notifications.size();
    Run(&Form1::Command1_Click);
    ASSERT_EQ(platform.api.notifications.size(), refused + 1);
    EXPECT_EQ(Tip(*Shown()), Padded(std::string("Busy= 49.1 %") + '\0'));
    platform.api.trayIcons.clear();
    Deliver(platform.api.RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_EQ(platform.api.notifications.back().first, kNimAdd);
    EXPECT_EQ(platform.api.notifications.back().second.uFlags, 7u);
    EXPECT_EQ(Tip(*Shown()), Padded(std::string("Busy= 49.1 %") + '\0'));
}

TEST_F(TrayTest, RemoveTrayIconUnhooksAndDeletes) {
    Start();
    f.RemoveTrayIcon();
    EXPECT_EQ(platform.api.windowProcs.at(fake::kMainHwnd), fake::kOriginalProc);
    EXPECT_TRUE(platform.api.trayIcons.empty());
    // The final close restores the procedure once more and deletes nothing.
    const size_t sent = platform.api.notifications.size();
    f.form().Unload();
    EXPECT_EQ(platform.api.windowProcs.at(fake::kMainHwnd), fake::kOriginalProc);
    EXPECT_EQ(platform.api.notifications.size(), sent);
}

TEST_F(TrayTest, CloseWithoutExitLeavesNoIconBehind) {
    Start();
    f.form().Unload();
    EXPECT_FALSE(f.form().Loaded());
    EXPECT_EQ(platform.api.windowProcs.at(fake::kMainHwnd), fake::kOriginalProc);
    EXPECT_TRUE(platform.api.trayIcons.empty());
}

TEST_F(TrayTest, SecondCopySaysSoAndEndsBeforeAnything) {
    platform.prevInstance = true;
    Start();
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].text, "The program is already in use.");
    EXPECT_EQ(platform.boxes[0].style, kOkOnly | kMsgBoxRight);
    EXPECT_EQ(platform.boxes[0].title, "Veltrane");
    EXPECT_TRUE(platform.ended);
    EXPECT_TRUE(platform.api.notifications.empty());
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
