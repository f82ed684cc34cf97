#include "platform/wayland/frame_layout.h"

#include <algorithm>
#include <climits>
#include <cmath>

FrameLayout layOutFrame(const std::vector<SurfacePlacement>& surfaces) {
    FrameLayout layout;
    if (surfaces.empty()) {
        return layout;
    }
    int left = INT_MAX;
    int top = INT_MAX;
    int largestScale = 1;
    for (const SurfacePlacement& s : surfaces) {
        left = std::min(left, s.x);
        top = std::min(top, s.y);
        largestScale = std::max(largestScale, s.scale);
    }
    for (const SurfacePlacement& s : surfaces) {
        const int scale = std::max(s.scale, 1);
        RECT region;
        region.left = (s.x - left) * largestScale;
        region.top = (s.y - top) * largestScale;
        region.right = region.left + std::max(s.width, 0) * scale;
        region.bottom = region.top + std::max(s.height, 0) * scale;
        layout.width = std::max<int>(layout.width, region.right);
        layout.height = std::max<int>(layout.height, region.bottom);
        layout.regions.push_back(region);
    }
    return layout;
}

POINT framePoint(const RECT& region, int scale, double surfaceX, double surfaceY) {
    return POINT{region.left + static_cast<LONG>(std::floor(surfaceX * scale)),
                 region.top + static_cast<LONG>(std::floor(surfaceY * scale))};
}
