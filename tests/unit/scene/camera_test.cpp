#include "scene/camera.h"

#include "gl_recorder.h"
#include "scene/viewport_layout.h"
#include "scene/window_projection.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using glrec::call;

constexpr double angleTolerance = 1e-4;
constexpr float axisTolerance = 1e-6f;

void expectAxis(const float (&axis)[3], float x, float y, float z) {
    EXPECT_NEAR(axis[0], x, axisTolerance);
    EXPECT_NEAR(axis[1], y, axisTolerance);
    EXPECT_NEAR(axis[2], z, axisTolerance);
}

// An 800 by 600 window whose slot 1 is the band between bars of 0.2 of the
// height: 800 by 360 pixels.
ViewportLayout letterboxedWindow() {
    ViewportLayout layout;
    layout.setWindowSize(800, 600);
    layout.slotCount = 2;
    layout.barFraction = 0.2f;
    layout.slots[1].letterboxed = 1;
    layout.slots[1].setFractions(0, 0, 1, 1);
    layout.relayout();
    return layout;
}

TEST(Camera, StartsWithAFarPlaneAThousandTimesTheNearOne) {
    const Camera camera;
    EXPECT_EQ(camera.fieldOfView, 90.0);
    EXPECT_EQ(camera.nearPlane, 0.1f);
    EXPECT_EQ(camera.farPlane, 100.0f) << "1000 × 0.1f rounds to exactly 100 in single precision";
    EXPECT_EQ(camera.orbitDistance, 1.0f);
    EXPECT_EQ(camera.transform.position.x, 0.0f);
    EXPECT_EQ(camera.transform.target.z, 0.0f);
    for (float m : camera.modelView) {
        EXPECT_EQ(m, 0.0f);
    }
    expectAxis(camera.rightAxis, 0, 0, 0);
}

TEST(Camera, PerspectiveTakesTheAspectRatioOfTheCurrentSlot) {
    ViewportLayout layout = letterboxedWindow();
    Camera& camera = layout.slots[1].camera;
    camera.nearPlane = 0.01f;
    camera.farPlane = 6.0f;
    layout.selectViewport(1);

    glrec::reset();
    glRotatef(30, 1, 0, 0); // whatever the modelview held before
    camera.perspective(layout);
    const std::vector<glrec::Call> issued(glrec::calls().begin() + 1, glrec::calls().end());
    // 0.01f widened to double is 0.0099999998; 800 / 360 is divided in double.
    EXPECT_EQ(issued, (std::vector<glrec::Call>{
                          call("glMatrixMode", {GL_PROJECTION}),
                          call("glLoadIdentity"),
                          call("gluPerspective", {90, 800.0 / 360.0, 0.0099999997764825821, 6}),
                          call("glMatrixMode", {GL_MODELVIEW}),
                          call("glLoadIdentity"),
                      }));
    EXPECT_EQ(issued[2].arg(1), 2.2222222222222223);
    EXPECT_EQ(glrec::modelview(), glrec::Matrix({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}))
        << "the earlier turn is gone";

    // The aspect comes from the current slot, not from the camera's own.
    layout.selectViewport(0);
    glrec::reset();
    camera.perspective(layout);
    EXPECT_DOUBLE_EQ(glrec::callsNamed("gluPerspective")[0].arg(1), 800.0 / 600.0);
}

TEST(Camera, LookingDownMinusZGivesTheWorldAxesAndZeroAngles) {
    Camera camera;
    camera.transform.position.set(0, 0, 1);
    camera.transform.rotation.z = 33.0f;
    glrec::reset();
    camera.lookAtTarget();

    EXPECT_EQ(glrec::calls()[0], call("gluLookAt", {0, 0, 1, 0, 0, 0, 0, 1, 0}));
    expectAxis(camera.rightAxis, 1, 0, 0);
    expectAxis(camera.upAxis, 0, 1, 0);
    expectAxis(camera.backAxis, 0, 0, 1);
    EXPECT_EQ(camera.transform.rotation.x, 0.0f);
    EXPECT_EQ(camera.transform.rotation.y, 0.0f);
    EXPECT_TRUE(std::signbit(camera.transform.rotation.y)) << "yaw is negative zero";
    EXPECT_EQ(camera.transform.rotation.z, 33.0f) << "the roll is left alone";
}

TEST(Camera, LookingAlongMinusXTurnsTheAxesAndTheYaw) {
    Camera camera;
    camera.transform.position.set(1, 0, 0);
    camera.transform.rotation.set(55, -70, -12);
    glrec::reset();
    camera.lookAtTarget();

    expectAxis(camera.rightAxis, 0, 0, -1);
    expectAxis(camera.upAxis, 0, 1, 0);
    expectAxis(camera.backAxis, 1, 0, 0);
    EXPECT_EQ(camera.transform.rotation.x, 0.0f);
    EXPECT_NEAR(camera.transform.rotation.y, 90.00003, angleTolerance);
    EXPECT_EQ(camera.transform.rotation.z, -12.0f);
}

