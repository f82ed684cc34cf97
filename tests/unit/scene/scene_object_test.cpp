#include "scene/scene_object.h"

#include "gl_recorder.h"
#include "scripted_draws.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using glrec::call;

void expectVec(const Vec3& v, float x, float y, float z) {
    EXPECT_EQ(v.x, x);
    EXPECT_EQ(v.y, y);
    EXPECT_EQ(v.z, z);
}

TEST(SceneObject, StartsAtTheOriginWithItsPathShapes) {
    const SceneObject o;
    expectVec(o.position, 0, 0, 0);
    expectVec(o.rotation, 0, 0, 0);
    expectVec(o.target, 0, 0, 0);
    expectVec(o.velocity, 0, 0, 0);
    expectVec(o.acceleration, 0, 0, 0);
    expectVec(o.angularVelocity, 0, 0, 0);
    expectVec(o.shakeOffset, 0, 0, 0);
    expectVec(o.pathAmplitude, 10, 10, 10);
    expectVec(o.pathCenter, 0, 0, 0);
    expectVec(o.angleAmplitude, 20, 720, 0);
    expectVec(o.angleCenter, 0, 0, 0);
    EXPECT_EQ(o.motionMode, 0);
    EXPECT_EQ(o.wrapAngles, 0);
    EXPECT_EQ(o.shakeAmount, 0.0f);
    EXPECT_EQ(o.shakeRateX, 40.0f);
    EXPECT_EQ(o.shakeRateY, 50.0f);
    EXPECT_EQ(o.shakeRateZ, 60.0f);
    EXPECT_EQ(o.pathSpeed, 1.0f);
    EXPECT_EQ(o.angleSpeed, 1.0f);
}

TEST(SceneObject, ResetStopsMotionButKeepsThePathShapesAndRates) {
    SceneObject o;
    o.position.set(1, 2, 3);
    o.velocity.set(1, 1, 1);
    o.acceleration.set(2, 2, 2);
    o.rotation.set(10, 20, 30);
    o.angularVelocity.set(5, 5, 5);
    o.shakeOffset.set(0.1f, 0.2f, 0.3f);
    o.target.set(4, 5, 6);
    o.motionMode = 2;
    o.pathAmplitude.set(1, 2, 3);
    o.pathCenter.set(7, 8, 9);
    o.angleAmplitude.set(4, 5, 6);
    o.angleCenter.set(1, 1, 1);
    o.shakeRateX = 33;
    o.pathSpeed = 2;
    o.angleSpeed = 3;
    o.wrapAngles = 1;
    o.shakeAmount = 0.5f;

    o.reset();

    expectVec(o.position, 0, 0, 0);
    expectVec(o.velocity, 0, 0, 0);
    expectVec(o.acceleration, 0, 0, 0);
    expectVec(o.rotation, 0, 0, 0);
    expectVec(o.angularVelocity, 0, 0, 0);
    expectVec(o.shakeOffset, 0, 0, 0);
    expectVec(o.target, 0, 0, 0);
    EXPECT_EQ(o.motionMode, 0);
    // Untouched:
    expectVec(o.pathAmplitude, 1, 2, 3);
    expectVec(o.pathCenter, 7, 8, 9);
    expectVec(o.angleAmplitude, 4, 5, 6);
    expectVec(o.angleCenter, 1, 1, 1);
    EXPECT_EQ(o.shakeRateX, 33.0f);
    EXPECT_EQ(o.pathSpeed, 2.0f);
    EXPECT_EQ(o.angleSpeed, 3.0f);
    EXPECT_EQ(o.wrapAngles, 1);
    EXPECT_EQ(o.shakeAmount, 0.5f);
}

TEST(SceneObject, TransformTranslatesThenTurnsYawPitchRollSkippingZeroAngles) {
    SceneObject o;
    o.position.set(1, 2, 3);
    o.rotation.set(10, 20, 30);
    glrec::reset();
    o.applyTransform();
    EXPECT_EQ(glrec::calls(), (std::vector<glrec::Call>{
                                  call("glTranslatef", {1, 2, 3}),
                                  call("glRotatef", {20, 0, 1, 0}),
                                  call("glRotatef", {10, 1, 0, 0}),
                                  call("glRotatef", {30, 0, 0, 1}),
                              }));

    // Only the roll is turned: the zero yaw and pitch issue no call.
    o.rotation.set(0, 0, -45);
    glrec::reset();
    o.applyTransform();
    EXPECT_EQ(glrec::calls(), (std::vector<glrec::Call>{
                                  call("glTranslatef", {1, 2, 3}),
                                  call("glRotatef", {-45, 0, 0, 1}),
                              }));
}

TEST(SceneObject, MotionStepUsesTheNewVelocityAndConsumesTheAcceleration) {
    SceneObject o;
    o.position.set(1, 0, 0);
    o.velocity.set(0, 2, 0);
    o.acceleration.set(0, 0, 4);
    o.integrateMotion(0.5f);
    expectVec(o.velocity, 0, 2, 2);
    expectVec(o.position, 1, 1, 1);
    expectVec(o.acceleration, 0, 0, 0);

    // With the acceleration used up the velocity holds.
    o.integrateMotion(0.5f);
    expectVec(o.velocity, 0, 2, 2);
    expectVec(o.position, 1, 2, 2);
}

