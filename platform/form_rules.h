// Rules of forms that hold on every platform: the order in which Tab visits
// a form's controls, the option buttons that share one choice, the name a
// screen reader is given for a control, the colour a label's text takes, the
// labels that lie beneath the controls they overlap, and where a graph's
// values land.
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace vt {

bool TakesFocus(ControlKind kind);

// The controls that can take the focus, in the order Tab visits them: those
// with a tab index by that index, then the others in table order.
std::vector<int> TabOrder(std::span<const ControlDef> controls);

// The stop after `current` in `order` (before it when going backwards),
// wrapping round, skipping what `available` refuses: hidden, disabled, an
// unchosen option. A current control outside the order starts from the
// first (or the last). 0 when no control is available.
int NextTabStop(const std::vector<int>& order, int current, bool backwards,
                const std::function<bool(int)>& available);

// The page a control lies on: (tab control id, page), or (0, -1) off every
// tab control.
std::pair<int, int> PageOf(const FormDef& def, const ControlDef& c);

// The run of option buttons (consecutive in the table) that `id` belongs
// to; empty for any other control.
std::vector<int> OptionGroup(std::span<const ControlDef> controls, int id);

// The name a screen reader is given instead of what the control shows:
// its own accessible name, else for a control without a caption its
// tooltip. Empty where the caption names the control. The text of a text
// or combo box is its value, never its name; a graph shows no text, so its
// caption is its name.
std::string AccessibleName(const ControlDef& def, std::string_view caption, std::string_view toolTip);

// The colour a label draws its text in, given the colour it would draw it in
// and its back colour, both plain RGB (system colours resolved): that colour,
// unless it is the back colour itself, where nothing could be read; then
// black or white, whichever stands out more on the back.
Color ReadableTextColor(Color text, Color back);

// A label lies beneath the buttons, text and combo boxes it overlaps in the
// window that holds them both (on the same page, if on a tab control's),
// whatever their order in the table: a label's rectangle may run under its
// button's, as "Mb" runs under "Set". Each such (label, control), in table
// order.
std::vector<std::pair<int, int>> LabelsBeneath(const FormDef& def);

// Where a graph's parts land in its plot area (pixels, y growing down):
// one polyline per run of joined points (a run of one point is a dot), the
// row of the level (none without one, or beyond low and high), the column
// of each mark within the span.
struct GraphPlot {
    std::vector<std::vector<Point>> runs;
    std::optional<int> level;
    std::vector<int> marks;
};
GraphPlot PlotGraph(const GraphData& data, Rect area);

}  // namespace vt
