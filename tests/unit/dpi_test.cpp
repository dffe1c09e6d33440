// Display scaling: the rounding rules, the choice of picture versions, and
// where every control of both windows lands at 100 % to 200 %.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/dpi.h"
#include "ui/form1.h"
#include "ui/options_window.h"

namespace vt {

// Found by the assertions through the argument's namespace.
inline std::ostream& operator<<(std::ostream& out, const Rect& r) {
    return out << "{" << r.left << ", " << r.top << ", " << r.width << ", " << r.height << "}";
}

namespace {

constexpr int kDpis[] = {96, 120, 144, 168, 192};

TEST(Dpi, ScaleRoundsHalvesAwayFromZero) {
    const struct {
        int v, dpi, want;
    } cases[] = {
        {0, 144, 0},     {1, 96, 1},      {1, 120, 1},    {1, 144, 2},     {3, 112, 4},    {16, 120, 20},
        {16, 144, 24},   {16, 168, 28},   {16, 192, 32},  {453, 120, 566}, {453, 144, 680}, {453, 168, 793},
        {111, 144, 167}, {111, 168, 194}, {-1, 144, -2},  {-3, 120, -4},   {-16, 144, -24}, {453, 72, 340},
        {1, 288, 3},     {40000, 192, 80000},
    };
    for (const auto& c : cases) EXPECT_EQ(dpi::Scale(c.v, c.dpi), c.want) << c.v << " at " << c.dpi;
}

TEST(Dpi, RectanglesThatMeetAt96MeetAtEveryDpi) {
    // Rows of three controls side by side and one below, as the tables have them.
    const Rect row[] = {{40, 56, 49, 21}, {89, 56, 3, 21}, {92, 56, 61, 21}, {40, 77, 113, 13}};
    for (int d : {96, 110, 120, 125, 144, 150, 168, 192, 240}) {
        Rect s[4];
        for (int i = 0; i < 4; ++i) s[i] = dpi::ScaleRect(row[i], d);
        EXPECT_EQ(s[0].left + s[0].width, s[1].left) << d;
        EXPECT_EQ(s[1].left + s[1].width, s[2].left) << d;
        EXPECT_EQ(s[2].left + s[2].width, s[3].left + s[3].width) << d;
        EXPECT_EQ(s[0].top + s[0].height, s[3].top) << d;
    }
}

TEST(Dpi, FontHeightsAndIconSizes) {
    const struct {
        int dpi, font825, font10, smallIcon;
    } cases[] = {
        {96, -11, -13, 16}, {120, -14, -17, 20}, {144, -17, -20, 24}, {168, -19, -23, 28}, {192, -22, -27, 32},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(dpi::FontHeight(8.25, c.dpi), c.font825) << c.dpi;
        EXPECT_EQ(dpi::FontHeight(10, c.dpi), c.font10) << c.dpi;
        EXPECT_EQ(dpi::SmallIconSize(c.dpi), c.smallIcon) << c.dpi;
    }
}

TEST(Dpi, PictureVersionIsExactElseLargerElseNearest) {
    const std::set<int> all = {1001, 1101, 1201, 1301, 1401};
    const struct {
        const char* what;
        std::set<int> have;
        int dpi, want;
    } cases[] = {
        {"100 %", all, 96, 1001},
        {"below 100 %", all, 72, 1001},
        {"just above 100 %", all, 97, 1101},
        {"125 %", all, 120, 1101},
        {"150 %", all, 144, 1201},
        {"between 150 and 175 %", all, 150, 1301},
        {"175 %", all, 168, 1301},
        {"200 %", all, 192, 1401},
        {"above 200 % scales the 200 % one up", all, 288, 1401},
        {"only 100 %", {1001}, 144, 1001},
        {"only 100 %, above 200 %", {1001}, 288, 1001},
        {"the larger one, not the nearer smaller one", {1001, 1101, 1401}, 144, 1401},
        {"no larger one: the nearest smaller", {1001, 1101}, 168, 1101},
        {"no 100 % one", {1201}, 96, 1201},
        {"none", {}, 144, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(dpi::PictureVersion(1001, c.dpi, [&](int id) { return c.have.count(id) > 0; }), c.want) << c.what;
    }
}

// Concrete rows at every DPI, nested ones included: the options window's
// rows count from the tab control and the frame, the main window's Label3
// from its picture box.
TEST(Dpi, ControlRectanglesOfBothWindowsAtEveryDpi) {
    const FormDef& main = MainWindowDef();
    const FormDef& options = OptionsWindowDef();
    const struct {
        const FormDef& form;
        int id;
        const char* name;
        Rect want[5];
    } cases[] = {
        {main, form1::Label1, "Label1",
         {{44, 24, 209, 13}, {55, 30, 261, 16}, {66, 36, 314, 20}, {77, 42, 366, 23}, {88, 48, 418, 26}}},
        {main, form1::Command4, "Command4",
         {{40, 56, 49, 21}, {50, 70, 61, 26}, {60, 84, 74, 32}, {70, 98, 86, 37}, {80, 112, 98, 42}}},
        {main, form1::Combo1, "Combo1",
         {{152, 80, 57, 22}, {190, 100, 71, 28}, {228, 120, 86, 33}, {266, 140, 100, 39}, {304, 160, 114, 44}}},
        {main, form1::Label3, "Label3 in Picture2",
         {{104, 0, 141, 13}, {130, 0, 176, 16}, {156, 0, 212, 20}, {182, 0, 247, 23}, {208, 0, 282, 26}}},
        {main, form1::Line1, "Line1 end points",
         {{88, 0, 88, 16}, {110, 0, 110, 20}, {132, 0, 132, 24}, {154, 0, 154, 28}, {176, 0, 176, 32}}},
        {options, frm_options::Option3, "Option3 in Frame1 on SSTab1",
         {{56, 118, 145, 21}, {70, 148, 181, 26}, {84, 177, 218, 32}, {98, 207, 254, 36}, {112, 236, 290, 42}}},
        {options, frm_options::Image1, "Image1 in Frame1",
         {{208, 96, 41, 41}, {260, 120, 51, 51}, {312, 144, 62, 62}, {364, 168, 72, 72}, {416, 192, 82, 82}}},
        {options, frm_options::Command3, "Command3",
         {{292, 224, 69, 25}, {365, 280, 86, 31}, {438, 336, 104, 38}, {511, 392, 121, 44}, {584, 448, 138, 50}}},
        {options, frm_options::Label10, "Label10 on SSTab1",
         {{16, 188, 369, 13}, {20, 235, 461, 16}, {24, 282, 554, 20}, {28, 329, 646, 23}, {32, 376, 738, 26}}},
        {options, frm_options::Line1, "Line1 end points on SSTab1",
         {{8, 88, 392, 88}, {10, 110, 490, 110}, {12, 132, 588, 132}, {14, 154, 686, 154}, {16, 176, 784, 176}}},
    };
    for (const auto& c : cases) {
        for (int i = 0; i < 5; ++i) {
            const dpi::ScaledLayout layout = dpi::LayoutAt(c.form, kDpis[i]);
            const auto* l = layout.Find(c.id);
            ASSERT_NE(l, nullptr) << c.name;
            EXPECT_EQ(l->rect, c.want[i]) << c.name << " at " << kDpis[i];
        }
    }
    const int comboDrop[5] = {142, 178, 213, 249, 284};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(dpi::LayoutAt(main, kDpis[i]).Find(form1::Combo1)->windowHeight, comboDrop[i]) << kDpis[i];
    }
}

TEST(Dpi, ClientSizesAndFontsOfBothWindowsAtEveryDpi) {
    const struct {
        int dpi, mainWidth, mainHeight, optionsWidth, optionsHeight, font;
    } cases[] = {
        {96, 453, 111, 399, 263, -11},  {120, 566, 139, 499, 329, -14}, {144, 680, 167, 599, 395, -17},
        {168, 793, 194, 698, 460, -19}, {192, 906, 222, 798, 526, -22},
    };
    for (const auto& c : cases) {
        const dpi::ScaledLayout main = dpi::LayoutAt(MainWindowDef(), c.dpi);
        const dpi::ScaledLayout options = dpi::LayoutAt(OptionsWindowDef(), c.dpi);
        EXPECT_EQ(main.clientWidth, c.mainWidth) << c.dpi;
        EXPECT_EQ(main.clientHeight, c.mainHeight) << c.dpi;
        EXPECT_EQ(options.clientWidth, c.optionsWidth) << c.dpi;
        EXPECT_EQ(options.clientHeight, c.optionsHeight) << c.dpi;
        // Every font of both tables is 8.25 pt; the faces are the table's.
        for (const auto* layout : {&main, &options}) {
            for (const dpi::ControlLayout& l : layout->controls) EXPECT_EQ(l.fontHeight, c.font) << l.id;
        }
        EXPECT_EQ(main.Find(form1::Command2)->fontFace, "Garamond");
        EXPECT_EQ(main.Find(form1::Label3)->fontFace, "MS Sans Serif");
        EXPECT_EQ(main.Find(form1::Label1)->fontFace, "Arial");
        EXPECT_EQ(options.Find(frm_options::Label2)->fontFace, "Arial");
        EXPECT_EQ(options.Find(frm_options::Label4)->fontFace, "MS Sans Serif");
    }
}

// The whole of both tables: at 96 DPI pixel for pixel what they say (plus
// the corners of the tab control and frame they lie in), and at every DPI
// each control still inside its tab page or frame, and still meeting the
// controls it meets at 96.
TEST(Dpi, EveryControlKeepsItsPlaceAtEveryDpi) {
    for (const FormDef* form : {&MainWindowDef(), &OptionsWindowDef()}) {
        const dpi::ScaledLayout at96 = dpi::LayoutAt(*form, 96);
        for (const ControlDef& c : form->controls) {
            if (c.kind == ControlKind::Timer) continue;
            Rect want = c.rect;
            for (int up = c.container; up != 0;) {
                const ControlDef* box = nullptr;
                for (const ControlDef& d : form->controls) box = d.id == up ? &d : box;
                if (box->kind != ControlKind::Tab && box->kind != ControlKind::Frame) break;
                want.left += box->rect.left, want.top += box->rect.top;
                if (c.kind == ControlKind::Line) want.width += box->rect.left, want.height += box->rect.top;
                up = box->container;
            }
            EXPECT_EQ(at96.Find(c.id)->rect, want) << form->name << " control " << c.id;
        }
        for (int d : kDpis) {
            const dpi::ScaledLayout scaled = dpi::LayoutAt(*form, d);
            for (const ControlDef& a : form->controls) {
                for (const ControlDef& b : form->controls) {
                    if (a.kind == ControlKind::Line || b.kind == ControlKind::Line) continue;
                    const Rect a96 = at96.Find(a.id)->rect, b96 = at96.Find(b.id)->rect;
                    const Rect as = scaled.Find(a.id)->rect, bs = scaled.Find(b.id)->rect;
                    const std::string what = std::string(form->name) + " controls " + std::to_string(a.id) + "/" +
                                             std::to_string(b.id) + " at " + std::to_string(d);
                    const bool holds = b.container == a.id && (a.kind == ControlKind::Tab || a.kind == ControlKind::Frame);
                    if (holds) {
                        EXPECT_TRUE(bs.left >= as.left && bs.top >= as.top &&
                                    bs.left + bs.width <= as.left + as.width &&
                                    bs.top + bs.height <= as.top + as.height)
                            << what;
                    }
                    if (a.container != b.container) continue;
                    if (a96.left + a96.width == b96.left) {
                        EXPECT_EQ(as.left + as.width, bs.left) << what;
                    }
                    if (a96.top + a96.height == b96.top) {
                        EXPECT_EQ(as.top + as.height, bs.top) << what;
                    }
                    if (a96.left == b96.left) {
                        EXPECT_EQ(as.left, bs.left) << what;
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace vt
