#include <gtest/gtest.h>

#include <limits>
#include <set>

#include "platform/form_rules.h"
#include "ui/form1.h"
#include "ui/options_window.h"

namespace vt {
namespace {

TEST(FormRules, TabOrderOfBothWindows) {
    namespace o = frm_options;
    using namespace form1;
    const struct {
        const char* window;
        const FormDef& def;
        std::vector<int> order;
    } cases[] = {
        // Labels and pictures in the main window's order take no focus.
        {"main", MainWindowDef(), {Command1, Command2, Text1, Combo1, Command3, Command4, Command5}},
        // The warning's four first, then the controls the table gives no index, in table order.
        {"options", OptionsWindowDef(),
         {o::Text1, o::Command4, o::Command5, o::Check1, o::Command3, o::SSTab1, o::Option1, o::Option2, o::Option3,
          o::Option4, o::Option5, o::Command1, o::Command2, o::Graph1}},
    };
    for (const auto& c : cases) EXPECT_EQ(TabOrder(c.def.controls), c.order) << c.window;
    // A graph takes the focus like a button, so that a screen reader lands on it.
    const ControlDef page[] = {
        {.kind = ControlKind::Label, .id = 1},
        {.kind = ControlKind::Graph, .id = 2},
        {.kind = ControlKind::Button, .id = 3, .tabIndex = 0},
    };
    EXPECT_EQ(TabOrder(page), (std::vector<int>{3, 2}));
}

TEST(FormRules, NextTabStop) {
    const std::vector<int> order = {5, 2, 9, 7};
    const struct {
        int current;
        bool backwards;
        std::set<int> unavailable;
        int next;
    } cases[] = {
        {5, false, {}, 2},
        {2, true, {}, 5},
        {7, false, {}, 5},      // wraps to the first
        {5, true, {}, 7},       // and back to the last
        {0, false, {}, 5},      // from outside the order: the first
        {0, true, {}, 7},       // or the last
        {2, false, {9}, 7},     // skips what cannot take the focus
        {7, false, {5, 2}, 9},  // over the wrap too
        {9, false, {5, 2, 7}, 9},
        {9, false, {5, 2, 7, 9}, 0},
        {0, false, {5, 2, 7, 9}, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NextTabStop(order, c.current, c.backwards, [&](int id) { return !c.unavailable.count(id); }), c.next)
            << c.current << (c.backwards ? " back" : " forward");
    }
    EXPECT_EQ(NextTabStop({}, 1, false, [](int) { return true; }), 0);
}

const ControlDef& Row(const FormDef& def, int id) {
    for (const ControlDef& c : def.controls) {
        if (c.id == id) return c;
    }
    throw std::out_of_range("no row");
}

TEST(FormRules, AccessibleNames) {
    using namespace form1;
    const FormDef& main = MainWindowDef();
    const struct {
        int id;
        const char* caption;  // what the control shows
        const char* toolTip;
        const char* name;     // "" where the caption names it
    } cases[] = {
        {Picture1, "", "62%", "62%"},  // the busy bar says its tooltip
        {Picture1, "", "", ""},
        {Command5, "", "Show Kb or Bytes. If this button is red you have Ram Warning on", "Units"},
        {Image3, "", "", "Hide"},
        {Command1, "Update", "Click on me to check your RAM (Random Access Memory) ", ""},
        {Label1, "Not Updated", "", ""},
        {Text1, "1", "Max 60", "Max 60"},  // a text box's text is its value
        {Combo1, "min", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AccessibleName(Row(main, c.id), c.caption, c.toolTip), c.name) << c.id << " " << c.caption;
    }
    // A graph draws no text: its caption is its name.
    const ControlDef graph{.kind = ControlKind::Graph, .id = 1};
    EXPECT_EQ(AccessibleName(graph, "Free memory, last hour: now 3.4 GB", "tip"), "Free memory, last hour: now 3.4 GB");
    EXPECT_EQ(AccessibleName(graph, "", "tip"), "tip");
}

// A label's text colour stays its own unless it is exactly its back colour;
// then it is black or white, whichever contrasts more with the back.
TEST(FormRules, ReadableTextColor) {
    const struct {
        const char* what;
        Color text, back, shown;
    } cases[] = {
        {"black on the caption text's black", kBlack, kBlack, kWhite},
        {"white on white", kWhite, kWhite, kBlack},
        {"yellow on yellow", 0x0000FFFF, 0x0000FFFF, kBlack},
        {"navy on navy", 0x00800000, 0x00800000, kWhite},
        {"blue on blue", 0x00FF0000, 0x00FF0000, kWhite},
        {"red on red: red is light enough for black", kRed, kRed, kBlack},
        {"grey on the middle grey", 0x00808080, 0x00808080, kBlack},
        {"grey on a dark grey", 0x00404040, 0x00404040, kWhite},
        {"white on black stays", kWhite, kBlack, kWhite},
        {"red on yellow stays", kRed, 0x0000FFFF, kRed},
        {"one step apart stays: only the same colour is unreadable", 0x00000001, kBlack, 0x00000001},
    };
    for (const auto& c : cases) EXPECT_EQ(ReadableTextColor(c.text, c.back), c.shown) << c.what;
}

// Labels go beneath the buttons, text and combo boxes they overlap in the same
// window: tab controls and frames hold no window of their own, picture boxes do.
TEST(FormRules, LabelsBeneathWhatTheyOverlap) {
    enum { kTab = 1, kFrame, kBox, kButton, kText, kCombo, kImage, kBoxButton, kOnTab, kInFrame, kOnForm, kTouching,
           kInBox, kOverImage, kOtherPage, kPageButton, kFormButton };
    static const ControlDef controls[] = {
        {.kind = ControlKind::Tab, .id = kTab, .rect = {10, 10, 200, 100}},
        {.kind = ControlKind::Frame, .id = kFrame, .container = kTab, .rect = {10, 20, 100, 60}},
        {.kind = ControlKind::PictureBox, .id = kBox, .rect = {220, 10, 60, 60}},
        // At (30, 40) in the form.
        {.kind = ControlKind::Button, .id = kButton, .container = kFrame, .rect = {10, 10, 40, 20}},
        {.kind = ControlKind::TextBox, .id = kText, .rect = {100, 150, 40, 20}},
        {.kind = ControlKind::ComboBox, .id = kCombo, .rect = {150, 150, 40, 20}},
        {.kind = ControlKind::Image, .id = kImage, .rect = {10, 200, 40, 20}},
        {.kind = ControlKind::Button, .id = kBoxButton, .container = kBox, .rect = {0, 0, 20, 20}},
        {.kind = ControlKind::Label, .id = kOnTab, .container = kTab, .rect = {25, 30, 10, 10}},  // over kButton
        {.kind = ControlKind::Label, .id = kInFrame, .container = kFrame, .rect = {45, 25, 10, 10}},  // its right edge
        {.kind = ControlKind::Label, .id = kOnForm, .rect = {130, 155, 30, 10}},  // over the text and the combo box
        {.kind = ControlKind::Label, .id = kTouching, .rect = {60, 150, 40, 20}},  // ends where the text box starts
        {.kind = ControlKind::Label, .id = kInBox, .container = kBox, .rect = {10, 10, 20, 20}},
        {.kind = ControlKind::Label, .id = kOverImage, .rect = {20, 205, 40, 10}},
        {.kind = ControlKind::Label, .id = kOtherPage, .container = kTab, .rect = {25, 30, 10, 10}, .tab = 1},
        {.kind = ControlKind::Button, .id = kPageButton, .container = kTab, .rect = {20, 25, 10, 10}, .tab = 2},
        {.kind = ControlKind::Button, .id = kFormButton, .rect = {30, 35, 10, 10}},  // under kOtherPage
    };
    FormDef synthetic{.name = "Overlaps"};
    synthetic.controls = controls;
    using Pairs = std::vector<std::pair<int, int>>;
    EXPECT_EQ(LabelsBeneath(synthetic),
              (Pairs{{kOnTab, kButton}, {kOnTab, kFormButton}, {kInFrame, kButton}, {kOnForm, kText}, {kOnForm, kCombo},
                     {kInBox, kBoxButton}, {kOtherPage, kFormButton}}));
    // The options window's "Mb" runs under "Set"; the main window's "Check
    // every" ends one pixel into the interval's box.
    EXPECT_EQ(LabelsBeneath(OptionsWindowDef()), (Pairs{{frm_options::Label3, frm_options::Command4}}));
    EXPECT_EQ(LabelsBeneath(MainWindowDef()), (Pairs{{form1::Label2, form1::Text1}}));
}

// A span of 100 s over 101 columns and a range of 10 over 11 rows: a point
// (t, v) lands at (t, 10 - v) before the area's corner is added.
TEST(FormRules, PlotGraph) {
    using Runs = std::vector<std::vector<Point>>;
    const Rect area{0, 0, 101, 11};
    auto data = [](std::vector<std::pair<int64_t, double>> points, int64_t gapAfter = 0) {
        GraphData d{.from = 1000, .to = 1100, .low = 0, .high = 10, .gapAfter = gapAfter};
        for (auto& [t, v] : points) d.points.emplace_back(t + 1000, v);
        return d;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        const char* what;
        GraphData data;
        Runs runs;
    } cases[] = {
        {"corners and middle", data({{0, 0}, {50, 5}, {100, 10}}), {{{0, 10}, {50, 5}, {100, 0}}}},
        {"joined whatever the distance without a gap", data({{0, 1}, {90, 1}}), {{{0, 9}, {90, 9}}}},
        {"apart by more than the gap: two runs", data({{0, 1}, {10, 2}, {30, 3}, {40, 4}}, 10),
         {{{0, 9}, {10, 8}}, {{30, 7}, {40, 6}}}},
        {"a lone point is a run of its own", data({{0, 1}, {50, 2}, {100, 3}}, 10), {{{0, 9}}, {{50, 8}}, {{100, 7}}}},
        {"values beyond the range stand at its edge", data({{0, -5}, {10, 25}}), {{{0, 10}, {10, 0}}}},
        {"points before and after the span are left out", data({{-10, 1}, {0, 2}, {100, 3}, {110, 4}}),
         {{{0, 8}, {100, 7}}}},
        {"a value that is no number breaks the line", data({{0, 1}, {10, nan}, {20, 3}}), {{{0, 9}}, {{20, 7}}}},
        {"points on one pixel count once", data({{0, 1}, {0, 1}, {1, 1}}), {{{0, 9}, {1, 9}}}},
        {"no points", data({}), {}},
    };
    for (const auto& c : cases) {
        const GraphPlot plot = PlotGraph(c.data, area);
        ASSERT_EQ(plot.runs.size(), c.runs.size()) << c.what;
        for (size_t i = 0; i < c.runs.size(); ++i) {
            ASSERT_EQ(plot.runs[i].size(), c.runs[i].size()) << c.what << " run " << i;
            for (size_t j = 0; j < c.runs[i].size(); ++j) {
                EXPECT_EQ(plot.runs[i][j].x, c.runs[i][j].x) << c.what << " run " << i << " point " << j;
                EXPECT_EQ(plot.runs[i][j].y, c.runs[i][j].y) << c.what << " run " << i << " point " << j;
            }
        }
    }

    // The level and the marks, in an area away from the corner.
    GraphData d = data({{0, 1}});
    d.level = 3;
    d.marks = {999, 1000, 1025, 1100, 1101};
    GraphPlot plot = PlotGraph(d, {20, 30, 101, 11});
    EXPECT_EQ(plot.level, std::optional<int>(37));
    EXPECT_EQ(plot.marks, (std::vector<int>{20, 45, 120}));
    for (double beyond : {-0.5, 10.5, nan}) {
        d.level = beyond;
        EXPECT_FALSE(PlotGraph(d, area).level) << beyond;
    }
    // An empty span or range shows nothing.
    for (auto [to, high] : {std::pair<int64_t, double>{1000, 10}, {900, 10}, {1100, 0}, {1100, nan}}) {
        GraphData empty = data({{0, 1}, {50, 2}});
        empty.to = to, empty.high = high, empty.level = 0, empty.marks = {1000};
        plot = PlotGraph(empty, area);
        EXPECT_TRUE(plot.runs.empty() && !plot.level && plot.marks.empty()) << to << " " << high;
    }
}

}  // namespace
}  // namespace vt
