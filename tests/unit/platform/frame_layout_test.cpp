// The Wayland backend's frame: each surface's region must be its own (no
// output draws over another's picture), at its device pixels, and the frame
// no larger than its regions need (every frame pixel is drawn each frame).
#include "platform/wayland/frame_layout.h"

#include <gtest/gtest.h>

namespace {

void expectRect(const RECT& r, LONG left, LONG top, LONG right, LONG bottom) {
    EXPECT_EQ(r.left, left);
    EXPECT_EQ(r.top, top);
    EXPECT_EQ(r.right, right);
    EXPECT_EQ(r.bottom, bottom);
}

TEST(FrameLayout, OutputsOfOneScaleLieAsTheCompositorArrangesThem) {
    const FrameLayout layout = layOutFrame({{0, 0, 1280, 720, 1}, {1280, 0, 800, 600, 1}});
    ASSERT_EQ(layout.regions.size(), 2u);
    expectRect(layout.regions[0], 0, 0, 1280, 720);
    expectRect(layout.regions[1], 1280, 0, 2080, 600);
    EXPECT_EQ(layout.width, 2080);
    EXPECT_EQ(layout.height, 720);
}

TEST(FrameLayout, AnOutputAtScale2TakesItsDevicePixelsBesideTheOthers) {
    // A 4K output at scale 2 (1920 x 1080 logical) left of a 1080p one: in
    // logical units they touch, in device pixels the first is twice as wide.
    const FrameLayout layout = layOutFrame({{1920, 0, 1920, 1080, 1}, {0, 0, 1920, 1080, 2}});
    expectRect(layout.regions[1], 0, 0, 3840, 2160);
    expectRect(layout.regions[0], 3840, 0, 5760, 1080);
    EXPECT_EQ(layout.width, 5760);
    EXPECT_EQ(layout.height, 2160);
}

TEST(FrameLayout, AGridStaysAGridAndGapsAndNegativePlacesClose) {
    const FrameLayout grid = layOutFrame(
        {{100, 100, 100, 50, 1}, {0, 0, 100, 100, 1}, {100, 0, 100, 100, 1}, {0, 100, 100, 50, 1}});
    expectRect(grid.regions[0], 100, 100, 200, 150);
    expectRect(grid.regions[1], 0, 0, 100, 100);
    expectRect(grid.regions[2], 100, 0, 200, 100);
    expectRect(grid.regions[3], 0, 100, 100, 150);
    EXPECT_EQ(grid.width, 200);
    EXPECT_EQ(grid.height, 150);

    const FrameLayout apart = layOutFrame({{-1280, 40, 1280, 720, 1}, {500, -10, 640, 480, 1}});
    expectRect(apart.regions[0], 0, 0, 1280, 720);
    expectRect(apart.regions[1], 1280, 0, 1920, 480);
}

TEST(FrameLayout, MirroredOutputsShareTheirPixels) {
    const FrameLayout layout = layOutFrame({{0, 0, 800, 600, 1}, {0, 0, 800, 600, 1}});
    expectRect(layout.regions[0], 0, 0, 800, 600);
    expectRect(layout.regions[1], 0, 0, 800, 600);
    EXPECT_EQ(layout.width, 800);
}

TEST(FrameLayout, APointerOnASurfaceLandsOnItsDevicePixelsInItsRegion) {
    const RECT region{1280, 0, 2560, 720};
    const POINT p = framePoint(region, 2, 10.5, 3.25);
    EXPECT_EQ(p.x, 1280 + 21);
    EXPECT_EQ(p.y, 6);
    const POINT corner = framePoint(region, 2, 0.0, 0.0);
    EXPECT_EQ(corner.x, 1280);
    EXPECT_EQ(corner.y, 0);
}

} // namespace
