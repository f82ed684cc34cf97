// ResizeScene: the views follow the client area's size and its monitors.
#include "app/scene_hooks.h"
#include "app/scene_objects.h"

namespace {

bool overlaps(const PixelRect& a, const PixelRect& b) {
    return a.x0 < b.x1 && b.x0 < a.x1 && a.y0 < b.y1 && b.y0 < a.y1;
}

bool sameArea(const PixelRect& a, const PixelRect& b) {
    return a.x0 == b.x0 && a.y0 == b.y0 && a.x1 == b.x1 && a.y1 == b.y1;
}

// The monitors that get a view of their own, in window pixels with y upwards:
// those wholly inside the client area, a mirror of one already taken left out.
// Fewer than two, or more than there are slots for, make one view over the
// whole area instead.
int chooseMonitors(int width, int height, const SceneMonitor* monitors, int count,
                   PixelRect* chosen) {
    int taken = 0;
    for (int i = 0; i < count; ++i) {
        const SceneMonitor& m = monitors[i];
        if (m.left < 0 || m.top < 0 || m.right > width || m.bottom > height || m.left >= m.right ||
            m.top >= m.bottom) {
            continue;
        }
        const PixelRect area = {static_cast<float>(m.left), static_cast<float>(height - m.bottom),
                                static_cast<float>(m.right), static_cast<float>(height - m.top)};
        bool mirrored = false;
        for (int j = 0; j < taken && !mirrored; ++j) {
            mirrored = overlaps(area, chosen[j]);
        }
        if (mirrored) {
            continue;
        }
        if (taken == ViewportLayout::maxMonitors) {
            return 0;
        }
        chosen[taken++] = area;
    }
    return taken >= 2 ? taken : 0;
}

bool layoutIs(float width, float height, const PixelRect* monitors, int count) {
    if (viewportLayout.windowWidth != width || viewportLayout.windowHeight != height ||
        viewportLayout.monitorCount != count) {
        return false;
    }
    for (int i = 0; i < count; ++i) {
        if (!sameArea(viewportLayout.monitors[i], monitors[i])) {
            return false;
        }
    }
    return true;
}

} // namespace

void ResizeScene(int clientWidth, int clientHeight, const SceneMonitor* monitors,
                 int monitorCount) {
    if (clientWidth <= 0 || clientHeight <= 0) {
        return; // nothing to see; the views keep their last size
    }
    PixelRect chosen[ViewportLayout::maxMonitors];
    const int views = chooseMonitors(clientWidth, clientHeight, monitors, monitorCount, chosen);
    const float width = static_cast<float>(clientWidth);
    const float height = static_cast<float>(clientHeight);
    if (layoutIs(width, height, chosen, views)) {
        return; // the same layout: the frames go on untouched
    }

    viewportLayout.setWindowSize(width, height);
    viewportLayout.setMonitors(chosen, views);
    // Every further view is set up as the scene's view; its camera follows
    // the scene camera frame by frame.
    const ViewportSlot& sceneView = viewportLayout.slots[sceneViewSlot];
    viewportLayout.slotCount = sceneViewSlot + (views > 1 ? views : 1);
    for (int i = sceneViewSlot + 1; i < viewportLayout.slotCount; ++i) {
        ViewportSlot& view = viewportLayout.slots[i];
        view.letterboxed = sceneView.letterboxed;
        view.setFractions(sceneView.fracX0, sceneView.fracY0, sceneView.fracX1, sceneView.fracY1);
    }
    // Slot 0 spans the new window from the next frame's clear on.
    viewportLayout.relayout();
}
