#include "scene/camera.h"

#include "gl_recorder.h"
#include "scene/viewport_layout.h"

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
