#include <gtest/gtest.h>

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
        // The warning's three first, then the controls the table gives no index, in table order.
        {"options", OptionsWindowDef(),
         {o::Text1, o::Command4, o::Command5, o::Command3, o::SSTab1, o::Option1, o::Option2, o::Option3, o::Option4,
          o::Option5, o::Command1, o::Command2}},
    };
    for (const auto& c : cases) EXPECT_EQ(TabOrder(c.def.controls), c.order) << c.window;
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

}  // namespace
}  // namespace vt
