// A textured square that always faces the camera: built from the camera's own
// axes each time it is drawn, so it needs no turn of the modelview matrix and
// sits wherever the current matrix puts the origin.
#pragma once

#include "scene/pixel_box.h"

struct Camera;
struct WindowProjection;

struct Sprite {
    // Half the edge of the square, world units, along the camera's right axis
    // and, when drawn facing the camera, along its up axis too. (1)
    float halfWidth;
    // Half the edge along the square's own y axis, for a square turned by
    // angles rather than facing the camera; the facing square ignores it.
    // (as halfWidth)
    float halfHeight;
    // Texture coordinates at the square's edges. (0, 0, 1, 1)
    float texLeft;
    float texBottom;
    float texRight;
    float texTop;

    // Sets the defaults; makes no GL call.
    Sprite();
    virtual ~Sprite() = default;

    // Draws the square centred on the current origin, in the plane of the
    // camera's right and up axes, counter-clockwise as the camera sees it, with
    // its normal along the camera's back axis. Leaves that normal and the
    // top-left texture coordinate current; changes no other state.
    void drawFacing(const Camera& camera) const;
    // The pixels `drawFacing` can reach when the camera's view (its
    // `modelView`) is the current matrix and `window` maps eye coordinates
    // onto the window: the whole square, and `margin` pixels around it. Sets
    // `nearest` to the eye distance of the square's nearest corner.
    PixelBox facingBox(const Camera& camera, const WindowProjection& window, double margin,
                       double& nearest) const;
};
