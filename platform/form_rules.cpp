#include "platform/form_rules.h"

#include <algorithm>
#include <cmath>

#include "platform/dpi.h"

namespace vt {
namespace {

// The relative luminance of an sRGB colour, 0 for black to 1 for white.
double Luminance(Color rgb) {
    auto linear = [](uint32_t channel) {
        const double c = channel / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(rgb & 0xFF) + 0.7152 * linear((rgb >> 8) & 0xFF) + 0.0722 * linear((rgb >> 16) & 0xFF);
}

const ControlDef* Find(const FormDef& def, int id) {
    for (const ControlDef& c : def.controls) {
        if (c.id == id) return &c;
    }
    return nullptr;
}

// The control whose window really holds this one (0: the form): tab
// controls and frames only draw behind what they hold.
int HoldingWindow(const FormDef& def, const ControlDef& c) {
    int container = c.container;
    for (const ControlDef* box = Find(def, container);
         box && (box->kind == ControlKind::Tab || box->kind == ControlKind::Frame); box = Find(def, container)) {
        container = box->container;
    }
    return container;
}


bool Overlap(const Rect& a, const Rect& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

}  // namespace

std::pair<int, int> PageOf(const FormDef& def, const ControlDef& c) {
    for (const ControlDef* d = &c; d->container != 0;) {
        const ControlDef* box = Find(def, d->container);
        if (!box) break;
        if (box->kind == ControlKind::Tab) return {box->id, d->tab};
        d = box;
    }
    return {0, -1};
}

bool TakesFocus(ControlKind kind) {
    switch (kind) {
        case ControlKind::Button:
        case ControlKind::TextBox:
        case ControlKind::ComboBox:
        case ControlKind::Tab:
        case ControlKind::OptionButton:
        case ControlKind::CheckBox:
        case ControlKind::Graph:
            return true;
        default:
            return false;
    }
}

std::vector<int> TabOrder(std::span<const ControlDef> controls) {
    std::vector<const ControlDef*> stops;
    for (const ControlDef& c : controls) {
        if (TakesFocus(c.kind)) stops.push_back(&c);
    }
    std::stable_sort(stops.begin(), stops.end(), [](const ControlDef* a, const ControlDef* b) {
        if ((a->tabIndex < 0) != (b->tabIndex < 0)) return b->tabIndex < 0;
        return a->tabIndex < b->tabIndex;
    });
    std::vector<int> order;
    for (const ControlDef* c : stops) order.push_back(c->id);
    return order;
}

int NextTabStop(const std::vector<int>& order, int current, bool backwards,
                const std::function<bool(int)>& available) {
    const int n = static_cast<int>(order.size());
    if (n == 0) return 0;
    const auto at = std::find(order.begin(), order.end(), current);
    int i = at == order.end() ? (backwards ? 0 : n - 1) : static_cast<int>(at - order.begin());
    for (int step = 0; step < n; ++step) {
        i = (i + (backwards ? n - 1 : 1)) % n;
        if (available(order[static_cast<size_t>(i)])) return order[static_cast<size_t>(i)];
    }
    return 0;
}

std::vector<int> OptionGroup(std::span<const ControlDef> controls, int id) {
    std::vector<int> run;
    bool found = false;
    for (const ControlDef& c : controls) {
        if (c.kind != ControlKind::OptionButton) {
            if (found) break;
            run.clear();
            continue;
        }
        run.push_back(c.id);
        found = found || c.id == id;
    }
    return found ? run : std::vector<int>{};
}

std::string AccessibleName(const ControlDef& def, std::string_view caption, std::string_view toolTip) {
    if (def.accessibleName && *def.accessibleName) return def.accessibleName;
    if (def.kind == ControlKind::Graph) return std::string(caption.empty() ? toolTip : caption);
    const bool textIsValue = def.kind == ControlKind::TextBox || def.kind == ControlKind::ComboBox;
    if (textIsValue || caption.empty()) return std::string(toolTip);
    return {};
}

Color ReadableTextColor(Color text, Color back) {
    if ((text & 0xFFFFFF) != (back & 0xFFFFFF)) return text;
    // The contrast of two luminances is (lighter + 0.05) / (darker + 0.05).
    const double l = Luminance(back);
    const double onBlack = (l + 0.05) / 0.05, onWhite = 1.05 / (l + 0.05);
    return onBlack >= onWhite ? kBlack : kWhite;
}

std::vector<std::pair<int, int>> LabelsBeneath(const FormDef& def) {
    std::vector<std::pair<int, int>> pairs;
    for (const ControlDef& label : def.controls) {
        if (label.kind != ControlKind::Label) continue;
        const Rect at = dpi::PhysicalRect(def, label.id, label.rect, dpi::kBaseDpi);
        const auto [tab, page] = PageOf(def, label);
        for (const ControlDef& c : def.controls) {
            const bool above = c.kind == ControlKind::Button || c.kind == ControlKind::TextBox ||
                               c.kind == ControlKind::ComboBox;
            // Two pages of one tab control never show together.
            const auto [otherTab, otherPage] = PageOf(def, c);
            if (above && HoldingWindow(def, c) == HoldingWindow(def, label) && (tab != otherTab || page == otherPage) &&
                Overlap(at, dpi::PhysicalRect(def, c.id, c.rect, dpi::kBaseDpi))) {
                pairs.emplace_back(label.id, c.id);
            }
        }
    }
    return pairs;
}

GraphPlot PlotGraph(const GraphData& data, Rect area) {
    GraphPlot plot;
    const double span = static_cast<double>(data.to - data.from), range = data.high - data.low;
    if (!(span > 0) || !(range > 0) || !std::isfinite(range) || area.width <= 0 || area.height <= 0) return plot;
    auto x = [&](int64_t t) {
        return area.left + static_cast<int>(std::lround(static_cast<double>(t - data.from) / span * (area.width - 1)));
    };
    auto y = [&](double v) {
        const double share = (data.high - std::clamp(v, data.low, data.high)) / range;
        return area.top + static_cast<int>(std::lround(share * (area.height - 1)));
    };
    auto inSpan = [&](int64_t t) { return t >= data.from && t <= data.to; };

    const std::pair<int64_t, double>* last = nullptr;  // the run's last point
    for (const auto& point : data.points) {
        const auto& [t, v] = point;
        if (!inSpan(t) || !std::isfinite(v)) {
            last = nullptr;
            continue;
        }
        if (!last || (data.gapAfter > 0 && t - last->first > data.gapAfter)) plot.runs.emplace_back();
        const Point at{x(t), y(v)};
        std::vector<Point>& run = plot.runs.back();
        if (run.empty() || run.back().x != at.x || run.back().y != at.y) run.push_back(at);
        last = &point;
    }
    if (data.level && *data.level >= data.low && *data.level <= data.high) plot.level = y(*data.level);
    for (int64_t t : data.marks) {
        if (inSpan(t)) plot.marks.push_back(x(t));
    }
    return plot;
}

}  // namespace vt
