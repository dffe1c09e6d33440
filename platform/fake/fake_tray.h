// The notification area as plain records for the unit tests: what the shell
// was handed and holds, and a host that reads the shell's reports with the
// same rules as the real one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/tray_protocol.h"

namespace vt::fake {

class FakePlatform;
class FakeForm;

struct TrayNotification {
    enum Message { Add, Modify, Delete } message;
    bool tip, icon;  // the fields handed over (an add hands all)
    tray_protocol::TipField tipField;
    int iconGroup;
};

// The shell's side: what it was told, and the one icon it holds.
struct FakeShell {
    struct Icon {
        tray_protocol::TipField tip;
        int group = 0;
        unsigned version = 0;  // of the protocol: 3 reports the keyboard
    };
    std::vector<TrayNotification> notifications;  // add, modify, delete, in order
    std::optional<Icon> icon;
    bool refuses = false;  // every call fails
    int versionCalls = 0;
    struct BalloonShown {
        std::string title, text;
    };
    std::vector<BalloonShown> balloons;
    int focusReturns = 0;
    bool iconRectKnown = false;  // as under Wine: the shell cannot tell
    Point iconAt{1200, 770};
    std::string Tip() const;  // the icon's tip field, all 64 characters
};

class FakeTrayHost final : public TrayHost {
public:
    FakeTrayHost(FakePlatform& platform, FakeForm& window, TrayEvents& events);
    ~FakeTrayHost() override;

    bool Add(std::string_view tip, int icon) override;
    void Modify(std::string_view tip, int icon) override;
    void Balloon(std::string_view title, std::string_view text) override;
    void Remove() override;
    void ReturnFocus() override;
    bool Shown() const override { return shown_; }

    // The shell tells the window about the icon (lParam of its message).
    void Report(intptr_t report);
    // The shell made its notification area anew: the icons are gone, and it
    // says so to every window.
    void NotificationAreaMadeAnew();
    void DeleteIcon();

    // A refused add is tried again every 2 s until it takes: when the next
    // one is due on the platform's clock.
    std::optional<int64_t> RetryDue() const { return retryDue_; }
    void Retry();

    bool hooked = false;  // the window's messages pass through the host
    FakeForm& window() { return window_; }

private:
    bool AddToShell();

    FakePlatform& platform_;
    FakeForm& window_;
    TrayEvents& events_;
    FakeShell::Icon want_, shown_record_;
    bool added_ = false, shown_ = false;
    std::optional<int64_t> retryDue_;
    tray_protocol::ReportReader reports_;
};

}  // namespace vt::fake
