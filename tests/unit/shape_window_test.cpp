#include <gtest/gtest.h>

#include "platform/fake/fake_platform.h"
#include "ui/shape_window.h"

namespace vt {
namespace {

using Pixels = fake::FakeApi::Pixels;

class ShapeWindowTest : public ::testing::Test {
protected:
    // A small face keeps the pixel sets small; the routine reads the size
    // from the form.
    void Shape(int width, int height) {
        FormDef def{.name = "Form1", .clientWidth = width, .clientHeight = height};
        form = platform.CreateForm(def, events);
        api.faceWidth = width + 4;  // the face is wider than the window, as the real one
        api.faceHeight = height;
        modSND::ShapeWindow(api, *form, kMagenta);
    }
    Pixels Window() { return api.windowRegions.at(fake::kMainHwnd); }
    static Pixels Rectangle(int width, int height) {
        Pixels all;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) all.emplace(x, y);
        return all;
    }

    fake::FakePlatform platform;
    fake::FakeApi& api = platform.api;
    FormEvents events;
    std::unique_ptr<Form> form;
};

TEST_F(ShapeWindowTest, NoKeyPixelLeavesTheWindowRectangularAndOwnsNothing) {
    Shape(9, 5);
    EXPECT_EQ(Window(), Rectangle(9, 5));
    EXPECT_EQ(api.setWindowRgnCalls, 1);
    EXPECT_EQ(api.LiveRegions(), 0);  // handed over, nothing left behind
    // Rows and columns up to and including W and H are read.
    EXPECT_EQ(api.pixelReads, 10 * 6);
}

TEST_F(ShapeWindowTest, KeyPixelsAtTheCornersAndEdgesAreCutOut) {
    api.keyPixels = {{0, 0}, {8, 0}, {0, 4}, {8, 4}, {3, 2}};
    api.keyPixels.emplace(9, 2);  // beyond the client area: never part of the window
    Shape(9, 5);
    Pixels expected = Rectangle(9, 5);
    for (auto p : {std::pair{0, 0}, {8, 0}, {0, 4}, {8, 4}, {3, 2}}) expected.erase(p);
    EXPECT_EQ(Window(), expected);
    EXPECT_EQ(api.regionsCreated, 1 + 6);  // one per run of key pixels, each deleted again
    EXPECT_EQ(api.LiveRegions(), 0);
}

TEST_F(ShapeWindowTest, RunsOfKeyPixelsGiveTheSameRegionAsSinglePixels) {
    // Runs at the left edge, in the middle, touching the right edge and
    // reaching past it, a whole row, and single pixels between them.
    for (int x = 0; x <= 3; ++x) api.keyPixels.emplace(x, 0);
    for (int x = 5; x <= 9; ++x) api.keyPixels.emplace(x, 1);  // to x = W and beyond
    for (int x = 0; x <= 9; ++x) api.keyPixels.emplace(x, 2);  // the whole row
    api.keyPixels.insert({{1, 3}, {3, 3}, {5, 3}, {8, 3}});
    Shape(9, 5);
    Pixels expected = Rectangle(9, 5);
    for (auto p : api.keyPixels) expected.erase(p);
    EXPECT_EQ(Window(), expected);
    EXPECT_EQ(api.regionsCreated, 1 + 1 + 1 + 1 + 4);
    EXPECT_EQ(api.LiveRegions(), 0);
    EXPECT_EQ(api.pixelReads, 10 * 6);  // still every pixel once
}

TEST_F(ShapeWindowTest, OnlyTheExactKeyColourIsCut) {
    api.otherPixels = {{{1, 1}, 0x00FF00FE}, {{2, 1}, 0x00FF01FF}, {{3, 1}, 0x00FE00FF}, {{4, 1}, 0x01FF00FF}};
    api.keyPixels = {{5, 1}};
    Shape(9, 5);
    Pixels expected = Rectangle(9, 5);
    expected.erase({5, 1});
    EXPECT_EQ(Window(), expected);
}

TEST_F(ShapeWindowTest, UnreadableFaceKeepsTheFullRectangle) {
    api.faceWidth = api.faceHeight = 0;
    FormDef def{.name = "Form1", .clientWidth = 6, .clientHeight = 4};
    form = platform.CreateForm(def, events);
    modSND::ShapeWindow(api, *form, kMagenta);
    EXPECT_EQ(Window(), Rectangle(6, 4));
}

}  // namespace
}  // namespace vt
