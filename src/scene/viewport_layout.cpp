#include "scene/viewport_layout.h"

#include "support/gl_api.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace {

// Every coordinate of the clear is computed in extended precision and rounded
// to float once, so the bar edges land on the same pixel rows everywhere.
using Wide = long double;

void vertex(Wide x, Wide y) {
    glVertex2f(static_cast<float>(x), static_cast<float>(y));
}

// The rectangle from (x0, y0) to (x1, y1), corners in the clear's order.
void quad(Wide x0, Wide y0, Wide x1, Wide y1) {
    vertex(x0, y0);
    vertex(x1, y0);
    vertex(x1, y1);
    vertex(x0, y1);
}

// Rasterisers snap vertices to 1/256 pixel or finer; a row whose pixel
// centre lies further than this inside an edge is covered whatever the
// snapping and the rule for centres on an edge.
constexpr Wide edgeSlack = 1.0L / 64;

// The rows a quad reaching from below up to y surely covers end here.
int rowsSurelyBelow(Wide y) {
    return static_cast<int>(std::floor(y - edgeSlack - 0.5L)) + 1;
}
// The rows a quad reaching from y up to above surely covers start here.
int firstRowSurelyAbove(Wide y) {
    return static_cast<int>(std::ceil(y + edgeSlack - 0.5L));
}

// Whether the slot's viewport and pixel projection are the window's own, so
// that vertex (x, y) lands on window pixel (x, y) over the whole window.
bool spansWindow(const ViewportSlot& slot, float windowWidth, float windowHeight) {
    return slot.pixX0 == 0.0f && slot.pixY0 == 0.0f && slot.pixX1 == windowWidth &&
           slot.pixY1 == windowHeight && slot.pixWidth == windowWidth &&
           slot.pixHeight == windowHeight && std::floor(windowWidth) == windowWidth &&
           std::floor(windowHeight) == windowHeight;
}

} // namespace

ViewportLayout::ViewportLayout() {
    drawnRowsBegin = 0;
    drawnRowsEnd = 0;
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
    markAllDrawn();
    markAllDepthWritten();
}

int ViewportLayout::windowRows() const {
    return windowHeight > 0.0f ? static_cast<int>(std::ceil(windowHeight)) : 0;
}

void ViewportLayout::markAllDrawn() {
    drawnRowsBegin = 0;
    drawnRowsEnd = windowRows();
}

PixelBox ViewportLayout::windowBox() const {
    return PixelBox{0, 0, windowWidth > 0.0f ? static_cast<int>(std::ceil(windowWidth)) : 0,
                    windowRows()};
}

void ViewportLayout::markAllDepthWritten() {
    depthMarks.clear();
    depthMarks.mark(windowBox(), 0.0);
}

void ViewportLayout::markRows(int begin, int end) {
    begin = std::max(begin, 0);
    end = std::min(end, windowRows());
    if (begin >= end) {
        return;
    }
    if (drawnRowsBegin >= drawnRowsEnd) {
        drawnRowsBegin = begin;
        drawnRowsEnd = end;
        return;
    }
    drawnRowsBegin = std::min(drawnRowsBegin, begin);
    drawnRowsEnd = std::max(drawnRowsEnd, end);
}

