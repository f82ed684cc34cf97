#include "scene/viewport_layout.h"

#include "support/gl_api.h"

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

void ViewportLayout::clear() const {
    const Wide w = windowWidth;
    const Wide h = windowHeight;
    const Wide f = barFraction;

    glDepthMask(GL_TRUE);
    if (barFraction == 0.0f && fadeAlpha == 1.0f) {
        // Nothing to keep: wipe to the context's clear colour.
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        return;
    }
    // The colour buffer keeps the previous frame for the veil to fade.
    glClear(GL_DEPTH_BUFFER_BIT);

    // The bars: opaque black, from each edge to one pixel into the band.
    const Wide bottomBarTop = h * f + 1;
    const Wide topBarBottom = (1 - f) * h - 1;
    glDisable(GL_BLEND);
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    glBegin(GL_QUADS);
    vertex(0, 0);
    vertex(w, 0);
    vertex(w, bottomBarTop);
    vertex(0, bottomBarTop);
    vertex(0, topBarBottom);
    vertex(w, topBarBottom);
    vertex(w, h);
    vertex(0, h);
    glEnd();

    // The veil, from the band's bottom edge to the top bar: moves what the
    // previous frames drew towards the clear colour by fadeAlpha.
    if (fadeAlpha != 1.0f) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    glColor4f(clearColor[0], clearColor[1], clearColor[2], fadeAlpha);
    const Wide bandBottom = h * f;
    glBegin(GL_QUADS);
    vertex(0, bandBottom);
    vertex(w, bandBottom);
    vertex(w, topBarBottom);
    vertex(0, topBarBottom);
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
        if (slot.letterboxed == 0) {
            slot.setFrame(left, bottom, right, top);
        } else {
            // Exact in double; setFrame rounds each edge to float once.
            const double bar = double(height) * barFraction;
            slot.setFrame(left, bottom + bar, right, top - bar);
        }
        slot.computePixelRect();
    }
}
