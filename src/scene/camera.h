// A perspective camera: turns its placement into the projection and viewing
// matrices of a view, and keeps the camera's axes as the modelview matrix
// holds them, for drawing things that face the viewer.
#pragma once

#include "scene/scene_object.h"

struct ViewportLayout;

struct Camera {
    // The camera's placement: `position` is the eye point, `target` the
    // look-at point; `rotation` x and y receive the pitch and yaw of the line
    // of sight, in degrees.
    SceneObject transform;
    double fieldOfView;  // vertical, degrees (90)
    float nearPlane;     // distance of the near clipping plane (0.1)
    float farPlane;      // distance of the far clipping plane (1000 × nearPlane)
    float orbitDistance; // eye distance of `orbitView` only (1)

    // The camera's axes in world coordinates, as rows of the modelview
    // matrix; zeros until the first `readBasis`.
    float backAxis[3] = {};  // z: from the look-at point back towards the eye
    float rightAxis[3] = {}; // x
    float upAxis[3] = {};    // y
    // The modelview matrix as glGetFloatv returns it: element 4·c + r is row r
    // of column c.
    float modelView[16] = {};

    Camera();
    virtual ~Camera() = default;

    // Loads the projection for the layout's current slot, whose pixel size
    // gives the aspect ratio (the caller selects the slot first), and resets
    // the modelview matrix to the identity.
    void perspective(const ViewportLayout& layout);
    // Multiplies the view from `position` towards `target`, world y up, onto
    // the modelview matrix; reads the axes back and sets the pitch and yaw of
    // the line of sight. The roll, `rotation` z, stays as it was.
    void lookAtTarget();
    // Copies the current modelview matrix into `modelView` and the axes.
    void readBasis();
    // `world` under `modelView`, in double precision: where the view puts a
    // point drawn at `world` while it is the current matrix.
    void toEye(const double (&world)[3], double (&eye)[3]) const;

    // Not used by the running scene:

    // Aims at (x, y, z) as `lookAtTarget` does.
    void lookAt(float x, float y, float z);
    // A view from `orbitDistance` in front of the origin, turned by the
    // negated angles of `rotation` and moved by the negated `position`.
    void orbitView();
};
