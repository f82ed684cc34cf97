#include "scene/viewport_layout.h"

#include "gl_recorder.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using glrec::call;
using Calls = std::vector<glrec::Call>;

struct Rect {
    float x0, y0, x1, y1, width, height;
};

void expectPixelRect(const ViewportSlot& s, const Rect& r) {
    EXPECT_EQ(s.pixX0, r.x0);
    EXPECT_EQ(s.pixY0, r.y0);
    EXPECT_EQ(s.pixX1, r.x1);
    EXPECT_EQ(s.pixY1, r.y1);
    EXPECT_EQ(s.pixWidth, r.width);
    EXPECT_EQ(s.pixHeight, r.height);
}

void expectFrame(const ViewportSlot& s, const Rect& r) {
    EXPECT_EQ(s.frameX0, r.x0);
    EXPECT_EQ(s.frameY0, r.y0);
    EXPECT_EQ(s.frameX1, r.x1);
    EXPECT_EQ(s.frameY1, r.y1);
    EXPECT_EQ(s.frameWidth, r.width);
    EXPECT_EQ(s.frameHeight, r.height);
}

// The four corners of an axis-aligned quad, in the order the clear draws them:
// bottom left, bottom right, top right, top left.
Calls quad(float x0, float y0, float x1, float y1) {
    return {call("glVertex2f", {x0, y0}), call("glVertex2f", {x1, y0}),
            call("glVertex2f", {x1, y1}), call("glVertex2f", {x0, y1})};
}

