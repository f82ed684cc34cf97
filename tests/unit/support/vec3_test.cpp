#include "support/vec3.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct Angles {
    float pitch;
    float yaw;
};

Angles anglesTo(float x, float y, float z) {
    Angles a{};
    directionToAngles(Vec3(0, 0, 0), Vec3(x, y, z), a.pitch, a.yaw);
    return a;
}

TEST(Vec3, LengthAndNormalisationWithTheMinimumLengthFloor) {
    EXPECT_EQ(Vec3(3, 4, 0).length(), 5.0f);

    Vec3 zero;
    zero.normalize();
    EXPECT_EQ(zero.x, 0.0f);
    EXPECT_EQ(zero.y, 0.0f);
    EXPECT_EQ(zero.z, 0.0f);

    // Shorter than the floor: scaled by 1/0.0001, so it stays below unit length.
    Vec3 tiny(0.00005f, 0, 0);
    tiny.normalize();
    EXPECT_FLOAT_EQ(tiny.x, 0.5f);

    Vec3 v(0, -2, 0);
    v.normalize();
    EXPECT_EQ(v.y, -1.0f);
}

TEST(Vec3, ArithmeticOperatorsWorkComponentwise) {
    const Vec3 a(1, 2, 3);
    const Vec3 b(4, -5, 6);
    const Vec3 difference = a - b;
    EXPECT_EQ(difference.x, -3.0f);
    EXPECT_EQ(difference.y, 7.0f);
    EXPECT_EQ(difference.z, -3.0f);

    const Vec3 cross = Vec3(1, 0, 0).cross(Vec3(0, 1, 0));
    EXPECT_EQ(cross.z, 1.0f);
    EXPECT_EQ(a.dot(b), 4.0f - 10.0f + 18.0f);

    // Division floors the divisor at the minimum length rather than dividing by zero.
    const Vec3 divided = Vec3(1, 1, 1) / 0.0f;
    EXPECT_FLOAT_EQ(divided.x, 10000.0f);
}

TEST(DirectionToAngles, QuarterAndHalfTurnsCarryTheProgramsDegreeFactor) {
    const Angles ahead = anglesTo(0, 0, -10);
    EXPECT_EQ(ahead.pitch, 0.0f);
    EXPECT_EQ(ahead.yaw, 0.0f);
    EXPECT_TRUE(std::signbit(ahead.yaw)) << "looking along -z gives a yaw of negative zero";

    const Angles right = anglesTo(10, 0, 0);
    EXPECT_EQ(right.pitch, 0.0f);
    EXPECT_EQ(right.yaw, -90.00003f);

    EXPECT_EQ(anglesTo(-10, 0, 0).yaw, 90.00003f);
    EXPECT_EQ(anglesTo(0, 10, 0).pitch, 90.00003f);
    EXPECT_EQ(anglesTo(0, -10, 0).pitch, -90.00003f);
    EXPECT_EQ(anglesTo(0, 0, 10).yaw, -180.00006f);

    const Angles diagonal = anglesTo(1, 1, -1);
    EXPECT_FLOAT_EQ(diagonal.pitch, 35.2644f);
    EXPECT_FLOAT_EQ(diagonal.yaw, -45.00002f);
}

TEST(DirectionToAngles, DependsOnlyOnTheDirectionNotTheDistance) {
    const Angles far = anglesTo(0, 0, -10);
    const Angles near = anglesTo(0, 0, -0.00001f);
    EXPECT_EQ(near.pitch, far.pitch);
    EXPECT_EQ(near.yaw, far.yaw);

    // From a point other than the origin: only the difference counts.
    float pitch = 0;
    float yaw = 0;
    directionToAngles(Vec3(5, 5, 5), Vec3(15, 5, 5), pitch, yaw);
    EXPECT_EQ(yaw, -90.00003f);
    EXPECT_EQ(pitch, 0.0f);
}

TEST(DirectionToAngles, CoincidentPointsGiveFiniteAngles) {
    float pitch = 1;
    float yaw = 1;
    directionToAngles(Vec3(2, 2, 2), Vec3(2, 2, 2), pitch, yaw);
    EXPECT_TRUE(std::isfinite(pitch));
    EXPECT_TRUE(std::isfinite(yaw));
}

} // namespace
