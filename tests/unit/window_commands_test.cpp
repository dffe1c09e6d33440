#include "form1_fixture.h"
#include "ui/options_window.h"

namespace vt {
namespace {

using namespace form1;

class WindowCommandsTest : public Form1Test {
protected:
    void SetUp() override { Start(); }
    void Down(int id, MouseButton b) { platform.Dispatch([&] { f.MouseDown(id, b); }); }
    void Up(int id, MouseButton b) { platform.Dispatch([&] { f.MouseUp(id, b); }); }
    void Menu(int id) { platform.Dispatch([&] { f.MenuClick(id); }); }
    int Drags() { return form().drags; }
    fake::FakeForm& form() { return static_cast<fake::FakeForm&>(f.form()); }
};

TEST_F(WindowCommandsTest, PressesDragOrOpenTheirMenu) {
    constexpr auto L = MouseButton::Left, R = MouseButton::Right, M = MouseButton::Middle;
    struct Case {
        int id;
        MouseButton button;
        bool drags;
        int popup;  // 0: none
    };
    const Case cases[] = {
        {kForm, L, true, 0},   {kForm, R, false, mnufile},   {kForm, M, false, 0},
        {Picture1, L, true, 0}, {Picture2, R, false, mnufile}, {Label3, L, true, 0},
        {Image2, L, true, 0},  {Image2, R, false, mnuIconTema}, {Label5, R, false, mnuIconTema},
        {Label1, L, true, 0},  {Label1, R, true, 0},          {Label4, M, true, 0},
        {Label2, L, false, 0}, {Label2, R, false, 0},
        {Command1, R, false, mnufile}, {Command1, L, false, 0}, {Command2, R, false, mnuIconTema},
    };
    for (const Case& c : cases) {
        const int drags = Drags();
        form().popups.clear();
        Down(c.id, c.button);
        EXPECT_EQ(Drags() - drags, c.drags ? 1 : 0) << "control " << c.id;
        EXPECT_EQ(form().popups, c.popup ? std::vector<int>{c.popup} : std::vector<int>{}) << "control " << c.id;
    }
}

TEST_F(WindowCommandsTest, RightReleaseOnTheTextLabelsOpensTheMenu) {
    for (int id : {Label1, Label4, Label2}) {
        form().popups.clear();
        Up(id, MouseButton::Right);
        EXPECT_EQ(form().popups, std::vector<int>{mnufile}) << id;
        Up(id, MouseButton::Left);
        EXPECT_EQ(form().popups.size(), 1u);
    }
    form().popups.clear();
    Up(kForm, MouseButton::Right);
    EXPECT_TRUE(form().popups.empty());
}

TEST_F(WindowCommandsTest, EveryHideKeepsTheProgramRunningInTheTray) {
    for (auto hide : {&Form1::Command3_Click, &Form1::Image3_Click, &Form1::Form_DblClick}) {
        f.form().SetEnabled(stupid, false);
        f.form().Show();
        Run(hide);
        EXPECT_FALSE(f.form().Visible());
        EXPECT_TRUE(f.form().Loaded());
        EXPECT_TRUE(f.form().Enabled(stupid));
        EXPECT_EQ(f.intHideToTray(), 1);
    }
    EXPECT_TRUE(platform.writes.empty());  // nothing saved by hiding
}

TEST_F(WindowCommandsTest, OpenShowsTheWindowAndDisablesItself) {
    EXPECT_TRUE(f.form().Enabled(stupid));  // enabled at start although visible
    Run(&Form1::Command3_Click);
    Menu(stupid);
    EXPECT_TRUE(f.form().Visible());
    EXPECT_FALSE(f.form().Enabled(stupid));
}

TEST_F(WindowCommandsTest, CancelChangesNothingAndGetStatusUpdates) {
    const int samples = platform.samples;
    Menu(mnuCancel);
    EXPECT_EQ(platform.samples, samples);
    EXPECT_TRUE(platform.boxes.empty());
    Menu(sucker);
    EXPECT_EQ(platform.samples, samples + 1);
    EXPECT_EQ(Caption(sucker), "Busy= 75 %");
}

TEST_F(WindowCommandsTest, ExitAfterHidingSavesThePositionOnceAndEnds) {
    Run(&Form1::Command3_Click);
    f.form().SetLeft(300 * 15);
    f.form().SetTop(40 * 15);
    Menu(goner);
    EXPECT_FALSE(f.form().Loaded());
    EXPECT_FALSE(f.form().Visible());  // not shown again on the way out
    EXPECT_EQ(platform.writes, (std::vector<std::pair<std::string, std::string>>{{"Top", "40"}, {"Left", "300"}}));
}

TEST_F(WindowCommandsTest, OptionsOpensModallyBelowTheMainWindowFromAllThreeCommands) {
    f.form().SetLeft(100 * 15);
    f.form().SetTop(50 * 15);
    for (auto open : {&Form1::Command4_Click, &Form1::mnuSetWarning_Click, &Form1::IconTemaChange2_Click}) {
        bool seen = false;
        platform.onModal = [&](fake::FakeForm& options) {
            seen = true;
            EXPECT_EQ(options.Caption(0), "Options");
            EXPECT_EQ(options.Left(), 100 * 15);
            EXPECT_EQ(options.Top(), 50 * 15 + f.form().Height());
            EXPECT_EQ(options.modalShows, 1);
            EXPECT_NE(f.options(), nullptr);
        };
        Run(open);
        EXPECT_TRUE(seen);
        EXPECT_EQ(f.options(), nullptr);  // unloaded, not kept
    }
}

TEST_F(WindowCommandsTest, OptionsCommandWhileTheyAreOpenOpensNoSecondWindow) {
    int opened = 0;
    platform.onModal = [&](fake::FakeForm&) {
        ++opened;
        f.MenuClick(mnuSetWarning);  // through the tray icon's menu
    };
    Run(&Form1::Command4_Click);
    EXPECT_EQ(opened, 1);
}

TEST_F(WindowCommandsTest, HidingFromBehindTheOptionsWindowClosesIt) {
    bool closed = false;
    platform.onModal = [&](fake::FakeForm& options) {
        f.Command3_Click();  // e.g. a close request reaching the main window
        closed = !options.Loaded();
    };
    Run(&Form1::Command4_Click);
    EXPECT_TRUE(closed);
    EXPECT_FALSE(f.form().Visible());
}

}  // namespace
}  // namespace vt