TEST(Camera, BasisIsReadFromTheCombinedModelviewMatrix) {
    Camera camera;
    camera.transform.position.set(0, 0, 1);
    glrec::reset();
    glRotatef(90, 0, 1, 0); // an earlier turn of the whole view
    camera.lookAtTarget();

    // The rows of the turn times the view, not those of the view alone.
    expectAxis(camera.rightAxis, 0, 0, 1);
    expectAxis(camera.upAxis, 0, 1, 0);
    expectAxis(camera.backAxis, -1, 0, 0);
    const glrec::Matrix m = glrec::modelview();
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(camera.modelView[i], static_cast<float>(m[i])) << "element " << i;
    }
    EXPECT_NEAR(camera.modelView[12], -1.0f, axisTolerance) << "the eye's offset, turned";
}

TEST(Camera, LookAtSetsTheTargetFirst) {
    Camera camera;
    camera.transform.position.set(0, 5, 0);
    glrec::reset();
    camera.lookAt(0, 5, -3);
    EXPECT_EQ(camera.transform.target.z, -3.0f);
    EXPECT_EQ(glrec::calls()[0], call("gluLookAt", {0, 5, 0, 0, 5, -3, 0, 1, 0}));
    EXPECT_EQ(camera.transform.rotation.x, 0.0f);
    EXPECT_EQ(camera.transform.rotation.y, 0.0f);
    expectAxis(camera.backAxis, 0, 0, 1);
}

TEST(Camera, OrbitViewUndoesThePlacementAfterBackingOff) {
    Camera camera;
    camera.orbitDistance = 3.0f;
    camera.transform.position.set(1, 2, 3);
    camera.transform.rotation.set(10, 20, 30);
    glrec::reset();
    camera.orbitView();
    EXPECT_EQ(glrec::calls(), (std::vector<glrec::Call>{
                                  call("gluLookAt", {0, 0, 3, 0, 0, 2, 0, 1, 0}),
                                  call("glRotatef", {-10, 1, 0, 0}),
                                  call("glRotatef", {-20, 0, 1, 0}),
                                  call("glRotatef", {-30, 0, 0, 1}),
                                  call("glTranslatef", {-1, -2, -3}),
                                  call("glGetFloatv", {GL_MODELVIEW_MATRIX}),
                              }));
    const glrec::Matrix m = glrec::modelview();
    EXPECT_EQ(camera.rightAxis[1], static_cast<float>(m[4]));
    EXPECT_EQ(camera.backAxis[2], static_cast<float>(m[10]));
}

// Where the view loaded on the recorder puts an eye point: clip coordinates
// from its projection, then the viewport, as GL maps them; x, y and depth.
void throughGl(const double (&eye)[3], const PixelBox& viewport, double (&window)[3]) {
    const glrec::Matrix p = glrec::projection();
    double clip[4];
    for (int r = 0; r < 4; ++r) {
        clip[r] = p[r] * eye[0] + p[4 + r] * eye[1] + p[8 + r] * eye[2] + p[12 + r];
    }
    window[0] = viewport.x0 + (clip[0] / clip[3] + 1) * (viewport.x1 - viewport.x0) / 2;
    window[1] = viewport.y0 + (clip[1] / clip[3] + 1) * (viewport.y1 - viewport.y0) / 2;
    window[2] = (clip[2] / clip[3] + 1) / 2;
}

TEST(WindowProjection, PutsEyePointsWhereTheLoadedViewPutsThem) {
    ViewportLayout layout = letterboxedWindow();
    Camera& camera = layout.slots[1].camera;
    camera.nearPlane = 0.01f;
    camera.farPlane = 6.0f;
    camera.transform.position.set(0.7f, -0.4f, 0.9f);
    layout.selectViewport(1);
    glrec::reset();
    camera.perspective(layout);
    camera.lookAtTarget();
    const WindowProjection window(camera, layout.slots[1]);
    EXPECT_EQ(window.viewport.y0, 120);
    EXPECT_EQ(window.viewport.y1, 480);

    const double points[2][3] = {{0.0, 0.0, 0.0}, {1.2, 0.5, -0.8}};
    for (const double(&world)[3] : points) {
        double eye[3];
        camera.toEye(world, eye);
        double gl[3];
        throughGl(eye, window.viewport, gl);
        const double polygon[1][3] = {{eye[0], eye[1], eye[2]}};
        double onWindow[WindowProjection::maxCorners][2];
        ASSERT_EQ(window.toWindow(polygon, 1, onWindow), 1);
        EXPECT_NEAR(onWindow[0][0], gl[0], 1e-6);
        EXPECT_NEAR(onWindow[0][1], gl[1], 1e-6);
        EXPECT_NEAR(window.depthAt(-eye[2]), gl[2], 1e-9);
    }
    // The origin, which the camera looks at, lands in the middle of the view.
    double eye[3];
    camera.toEye({0.0, 0.0, 0.0}, eye);
    EXPECT_NEAR(eye[0], 0.0, 1e-6);
    EXPECT_NEAR(eye[2], -std::sqrt(0.7 * 0.7 + 0.4 * 0.4 + 0.9 * 0.9), 1e-6);
    EXPECT_EQ(window.depthAt(0.005), 0.0) << "nearer than the near plane";
    EXPECT_DOUBLE_EQ(window.depthAt(6.0), 1.0);
}

