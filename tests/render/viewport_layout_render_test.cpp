// The layout's clear on real GL: black letterbox bars on fixed rows, and a
// veil that fades the band between them a fixed fraction per frame.
#include "render_target.h"
#include "scene/viewport_layout.h"
#include "support/gl_api.h"

#include <cmath>

namespace {

// A 160 by 120 window with bars of 0.2 of its height: the bars cover rows 0
// to 24 and 95 to 119 (each one row into the band), and the letterboxed
// slot 1 spans rows 24 to 95.
constexpr int windowWidth = 160;
constexpr int windowHeight = 120;
constexpr int barRows = 24;

// Levels of difference allowed per channel: blending rounds at every frame.
constexpr int tolerance = 2;

ViewportLayout letterboxedLayout(float fadeAlpha) {
    ViewportLayout layout;
    layout.setWindowSize(windowWidth, windowHeight);
    layout.slotCount = 2;
    layout.barFraction = 0.2f;
    layout.fadeAlpha = fadeAlpha;
    layout.slots[1].letterboxed = 1;
    layout.slots[1].setFractions(0, 0, 1, 1);
    layout.relayout();
    return layout;
}

// Paints the whole of the layout's slot `slot` in one colour, and counts its
// rows as drawn, as a view does.
void paintSlot(ViewportLayout& layout, int slot, float r, float g, float b) {
    layout.markDrawn(slot, 0);
    layout.selectViewport(slot);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_BLEND);
    glColor4f(r, g, b, 1.0f);
    glBegin(GL_QUADS);
    glVertex2f(-1, -1);
    glVertex2f(1, -1);
    glVertex2f(1, 1);
    glVertex2f(-1, 1);
    glEnd();
}

// One frame's clear as the saver issues it: slot 0, pixel projection,
// lighting and depth writes off.
void clearFrame(ViewportLayout& layout) {
    layout.selectViewport(0);
    layout.selectOrtho(0);
    glDisable(GL_LIGHTING);
    glDepthMask(GL_FALSE);
    layout.clear();
    glFinish();
}

int level(double fraction) {
    return static_cast<int>(std::lround(fraction * 255.0));
}

TEST(ViewportLayoutRender, BarsStayBlackAndTheVeilFadesTheBandAQuarterPerFrame) {
    RenderTarget target(windowWidth, windowHeight);
    ASSERT_TRUE(target.ready());
    ViewportLayout layout = letterboxedLayout(0.25f);
    paintSlot(layout, 0, 1, 1, 1); // the whole window lit
    glFinish();

    for (int frame = 1; frame <= 4; ++frame) {
        clearFrame(layout);
        SCOPED_TRACE(::testing::Message() << "frame " << frame);
        const int lit = level(std::pow(0.75, frame));
        for (int y : {0, barRows / 2, barRows, 95, 107, windowHeight - 1}) {
            EXPECT_TRUE(colourNear(target.pixel(80, y), {0, 0, 0}, 0)) << "row " << y;
        }
        for (int y : {barRows + 1, 60, 94}) {
            EXPECT_TRUE(colourNear(target.pixel(80, y), {lit, lit, lit}, tolerance)) << "row " << y;
        }
        EXPECT_TRUE(colourNear(target.pixel(0, 60), {lit, lit, lit}, tolerance));
        EXPECT_TRUE(colourNear(target.pixel(windowWidth - 1, 60), {lit, lit, lit}, tolerance));
    }

    // What the clear leaves behind: depth writes on, blending on.
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_EQ(depthWrites, GL_TRUE);
    EXPECT_EQ(glIsEnabled(GL_BLEND), GL_TRUE);
    target.keepIfFailed("layout_clear_fade");
}

