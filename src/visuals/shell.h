// The region between an inner and an outer half-extent in which the star
// field and the particle system place things at random: they draw points of
// the cube [−outer, outer)³ until one falls inside the region.
#pragma once

// The shape number of a cube shell: outside the central cube (−inner, inner)³.
// Any other shape is a spherical shell, inner ≤ distance ≤ outer, or its
// upper half.
constexpr int cubeShell = 1;

// Whether a point can fall in the shell, so that drawing until one does ends.
// The half-extents are in world units, rounded as the drawing loops use them.
//
// A cube shell is left once one coordinate reaches `inner`; the largest a
// draw gives is |outer| (the draw of −outer). A spherical shell compares
// squared distances, so only the size of `inner` counts, not its sign.
// Either has no room when the inner half-extent is at or above the outer
// one, or one of them is NaN; an inner half-extent below the outer one leaves
// some room, however thin.
bool shellHasRoom(int shape, float inner, float outer);