TEST(WindowProjection, OnlyWhatLiesInFrontOfTheNearPlaneReachesTheWindow) {
    ViewportLayout layout = letterboxedWindow();
    Camera& camera = layout.slots[1].camera; // near plane at 0.1
    const WindowProjection window(camera, layout.slots[1]);
    double onWindow[WindowProjection::maxCorners][2];
    // A square reaching from in front of the eye to behind it: the part in
    // front is cut off at the near plane, and reaches far across the view.
    const double square[4][3] = {{-1, 0.05, -2}, {1, 0.05, -2}, {1, 0.05, 1}, {-1, 0.05, 1}};
    const int corners = window.toWindow(square, 4, onWindow);
    ASSERT_EQ(corners, 4);
    for (int i = 0; i < corners; ++i) {
        EXPECT_TRUE(std::isfinite(onWindow[i][0]) && std::isfinite(onWindow[i][1]));
    }
    const PixelBox box = window.box(onWindow, corners, 0.0);
    EXPECT_EQ(box.x0, 0);
    EXPECT_EQ(box.x1, 800) << "cut to the viewport";
    // From its far edge, 0.025 above the middle (row 300 + 0.025 × 180), to
    // the cut, 0.5 above it.
    EXPECT_EQ(box.y0, 304);
    EXPECT_EQ(box.y1, 390);

    const double behind[3][3] = {{0, 0, 1}, {1, 0, -0.05}, {0, 1, -0.09}};
    EXPECT_EQ(window.toWindow(behind, 3, onWindow), 0);
    EXPECT_TRUE(window.box(onWindow, 0, 2.0).empty());
}

TEST(WindowProjection, BoxesHoldThePixelsCentredNearThePolygon) {
    ViewportLayout layout = letterboxedWindow();
    const WindowProjection window(layout.slots[1].camera, layout.slots[1]);
    // Pixel p's centre is p + 0.5.
    const double triangle[3][2] = {{100.2, 200.0}, {300.0, 200.0}, {200.0, 300.7}};
    const PixelBox box = window.box(triangle, 3, 1.0);
    EXPECT_EQ(box.x0, 99);  // 99.5 lies within 1 of 100.2
    EXPECT_EQ(box.x1, 301); // 300.5, not 301.5
    EXPECT_EQ(box.y0, 199);
    EXPECT_EQ(box.y1, 302); // 301.5 lies within 1 of 300.7
    // Within a band of rows, only the part of the polygon near them counts:
    // at row 280's centre less 1, the sides lie at 178.99 and 221.05.
    const PixelBox band = window.boxWithinRows(triangle, 3, 1.0, 280, 290);
    EXPECT_EQ(band.x0, 178);
    EXPECT_EQ(band.x1, 222);
    EXPECT_EQ(band.y0, 280);
    EXPECT_EQ(band.y1, 290);
    EXPECT_TRUE(window.boxWithinRows(triangle, 3, 1.0, 302, 320).empty()) << "above its top";
    EXPECT_EQ(window.boxWithinRows(triangle, 3, 1.0, 301, 320).y1, 302);
    // Cut to the viewport, rows 120 to 479.
    const double low[3][2] = {{10, 50}, {20, 50}, {15, 130}};
    EXPECT_EQ(window.box(low, 3, 0.0).y0, 120);
}

TEST(CameraDeathTest, PerspectiveRejectsACurrentSlotOutsideTheLayout) {
#ifdef NDEBUG
    GTEST_SKIP() << "slot indexes are checked in debug builds only";
#else
    ViewportLayout layout;
    layout.currentSlot = ViewportLayout::maxSlots;
    EXPECT_DEATH(layout.slots[0].camera.perspective(layout), "currentSlot");
#endif
}

} // namespace