void ViewportLayout::markDrawn(int i, int reach) {
    assert(i >= 0 && i < maxSlots && "viewport slot index out of range");
    // The rows glViewport is given: the bottom edge and the height, each
    // truncated.
    const int y = static_cast<int>(slots[i].pixY0);
    const int rows = static_cast<int>(slots[i].pixHeight);
    markRows(y - reach, y + rows + reach);
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

void ViewportLayout::clear() {
    glDepthMask(GL_TRUE);
    if (barFraction == 0.0f && fadeAlpha == 1.0f) {
        // Nothing to keep: wipe to the context's clear colour, which is not
        // the bars' opaque black.
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        markAllDrawn();
        depthMarks.clear();
        return;
    }
    // The colour buffer keeps the previous frame for the veil to fade.
    clearDepth();

    if (gapCount > 0) {
        // What no monitor shows stays black.
        glDisable(GL_BLEND);
        glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
        glBegin(GL_QUADS);
        for (int i = 0; i < gapCount; ++i) {
            quad(gaps[i].x0, gaps[i].y0, gaps[i].x1, gaps[i].y1);
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

void ViewportLayout::clearArea(const PixelRect& area) {
    const Wide x0 = area.x0;
    const Wide y0 = area.y0;
    const Wide x1 = area.x1;
    const Wide y1 = area.y1;
    const Wide h = y1 - y0;
    const Wide f = barFraction;

    // The bars: opaque black, from each edge to one pixel into the band.
    const float bottomBarTop = static_cast<float>(y0 + h * f + 1);
    const float topBarBottom = static_cast<float>(y0 + (1 - f) * h - 1);
    // Where the window is one screen and slot 0 spans it, each bar is cut to
    // the drawn rows: the rows it leaves out hold its black already, so
    // painting them would change no pixel. A cut at a whole row keeps exactly
    // the rows of the bar whose pixel centres lie on the drawn side (no
    // centre lies on a whole row), and the bar's own edges are the same
    // floats as ever. Over several monitors the bars are painted whole.
    const bool wholeWindow = monitorCount == 0 && spansWindow(slots[0], windowWidth, windowHeight);
    Wide low = y0;
    Wide high = y1;
    if (wholeWindow) {
        low = std::max(low, Wide(drawnRowsBegin));
        high = std::min(high, Wide(drawnRowsEnd));
    }
    const Wide bottomFrom = low;
    const Wide bottomTo = std::min(high, Wide(bottomBarTop));
    const Wide topFrom = std::max(low, Wide(topBarBottom));
    const Wide topTo = high;
    glDisable(GL_BLEND);
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    if (bottomFrom < bottomTo || topFrom < topTo) {
        glBegin(GL_QUADS);
        if (bottomFrom < bottomTo) {
            quad(x0, bottomFrom, x1, bottomTo);
        }
        if (topFrom < topTo) {
            quad(x0, topFrom, x1, topTo);
        }
        glEnd();
    }
    if (wholeWindow) {
        drawnRowsBegin = std::max(drawnRowsBegin, rowsSurelyBelow(bottomBarTop));
        drawnRowsEnd = std::min(drawnRowsEnd, firstRowSurelyAbove(topBarBottom));
    } else {
        markAllDrawn(); // the bars may not have reached every row's ends
    }

    // The veil, from the band's bottom edge to the top bar: moves what the
    // previous frames drew towards the clear colour by fadeAlpha.
    if (fadeAlpha != 1.0f) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    glColor4f(clearColor[0], clearColor[1], clearColor[2], fadeAlpha);
    const Wide bandBottom = y0 + h * f;
    glBegin(GL_QUADS);
    quad(x0, bandBottom, x1, topBarBottom);
    glEnd();
    // A row past each edge of the veil, whatever the rounding.
    markRows(static_cast<int>(std::floor(static_cast<float>(bandBottom))) - 1,
             static_cast<int>(std::ceil(topBarBottom)) + 1);
}

void ViewportLayout::clearDepth() {
    const PixelBox& written = depthMarks.box;
    const PixelBox window = windowBox();
    if (written.x0 <= window.x0 && written.y0 <= window.y0 && written.x1 >= window.x1 &&
        written.y1 >= window.y1) {
        glClear(GL_DEPTH_BUFFER_BIT);
    } else if (!written.empty()) {
        // Every pixel outside the box holds the far value since the last
        // clear: clearing it again would change nothing.
        glEnable(GL_SCISSOR_TEST);
        glScissor(written.x0, written.y0, written.x1 - written.x0, written.y1 - written.y0);
        glClear(GL_DEPTH_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
    }
    depthMarks.clear();
}

void ViewportLayout::forgetPreviousFrame() {
    markAllDrawn();
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
