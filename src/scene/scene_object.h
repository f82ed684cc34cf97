// The placement record of a thing in the scene: where it is, how it is turned,
// what it looks at, and the state of a few simple time-driven motions.
//
// Every scene object of the program lives inside a camera as its placement:
// `position` is the eye point, `target` the look-at point, and the camera
// writes the pitch and yaw of its line of sight into `rotation`.
#pragma once

#include "support/vec3.h"

struct SceneObject {
    // Which path `followPath` drives: 1 or 2; any other value: none. (0)
    int motionMode;
    // 1: `integrateRotation` keeps `rotation` x and y within 0 to 360. (0)
    int wrapAngles;
    // Current shake strength; decays with every `updateShake`. (0)
    float shakeAmount;
    // Shake frequencies per axis, radians per second. (40, 50, 60)
    float shakeRateX;
    float shakeRateY;
    float shakeRateZ;
    // Speed factors of the position path and of the angle path. (1, 1)
    float pathSpeed;
    float angleSpeed;

    Vec3 position;        // world units; for a camera, its eye point
    Vec3 velocity;        // world units per second
    Vec3 acceleration;    // world units per second², consumed by integrateMotion
    Vec3 rotation;        // degrees: x pitch (about x), y yaw (about y), z roll (about z)
    Vec3 angularVelocity; // degrees per second, per component of `rotation`
    Vec3 pathAmplitude;   // half-extent of the position path per axis (10, 10, 10)
    Vec3 pathCenter;      // centre of the position path
    Vec3 angleAmplitude;  // half-extent of the angle path: x pitch, y yaw (20, 720, 0)
    Vec3 angleCenter;     // centre of the angle path
    Vec3 shakeOffset;     // output of updateShake
    Vec3 target;          // point looked at; for a camera, its look-at point

    SceneObject();
    virtual ~SceneObject() = default;

    // Zeroes the placement and the motion state (position, velocity,
    // acceleration, rotation, angularVelocity, shakeOffset, target) and stops
    // any path. The path shapes, shake rates and speed factors stay.
    void reset();

    // The motions below are not used by the running scene.

    // Multiplies the placement onto the current matrix: translate to
    // `position`, then turn by yaw, pitch and roll; a zero angle is skipped.
    void applyTransform() const;
    // One explicit Euler step of `dt` seconds; the acceleration is used up.
    void integrateMotion(float dt);
    // Turns `rotation` on by `angularVelocity` over `dt` seconds.
    void integrateRotation(float dt);
    // Lets the shake decay over `dt` seconds and sets `shakeOffset`; once the
    // shake has died out, new shake rates are drawn for the next one.
    void updateShake(float dt);
    // Moves along the path chosen by `motionMode`, with `t` and `u` the times
    // that drive it, in seconds.
    void followPath(float t, float u);
};
