#include "platform/fake/fake_platform.h"

#include <algorithm>
#include <array>
#include <new>
#include <utility>
#include <cctype>
#include <cmath>
#include <limits>

#include "platform/errors.h"
#include "platform/fake/fake_allocation.h"
#include "platform/outline.h"

namespace vt::fake {
namespace {

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

FakeForm::FakeForm(FakePlatform& platform, const FormDef& def, FormEvents& events)
    : platform_(platform), events_(events), serial_(platform.nextSerial_++), width_(def.clientWidth),
      height_(def.clientHeight), hasFace_(def.picture != 0) {
    platform.forms.push_back(this);
    controls_[0].caption = def.caption;
    // As the real window: it starts with its class's icon.
    icon_ = def.icon;
    for (const ControlDef& c : def.controls) {
        ControlState& s = controls_[c.id];
        s.caption = c.caption;
        s.enabled = c.kind == ControlKind::Timer ? false : !(c.style & kDisabled);
        s.back = c.back;
        s.fore = c.fore;
        s.toolTip = c.toolTip ? c.toolTip : "";
        s.rect = c.rect;
        s.checked = c.style & kChecked;
        // Windows runs a timer asked for less than 10 ms at 10 ms.
        if (c.kind == ControlKind::Timer) timers_[c.id] = {std::max(c.interval, 10)};
        if (c.kind == ControlKind::Line) {
            s.x1 = c.rect.left, s.y1 = c.rect.top, s.x2 = c.rect.width, s.y2 = c.rect.height;
        }
    }
    for (const MenuDef& m : def.menus) controls_[m.id].caption = m.caption;
    for (const ControlDef& c : def.controls) {
        if (c.kind == ControlKind::OptionButton) optionButtons_.insert(c.id);
        if (c.kind == ControlKind::CheckBox) checkBoxes_.insert(c.id);
        if (c.kind == ControlKind::Graph) graphIds_.insert(c.id);
    }
}

const ControlState& FakeForm::At(int id) const {
    const auto it = controls_.find(id);
    if (it == controls_.end()) Raise(kInvalidCall);
    return it->second;
}

ControlState& FakeForm::At(int id) {
    const auto it = controls_.find(id);
    if (it == controls_.end()) Raise(kInvalidCall);
    return it->second;
}

int32_t FakeForm::ToPixels(int32_t twips) { return static_cast<int32_t>(std::lround(twips / static_cast<double>(kTwipsPerPixel))); }

void FakeForm::SetEnabled(int id, bool enabled) {
    ControlState& s = At(id);
    s.enabled = enabled;
    // Enabling counts the interval afresh, even for a running timer.
    const auto timer = timers_.find(id);
    if (timer != timers_.end() && enabled) timer->second.due = platform_.now_ + timer->second.interval;
}

void FakeForm::SetLine(int id, int x1, int y1, int x2, int y2) {
    ControlState& s = At(id);
    s.x1 = x1, s.y1 = y1, s.x2 = x2, s.y2 = y2;
}

void FakeForm::SetChecked(int id, bool checked) {
    ControlState& chosen = At(id);
    // Choosing one option clears the others, as in a real group.
    if (checked && optionButtons_.count(id)) {
        for (auto& [other, state] : controls_) {
            if (optionButtons_.count(other)) state.checked = false;
        }
    }
    chosen.checked = checked;
}

void FakeForm::Choose(int id) {
    if (optionButtons_.count(id)) SetChecked(id, true);
    if (checkBoxes_.count(id)) SetChecked(id, !Checked(id));
}

void FakeForm::SetGraph(int id, const GraphData& data) {
    (void)At(id);
    if (!graphIds_.count(id)) Raise(kInvalidCall);
    graphs[id] = data;
}

void FakeForm::SetSelection(int id, int start, int length) {
    ControlState& s = At(id);
    s.selStart = start;
    s.selLength = length;
}

FakeForm::~FakeForm() { std::erase(platform_.forms, this); }

uint32_t Face::Pixel(int x, int y) {
    ++reads;
    if (x < 0 || y < 0 || x >= width || y >= height) return kNoColor;
    if (keyPixels.count({x, y})) return keyColor;
    const auto it = otherPixels.find({x, y});
    return it == otherPixels.end() ? faceColor : it->second;
}

void FakeForm::CutOutline(Color key) {
    ++outlineCuts;
    outline.clear();
    ForEachKeyRun(
        width_, height_, [&](int x, int y) { return hasFace_ && platform_.face.Pixel(x, y) == key; },
        [&](int left, int right, int y) { outline.push_back({left, y, right - left, 1}); });
}

void FakeForm::ShowModal() {
    ++modalShows;
    visible_ = true;
    if (platform_.onModal) platform_.onModal(*this);
    if (loaded_) Unload();  // the user closed it
}

void FakeForm::Unload() {
    int16_t cancel = 0;
    events_.Unload(cancel);
    if (cancel == 0) {
        loaded_ = false;
        visible_ = false;
    }
}

std::unique_ptr<Form> FakePlatform::CreateForm(const FormDef& def, FormEvents& events) {
    return std::make_unique<FakeForm>(*this, def, events);
}

int FakePlatform::MsgBox(std::string_view text, unsigned style, std::string_view title) {
    {
        const Bookkeeping records;
        boxes.push_back({std::string(text), style, std::string(title)});
    }
    if (onMsgBox) onMsgBox();
    if (answers.empty()) return (style & 0xF) == kYesNo ? kYes : kOk;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

std::span<const uint8_t> FakePlatform::CustomResource(int id) {
    const auto it = resources.find(id);
    if (it == resources.end()) return {};
    return it->second;
}

std::string FakePlatform::GetSetting(std::string_view app, std::string_view section, std::string_view key,
                                     std::string_view fallback) {
    const auto it = settings.find(Lower(std::string(app) + "\\" + std::string(section) + "\\" + std::string(key)));
    return it == settings.end() ? std::string(fallback) : it->second;
}

void FakePlatform::SaveSetting(std::string_view app, std::string_view section, std::string_view key,
                               std::string_view value) {
    settings[Lower(std::string(app) + "\\" + std::string(section) + "\\" + std::string(key))] = value;
    writes.emplace_back(std::string(key), std::string(value));
}

void FakePlatform::DeleteSetting(std::string_view app, std::string_view section, std::string_view key) {
    settings.erase(Lower(std::string(app) + "\\" + std::string(section) + "\\" + std::string(key)));
    deletions.emplace_back(key);
}

ClockTime FakePlatform::Now() {
    const int64_t seconds = clockStart + now_ / 1000;
    const int64_t ofDay = seconds % 86400;
    return {seconds, static_cast<int>(ofDay / 3600), static_cast<int>(ofDay % 3600 / 60)};
}

double FakePlatform::Rnd() {
    if (randoms.empty()) return 0.5;
    const double r = randoms.front();
    randoms.pop_front();
    return r;
}

bool FakePlatform::VisitProcesses(ProcessVisitor& visitor) {
    ++processTables;
    if (processTableFails) return false;
    for (const ProcessMemory& p : processes) visitor.Visit({p.pid, p.name, p.privateBytes});
    return true;
}

bool FakePlatform::RectOnAnyMonitor(Rect r) {
    return std::any_of(monitors.begin(), monitors.end(), [&](const Rect& m) {
        return r.left < m.left + m.width && m.left < r.left + r.width && r.top < m.top + m.height &&
               m.top < r.top + r.height;
    });
}

void FakePlatform::Dispatch(const std::function<void()>& handler) {
    struct Depth {
        int& depth;
        explicit Depth(int& d) : depth(++d) {}
        ~Depth() { --depth; }
    } depth(dispatchDepth_);
    int number = 0;
    std::string description;
    try {
        handler();
        return;
    } catch (const ProgramEnded&) {
        return;
    } catch (const RuntimeError& error) {
        number = error.number();
        description = error.description();
    } catch (const std::bad_alloc&) {
        number = kOutOfMemory;
        description = ErrorDescription(kOutOfMemory);
    }
    try {
        ReportUntrapped(number, description);
    } catch (const ProgramEnded&) {
    }
}

// As the real report: once, with the icon gone and the timers stopped
// first; a second fault while its box shows ends the program at once.
void FakePlatform::ReportUntrapped(int number, std::string_view description) {
    for (FakeTrayHost* host : trayHosts) host->DeleteIcon();
    if (std::exchange(reporting_, true)) {
        ended = true;
        throw ProgramEnded{};
    }
    timersStopped = true;
    {
        const Bookkeeping records;
        std::array<char, 512> text;
        boxes.push_back({std::string(UntrappedErrorText(number, description, text)), kCritical, AppTitle()});
    }
    if (onMsgBox) onMsgBox();
    ended = true;
}

}  // namespace vt::fake

namespace vt::fake {

FakeForm* FakePlatform::LiveForm(uint64_t serial) const {
    for (FakeForm* form : forms) {
        if (form->serial_ == serial) return form->loaded_ ? form : nullptr;
    }
    return nullptr;
}

void FakePlatform::Post(std::function<void()> handler) { posted_.push_back(std::move(handler)); }

void FakePlatform::PostClick(FakeForm& form, int id) {
    // A press, the click and the release, as a button reports them; a form
    // unloaded on the way hears no more of it.
    posted_.push_back([this, serial = form.serial(), id] {
        if (FakeForm* live = LiveForm(serial)) live->events().MouseDown(id, MouseButton::Left);
        // A choice changes before its click is heard, as a real one does.
        if (FakeForm* live = LiveForm(serial)) live->Choose(id);
        if (FakeForm* live = LiveForm(serial)) live->events().Click(id);
        if (FakeForm* live = LiveForm(serial)) live->events().MouseUp(id, MouseButton::Left);
    });
}

bool FakePlatform::RunPending(int64_t until) {
    if (!posted_.empty()) {
        const std::function<void()> handler = std::move(posted_.front());
        posted_.pop_front();
        Dispatch(handler);
        return true;
    }
    // Like WM_TIMER: only once the queue is empty, the earliest due first, and
    // a timer that came due several times while the program was busy ticks once.
    if (timersStopped) return false;
    FakeForm* form = nullptr;
    int id = 0;
    int64_t due = std::numeric_limits<int64_t>::max();
    for (FakeForm* f : forms) {
        if (!f->loaded_) continue;
        for (const auto& [timerId, timer] : f->timers_) {
            if (f->controls_.at(timerId).enabled && timer.due < due) form = f, id = timerId, due = timer.due;
        }
    }
    FakeTrayHost* retrying = nullptr;
    for (FakeTrayHost* host : trayHosts) {
        if (host->RetryDue() && *host->RetryDue() < due) retrying = host, due = *host->RetryDue();
    }
    if ((!form && !retrying) || due > until) return false;
    now_ = std::max(now_, due);
    if (retrying) {
        Dispatch([&] { retrying->Retry(); });
        return true;
    }
    FakeForm::TimerState& timer = form->timers_.at(id);
    timer.due += timer.interval * ((now_ - timer.due) / timer.interval + 1);
    FormEvents& events = form->events();
    Dispatch([&] { events.Timer(id); });
    return true;
}

void FakePlatform::DoEvents() {
    ++doEventsPasses;
    const bool wasEnded = ended;
    while (!ended && RunPending(now_)) {
    }
    // An event of this pass ended the program: the handler that asked for the
    // pass does not go on either.
    if (!wasEnded && ended && dispatchDepth_ > 0) throw ProgramEnded{};
}

void FakePlatform::Advance(int64_t ms) {
    const int64_t until = now_ + ms;
    while (!ended && RunPending(until)) {
    }
    now_ = std::max(now_, until);
}

}  // namespace vt::fake
