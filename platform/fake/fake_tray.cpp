#include "platform/fake/fake_tray.h"

#include <algorithm>
#include <utility>

#include "platform/fake/fake_allocation.h"
#include "platform/fake/fake_platform.h"

namespace vt::fake {

std::string FakeShell::Tip() const { return icon ? std::string(icon->tip.data(), icon->tip.size()) : ""; }

FakeTrayHost::FakeTrayHost(FakePlatform& platform, FakeForm& window, TrayEvents& events)
    : platform_(platform), window_(window), events_(events) {
    platform_.trayHosts.push_back(this);
}

FakeTrayHost::~FakeTrayHost() {
    Remove();
    std::erase(platform_.trayHosts, this);
}

bool FakeTrayHost::Add(std::string_view tip, int icon) {
    const Bookkeeping records;
    hooked = true;
    want_.tip = tray_protocol::MakeTipField(tip);
    want_.group = icon;
    added_ = true;
    return AddToShell();
}

bool FakeTrayHost::AddToShell() {
    FakeShell& shell = platform_.shell;
    shell.notifications.push_back({TrayNotification::Add, true, true, want_.tip, want_.group});
    shown_ = !shell.refuses && !shell.icon;
    retryDue_.reset();
    if (!shown_) {
        retryDue_ = platform_.Millis() + 2000;
        return false;
    }
    shell.icon = FakeShell::Icon{want_.tip, want_.group, 0};  // every icon starts out at version 0
    shown_record_ = want_;
    ++shell.versionCalls;
    shell.icon->version = 3;
    return true;
}

void FakeTrayHost::Modify(std::string_view tip, int icon) {
    const Bookkeeping records;
    want_.tip = tray_protocol::MakeTipField(tip);
    want_.group = icon;
    if (!shown_) return;
    const bool tipChanged = want_.tip != shown_record_.tip, iconChanged = want_.group != shown_record_.group;
    if (!tipChanged && !iconChanged) return;
    FakeShell& shell = platform_.shell;
    shell.notifications.push_back({TrayNotification::Modify, tipChanged, iconChanged, want_.tip, want_.group});
    if (shell.refuses || !shell.icon) return;
    // As the shell does: only the fields handed over change.
    if (tipChanged) shell.icon->tip = shown_record_.tip = want_.tip;
    if (iconChanged) shell.icon->group = shown_record_.group = want_.group;
}

void FakeTrayHost::Balloon(std::string_view title, std::string_view text) {
    const Bookkeeping records;
    if (!shown_ || platform_.shell.refuses || !platform_.shell.icon) return;
    platform_.shell.balloons.push_back({std::string(title), std::string(text)});
}

void FakeTrayHost::ReturnFocus() {
    if (!platform_.shell.refuses && platform_.shell.icon) ++platform_.shell.focusReturns;
}

void FakeTrayHost::Retry() {
    retryDue_.reset();
    if (hooked && added_ && !shown_) AddToShell();
}

void FakeTrayHost::Remove() {
    hooked = false;
    added_ = false;
    retryDue_.reset();
    DeleteIcon();
}

void FakeTrayHost::DeleteIcon() {
    const Bookkeeping records;
    if (!std::exchange(shown_, false)) return;
    FakeShell& shell = platform_.shell;
    shell.notifications.push_back({TrayNotification::Delete, false, false, want_.tip, want_.group});
    shell.icon.reset();
}

void FakeTrayHost::Report(intptr_t report) {
    if (!hooked) return;
    using tray_protocol::Meaning;
    switch (reports_.Read(report)) {
        case Meaning::Hover: events_.TrayHover(); break;
        case Meaning::Activate: events_.TrayActivate(); break;
        case Meaning::MenuAtPointer: events_.TrayMenu({}); break;
        case Meaning::MenuFromKeyboard: {
            TrayMenuRequest request{std::nullopt, true};
            if (platform_.shell.iconRectKnown && platform_.shell.icon) request.at = platform_.shell.iconAt;
            events_.TrayMenu(request);
            break;
        }
        case Meaning::None: break;
    }
}

void FakeTrayHost::NotificationAreaMadeAnew() {
    platform_.shell.icon.reset();
    if (hooked && added_) AddToShell();
}

}  // namespace vt::fake
