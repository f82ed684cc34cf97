#include "platform/wayland/frame_layout.h"

#include <algorithm>
#include <cmath>

namespace {

// Where each surface starts along one axis: after the end of every region
// before it, "before" meaning its output ends where this one starts or
// earlier. Surfaces are visited in the order of their starts, so each
// region before one is placed by then.
std::vector<int> pack(const std::vector<int>& starts, const std::vector<int>& ends,
                      const std::vector<int>& lengths) {
    std::vector<std::size_t> order(starts.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return starts[a] < starts[b]; });
    std::vector<int> placed(starts.size(), 0);
    for (std::size_t i : order) {
        for (std::size_t j : order) {
            if (j != i && ends[j] <= starts[i] && starts[j] < starts[i]) {
                placed[i] = std::max(placed[i], placed[j] + lengths[j]);
            }
        }
    }
    return placed;
}

} // namespace

FrameLayout layOutFrame(const std::vector<SurfacePlacement>& surfaces) {
    FrameLayout layout;
    std::vector<int> lefts, rights, widths, tops, bottoms, heights;
    for (const SurfacePlacement& s : surfaces) {
        const int scale = std::max(s.scale, 1);
        lefts.push_back(s.x);
        rights.push_back(s.x + std::max(s.width, 0));
        widths.push_back(std::max(s.width, 0) * scale);
        tops.push_back(s.y);
        bottoms.push_back(s.y + std::max(s.height, 0));
        heights.push_back(std::max(s.height, 0) * scale);
    }
    const std::vector<int> xs = pack(lefts, rights, widths);
    const std::vector<int> ys = pack(tops, bottoms, heights);
    for (std::size_t i = 0; i < surfaces.size(); ++i) {
        const RECT region{xs[i], ys[i], xs[i] + widths[i], ys[i] + heights[i]};
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
