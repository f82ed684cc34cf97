// The per-texel pass: every kind except SMOKE and FOG computes each texel on
// its own from its position (SAND and GRAIN with random draws of their own).
#pragma once

#include "textures/texel_image.h"
#include "textures/texture_kind.h"

// Writes `width` × `height` texels of `kind`, rows from y = 0, columns from
// x = 0 inside each row; SAND and GRAIN draw from the shared random sequence
// in that order. Kinds without a pixel rule (9, X50, Y50 and numbers outside
// 0 to 14) give fully transparent black: every byte 0.
void fillTexelByTexel(TextureKind kind, int width, int height, TexelWriter& out);
