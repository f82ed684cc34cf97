// The background of coloured points: random stars around the origin,
// compiled once into a display list and drawn each frame in layers, each
// layer turned further about the vertical axis and drawn with larger points.
#pragma once

#include "support/gl_api.h"

struct Camera;

struct StarField {
    GLuint listId; // the compiled display list; 0: none (0)
    int starCount; // stars over all layers (10)
    // Where the stars lie: 1 cube shell, 2 upper half of a spherical shell,
    // any other value a spherical shell. (1)
    int shape;
    int blend;        // draw with alpha blending (1)
    int depthTest;    // draw with the depth test on (0)
    int depthWrite;   // the depth mask while drawing (0)
    int layers;       // times the list is drawn per frame; below 1 counts as 1 (1)
    int followCamera; // centre the field on the camera's eye point (0)
    // Read by the frame: fog is on for the stars only when this and the
    // scene's fog switch are both set. (0)
    int useFog;
    double size;      // edge of the cube, or diameter of the sphere, holding the stars (2)
    double innerSize; // edge or diameter of the empty region at the centre (0)
    // Colour levels: nine stars in ten take each channel from
    // [brightLevel, brightLevel + dimLevel), the others from
    // [dimLevel, dimLevel + brightLevel). (0.3, 0.7)
    double dimLevel;
    double brightLevel;

    // Sets the defaults; makes no GL call.
    StarField();
    // Deletes the list; needs the context that compiled it to be current.
    virtual ~StarField();

    // The list is a GL object the field owns: a copy would delete it twice.
    StarField(const StarField&) = delete;
    StarField& operator=(const StarField&) = delete;

    // Draws starCount / layers random stars into a fresh display list,
    // replacing any earlier one. Lowers `innerSize` to 0.9 × `size` at most.
    // When no star can lie between the inner and the outer half-extent, or GL
    // gives no list name, the field stays empty.
    void build();
    // Draws the field under the current modelview matrix; only the camera's
    // eye point is read. Does nothing while the field is empty.
    void draw(const Camera& camera) const;
    // Deletes the list, if any.
    void release();

    // `layers`, or 1 when it is below 1.
    int layersDrawn() const;
};
