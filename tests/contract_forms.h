// One contract for forms, run against the fake and the real backend: ids that
// name nothing, the form's geometry in twips, timers, and the pass over
// pending events with what may run inside it.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/platform.h"

namespace vt::contract {

// What each backend's test supplies: a click that waits in the form's queue
// like the user's would, and time, virtual or real.
class Driver {
public:
    virtual ~Driver() = default;
    virtual Platform& platform() = 0;
    // The user's click on a button (press, click, release), queued; it runs
    // at the next pass over pending events.
    virtual void PostClick(Form& form, int id) = 0;
    // The message loop runs for that long.
    virtual void Idle(int ms) = 0;
    // The program is busy for that long (a sound played to its end): nothing runs.
    virtual void Busy(int ms) = 0;
    // The point of the client area belongs to the window (its outline).
    virtual bool InsideWindow(Form& form, Point at) = 0;
};

inline constexpr int kButton = 11, kLabel = 12, kText = 13, kOptionA = 14, kOptionB = 15, kPicture = 16,
                     kGraph = 17, kCheck = 18;
inline constexpr int kFastTimer = 21;  // 300 ms
inline constexpr int kSlowTimer = 22;  // 1000 ms
inline constexpr int kMenu = 31, kMenuItem = 32;
inline constexpr int kNoSuchId = 9999;

inline FormDef TestFormDef(int clientWidth = 200, int clientHeight = 100) {
    static const ControlDef controls[] = {
        {.kind = ControlKind::Button, .id = kButton, .rect = {10, 10, 80, 24}, .caption = "Go"},
        {.kind = ControlKind::Label, .id = kLabel, .rect = {10, 40, 80, 16}, .caption = "Label"},
        {.kind = ControlKind::TextBox, .id = kText, .rect = {100, 10, 80, 20}, .caption = "1"},
        {.kind = ControlKind::OptionButton, .id = kOptionA, .rect = {100, 40, 80, 16},
         .caption = "A", .style = kChecked},
        {.kind = ControlKind::OptionButton, .id = kOptionB, .rect = {100, 60, 80, 16},
         .caption = "B"},
        {.kind = ControlKind::CheckBox, .id = kCheck, .rect = {100, 80, 80, 16}, .caption = "C"},
        {.kind = ControlKind::Image, .id = kPicture, .rect = {10, 60, 32, 32}},
        {.kind = ControlKind::Graph, .id = kGraph, .rect = {50, 60, 40, 30}, .caption = "Values"},
        {.kind = ControlKind::Timer, .id = kFastTimer, .interval = 300},
        {.kind = ControlKind::Timer, .id = kSlowTimer, .interval = 1000},
    };
    static const MenuDef menus[] = {{kMenu, 0, "Popup"}, {kMenuItem, kMenu, "Item"}};
    FormDef def{.name = "ContractForm", .caption = "Contract", .clientWidth = clientWidth,
                .clientHeight = clientHeight};
    def.controls = controls;
    def.menus = menus;
    return def;
}

struct Recorder : FormEvents {
    std::vector<std::string> log;
    std::function<void(int)> onClick;
    void Click(int id) override {
        log.push_back("click " + std::to_string(id));
        if (onClick) onClick(id);
    }
    void Timer(int id) override { log.push_back("tick " + std::to_string(id)); }
    void MouseDown(int id, MouseButton) override { log.push_back("down " + std::to_string(id)); }
    void MouseUp(int id, MouseButton) override { log.push_back("up " + std::to_string(id)); }
    int Count(const std::string& entry) const {
        int n = 0;
        for (const std::string& e : log) n += e == entry;
        return n;
    }
};

// Every property of a control, read or written through an id that names no
// control and no menu item, raises error 5; setters come first so that a
// setter that quietly made the entry shows up in the getter after it. A
// graph's data goes to a graph alone.
inline void UnknownIdContract(Driver& d) {
    Recorder events;
    auto form = d.platform().CreateForm(TestFormDef(), events);
    const struct {
        const char* what;
        std::function<void(Form&, int)> call;
    } calls[] = {
        {"SetCaption", [](Form& f, int id) { f.SetCaption(id, "x"); }},
        {"SetEnabled", [](Form& f, int id) { f.SetEnabled(id, false); }},
        {"SetBackColor", [](Form& f, int id) { f.SetBackColor(id, kRed); }},
        {"SetForeColor", [](Form& f, int id) { f.SetForeColor(id, kGreen); }},
        {"SetToolTip", [](Form& f, int id) { f.SetToolTip(id, "tip"); }},
        {"SetBounds", [](Form& f, int id) { f.SetBounds(id, {1, 2, 3, 4}); }},
        {"SetLine", [](Form& f, int id) { f.SetLine(id, 1, 2, 3, 4); }},
        {"SetSelection", [](Form& f, int id) { f.SetSelection(id, 0, 1); }},
        {"SetFocus", [](Form& f, int id) { f.SetFocus(id); }},
        {"SetChecked", [](Form& f, int id) { f.SetChecked(id, true); }},
        {"SetPictureIcon", [](Form& f, int id) { f.SetPictureIcon(id, 0); }},
        {"SetGraph", [](Form& f, int id) { f.SetGraph(id, {.from = 0, .to = 10, .points = {{5, 0.5}}}); }},
        {"Caption", [](Form& f, int id) { (void)f.Caption(id); }},
        {"Enabled", [](Form& f, int id) { (void)f.Enabled(id); }},
        {"BackColor", [](Form& f, int id) { (void)f.BackColor(id); }},
        {"ForeColor", [](Form& f, int id) { (void)f.ForeColor(id); }},
        {"ToolTip", [](Form& f, int id) { (void)f.ToolTip(id); }},
        {"Bounds", [](Form& f, int id) { (void)f.Bounds(id); }},
        {"Checked", [](Form& f, int id) { (void)f.Checked(id); }},
    };
    for (int id : {kNoSuchId, -1, kMenuItem + 1}) {
        for (const auto& c : calls) {
            int number = 0;
            std::string description;
            try {
                c.call(*form, id);
            } catch (const RuntimeError& e) {
                number = e.number();
                description = e.description();
            }
            EXPECT_EQ(number, kInvalidCall) << c.what << " " << id;
            EXPECT_EQ(description, ErrorDescription(kInvalidCall)) << c.what << " " << id;
        }
    }
    // The refused option leaves the group's choice as it was.
    EXPECT_TRUE(form->Checked(kOptionA));
    EXPECT_FALSE(form->Checked(kOptionB));
    // Menu items answer for their caption and state.
    form->SetCaption(kMenuItem, "Other");
    EXPECT_EQ(form->Caption(kMenuItem), "Other");
    form->SetEnabled(kMenuItem, false);
    EXPECT_FALSE(form->Enabled(kMenuItem));
    form->SetCaption(kText, "42");
    EXPECT_EQ(form->Caption(kText), "42");
    // Only a graph takes a graph's data; its caption is kept as any control's.
    int number = 0;
    try {
        form->SetGraph(kLabel, {});
    } catch (const RuntimeError& e) {
        number = e.number();
    }
    EXPECT_EQ(number, kInvalidCall);
    form->SetGraph(kGraph, {.from = 0, .to = 10, .points = {{5, 0.5}}, .level = 0.2});
    form->SetCaption(kGraph, "Values: now 0.5");
    EXPECT_EQ(form->Caption(kGraph), "Values: now 0.5");
}

// Twips are 15 to the pixel; a position that is not a whole pixel lands on
// the nearest one, and reads back as that pixel's twips.
inline void GeometryContract(Driver& d) {
    const struct {
        int32_t twips, readBack;
    } positions[] = {
        {0, 0},       {-1800, -1800}, {22, 15},   {-22, -15}, {7, 0},       {8, 15},     {-7, 0},
        {-8, -15},    {1507, 1500},   {112, 105}, {113, 120}, {30000, 30000}, {-30007, -30000},
    };
    const struct {
        int width, height;
    } sizes[] = {{200, 100}, {453, 111}, {37, 5}};
    for (const auto& size : sizes) {
        Recorder events;
        auto form = d.platform().CreateForm(TestFormDef(size.width, size.height), events);
        EXPECT_EQ(form->ScaleWidth(), size.width);
        EXPECT_EQ(form->ScaleHeight(), size.height);
        EXPECT_EQ(form->Width(), size.width * 15);
        EXPECT_EQ(form->Height(), size.height * 15);
        for (const auto& p : positions) {
            form->SetTop(450);
            form->SetLeft(p.twips);
            EXPECT_EQ(form->Left(), p.readBack) << p.twips;
            EXPECT_EQ(form->Top(), 450) << p.twips;
            form->SetTop(p.twips);
            EXPECT_EQ(form->Top(), p.readBack) << p.twips;
            EXPECT_EQ(form->Left(), p.readBack) << p.twips;
            EXPECT_EQ(form->Width(), size.width * 15) << p.twips;
        }
    }
}

// Bands rather than exact counts: the real one keeps wall-clock time.
inline void TimerContract(Driver& d) {
    Recorder events;
    auto form = d.platform().CreateForm(TestFormDef(), events);
    const std::string fast = "tick " + std::to_string(kFastTimer), slow = "tick " + std::to_string(kSlowTimer);

    EXPECT_FALSE(form->Enabled(kFastTimer));
    EXPECT_FALSE(form->Enabled(kSlowTimer));
    d.Idle(700);
    EXPECT_TRUE(events.log.empty());

    form->SetEnabled(kFastTimer, true);
    EXPECT_TRUE(form->Enabled(kFastTimer));
    d.Idle(1000);  // due at 300, 600 and 900
    EXPECT_GE(events.Count(fast), 2);
    EXPECT_LE(events.Count(fast), 4);
    EXPECT_EQ(events.Count(fast), static_cast<int>(events.log.size()));  // only its own id

    form->SetEnabled(kFastTimer, false);
    events.log.clear();
    d.Idle(700);
    EXPECT_TRUE(events.log.empty());

    // Enabling again restarts the count: 1200 ms after the first start, but
    // only 600 after the second, nothing has come due.
    form->SetEnabled(kSlowTimer, true);
    d.Idle(600);
    form->SetEnabled(kSlowTimer, true);
    d.Idle(600);
    EXPECT_EQ(events.Count(slow), 0);
    d.Idle(700);
    EXPECT_EQ(events.Count(slow), 1);
    form->SetEnabled(kSlowTimer, false);
}

// What the pass over pending events runs: what was queued before it, clicks
// before ticks, re-entrantly from inside a handler, and nothing of a form
// that was unloaded meanwhile. A second form stays loaded throughout, as the
// main window does while the options window comes and goes.
inline void PendingEventsContract(Driver& d) {
    Platform& p = d.platform();
    Recorder keeperEvents;
    auto keeper = p.CreateForm(TestFormDef(), keeperEvents);
    const std::string down = "down " + std::to_string(kButton), click = "click " + std::to_string(kButton),
                      up = "up " + std::to_string(kButton), tick = "tick " + std::to_string(kFastTimer);
    const struct {
        const char* what;
        bool tickDue;                                       // the fast timer came due before the pass
        std::function<void(Driver&, Form&, Recorder&)> onClick;  // what the click handler does
        bool unloadBeforePass;
        std::vector<std::string> log;
    } cases[] = {
        {"a posted click runs inside the pass", false, nullptr, false, {down, click, up}},
        {"a posted click runs before a due tick", true, nullptr, false, {down, click, up, tick}},
        {"a tick that comes due while a handler is busy runs in the handler's own pass", false,
         [](Driver& dr, Form&, Recorder& r) {
             dr.Busy(450);
             dr.platform().DoEvents();
             r.log.push_back("handler done");
         },
         false, {down, click, tick, "handler done", up}},
        {"a click posted by a handler runs in the same pass", false,
         [](Driver& dr, Form& f, Recorder& r) {
             if (r.Count("click " + std::to_string(kButton)) == 1) dr.PostClick(f, kButton);
         },
         false, {down, click, up, down, click, up}},
        {"a click that unloads the form hears no release and no due tick", true,
         [](Driver&, Form& f, Recorder&) { f.Unload(); }, false, {down, click}},
        {"nothing of a form unloaded before the pass runs", true, nullptr, true, {}},
    };
    for (const auto& c : cases) {
        Recorder events;
        auto form = p.CreateForm(TestFormDef(), events);
        if (c.onClick) events.onClick = [&](int) { c.onClick(d, *form, events); };
        form->SetEnabled(kFastTimer, true);
        d.PostClick(*form, kButton);
        if (c.tickDue) d.Busy(450);
        EXPECT_TRUE(events.log.empty()) << c.what;  // nothing runs before the pass
        if (c.unloadBeforePass) form->Unload();
        p.DoEvents();
        if (form->Loaded()) {
            // The first entries: on a heavily loaded machine a later tick may follow.
            ASSERT_GE(events.log.size(), c.log.size()) << c.what;
            events.log.resize(c.log.size());
        }
        EXPECT_EQ(events.log, c.log) << c.what;
        if (form->Loaded()) {
            form->SetEnabled(kFastTimer, false);
            form->Unload();
        }
        EXPECT_FALSE(form->Loaded()) << c.what;
    }
    EXPECT_TRUE(keeperEvents.log.empty());
    keeper->Unload();
}

// The outline cut from the key colour of a face: the corners of the
// program's face (magenta, and so in the fake's face) leave the window, its
// middle stays; cutting again gives the same outline; a form without a face
// keeps its whole rectangle.
inline void OutlineContract(Driver& d, int facePicture) {
    FormEvents events;
    const FormDef faced{.name = "OutlineForm", .clientWidth = 453, .clientHeight = 111, .picture = facePicture};
    auto form = d.platform().CreateForm(faced, events);
    EXPECT_TRUE(d.InsideWindow(*form, {0, 0}));
    for (int cut = 0; cut < 2; ++cut) {
        form->CutOutline(kMagenta);
        EXPECT_FALSE(d.InsideWindow(*form, {0, 0})) << cut;
        EXPECT_FALSE(d.InsideWindow(*form, {452, 0})) << cut;
        EXPECT_FALSE(d.InsideWindow(*form, {0, 110})) << cut;
        EXPECT_TRUE(d.InsideWindow(*form, {226, 55})) << cut;
    }
    const FormDef plain{.name = "PlainForm", .clientWidth = 50, .clientHeight = 20};
    auto bare = d.platform().CreateForm(plain, events);
    bare->CutOutline(kMagenta);
    EXPECT_TRUE(d.InsideWindow(*bare, {0, 0}));
    EXPECT_TRUE(d.InsideWindow(*bare, {49, 19}));
}

// A click chooses an option and turns a check box over before the click is
// heard; the check box is no part of the options' group, either way.
inline void ChoiceContract(Driver& d) {
    Recorder events;
    auto form = d.platform().CreateForm(TestFormDef(), events);
    std::string heard;
    events.onClick = [&](int id) { heard = std::to_string(id) + (form->Checked(id) ? " on" : " off"); };
    const struct {
        int click;  // 0: SetChecked(set, true)
        int set;
        bool a, b, check;
        std::string heard;
    } steps[] = {
        {kCheck, 0, true, false, true, "18 on"},  {kOptionB, 0, false, true, true, "15 on"},
        {kCheck, 0, false, true, false, "18 off"}, {0, kCheck, false, true, true, ""},
        {0, kOptionA, true, false, true, ""},      {kOptionB, 0, false, true, true, "15 on"},
    };
    int n = 0;
    for (const auto& s : steps) {
        heard.clear();
        if (s.click) {
            d.PostClick(*form, s.click);
            d.Idle(30);
        } else {
            form->SetChecked(s.set, true);
        }
        EXPECT_EQ(heard, s.heard) << "step " << n;
        EXPECT_EQ(form->Checked(kOptionA), s.a) << "step " << n;
        EXPECT_EQ(form->Checked(kOptionB), s.b) << "step " << n;
        EXPECT_EQ(form->Checked(kCheck), s.check) << "step " << n;
        ++n;
    }
}

}  // namespace vt::contract
