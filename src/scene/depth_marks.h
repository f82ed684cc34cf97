// What a frame has written into the depth buffer since a clear set every
// pixel to the far value, 1: a box holding every pixel written, and the
// least depth written there (window depth, from 0 at the near plane to 1 at
// the far one). Lets a draw whose depths all lie below leave out a depth
// test (GL_LESS) that could fail none of its fragments.
#pragma once

#include "scene/pixel_box.h"

struct DepthMarks {
    // Depths closer than this to what they are compared with are not told
    // apart: four steps of a 16-bit depth buffer, the least the saver asks
    // for, cover the rounding of both to its steps.
    static constexpr double spare = 4.0 / 65535.0;

    PixelBox box;       // every pixel written lies in it (none)
    double least = 1.0; // no pixel in the box holds less (1)

    // After a clear: every pixel holds 1.
    void clear() {
        box = PixelBox{};
        least = 1.0;
    }
    // Pixels of `written` may now hold depths of `depth` or more.
    void mark(const PixelBox& written, double depth) {
        if (written.empty()) {
            return;
        }
        least = box.empty() ? depth : (depth < least ? depth : least);
        box.include(written);
    }
    // Whether GL_LESS passes every fragment within `pixels` whose depth is
    // at most `depth`.
    bool lessEverywhere(const PixelBox& pixels, double depth) const {
        const double stored = pixels.overlaps(box) ? least : 1.0;
        return depth + spare <= stored;
    }
};
