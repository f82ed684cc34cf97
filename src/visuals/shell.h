// The region between an inner and an outer half-extent in which the star
// field and the particle system place things at random: they draw points of
// the cube [−outer, outer)³ until one falls inside the region.
#pragma once

#include "support/random.h"

#include <cmath>

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

// Draws one point of the shell: attempts of three coordinates, x then y then
// z, each uniform in [−outer, outer), until one falls inside. `Real` is the
// precision the caller keeps coordinates in (float for particles, double for
// stars); the squared distance of a spherical shell is compared in float.
// The caller has checked shellHasRoom, or this never ends.
template <typename Real>
void drawShellPoint(int shape, float inner, float outer, Real& x, Real& y, Real& z) {
    auto coordinate = [outer] { return static_cast<Real>((randomUniform(2.0f) - 1.0) * outer); };
    if (shape == cubeShell) {
        // From the centre, until outside the central cube (−inner, inner)³.
        x = y = z = 0;
        while (std::fabs(x) < inner && std::fabs(y) < inner && std::fabs(z) < inner) {
            x = coordinate();
            y = coordinate();
            z = coordinate();
        }
        return;
    }
    // Between the two spheres; shape 2 keeps the upper half only.
    const float innerSquared = inner * inner;
    const float outerSquared = outer * outer;
    for (;;) {
        x = coordinate();
        y = coordinate();
        z = coordinate();
        const float d = static_cast<float>(x * x + y * y + z * z);
        if (innerSquared <= d && d <= outerSquared && (shape != 2 || y >= 0)) {
            return;
        }
    }
}
