// One viewport of the layout: a rectangle given as fractions of a frame
// rectangle, both in window pixels with y growing upwards, and the camera
// that draws into it.
//
// The derived values follow their inputs only when asked: `setFrame` keeps the
// frame size in step, `computePixelRect` the pixel rectangle. Everything is
// held as floats; only `applyViewport` and `applyOrtho` turn the rectangle
// into whole pixels, by truncation toward zero.
#pragma once

#include "scene/camera.h"

struct ViewportSlot {
    Camera camera; // the slot's own camera
    // 1: the frame is the band between the letterbox bars; 0: the whole window.
    int letterboxed;

    // The viewport's corners as fractions of the frame, x from its left edge
    // and y from its bottom edge. (0, 0, 1, 1)
    float fracX0;
    float fracY0;
    float fracX1;
    float fracY1;
    // Derived: the viewport's corners and size in window pixels.
    float pixX0;
    float pixY0;
    float pixX1;
    float pixY1;
    float pixWidth;
    float pixHeight;
    // The rectangle, in window pixels, that the fractions refer to, and its size.
    float frameX0;
    float frameY0;
    float frameX1;
    float frameY1;
    float frameWidth;
    float frameHeight;

    // The whole of a 100 by 100 frame, not letterboxed.
    ViewportSlot();
    virtual ~ViewportSlot() = default;

    // Stores the fractions; the pixel rectangle stays until `computePixelRect`.
    void setFractions(double x0, double y0, double x1, double y1);
    // Stores the frame corners and its size.
    void setFrame(double x0, double y0, double x1, double y1);
    // Places the fractions in the frame: the pixel rectangle and its size.
    void computePixelRect();

    // glViewport over the pixel rectangle, each number truncated toward zero.
    void applyViewport() const;
    // An orthographic projection in which one unit is one pixel over the
    // truncated pixel rectangle, and an identity modelview matrix.
    void applyOrtho() const;
};
