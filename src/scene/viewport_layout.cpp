#include "scene/viewport_layout.h"

#include "support/gl_api.h"

#include <algorithm>
#include <cassert>

namespace {

// Every coordinate of the clear is computed in extended precision and rounded
// to float once, so the bar edges land on the same pixel rows everywhere.
using Wide = long double;

void vertex(Wide x, Wide y) {
    glVertex2f(static_cast<float>(x), static_cast<float>(y));
}

} // namespace

ViewportLayout::ViewportLayout() {
    barFraction = 0.0f;
    fadeAlpha = 1.0f;
    setWindowSize(100.0f, 100.0f);
    setClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    slotCount = 1;
    currentSlot = 0;
    monitorCount = 0;
    gapCount = 0;
    ViewportSlot& whole = slots[0];
    whole.letterboxed = 0;
    whole.setFractions(0.0, 0.0, 1.0, 1.0);
    whole.setFrame(left, bottom, right, top);
    whole.computePixelRect();
}

void ViewportLayout::setWindowSize(float w, float h) {
    windowWidth = w;
    windowHeight = h;
    left = 0.0f;
    bottom = 0.0f;
    right = windowWidth;
    top = windowHeight;
    width = right - left;
    height = top - bottom;
}

void ViewportLayout::setClearColor(float r, float g, float b, float a) {
    clearColor[0] = r;
    clearColor[1] = g;
    clearColor[2] = b;
    clearColor[3] = a;
}

void ViewportLayout::setMonitors(const PixelRect* areas, int count) {
    assert(count >= 0 && count <= maxMonitors && "more monitors than the layout has slots for");
    monitorCount = count;
    for (int i = 0; i < count; ++i) {
        monitors[i].x0 = std::clamp(areas[i].x0, 0.0f, windowWidth);
        monitors[i].y0 = std::clamp(areas[i].y0, 0.0f, windowHeight);
        monitors[i].x1 = std::clamp(areas[i].x1, 0.0f, windowWidth);
        monitors[i].y1 = std::clamp(areas[i].y1, 0.0f, windowHeight);
    }
    findGaps();
}

PixelRect ViewportLayout::slotArea(int i) const {
    if (i >= 1 && i <= monitorCount) {
        return monitors[i - 1];
    }
    return PixelRect{left, bottom, right, top};
}

// Cuts the window at every monitor edge into a grid; each run of cells in a
// row that no monitor covers is one gap.
void ViewportLayout::findGaps() {
    gapCount = 0;
    if (monitorCount == 0) {
        return;
    }
    float xs[2 * maxMonitors + 2] = {0.0f, windowWidth};
    float ys[2 * maxMonitors + 2] = {0.0f, windowHeight};
    for (int i = 0; i < monitorCount; ++i) {
        xs[2 * i + 2] = monitors[i].x0;
        xs[2 * i + 3] = monitors[i].x1;
        ys[2 * i + 2] = monitors[i].y0;
        ys[2 * i + 3] = monitors[i].y1;
    }
    const int edges = 2 * monitorCount + 2;
    std::sort(xs, xs + edges);
    std::sort(ys, ys + edges);
    const int columns = static_cast<int>(std::unique(xs, xs + edges) - xs) - 1;
    const int rows = static_cast<int>(std::unique(ys, ys + edges) - ys) - 1;
    for (int row = 0; row < rows; ++row) {
        bool extending = false;
        for (int column = 0; column < columns; ++column) {
            const float x = (xs[column] + xs[column + 1]) / 2;
            const float y = (ys[row] + ys[row + 1]) / 2;
            bool covered = false;
            for (int i = 0; i < monitorCount && !covered; ++i) {
                const PixelRect& m = monitors[i];
                covered = x > m.x0 && x < m.x1 && y > m.y0 && y < m.y1;
            }
            if (covered) {
                extending = false;
            } else if (extending) {
                gaps[gapCount - 1].x1 = xs[column + 1];
            } else {
                assert(gapCount < maxGaps);
                gaps[gapCount++] = PixelRect{xs[column], ys[row], xs[column + 1], ys[row + 1]};
                extending = true;
            }
        }
    }
}

void ViewportLayout::clear() const {
    glDepthMask(GL_TRUE);
    if (barFraction == 0.0f && fadeAlpha == 1.0f) {
        // Nothing to keep: wipe to the context's clear colour.
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        return;
    }
    // The colour buffer keeps the previous frame for the veil to fade.
    glClear(GL_DEPTH_BUFFER_BIT);

    if (gapCount > 0) {
        // What no monitor shows stays black.
        glDisable(GL_BLEND);
        glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
        glBegin(GL_QUADS);
        for (int i = 0; i < gapCount; ++i) {
            vertex(gaps[i].x0, gaps[i].y0);
            vertex(gaps[i].x1, gaps[i].y0);
            vertex(gaps[i].x1, gaps[i].y1);
            vertex(gaps[i].x0, gaps[i].y1);
        }
        glEnd();
    }
    if (monitorCount == 0) {
        clearArea(PixelRect{0.0f, 0.0f, windowWidth, windowHeight});
    }
    for (int i = 0; i < monitorCount; ++i) {
        clearArea(monitors[i]);
    }
}

void ViewportLayout::clearArea(const PixelRect& area) const {
    const Wide x0 = area.x0;
    const Wide y0 = area.y0;
    const Wide x1 = area.x1;
    const Wide y1 = area.y1;
    const Wide h = y1 - y0;
    const Wide f = barFraction;

    // The bars: opaque black, from each edge to one pixel into the band.
    const Wide bottomBarTop = y0 + h * f + 1;
    const Wide topBarBottom = y0 + (1 - f) * h - 1;
    glDisable(GL_BLEND);
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    glBegin(GL_QUADS);
    vertex(x0, y0);
    vertex(x1, y0);
    vertex(x1, bottomBarTop);
    vertex(x0, bottomBarTop);
    vertex(x0, topBarBottom);
    vertex(x1, topBarBottom);
    vertex(x1, y1);
    vertex(x0, y1);
    glEnd();

    // The veil, from the band's bottom edge to the top bar: moves what the
    // previous frames drew towards the clear colour by fadeAlpha.
    if (fadeAlpha != 1.0f) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    glColor4f(clearColor[0], clearColor[1], clearColor[2], fadeAlpha);
    const Wide bandBottom = y0 + h * f;
    glBegin(GL_QUADS);
    vertex(x0, bandBottom);
    vertex(x1, bandBottom);
    vertex(x1, topBarBottom);
    vertex(x0, topBarBottom);
    glEnd();
}

void ViewportLayout::selectViewport(int i) {
    assert(i >= 0 && i < maxSlots && "viewport slot index out of range");
    currentSlot = i;
    slots[i].applyViewport();
}

void ViewportLayout::selectOrtho(int i) {
    assert(i >= 0 && i < maxSlots && "viewport slot index out of range");
    currentSlot = i;
    slots[i].applyOrtho();
}

void ViewportLayout::relayout() {
    assert(slotCount <= maxSlots && "more slots in use than the layout holds");
    for (int i = 0; i < slotCount; ++i) {
        ViewportSlot& slot = slots[i];
        const PixelRect area = slotArea(i);
        if (slot.letterboxed == 0) {
            slot.setFrame(area.x0, area.y0, area.x1, area.y1);
        } else {
            // Exact in double; setFrame rounds each edge to float once.
            const double bar = double(area.y1 - area.y0) * barFraction;
            slot.setFrame(area.x0, area.y0 + bar, area.x1, area.y1 - bar);
        }
        slot.computePixelRect();
    }
}
