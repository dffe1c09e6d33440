#include <stdexcept>

#include "platform/fake/fake_platform.h"
#include "tests/contract_forms.h"
#include "tests/contract_services.h"
#include "tests/contract_tray.h"
#include "tests/contract_settings.h"

namespace vt {
namespace {

struct FakeDriver : contract::Driver {
    fake::FakePlatform p;
    Platform& platform() override { return p; }
    void PostClick(Form& form, int id) override { p.PostClick(static_cast<fake::FakeForm&>(form), id); }
    void Idle(int ms) override { p.Advance(ms); }
    void Busy(int ms) override { p.PassTime(ms); }
    bool InsideWindow(Form& form, Point at) override {
        if (at.x < 0 || at.y < 0 || at.x >= form.ScaleWidth() || at.y >= form.ScaleHeight()) return false;
        for (const Rect& run : static_cast<fake::FakeForm&>(form).outline) {
            if (at.y == run.top && at.x >= run.left && at.x < run.left + run.width) return false;
        }
        return true;
    }
    FakeDriver() {
        // The corners of the program's face are magenta.
        for (auto corner : {std::pair{0, 0}, {452, 0}, {0, 110}, {452, 110}}) p.face.keyPixels.insert(corner);
    }
};

struct FakeTrayDriver : contract::TrayDriver {
    fake::FakePlatform p;
    Platform& platform() override { return p; }
    fake::FakeTrayHost& HostOf(Form& window) {
        for (fake::FakeTrayHost* host : p.trayHosts) {
            if (&host->window() == &window) return *host;
        }
        throw std::logic_error("no host");
    }
    void Report(Form& window, intptr_t report) override { HostOf(window).Report(report); }
    void NotificationAreaMadeAnew(Form& window) override { HostOf(window).NotificationAreaMadeAnew(); }
    bool ShellHolds(Form&) override { return p.shell.icon.has_value(); }
    int ShellCalls() override { return static_cast<int>(p.shell.notifications.size()); }
    std::string LastChange() override {
        const fake::TrayNotification& n = p.shell.notifications.back();
        if (n.message == fake::TrayNotification::Add) return "add";
        if (n.message == fake::TrayNotification::Delete) return "delete";
        return n.tip && n.icon ? "tip icon" : n.tip ? "tip" : "icon";
    }
};

}  // namespace

TEST(FakeContract, Tray) {
    FakeTrayDriver d;
    contract::TrayContract(d);
}

TEST(FakeContract, SettingsStore) {
    fake::FakePlatform p;
    SettingsStoreContract(p);
}

TEST(FakeContract, RunValue) {
    fake::FakePlatform p;
    contract::RunValueContract(p.Autorun(), "Veltrane.ContractTest");
}

TEST(FakeContract, Sound) {
    fake::FakePlatform p;
    const std::vector<uint8_t> wave(64, 0x80);
    for (bool device : {true, false}) {
        p.audio.noDevice = !device;
        contract::SoundContract(p.Sound(), wave);
    }
}

TEST(FakeContract, Outline) {
    FakeDriver d;
    contract::OutlineContract(d, 1001);
}

TEST(FakeContract, Choices) {
    FakeDriver d;
    contract::ChoiceContract(d);
}

TEST(FakeContract, UnknownIds) {
    FakeDriver d;
    contract::UnknownIdContract(d);
}

TEST(FakeContract, Geometry) {
    FakeDriver d;
    contract::GeometryContract(d);
}

TEST(FakeContract, Timers) {
    FakeDriver d;
    contract::TimerContract(d);
}

TEST(FakeContract, PendingEvents) {
    FakeDriver d;
    contract::PendingEventsContract(d);
    EXPECT_EQ(d.p.doEventsPasses, 7);  // one for each case, one more inside the busy handler
}

// What only the fake can show: the report an untrapped error gets, exact
// tick times on the virtual clock, and a program ended inside the pass.
TEST(FakeContract, UnknownIdIsReportedAsError5) {
    fake::FakePlatform p;
    contract::Recorder events;
    auto form = p.CreateForm(contract::TestFormDef(), events);
    p.Dispatch([&] { form->SetCaption(contract::kNoSuchId, "x"); });
    ASSERT_EQ(p.boxes.size(), 1u);
    EXPECT_EQ(p.boxes[0].text, "Run-time error '5':\r\n\r\nInvalid procedure call or argument");
    EXPECT_TRUE(p.ended);
}

// A fault that persists raises at every tick: the report comes once, the
// timers stop first, and a second fault while its box shows ends the
// program at once, with no second box.
TEST(FakeContract, UntrappedErrorIsReportedOnce) {
    fake::FakePlatform p;
    struct Faulty : contract::Recorder {
        void Timer(int) override { Raise(kOverflow); }
    } events;
    auto form = p.CreateForm(contract::TestFormDef(), events);
    form->SetEnabled(contract::kFastTimer, true);
    int ticksDuringTheBox = 0;
    p.onMsgBox = [&] {
        const size_t before = p.boxes.size();
        p.Advance(2000);  // the box stays up: no tick comes
        ticksDuringTheBox += static_cast<int>(p.boxes.size() - before);
        p.Dispatch([] { Raise(kTypeMismatch); });
    };
    p.Advance(1000);
    ASSERT_EQ(p.boxes.size(), 1u);
    EXPECT_EQ(p.boxes[0].text, "Run-time error '6':\r\n\r\nOverflow");
    EXPECT_EQ(ticksDuringTheBox, 0);
    EXPECT_TRUE(p.ended);
}

TEST(FakeContract, VirtualClockTicks) {
    fake::FakePlatform p;
    contract::Recorder events;
    auto form = p.CreateForm(contract::TestFormDef(), events);
    struct Clocked : contract::Recorder {
        fake::FakePlatform* p;
        std::vector<std::pair<int, int64_t>> ticks;
        void Timer(int id) override { ticks.emplace_back(id, p->Millis()); }
    } clocked;
    clocked.p = &p;
    auto other = p.CreateForm(contract::TestFormDef(), clocked);
    other->SetEnabled(contract::kFastTimer, true);
    other->SetEnabled(contract::kSlowTimer, true);
    p.Advance(1000);
    using Tick = std::pair<int, int64_t>;
    EXPECT_EQ(clocked.ticks, (std::vector<Tick>{{21, 300}, {21, 600}, {21, 900}, {22, 1000}}));
    // Busy through three periods: one tick when the program is free again,
    // then the period goes on from where it was.
    clocked.ticks.clear();
    p.PassTime(1000);
    p.DoEvents();
    p.Advance(250);
    EXPECT_EQ(clocked.ticks, (std::vector<Tick>{{21, 2000}, {22, 2000}, {21, 2100}}));
    EXPECT_EQ(p.Millis(), 2250);
    EXPECT_TRUE(events.log.empty());  // the first form's timers never started
}

TEST(FakeContract, AnEndInsideThePassEndsTheHandlerThatAskedForIt) {
    fake::FakePlatform p;
    contract::Recorder events;
    auto form = p.CreateForm(contract::TestFormDef(), events);
    bool resumed = false;
    p.Post([&] { Raise(kOverflow); });
    p.Post([&] { events.log.push_back("after the end"); });
    p.Dispatch([&] {
        p.DoEvents();
        resumed = true;
    });
    EXPECT_FALSE(resumed);
    EXPECT_TRUE(p.ended);
    ASSERT_EQ(p.boxes.size(), 1u);
    EXPECT_EQ(p.boxes[0].text.substr(0, 18), "Run-time error '6'");
    EXPECT_TRUE(events.log.empty());
}

}  // namespace vt
