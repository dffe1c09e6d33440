// The contract of the notification-area icon, run against the fake and the
// real backend: the add, a modify that hands over only what changed, the
// add again when the shell makes its notification area anew, the balloon,
// the removal, and what a mouse click and the keyboard report, in order.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace vt::contract {

// What each backend's test supplies: the shell's side.
class TrayDriver {
public:
    virtual ~TrayDriver() = default;
    virtual Platform& platform() = 0;
    // The shell tells the window about its icon (lParam of the icon's message).
    virtual void Report(Form& window, intptr_t report) = 0;
    // The shell makes its notification area anew: its icons are gone, and
    // every window hears so.
    virtual void NotificationAreaMadeAnew(Form& window) = 0;
    // The shell holds the window's icon.
    virtual bool ShellHolds(Form& window) = 0;
    // The adds, modifies and deletes handed to the shell so far, and what the
    // last one was: "add", "tip", "icon", "tip icon" or "delete".
    virtual int ShellCalls() = 0;
    virtual std::string LastChange() = 0;
};

struct TrayRecorder : TrayEvents {
    std::vector<std::string> log;
    void TrayHover() override { log.push_back("hover"); }
    void TrayActivate() override { log.push_back("activate"); }
    void TrayMenu(const TrayMenuRequest& request) override {
        log.push_back(request.keyboard ? "keyboard menu" : "menu");
    }
};

inline void TrayContract(TrayDriver& d) {
    FormEvents formEvents;
    const FormDef def{.name = "TrayForm", .caption = "Tray", .clientWidth = 40, .clientHeight = 20, .icon = 1};
    auto window = d.platform().CreateForm(def, formEvents);
    TrayRecorder events;
    auto host = d.platform().CreateTrayHost(*window, events);
    EXPECT_FALSE(host->Shown());

    const int start = d.ShellCalls();
    ASSERT_TRUE(host->Add("Veltrane", 1));
    EXPECT_TRUE(host->Shown());
    EXPECT_TRUE(d.ShellHolds(*window));
    EXPECT_EQ(d.ShellCalls(), start + 1);
    EXPECT_EQ(d.LastChange(), "add");

    const struct {
        const char* tip;
        int icon;
        const char* change;  // nullptr: nothing handed over
    } modifies[] = {
        {"Veltrane", 1, nullptr},
        {"Busy= 75 %", 1, "tip"},
        {"Busy= 75 %", 145, "icon"},
        {"Busy= 75 %", 145, nullptr},
        {"Busy= 49.1 %", 104, "tip icon"},
    };
    for (const auto& m : modifies) {
        const int calls = d.ShellCalls();
        host->Modify(m.tip, m.icon);
        EXPECT_EQ(d.ShellCalls(), calls + (m.change ? 1 : 0)) << m.tip << " " << m.icon;
        if (m.change) {
            EXPECT_EQ(d.LastChange(), m.change) << m.tip << " " << m.icon;
        }
    }

    const struct {
        const char* gesture;
        std::vector<intptr_t> reports;
        std::vector<std::string> heard;
    } gestures[] = {
        {"left click", {513, 514, 0x400}, {"activate"}},
        {"double click", {513, 514, 515, 514, 0x400}, {"activate", "activate"}},
        {"right click", {516, 517, 0x7B}, {"menu"}},
        {"Space or Enter", {0x401}, {"activate"}},
        {"menu key or Shift+F10", {0x7B}, {"keyboard menu"}},
        {"right click, then the menu key", {516, 517, 0x7B, 0x7B}, {"menu", "keyboard menu"}},
        {"balloon clicked", {0x402, 0x405}, {"activate"}},
        {"pointer over it", {512, 512}, {"hover", "hover"}},
    };
    for (const auto& g : gestures) {
        events.log.clear();
        for (intptr_t report : g.reports) d.Report(*window, report);
        EXPECT_EQ(events.log, g.heard) << g.gesture;
    }

    const int beforeBalloon = d.ShellCalls();
    host->Balloon("Veltrane: memory is low", "512 Mb free.");
    EXPECT_EQ(d.ShellCalls(), beforeBalloon);  // the record's fields stay as they are

    d.NotificationAreaMadeAnew(*window);
    EXPECT_TRUE(d.ShellHolds(*window));
    EXPECT_TRUE(host->Shown());
    EXPECT_EQ(d.LastChange(), "add");

    host->Remove();
    EXPECT_FALSE(host->Shown());
    EXPECT_FALSE(d.ShellHolds(*window));
    EXPECT_EQ(d.LastChange(), "delete");
    const int removed = d.ShellCalls();
    events.log.clear();
    d.Report(*window, 513);  // the window no longer passes the icon's reports on
    EXPECT_TRUE(events.log.empty());
    host->Remove();
    host->Modify("Busy= 12 %", 1);
    d.NotificationAreaMadeAnew(*window);
    EXPECT_EQ(d.ShellCalls(), removed);
    EXPECT_FALSE(d.ShellHolds(*window));
    host.reset();
    window->Unload();
}

}  // namespace vt::contract