Calls join(std::initializer_list<Calls> parts) {
    Calls all;
    for (const Calls& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

ViewportLayout window(float width, float height, float barFraction, float fadeAlpha) {
    ViewportLayout layout;
    layout.setWindowSize(width, height);
    layout.barFraction = barFraction;
    layout.fadeAlpha = fadeAlpha;
    return layout;
}

Calls clearCalls(ViewportLayout layout) {
    glrec::reset();
    layout.clear();
    return glrec::calls();
}

TEST(ViewportLayout, IsBuiltWithoutAnyGlCall) {
    // The layout is a global, built before any rendering context exists.
    glrec::reset();
    const ViewportLayout layout;
    EXPECT_TRUE(glrec::calls().empty());

    EXPECT_EQ(layout.windowWidth, 100.0f);
    EXPECT_EQ(layout.windowHeight, 100.0f);
    EXPECT_EQ(layout.width, 100.0f);
    EXPECT_EQ(layout.top, 100.0f);
    EXPECT_EQ(layout.fadeAlpha, 1.0f);
    EXPECT_EQ(layout.barFraction, 0.0f);
    EXPECT_EQ(layout.slotCount, 1);
    EXPECT_EQ(layout.currentSlot, 0);
    EXPECT_EQ(layout.clearColor[3], 1.0f);
    for (const ViewportSlot& slot : layout.slots) {
        EXPECT_EQ(slot.letterboxed, 0);
        EXPECT_EQ(slot.fracX1, 1.0f);
        expectFrame(slot, {0, 0, 100, 100, 100, 100});
        expectPixelRect(slot, {0, 0, 100, 100, 100, 100});
    }
}

// The clear, on an 800 by 600 window. No relayout has run, so slot 0 is
// still 100 by 100: the clear works from the window size alone.

TEST(ViewportLayoutClear, NoBarsAndAnOpaqueVeilWipeColourAndDepth) {
    EXPECT_EQ(clearCalls(window(800, 600, 0.0f, 1.0f)),
              (Calls{call("glDepthMask", {GL_TRUE}),
                     call("glClear", {GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT})}));
}

TEST(ViewportLayoutClear, NoBarsAndATranslucentVeilStillDrawOnePixelRows) {
    const Calls expected = join({
        {call("glDepthMask", {GL_TRUE}), call("glClear", {GL_DEPTH_BUFFER_BIT}),
         call("glDisable", {GL_BLEND}), call("glColor4f", {0, 0, 0, 1}),
         call("glBegin", {GL_QUADS})},
        quad(0, 0, 800, 1),
        quad(0, 599, 800, 600),
        {call("glEnd"), call("glEnable", {GL_BLEND}),
         call("glBlendFunc", {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}),
         call("glColor4f", {0, 0, 0, 0.5}), call("glBegin", {GL_QUADS})},
        quad(0, 0, 800, 599),
        {call("glEnd")},
    });
    EXPECT_EQ(clearCalls(window(800, 600, 0.0f, 0.5f)), expected);
}

TEST(ViewportLayoutClear, BarsWithAnOpaqueVeilLeaveBlendingOff) {
    const Calls expected = join({
        {call("glDepthMask", {GL_TRUE}), call("glClear", {GL_DEPTH_BUFFER_BIT}),
         call("glDisable", {GL_BLEND}), call("glColor4f", {0, 0, 0, 1}),
         call("glBegin", {GL_QUADS})},
        quad(0, 0, 800, 121),   // one pixel past the band's bottom edge at 120
        quad(0, 479, 800, 600), // one pixel past its top edge at 480
        {call("glEnd"), call("glColor4f", {0, 0, 0, 1}), call("glBegin", {GL_QUADS})},
        quad(0, 120, 800, 479),
        {call("glEnd")},
    });
    EXPECT_EQ(clearCalls(window(800, 600, 0.2f, 1.0f)), expected);
}

TEST(ViewportLayoutClear, TheScenesVeilIsTranslucentInTheClearColour) {
    ViewportLayout layout = window(800, 600, 0.2f, 0.2f);
    layout.setClearColor(0.1f, 0.2f, 0.3f, 0.9f);
    const Calls expected = join({
        {call("glDepthMask", {GL_TRUE}), call("glClear", {GL_DEPTH_BUFFER_BIT}),
         call("glDisable", {GL_BLEND}), call("glColor4f", {0, 0, 0, 1}),
         call("glBegin", {GL_QUADS})},
        quad(0, 0, 800, 121),
        quad(0, 479, 800, 600),
        {call("glEnd"), call("glEnable", {GL_BLEND}),
         call("glBlendFunc", {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}),
         // The clear colour's own alpha plays no part: the veil's is fadeAlpha.
         call("glColor4f", {0.1f, 0.2f, 0.3f, 0.2f}), call("glBegin", {GL_QUADS})},
        quad(0, 120, 800, 479),
        {call("glEnd")},
    });
    EXPECT_EQ(clearCalls(layout), expected);
}

TEST(ViewportLayoutClear, EachEdgeIsRoundedToFloatOnce) {
    // 600 × f + 1 is 64.0000963807 and (1 − f) × 600 − 1 is 535.9999036193
    // exactly. Rounded once they give the floats below; rounding the product
    // first, in single precision, would give 64.0000916 and 535.9999390.
    const float f = 0x1.ae14a6p-4f; // 0.105000161
    const Calls calls = clearCalls(window(800, 600, f, 0.5f));
    const Calls vertices = [&] {
        Calls v;
        for (const glrec::Call& c : calls) {
            if (std::string(c.name) == "glVertex2f") {
                v.push_back(c);
            }
        }
        return v;
    }();
    ASSERT_EQ(vertices.size(), 12u);
    const float barTop = 0x1.00001ap+6f;  // 64.0000992
    const float bandTop = 0x1.0bfffcp+9f; // 535.9998779
    EXPECT_EQ(vertices[2], call("glVertex2f", {800, barTop}));
    EXPECT_EQ(vertices[4], call("glVertex2f", {0, bandTop}));
    EXPECT_EQ(vertices[8], call("glVertex2f", {0, 0x1.f80032p+5f})); // the veil's bottom, 63.0001
    EXPECT_EQ(vertices[10], call("glVertex2f", {800, bandTop}));
}

TEST(ViewportLayoutClear, EachMonitorHasItsOwnBarsAndVeilAndWhatNoneShowsIsBlack) {
    // A 1280 by 480 window over two monitors: 640 by 480 on the left, and
    // 400 by 300 at the top right; nothing shows the rest of the right half.
    ViewportLayout layout = window(1280, 480, 0.25f, 1.0f);
    const PixelRect heads[] = {{0, 0, 640, 480}, {640, 180, 1040, 480}};
    layout.setMonitors(heads, 2);
    const Calls expected = join({
        {call("glDepthMask", {GL_TRUE}), call("glClear", {GL_DEPTH_BUFFER_BIT}),
         call("glDisable", {GL_BLEND}), call("glColor4f", {0, 0, 0, 1}),
         call("glBegin", {GL_QUADS})},
        quad(640, 0, 1280, 180),    // below the small monitor
        quad(1040, 180, 1280, 480), // and to its right
        {call("glEnd"), call("glDisable", {GL_BLEND}), call("glColor4f", {0, 0, 0, 1}),
         call("glBegin", {GL_QUADS})},
        quad(0, 0, 640, 121),
        quad(0, 359, 640, 480),
        {call("glEnd"), call("glColor4f", {0, 0, 0, 1}), call("glBegin", {GL_QUADS})},
        quad(0, 120, 640, 359),
        {call("glEnd"), call("glDisable", {GL_BLEND}), call("glColor4f", {0, 0, 0, 1}),
         call("glBegin", {GL_QUADS})},
        quad(640, 180, 1040, 256), // 75-pixel bars, from the monitor's own edges
        quad(640, 404, 1040, 480),
        {call("glEnd"), call("glColor4f", {0, 0, 0, 1}), call("glBegin", {GL_QUADS})},
        quad(640, 255, 1040, 404),
        {call("glEnd")},
    });
    EXPECT_EQ(clearCalls(layout), expected);

    // Monitors that cover the window leave no gap; none brings back the
    // window as one screen (as its size comes with them, anew).
    const PixelRect halves[] = {{0, 0, 640, 480}, {640, 0, 1280, 480}};
    layout.setMonitors(halves, 2);
    EXPECT_EQ(layout.gapCount, 0);
    layout.setWindowSize(1280, 480);
    layout.setMonitors(nullptr, 0);
    EXPECT_EQ(clearCalls(layout), clearCalls(window(1280, 480, 0.25f, 1.0f)));
}

// What the frames drew, kept between clears.

// The 800 by 600 window of the scene, its slot 0 spanning the window and
// slot 1 the band between bars of `barFraction` of the height.
ViewportLayout sceneWindow(float barFraction) {
    ViewportLayout layout = window(800, 600, barFraction, 0.5f);
    layout.slotCount = 2;
    layout.slots[1].letterboxed = 1;
    layout.relayout();
    return layout;
}

// The vertices of the first batch of quads of a clear: the bars, when any
// are painted.
Calls barVertices(const Calls& calls) {
    Calls bars;
    for (const glrec::Call& c : calls) {
        if (std::string(c.name) == "glEnd") {
            break;
        }
        if (std::string(c.name) == "glVertex2f") {
            bars.push_back(c);
        }
    }
    return bars;
}

TEST(ViewportLayoutClear, BarsArePaintedOnlyOverRowsDrawnSinceTheyLastCoveredThem) {
    ViewportLayout layout = sceneWindow(0.2f);
    glrec::reset();
    layout.clear(); // the window's rows are unknown: whole bars
    EXPECT_EQ(barVertices(glrec::calls()), join({quad(0, 0, 800, 121), quad(0, 479, 800, 600)}));
    // The bars covered rows 0 to 120 and 479 to 599; the veil rows 120 to
    // 478; the view draws rows 120 to 479, and its widest points reach 2 rows
    // past them.
    EXPECT_EQ(layout.drawnRowsBegin, 119);
    EXPECT_EQ(layout.drawnRowsEnd, 480);
    layout.markDrawn(1, 2);
    EXPECT_EQ(layout.drawnRowsBegin, 118);
    EXPECT_EQ(layout.drawnRowsEnd, 482);

    // Taller bars: each is painted from the edge of the drawn rows only, to
    // its own edge as ever.
    layout.barFraction = 0.25f;
    glrec::reset();
    layout.clear();
    EXPECT_EQ(barVertices(glrec::calls()), join({quad(0, 118, 800, 151), quad(0, 449, 800, 482)}));

    // Lower bars lie wholly on rows that are black already: none is painted,
    // and the veil follows as ever.
    layout.relayout();
    layout.markDrawn(1, 2);
    layout.barFraction = 0.1f;
    glrec::reset();
    layout.clear();
    EXPECT_EQ(glrec::count("glBegin"), 1) << "the veil's quad alone";
    EXPECT_EQ(glrec::callsNamed("glVertex2f").at(0), call("glVertex2f", {0, 60}));
}

TEST(ViewportLayoutClear, RowsDrawnAnywhereAreBarredAgain) {
    ViewportLayout layout = sceneWindow(0.2f);
    layout.clear();
    layout.markDrawn(0, 0); // a pass over the whole window
    glrec::reset();
    layout.clear();
    EXPECT_EQ(barVertices(glrec::calls()), join({quad(0, 0, 800, 121), quad(0, 479, 800, 600)}));

    // A wipe leaves the context's clear colour, not the bars' black.
    layout.barFraction = 0.0f;
    layout.fadeAlpha = 1.0f;
    layout.clear();
    layout.barFraction = 0.2f;
    layout.fadeAlpha = 0.5f;
    glrec::reset();
    layout.clear();
    EXPECT_EQ(barVertices(glrec::calls()).size(), 8u);

    // So does a new window size.
    layout.clear();
    layout.setWindowSize(800, 600);
    glrec::reset();
    layout.clear();
    EXPECT_EQ(barVertices(glrec::calls()).size(), 8u);

    // And a buffer that may not have kept the last frame.
    layout.clear();
    layout.forgetPreviousFrame();
    glrec::reset();
    layout.clear();
    EXPECT_EQ(barVertices(glrec::calls()), join({quad(0, 0, 800, 121), quad(0, 479, 800, 600)}));
}

TEST(ViewportLayoutClear, DepthIsClearedOnlyWhereSomethingWroteIt) {
    ViewportLayout layout = sceneWindow(0.2f);
    glrec::reset();
    layout.clear(); // what the buffer held before the first clear is unknown
    EXPECT_EQ(glrec::count("glScissor"), 0);
    EXPECT_EQ(glrec::callsNamed("glClear"), (Calls{call("glClear", {GL_DEPTH_BUFFER_BIT})}));
    EXPECT_TRUE(layout.depthMarks.box.empty());

    glrec::reset();
    layout.clear(); // nothing written since
    EXPECT_EQ(glrec::count("glClear"), 0);

    layout.depthMarks.mark(PixelBox{380, 280, 420, 330}, 0.9);
    glrec::reset();
    layout.clear();
    const Calls expected = {
        call("glDepthMask", {GL_TRUE}),        call("glEnable", {GL_SCISSOR_TEST}),
        call("glScissor", {380, 280, 40, 50}), call("glClear", {GL_DEPTH_BUFFER_BIT}),
        call("glDisable", {GL_SCISSOR_TEST}),
    };
    EXPECT_EQ(Calls(glrec::calls().begin(), glrec::calls().begin() + 5), expected);
    EXPECT_TRUE(layout.depthMarks.box.empty());
}

TEST(DepthMarks, AFragmentPassesEverywhereOnlyBelowAllThatWasWritten) {
    DepthMarks marks;
    EXPECT_TRUE(marks.lessEverywhere(PixelBox{0, 0, 800, 600}, 0.99));
    EXPECT_FALSE(marks.lessEverywhere(PixelBox{0, 0, 800, 600}, 1.0)) << "not below the far value";
    marks.mark(PixelBox{100, 100, 120, 120}, 0.6);
    marks.mark(PixelBox{}, 0.1); // nothing written
    EXPECT_EQ(marks.least, 0.6);
    EXPECT_TRUE(marks.lessEverywhere(PixelBox{0, 0, 100, 600}, 0.9)) << "beside what was written";
    EXPECT_FALSE(marks.lessEverywhere(PixelBox{0, 0, 101, 600}, 0.9));
    EXPECT_TRUE(marks.lessEverywhere(PixelBox{0, 0, 800, 600}, 0.59));
    EXPECT_FALSE(marks.lessEverywhere(PixelBox{0, 0, 800, 600}, 0.6 - DepthMarks::spare / 2));
    marks.mark(PixelBox{500, 0, 510, 10}, 0.3);
    EXPECT_EQ(marks.least, 0.3);
    EXPECT_EQ(marks.box.x1, 510);
    EXPECT_EQ(marks.box.y0, 0);
}

// Layout of the slots.

TEST(ViewportLayout, RelayoutFitsALetterboxedSlotBetweenTheBars) {
    ViewportLayout layout = window(800, 600, 0.2f, 0.2f);
    layout.slotCount = 2;
    layout.slots[1].letterboxed = 1;
    layout.slots[1].setFractions(0, 0, 1, 1);
    layout.relayout();

    expectFrame(layout.slots[1], {0, 120, 800, 480, 800, 360});
    expectPixelRect(layout.slots[1], {0, 120, 800, 480, 800, 360});
    expectFrame(layout.slots[0], {0, 0, 800, 600, 800, 600});
    expectPixelRect(layout.slots[0], {0, 0, 800, 600, 800, 600});

    glrec::reset();
    layout.selectViewport(1);
    EXPECT_EQ(glrec::calls(), (Calls{call("glViewport", {0, 120, 800, 360})}));
    EXPECT_EQ(layout.currentSlot, 1);

    // The bars follow the fraction at the next relayout.
    layout.barFraction = 0.25f;
    layout.relayout();
    expectPixelRect(layout.slots[1], {0, 150, 800, 450, 800, 300});
}

TEST(ViewportLayout, RelayoutPlacesFractionsWithinTheFrame) {
    ViewportLayout layout = window(800, 600, 0.2f, 1.0f);
    layout.slotCount = 3;
    layout.slots[2].letterboxed = 1;
    layout.slots[2].setFractions(0.25, 0.5, 0.75, 1.0);
    layout.relayout();
    // The right half of the band's upper half.
    expectPixelRect(layout.slots[2], {200, 300, 600, 480, 400, 180});
}

TEST(ViewportLayout, RelayoutTouchesOnlyTheSlotsInUse) {
    ViewportLayout layout = window(640, 480, 0.0f, 1.0f);
    layout.relayout(); // slotCount 1: slot 0 only
    expectPixelRect(layout.slots[0], {0, 0, 640, 480, 640, 480});
    expectPixelRect(layout.slots[1], {0, 0, 100, 100, 100, 100});
    expectFrame(layout.slots[1], {0, 0, 100, 100, 100, 100});
}

TEST(ViewportLayout, NewWindowSizeWaitsForTheNextRelayout) {
    ViewportLayout layout = window(800, 600, 0.0f, 1.0f);
    layout.relayout();
    layout.setWindowSize(1024, 768);
    EXPECT_EQ(layout.width, 1024.0f);
    EXPECT_EQ(layout.height, 768.0f);
    EXPECT_EQ(layout.right, 1024.0f);
    EXPECT_EQ(layout.top, 768.0f);
    expectPixelRect(layout.slots[0], {0, 0, 800, 600, 800, 600});

    // Until then slot 0's viewport is the old one.
    glrec::reset();
    layout.selectViewport(0);
    EXPECT_EQ(glrec::calls(), (Calls{call("glViewport", {0, 0, 800, 600})}));
}

TEST(ViewportLayout, SelectOrthoGivesOneUnitPerPixelOverTheSlot) {
    ViewportLayout layout = window(800, 600, 0.0f, 1.0f);
    layout.relayout();
    layout.currentSlot = 5;
    glrec::reset();
    layout.selectOrtho(0);
    EXPECT_EQ(layout.currentSlot, 0);
    EXPECT_EQ(glrec::calls(),
              (Calls{call("glMatrixMode", {GL_PROJECTION}), call("glLoadIdentity"),
                     call("glOrtho", {0, 800, 0, 600, -1, 1}), call("glMatrixMode", {GL_MODELVIEW}),
                     call("glLoadIdentity")}));
    // The window's top right corner (800, 600) lands on the top right of the
    // normalised device square.
    const glrec::Matrix p = glrec::projection();
    EXPECT_DOUBLE_EQ(p[0] * 800 + p[12], 1.0);
    EXPECT_DOUBLE_EQ(p[5] * 600 + p[13], 1.0);
}

// A slot on its own.

TEST(ViewportSlot, PixelRectangleFollowsTheFractionsOnlyWhenComputed) {
    ViewportSlot slot;
    slot.setFrame(0, 120, 800, 480);
    slot.computePixelRect();
    slot.setFractions(0.5, 0.0, 1.0, 0.5);
    expectPixelRect(slot, {0, 120, 800, 480, 800, 360});
    slot.computePixelRect();
    expectPixelRect(slot, {400, 120, 800, 300, 400, 180});
}

TEST(ViewportSlot, ViewportAndOrthoTruncateTowardZero) {
    ViewportSlot slot;
    slot.setFrame(10.9, 5.5, 20.6, 30.2);
    slot.computePixelRect();
    EXPECT_EQ(slot.pixX0, 10.9f);
    EXPECT_EQ(slot.pixX1, 20.6f);

    glrec::reset();
    slot.applyViewport();
    slot.applyOrtho();
    // Width 9.7 becomes 9, height 24.7 becomes 24; the edges are truncated
    // one by one, so the ortho spans 10 to 20, not 10 to 19.
    EXPECT_EQ(glrec::calls()[0], call("glViewport", {10, 5, 9, 24}));
    EXPECT_EQ(glrec::calls()[3], call("glOrtho", {10, 20, 5, 30, -1, 1}));

    // Toward zero, not down: −10.5 becomes −10.
    slot.setFrame(-10.5, -3.5, 50.25, 40.75);
    slot.computePixelRect();
    glrec::reset();
    slot.applyViewport();
    slot.applyOrtho();
    EXPECT_EQ(glrec::calls()[0], call("glViewport", {-10, -3, 60, 44}));
    EXPECT_EQ(glrec::calls()[3], call("glOrtho", {-10, 50, -3, 40, -1, 1}));
}

// A caller's mistake stops a debug build at once.

TEST(ViewportLayoutDeathTest, SlotIndexesOutsideTheLayoutStopADebugBuild) {
#ifdef NDEBUG
    GTEST_SKIP() << "slot indexes are checked in debug builds only";
#else
    ViewportLayout layout;
    EXPECT_DEATH(layout.selectViewport(10), "slot index out of range");
    EXPECT_DEATH(layout.selectViewport(-1), "slot index out of range");
    EXPECT_DEATH(layout.selectOrtho(10), "slot index out of range");
    layout.slotCount = 11;
    EXPECT_DEATH(layout.relayout(), "more slots in use");
    // The last slot is fine.
    layout.slotCount = ViewportLayout::maxSlots;
    layout.relayout();
    layout.selectViewport(9);
    EXPECT_EQ(layout.currentSlot, 9);
#endif
}

} // namespace
