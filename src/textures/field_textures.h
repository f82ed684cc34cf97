// SMOKE and FOG: images accumulated over many random shapes into a field of
// single-precision samples, then normalised.
#pragma once

#include "textures/texel_image.h"

class Texture;

// Side of the accumulation field: rows of 256 samples, 256 rows. SMOKE and
// FOG images can be no wider and no taller.
constexpr int fieldSide = 256;

// The sum of `texture.puffCount` soft cones of random radius and centre,
// scaled so that its peak is 255 (254 where rounding falls just short); all
// bytes of a texel equal. Draws 13 random numbers a puff. A field that stays
// 0 everywhere gives an all-zero image.
void fillSmoke(Texture& texture, TexelWriter& out);

// The inverted sum of wrap-around distances to 90 random points: 255 where
// the summed distance is least, 0 where it is greatest, seamless in both
// directions; all bytes of a texel equal. Draws 180 random numbers.
void fillFog(Texture& texture, TexelWriter& out);
