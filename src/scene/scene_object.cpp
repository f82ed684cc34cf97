#include "scene/scene_object.h"

#include "support/gl_api.h"
#include "support/random.h"

#include <cmath>

SceneObject::SceneObject() {
    // The vectors start as (0, 0, 0); the steps below give every other field
    // its starting value.
    reset();
    pathAmplitude.set(10.0f, 10.0f, 10.0f);
    pathCenter.set(0.0f, 0.0f, 0.0f);
    angleAmplitude.set(20.0f, 720.0f, 0.0f);
    angleCenter.set(0.0f, 0.0f, 0.0f);
    target.set(0.0f, 0.0f, 0.0f);
    pathSpeed = 1.0f;
    angleSpeed = 1.0f;
    reset();
    shakeRateX = 40.0f;
    shakeRateY = 50.0f;
    shakeRateZ = 60.0f;
    wrapAngles = 0;
    shakeAmount = 0.0f;
}

void SceneObject::reset() {
    position.set(0.0f, 0.0f, 0.0f);
    velocity.set(0.0f, 0.0f, 0.0f);
    acceleration.set(0.0f, 0.0f, 0.0f);
    rotation.set(0.0f, 0.0f, 0.0f);
    angularVelocity.set(0.0f, 0.0f, 0.0f);
    shakeOffset.set(0.0f, 0.0f, 0.0f);
    target.set(0.0f, 0.0f, 0.0f);
    motionMode = 0;
}

void SceneObject::applyTransform() const {
    glTranslatef(position.x, position.y, position.z);
    if (rotation.y != 0.0f) {
        glRotatef(rotation.y, 0.0f, 1.0f, 0.0f);
    }
    if (rotation.x != 0.0f) {
        glRotatef(rotation.x, 1.0f, 0.0f, 0.0f);
    }
    if (rotation.z != 0.0f) {
        glRotatef(rotation.z, 0.0f, 0.0f, 1.0f);
    }
}

void SceneObject::integrateMotion(float dt) {
    velocity += acceleration * dt;
    position += velocity * dt;
    acceleration.set(0.0f, 0.0f, 0.0f);
}

void SceneObject::integrateRotation(float dt) {
    rotation += angularVelocity * dt;
    if (wrapAngles != 0) {
        rotation.x = wrapRange(rotation.x, 0.0f, 360.0f);
        rotation.y = wrapRange(rotation.y, 0.0f, 360.0f);
    }
}

void SceneObject::updateShake(float dt) {
    if (shakeAmount == 0.0f) {
        return;
    }
    shakeAmount *= 1.0f - 3.0f * dt;
    if (shakeAmount < 0.01f) {
        // Died out: the next shake gets rates from 25 to 75.
        shakeAmount = 0.0f;
        shakeRateX = static_cast<float>(25.0 + randomUniform(50.0));
        shakeRateY = static_cast<float>(25.0 + randomUniform(50.0));
        shakeRateZ = static_cast<float>(25.0 + randomUniform(50.0));
        return;
    }
    shakeOffset.x = static_cast<float>(std::sin(dt * shakeRateX) * shakeAmount);
    shakeOffset.y = static_cast<float>(std::sin(dt * shakeRateY) * shakeAmount);
    shakeOffset.z = static_cast<float>(std::sin(dt * shakeRateZ) * shakeAmount);
}

void SceneObject::followPath(float t, float u) {
    if (motionMode == 1) {
        // A slow three-frequency loop, looking at the target all the way.
        const double s = double(t) * pathSpeed;
        position.x = static_cast<float>(std::sin(0.1 * s) * pathAmplitude.x + pathCenter.x);
        position.y = static_cast<float>(std::cos(0.12 * s) * pathAmplitude.y + pathCenter.y);
        position.z = static_cast<float>(std::cos(0.14 * s) * pathAmplitude.z + pathCenter.z);
        directionToAngles(position, target, rotation.x, rotation.y);
    } else if (motionMode == 2) {
        // A position swing driven by `u` and an independent angle swing by `t`.
        const double a = 0.2 * u * pathSpeed;
        position.x = static_cast<float>(std::sin(a) * pathAmplitude.x + pathCenter.x);
        position.y = static_cast<float>(std::cos(a) * pathAmplitude.y + pathCenter.y);
        position.z = static_cast<float>(std::cos(a) * pathAmplitude.z + pathCenter.z);
        const double swing = std::sin(0.01 * t * angleSpeed);
        rotation.x = static_cast<float>(swing * angleAmplitude.x + angleCenter.x);
        rotation.y = static_cast<float>(swing * angleAmplitude.y + angleCenter.y);
    }
}