TEST(ViewportLayoutRender, VeilMovesTheBandTowardsTheClearColour) {
    RenderTarget target(windowWidth, windowHeight);
    ASSERT_TRUE(target.ready());
    ViewportLayout layout = letterboxedLayout(0.5f);
    layout.setClearColor(0, 0, 1, 0); // the clear colour's alpha plays no part
    // Only the letterboxed slot is lit, as the 3-D view draws it.
    paintSlot(layout, 1, 1, 1, 1);
    glFinish();
    EXPECT_TRUE(colourNear(target.pixel(80, barRows), {255, 255, 255}, 0));
    EXPECT_TRUE(colourNear(target.pixel(80, 95), {255, 255, 255}, 0));
    EXPECT_TRUE(colourNear(target.pixel(80, 96), {0, 0, 0}, 0));

    clearFrame(layout);
    // The bars reach one row into the slot at each edge. The veil starts on
    // the bottom bar's last row, so that row is black under half the clear
    // colour; the veil stops below the top bar.
    EXPECT_TRUE(colourNear(target.pixel(80, barRows), {0, 0, 128}, tolerance));
    EXPECT_TRUE(colourNear(target.pixel(80, barRows - 1), {0, 0, 0}, 0));
    EXPECT_TRUE(colourNear(target.pixel(80, 95), {0, 0, 0}, 0));
    EXPECT_TRUE(colourNear(target.pixel(80, 60), {128, 128, 255}, tolerance));

    clearFrame(layout);
    EXPECT_TRUE(colourNear(target.pixel(80, 60), {64, 64, 255}, tolerance));
    EXPECT_TRUE(colourNear(target.pixel(80, 10), {0, 0, 0}, 0));
    target.keepIfFailed("layout_clear_colour");
}

TEST(ViewportLayoutRender, BarsPaintedOverTheDrawnRowsAloneLeaveNoRowUnbarred) {
    RenderTarget target(windowWidth, windowHeight);
    ASSERT_TRUE(target.ready());
    ViewportLayout layout = letterboxedLayout(1.0f);
    paintSlot(layout, 0, 1, 1, 1); // whatever the window held
    clearFrame(layout);
    // The bars grow and shrink by fractions that put their edges between
    // whole rows, the view lit white between them every frame.
    for (float fraction : {0.2f, 0.23f, 0.25f, 0.21f, 0.1f, 0.17f, 0.17f, 0.25f, 0.0f, 0.12f}) {
        layout.barFraction = fraction;
        layout.relayout();
        paintSlot(layout, 1, 1, 1, 1);
        clearFrame(layout);
        SCOPED_TRACE(::testing::Message() << "bars of " << fraction);
        // A row is barred when its centre lies below the bottom bar's top or
        // above the top bar's bottom; each reaches one row into the band.
        const double bottomTop = windowHeight * fraction + 1.0;
        const double topBottom = (1.0 - fraction) * windowHeight - 1.0;
        for (int y = 0; y < windowHeight; ++y) {
            if (y + 0.5 < bottomTop - 0.01 || y + 0.5 > topBottom + 0.01) {
                for (int x : {0, 80, windowWidth - 1}) {
                    ASSERT_TRUE(colourNear(target.pixel(x, y), {0, 0, 0}, 0)) << "row " << y;
                }
            }
        }
    }
    target.keepIfFailed("layout_clear_drawn_rows");
}

TEST(ViewportLayoutRender, WithoutBarsAnOpaqueClearWipesTheWindow) {
    RenderTarget target(windowWidth, windowHeight);
    ASSERT_TRUE(target.ready());
    ViewportLayout layout = letterboxedLayout(1.0f);
    layout.barFraction = 0.0f;
    layout.relayout();
    paintSlot(layout, 0, 1, 0.5f, 0);
    glEnable(GL_BLEND); // the wipe does not depend on the blending state
    clearFrame(layout);
    for (int y : {0, 60, windowHeight - 1}) {
        EXPECT_TRUE(colourNear(target.pixel(80, y), {0, 0, 0}, 0)) << "row " << y;
    }

    // With bars, an opaque veil paints the band in the clear colour at once.
    layout.barFraction = 0.2f;
    layout.setClearColor(0.2f, 0.4f, 0.6f, 1);
    paintSlot(layout, 0, 1, 1, 1);
    clearFrame(layout);
    EXPECT_TRUE(colourNear(target.pixel(80, 60), {level(0.2), level(0.4), level(0.6)}, 1));
    EXPECT_TRUE(colourNear(target.pixel(80, 110), {0, 0, 0}, 0));
    EXPECT_EQ(glIsEnabled(GL_BLEND), GL_FALSE);
    target.keepIfFailed("layout_clear_opaque");
}

} // namespace
