#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "platform/fake/fake_platform.h"
#include "platform/notification_area.h"
#include "platform/outline.h"

namespace vt {
namespace {

using Pixels = std::set<std::pair<int, int>>;

class ShapeWindowTest : public ::testing::Test {
protected:
    // A small face keeps the pixel sets small; the outline is read at the
    // form's size.
    void Shape(int width, int height) {
        FormDef def{.name = "Form1", .clientWidth = width, .clientHeight = height, .picture = 1001};
        form = platform.CreateForm(def, events);
        face.width = width + 4;  // the face is wider than the window, as the real one
        face.height = height;
        form->CutOutline(kMagenta);
    }
    fake::FakeForm& Form() { return static_cast<fake::FakeForm&>(*form); }
    // The window's pixels: its rectangle less the runs cut from it.
    Pixels Window() {
        Pixels all = Rectangle(form->ScaleWidth(), form->ScaleHeight());
        for (const Rect& run : Form().outline) {
            for (int x = run.left; x < run.left + run.width; ++x) all.erase({x, run.top});
        }
        return all;
    }
    static Pixels Rectangle(int width, int height) {
        Pixels all;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) all.emplace(x, y);
        return all;
    }

    fake::FakePlatform platform;
    fake::Face& face = platform.face;
    FormEvents events;
    std::unique_ptr<vt::Form> form;
};

TEST_F(ShapeWindowTest, NoKeyPixelLeavesTheWindowRectangular) {
    Shape(9, 5);
    EXPECT_EQ(Window(), Rectangle(9, 5));
    EXPECT_EQ(Form().outlineCuts, 1);
    EXPECT_TRUE(Form().outline.empty());
    // Rows and columns up to and including W and H are read.
    EXPECT_EQ(face.reads, 10 * 6);
}

TEST_F(ShapeWindowTest, KeyPixelsAtTheCornersAndEdgesAreCutOut) {
    face.keyPixels = {{0, 0}, {8, 0}, {0, 4}, {8, 4}, {3, 2}};
    face.keyPixels.emplace(9, 2);  // beyond the client area: never part of the window
    Shape(9, 5);
    Pixels expected = Rectangle(9, 5);
    for (auto p : {std::pair{0, 0}, {8, 0}, {0, 4}, {8, 4}, {3, 2}}) expected.erase(p);
    EXPECT_EQ(Window(), expected);
    EXPECT_EQ(Form().outline.size(), 6u);  // one run per key pixel here
}

TEST_F(ShapeWindowTest, RunsOfKeyPixelsGiveTheSameRegionAsSinglePixels) {
    // Runs at the left edge, in the middle, touching the right edge and
    // reaching past it, a whole row, and single pixels between them.
    for (int x = 0; x <= 3; ++x) face.keyPixels.emplace(x, 0);
    for (int x = 5; x <= 9; ++x) face.keyPixels.emplace(x, 1);  // to x = W and beyond
    for (int x = 0; x <= 9; ++x) face.keyPixels.emplace(x, 2);  // the whole row
    face.keyPixels.insert({{1, 3}, {3, 3}, {5, 3}, {8, 3}});
    Shape(9, 5);
    Pixels expected = Rectangle(9, 5);
    for (auto p : face.keyPixels) expected.erase(p);
    EXPECT_EQ(Window(), expected);
    EXPECT_EQ(Form().outline.size(), 1u + 1 + 1 + 4);
    EXPECT_EQ(face.reads, 10 * 6);  // still every pixel once
}

TEST_F(ShapeWindowTest, OnlyTheExactKeyColourIsCut) {
    face.otherPixels = {{{1, 1}, 0x00FF00FE}, {{2, 1}, 0x00FF01FF}, {{3, 1}, 0x00FE00FF}, {{4, 1}, 0x01FF00FF}};
    face.keyPixels = {{5, 1}};
    Shape(9, 5);
    Pixels expected = Rectangle(9, 5);
    expected.erase({5, 1});
    EXPECT_EQ(Window(), expected);
}

TEST_F(ShapeWindowTest, UnreadableFaceKeepsTheFullRectangle) {
    FormDef def{.name = "Form1", .clientWidth = 6, .clientHeight = 4, .picture = 1001};
    form = platform.CreateForm(def, events);
    face.width = face.height = 0;
    form->CutOutline(kMagenta);
    EXPECT_EQ(Window(), Rectangle(6, 4));
}

// The notification area is looked for among the taskbar's own children only,
// and the search ends when they run out.
TEST(NotificationArea, FoundAmongTheTaskbarsDirectChildren) {
    struct Window {
        int parent;
        const char* className;
    };
    const struct {
        const char* what;
        std::vector<Window> windows;  // window n + 1 is windows[n]; 1 is the taskbar
        int found;
    } cases[] = {
        {"after the others", {{0, "Shell_TrayWnd"}, {1, "Button"}, {1, "ReBarWindow32"}, {1, "TrayNotifyWnd"}}, 4},
        {"a longer name", {{0, "Shell_TrayWnd"}, {1, "Button"}, {1, "XTrayNotifyWndX"}}, 3},
        {"none", {{0, "Shell_TrayWnd"}, {1, "Button"}, {1, "ReBarWindow32"}}, 0},
        {"only deeper down", {{0, "Shell_TrayWnd"}, {1, "Button"}, {1, "ReBarWindow32"}, {3, "TrayNotifyWnd"}}, 0},
        {"no children", {{0, "Shell_TrayWnd"}}, 0},
        {"a short name after a long one", {{0, "Shell_TrayWnd"}, {1, "ReBarWindow32"}, {1, "B"}, {1, "TrayNotifyWnd"}},
         4},
    };
    for (const auto& c : cases) {
        const auto& w = c.windows;
        auto firstChild = [&](int parent) {
            for (size_t i = 0; i < w.size(); ++i) {
                if (w[i].parent == parent) return static_cast<int>(i) + 1;
            }
            return 0;
        };
        auto nextSibling = [&](int window) {
            for (size_t i = static_cast<size_t>(window); i < w.size(); ++i) {
                if (w[i].parent == w[static_cast<size_t>(window) - 1].parent) return static_cast<int>(i) + 1;
            }
            return 0;
        };
        auto className = [&](int window, char* buffer, int length) {
            const std::string name = w[static_cast<size_t>(window) - 1].className;
            std::copy_n(name.c_str(), std::min<size_t>(name.size() + 1, static_cast<size_t>(length)), buffer);
        };
        EXPECT_EQ(FindTrayNotifyWnd(1, firstChild, nextSibling, className), c.found) << c.what;
    }
}

}  // namespace
}  // namespace vt
