// One fixed-function light: which of the eight it is, where it stands, its
// colour, and the size of the glow drawn for it.
#pragma once

#include "support/gl_api.h"

struct Light {
    // Number of lights GL_LIGHT0 .. GL_LIGHT7 the index chooses from.
    static constexpr int lightCount = 8;

    int index;  // 0 to 7: the light is GL_LIGHT0 + index (0)
    float size; // half-size of the glow sprite drawn for the light; not used here (1)
    // GL_POSITION as sent: x, y, z, w; w = 1 makes the light positional. (0, 0, 0, 1)
    float position[4];
    // x, y, z are sent as GL_SPOT_DIRECTION; w is kept but not sent. (0, 0, 0, 1)
    float spotDirection[4];
    // Where the light is to stand, world units; `apply` copies it into
    // `position`. (1, 1, 1)
    float location[3];
    // The light's colour, 0 to 1 per channel. Stored red, blue, green; every
    // user names the channel it means. (1, 1, 1)
    float red;
    float blue;
    float green;

    // Sets the defaults; makes no GL call.
    Light();
    virtual ~Light() = default;

    // GL_LIGHT0 + `index`.
    GLenum glName() const;
    // Copies `location` into `position` (w stays) and sends the position and
    // spot direction. GL transforms the position by the modelview matrix of
    // this moment, so the caller sets its view first.
    void apply();
    // `apply`, then switches the light on.
    void enable();
    // Stores (x, y, z) as the location, then `apply`.
    void move(float x, float y, float z);
};
