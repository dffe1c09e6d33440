#include "platform/fake/fake_platform.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "platform/errors.h"

namespace vt::fake {
namespace {

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

FakeForm::FakeForm(FakePlatform& platform, const FormDef& def, FormEvents& events)
    : platform_(platform), events_(events), width_(def.clientWidth), height_(def.clientHeight),
      hwnd_(platform.forms.empty() ? kMainHwnd : kMainHwnd + 0x100 * platform.forms.size()) {
    platform.forms.push_back(this);
    controls_[0].caption = def.caption;
    // As the real window: it starts with its class's icon.
    icon_ = def.icon ? platform.IconResource(def.icon) : 0;
    for (const ControlDef& c : def.controls) {
        ControlState& s = controls_[c.id];
        s.caption = c.caption;
        s.enabled = c.kind == ControlKind::Timer ? false : !(c.style & kDisabled);
        s.back = c.back;
        s.fore = c.fore;
        s.toolTip = c.toolTip ? c.toolTip : "";
        s.rect = c.rect;
        s.checked = c.style & kChecked;
        if (c.kind == ControlKind::Line) {
            s.x1 = c.rect.left, s.y1 = c.rect.top, s.x2 = c.rect.width, s.y2 = c.rect.height;
        }
    }
    for (const MenuDef& m : def.menus) controls_[m.id].caption = m.caption;
    for (const ControlDef& c : def.controls) {
        if (c.kind == ControlKind::OptionButton) optionButtons_.insert(c.id);
    }
}

const ControlState& FakeForm::At(int id) const {
    const auto it = controls_.find(id);
    if (it == controls_.end()) throw std::out_of_range("no control " + std::to_string(id));
    return it->second;
}

void FakeForm::SetLine(int id, int x1, int y1, int x2, int y2) {
    ControlState& s = controls_[id];
    s.x1 = x1, s.y1 = y1, s.x2 = x2, s.y2 = y2;
}

void FakeForm::SetChecked(int id, bool checked) {
    // Choosing one option clears the others, as in a real group.
    if (checked) {
        for (auto& [other, state] : controls_) {
            if (optionButtons_.count(other)) state.checked = false;
        }
    }
    controls_[id].checked = checked;
}

void FakeForm::SetSelection(int id, int start, int length) {
    controls_[id].selStart = start;
    controls_[id].selLength = length;
}

FakeForm::~FakeForm() { std::erase(platform_.forms, this); }

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
    boxes.push_back({std::string(text), style, std::string(title)});
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

uintptr_t FakePlatform::IconResource(int id) {
    return id == 1 || (id >= 101 && id <= 145) ? 0x1C000u + static_cast<uintptr_t>(id) : 0;
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

double FakePlatform::Rnd() {
    if (randoms.empty()) return 0.5;
    const double r = randoms.front();
    randoms.pop_front();
    return r;
}

bool FakePlatform::RectOnAnyMonitor(Rect r) {
    return std::any_of(monitors.begin(), monitors.end(), [&](const Rect& m) {
        return r.left < m.left + m.width && m.left < r.left + r.width && r.top < m.top + m.height &&
               m.top < r.top + r.height;
    });
}

void FakePlatform::Dispatch(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const ProgramEnded&) {
    } catch (const RuntimeError& error) {
        if (hook_) hook_(hookContext_);
        boxes.push_back({UntrappedErrorText(error.number(), error.description()), kCritical, AppTitle()});
        ended = true;
    }
}

}  // namespace vt::fake
