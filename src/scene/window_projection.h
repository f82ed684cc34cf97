// Where eye coordinates land in the window for one three-dimensional view:
// the perspective that Camera::perspective loads over the viewport that a
// slot applies, worked out again in double precision, to bound the pixels a
// draw can reach. Makes no GL call.
#pragma once

#include "scene/pixel_box.h"

struct Camera;
struct ViewportSlot;

struct WindowProjection {
    // Corners a projected polygon may have: up to 20 of its own and one more
    // from the near plane.
    static constexpr int maxCorners = 24;

    // Normalised device units per unit of eye x and of eye y at unit depth:
    // cot(fov / 2) / aspect and cot(fov / 2).
    double scaleX;
    double scaleY;
    double nearPlane; // eye distances of the clipping planes
    double farPlane;
    PixelBox viewport; // as glViewport is given it

    // `lens` gives the field of view and the planes, `slot` the aspect and
    // the viewport, as the frame loads them for the slot.
    WindowProjection(const Camera& lens, const ViewportSlot& slot);

    // Cuts the convex polygon `eye` (`count` corners in eye coordinates, at
    // most maxCorners − 1) to its part in front of the near plane and maps
    // that onto the window, in pixels; returns its corners' number, 0 when
    // nothing is left. Rounding that leaves no room for the cut gives the
    // viewport's corners, which hold whatever the part was.
    int toWindow(const double (*eye)[3], int count, double (*window)[2]) const;

    // The pixels of the viewport whose centres lie within `margin` pixels,
    // along each axis, of the window polygon's corners' range.
    PixelBox box(const double (*window)[2], int count, double margin) const;
    // The same, among rows `rowBegin` to `rowEnd` (exclusive) alone: the
    // polygon's part within `margin` of their centres decides the columns.
    PixelBox boxWithinRows(const double (*window)[2], int count, double margin, int rowBegin,
                           int rowEnd) const;

    // The window depth (0 at the near plane, 1 at the far one) of a point
    // `distance` in front of the eye; 0 nearer than the near plane.
    double depthAt(double distance) const;
};
