// A box of whole window pixels: columns x0 to x1 − 1 and rows y0 to y1 − 1,
// y growing upwards as glScissor counts them.
#pragma once

#include <algorithm>

struct PixelBox {
    int x0 = 0;
    int y0 = 0;
    int x1 = 0;
    int y1 = 0;

    bool empty() const { return x0 >= x1 || y0 >= y1; }
    // Whether some pixel lies in both boxes.
    bool overlaps(const PixelBox& other) const {
        return !empty() && !other.empty() && x0 < other.x1 && other.x0 < x1 && y0 < other.y1 &&
               other.y0 < y1;
    }
    // Widens the box to hold `other` too.
    void include(const PixelBox& other) {
        if (other.empty()) {
            return;
        }
        if (empty()) {
            *this = other;
            return;
        }
        x0 = std::min(x0, other.x0);
        y0 = std::min(y0, other.y0);
        x1 = std::max(x1, other.x1);
        y1 = std::max(y1, other.y1);
    }
};
