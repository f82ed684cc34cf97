#include "visuals/shell.h"

#include <cmath>

bool shellHasRoom(int shape, float inner, float outer) {
    // Both comparisons are false for a NaN on either side.
    if (shape == cubeShell) {
        return inner < std::fabs(outer);
    }
    return std::fabs(inner) < std::fabs(outer);
}
