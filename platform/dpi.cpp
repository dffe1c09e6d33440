// Display scaling rules; see dpi.h.
#include "platform/dpi.h"

#include <cmath>
#include <cstdint>

namespace vt::dpi {
namespace {

constexpr int kStepDpis[kPictureSteps] = {96, 120, 144, 168, 192};

const ControlDef* Def(const FormDef& def, int id) {
    for (const ControlDef& c : def.controls) {
        if (c.id == id) return &c;
    }
    return nullptr;
}

bool DrawsBehind(ControlKind kind) { return kind == ControlKind::Tab || kind == ControlKind::Frame; }

// The offset of a container's inside within the window that really holds
// it: tab controls and frames add their corner on the way up.
void OffsetIn(const FormDef& def, int container, int& x, int& y) {
    x = y = 0;
    while (container != 0) {
        const ControlDef* c = Def(def, container);
        if (!c || !DrawsBehind(c->kind)) return;
        x += c->rect.left;
        y += c->rect.top;
        container = c->container;
    }
}

}  // namespace

int Scale(int v, int dpi) {
    if (v < 0) return -Scale(-v, dpi);
    return static_cast<int>((static_cast<int64_t>(v) * dpi + kBaseDpi / 2) / kBaseDpi);
}

Rect ScaleRect(Rect r, int dpi) {
    const int left = Scale(r.left, dpi), top = Scale(r.top, dpi);
    return {left, top, Scale(r.left + r.width, dpi) - left, Scale(r.top + r.height, dpi) - top};
}

int FontHeight(double points, int dpi) { return -static_cast<int>(std::lround(points * dpi / 72.0)); }

int SmallIconSize(int dpi) { return Scale(16, dpi); }

int PictureStepDpi(int step) { return kStepDpis[step]; }

int PictureStepFor(int dpi) {
    for (int step = 0; step < kPictureSteps; ++step) {
        if (kStepDpis[step] >= dpi) return step;
    }
    return kPictureSteps - 1;
}

int PictureId(int base, int step) { return base + 100 * step; }

int PictureVersion(int base, int dpi, const std::function<bool(int id)>& exists) {
    const int wanted = PictureStepFor(dpi);
    for (int step = wanted; step < kPictureSteps; ++step) {
        if (exists(PictureId(base, step))) return PictureId(base, step);
    }
    for (int step = wanted - 1; step >= 0; --step) {
        if (exists(PictureId(base, step))) return PictureId(base, step);
    }
    return 0;
}

const ControlLayout* ScaledLayout::Find(int id) const {
    for (const ControlLayout& c : controls) {
        if (c.id == id) return &c;
    }
    return nullptr;
}

Rect PhysicalRect(const FormDef& def, int id, Rect r, int dpi) {
    const ControlDef* c = Def(def, id);
    int x = 0, y = 0;
    if (c) OffsetIn(def, c->container, x, y);
    if (c && c->kind == ControlKind::Line) {
        return {Scale(x + r.left, dpi), Scale(y + r.top, dpi), Scale(x + r.width, dpi), Scale(y + r.height, dpi)};
    }
    r.left += x;
    r.top += y;
    return ScaleRect(r, dpi);
}

ScaledLayout LayoutAt(const FormDef& def, int dpi) {
    ScaledLayout layout;
    layout.dpi = dpi;
    layout.clientWidth = Scale(def.clientWidth, dpi);
    layout.clientHeight = Scale(def.clientHeight, dpi);
    for (const ControlDef& c : def.controls) {
        ControlLayout l;
        l.id = c.id;
        l.kind = c.kind;
        l.rect = PhysicalRect(def, c.id, c.rect, dpi);
        l.windowHeight = l.rect.height;
        if (c.kind == ControlKind::ComboBox) {
            // The list drops 120 pixels (at 96 DPI) below the box.
            int x = 0, y = 0;
            OffsetIn(def, c.container, x, y);
            const int top = y + c.rect.top;
            l.windowHeight = Scale(top + c.rect.height + 120, dpi) - Scale(top, dpi);
        }
        const FontDef& f = c.font.face ? c.font : def.font;
        l.fontFace = f.face ? f.face : "Arial";
        l.fontPoints = f.points;
        l.fontHeight = FontHeight(f.points, dpi);
        layout.controls.push_back(std::move(l));
    }
    return layout;
}

}  // namespace vt::dpi
