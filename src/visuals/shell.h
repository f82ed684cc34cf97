// The region between an inner and an outer half-extent in which the star
// field and the particle system place things at random, by drawing points in
// the cube [−outer, outer)³ until one falls inside the region.
#pragma once

// The shape number of a cube shell: outside the central cube (−inner, inner)³.
// Any other shape is a spherical shell, inner ≤ distance ≤ outer, or its
// upper half.
constexpr int cubeShell = 1;

// Whether a point can land in the shell, so that drawing until one does ends.
// Both half-extents are world units, as the placement loops compare them.
//
// A cube shell draws until one coordinate reaches `inner`; the largest that a
// draw can give is |outer|. A spherical shell compares squared distances with
// inner² and outer², so an inner half-extent of either sign that reaches
// |outer| leaves it empty. Either way, an inner half-extent at or above the
// outer one, or a NaN, leaves no room; every inner half-extent below the
// outer one does.
bool shellHasRoom(int shape, float inner, float outer);
