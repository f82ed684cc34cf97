// A textured rectangle in the plane of the current projection.
#pragma once

// Draws the rectangle from (x, y), its corner with the smallest coordinates,
// over `width` × `height`, with the bound texture stretched over it once:
// texture row 0 along the bottom edge, texel (0, 0) at (x, y). The caller sets
// the projection, binds the texture, sets blending and colour and enables
// GL_TEXTURE_2D.
void drawScreenQuad(float x, float y, float width, float height);
