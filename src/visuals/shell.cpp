#include "visuals/shell.h"

#include <cmath>

bool shellHasRoom(int shape, float inner, float outer) {
    // Written so that a NaN on either side compares false: no room.
    if (shape == cubeShell) {
        // An inner half-extent of 0 or less needs no draw at all, unless the
        // outer one is 0 too.
        return inner < std::fabs(outer);
    }
    return std::fabs(inner) < std::fabs(outer);
}
