// Where an image's alpha can still reach a level once it is sampled: for
// every byte level, a convex region of texture coordinates outside which
// linear filtering of the image gives alpha below that level. Traced once
// from a generated image; drawing uses it to leave out pixels where an alpha
// test cannot pass.
#pragma once

#include "support/gl_api.h"

#include <cstdint>

struct AlphaOutline {
    // Directions of the region's edges, evenly spread over a full turn.
    static constexpr int edgeCount = 16;
    // A region is the texture's unit square cut by every edge.
    static constexpr int maxCorners = 4 + edgeCount;
    static constexpr int levels = 256;

    // Non-zero once an image has been traced. (0)
    int traced = 0;
    // Size of the traced image, texels. (0, 0)
    int width = 0;
    int height = 0;
    // reach[level][k]: how far the region of `level` extends along edge
    // direction k, in texels from the image's corner (0, 0); −1e30 when no
    // texel reaches the level.
    float reach[levels][edgeCount] = {};

    // Traces `texels`, rows of `width` texels in `format` (GL_RGBA or
    // GL_LUMINANCE_ALPHA; any other format has no alpha to read and leaves
    // the outline untraced). A sample draws on the texels within one texel
    // of it along each axis, the image repeating across its edges; every
    // region is widened by half a texel more for the rounding of texture
    // coordinates.
    void trace(const std::uint8_t* texels, int width, int height, GLenum format);

    // The region where a sample's alpha can reach `level` (a byte, 0 to
    // 255), as corners (s, t) in texture coordinates, counter-clockwise;
    // returns their number, 0 when no sample can reach the level or nothing
    // has been traced.
    int region(int level, double (*corners)[2]) const;
};

// The least texel alpha, as a byte, that can lift a fragment to an alpha
// test of GL_GEQUAL `reference` when the texture's alpha is multiplied by
// `colourAlpha`; 256 when no texel can. Holds for pipelines that multiply in
// floats, and for those that round the product to the nearest byte, as
// Mesa's llvmpipe does, even after rounding the colour's alpha to the nearest
// byte; the reference is taken no higher than its nearest byte.
int alphaLevelToPass(float colourAlpha, float reference);