TEST(SceneObject, RotationWrapsPitchAndYawOnlyWhenAsked) {
    SceneObject o;
    o.rotation.set(350, -10, 400);
    o.angularVelocity.set(40, 0, 0);
    o.integrateRotation(0.5f);
    expectVec(o.rotation, 370, -10, 400);

    o.wrapAngles = 1;
    o.integrateRotation(0.0f);
    // Pitch and yaw into one turn; the roll is never wrapped.
    expectVec(o.rotation, 10, 350, 400);
}

TEST(SceneObject, ShakeDecaysAndDrawsNewRatesWhenItDiesOut) {
    SceneObject o;
    {
        ScriptedDraws none({});
        o.updateShake(0.1f); // no shake: nothing moves, nothing is drawn
        expectVec(o.shakeOffset, 0, 0, 0);
        EXPECT_EQ(none.taken(), 0u);
    }

    o.shakeAmount = 1.0f;
    o.updateShake(0.1f);
    EXPECT_FLOAT_EQ(o.shakeAmount, 0.7f);
    EXPECT_NEAR(o.shakeOffset.x, std::sin(4.0) * 0.7, 1e-6);
    EXPECT_NEAR(o.shakeOffset.y, std::sin(5.0) * 0.7, 1e-6);
    EXPECT_NEAR(o.shakeOffset.z, std::sin(6.0) * 0.7, 1e-6);

    // Below 0.01 after decaying: stopped, with rates of 25 plus up to 50.
    o.shakeAmount = 0.011f;
    ScriptedDraws rates({0, 16384, 32767});
    o.updateShake(0.1f);
    EXPECT_EQ(o.shakeAmount, 0.0f);
    EXPECT_EQ(o.shakeRateX, 25.0f);
    EXPECT_EQ(o.shakeRateY, 50.0f);
    EXPECT_FLOAT_EQ(o.shakeRateZ, 25.0f + 50.0f * 32767.0f / 32768.0f);
    EXPECT_EQ(rates.taken(), 3u);
}

TEST(SceneObject, FirstPathCirclesTheCentreAndLooksAtTheTarget) {
    SceneObject o;
    o.motionMode = 1;
    o.pathCenter.set(1, 2, 3);
    o.pathAmplitude.set(10, 20, 30);
    o.pathSpeed = 2.0f;
    o.target.set(1, 2, 3);
    o.followPath(5.0f, 99.0f); // u plays no part in this path

    // Arguments 0.1, 0.12 and 0.14 × t × pathSpeed.
    EXPECT_NEAR(o.position.x, std::sin(1.0) * 10 + 1, 1e-5);
    EXPECT_NEAR(o.position.y, std::cos(1.2) * 20 + 2, 1e-5);
    EXPECT_NEAR(o.position.z, std::cos(1.4) * 30 + 3, 1e-5);
    float pitch = 0;
    float yaw = 0;
    directionToAngles(o.position, o.target, pitch, yaw);
    EXPECT_EQ(o.rotation.x, pitch);
    EXPECT_EQ(o.rotation.y, yaw);
    EXPECT_LT(pitch, 0.0f) << "the eye is above the centre, so it looks down";
}

TEST(SceneObject, SecondPathSwingsPositionWithUAndAnglesWithT) {
    SceneObject o;
    o.motionMode = 2;
    o.pathSpeed = 0.5f;
    o.angleSpeed = 2.0f;
    o.angleCenter.set(5, -5, 0);
    o.rotation.z = 12.0f;
    o.followPath(50.0f, 10.0f);

    // One argument, 0.2 × u × pathSpeed, for all three terms.
    EXPECT_NEAR(o.position.x, std::sin(1.0) * 10, 1e-5);
    EXPECT_NEAR(o.position.y, std::cos(1.0) * 10, 1e-5);
    EXPECT_NEAR(o.position.z, std::cos(1.0) * 10, 1e-5);
    // sin(0.01 × t × angleSpeed) times the angle amplitudes (20, 720).
    EXPECT_NEAR(o.rotation.x, std::sin(1.0) * 20 + 5, 1e-4);
    EXPECT_NEAR(o.rotation.y, std::sin(1.0) * 720 - 5, 1e-3);
    EXPECT_EQ(o.rotation.z, 12.0f);
}

TEST(SceneObject, OtherPathModesLeaveThePlacementAlone) {
    for (int mode : {0, 3, -1}) {
        SceneObject o;
        o.motionMode = mode;
        o.position.set(1, 2, 3);
        o.rotation.set(4, 5, 6);
        o.followPath(10.0f, 10.0f);
        expectVec(o.position, 1, 2, 3);
        expectVec(o.rotation, 4, 5, 6);
    }
}

} // namespace
