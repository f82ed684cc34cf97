#include "visuals/light.h"

#include <cassert>

Light::Light() {
    index = 0;
    size = 1.0f;
    position[0] = 0.0f;
    position[1] = 0.0f;
    position[2] = 0.0f;
    position[3] = 1.0f;
    spotDirection[0] = 0.0f;
    spotDirection[1] = 0.0f;
    spotDirection[2] = 0.0f;
    spotDirection[3] = 1.0f;
    location[0] = 1.0f;
    location[1] = 1.0f;
    location[2] = 1.0f;
    red = 1.0f;
    blue = 1.0f;
    green = 1.0f;
}

GLenum Light::glName() const {
    assert(index >= 0 && index < lightCount && "light index out of range");
    // GL_LIGHT0 .. GL_LIGHT7 are consecutive. An index outside them names no
    // light, and GL refuses the call rather than touching another light.
    return static_cast<GLenum>(GL_LIGHT0 + index);
}

void Light::apply() {
    position[0] = location[0];
    position[1] = location[1];
    position[2] = location[2];
    const GLenum light = glName();
    glLightfv(light, GL_POSITION, position);
    glLightfv(light, GL_SPOT_DIRECTION, spotDirection);
}

void Light::enable() {
    apply();
    glEnable(glName());
}

void Light::move(float x, float y, float z) {
    location[0] = x;
    location[1] = y;
    location[2] = z;
    apply();
}
