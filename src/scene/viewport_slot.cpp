#include "scene/viewport_slot.h"

#include "support/gl_api.h"

namespace {

// origin + fraction × extent, rounded to float once.
float place(float origin, float fraction, float extent) {
    return static_cast<float>(static_cast<long double>(fraction) * extent + origin);
}

} // namespace

ViewportSlot::ViewportSlot() {
    setFractions(0.0, 0.0, 1.0, 1.0);
    setFrame(0.0, 0.0, 100.0, 100.0);
    computePixelRect();
    letterboxed = 0;
}

void ViewportSlot::setFractions(double x0, double y0, double x1, double y1) {
    fracX0 = static_cast<float>(x0);
    fracY0 = static_cast<float>(y0);
    fracX1 = static_cast<float>(x1);
    fracY1 = static_cast<float>(y1);
}

void ViewportSlot::setFrame(double x0, double y0, double x1, double y1) {
    frameX0 = static_cast<float>(x0);
    frameY0 = static_cast<float>(y0);
    frameX1 = static_cast<float>(x1);
    frameY1 = static_cast<float>(y1);
    frameWidth = frameX1 - frameX0;
    frameHeight = frameY1 - frameY0;
}

void ViewportSlot::computePixelRect() {
    pixX0 = place(frameX0, fracX0, frameWidth);
    pixY0 = place(frameY0, fracY0, frameHeight);
    pixX1 = place(frameX0, fracX1, frameWidth);
    pixY1 = place(frameY0, fracY1, frameHeight);
    pixWidth = pixX1 - pixX0;
    pixHeight = pixY1 - pixY0;
}

void ViewportSlot::applyViewport() const {
    glViewport(static_cast<GLint>(pixX0), static_cast<GLint>(pixY0), static_cast<GLsizei>(pixWidth),
               static_cast<GLsizei>(pixHeight));
}

void ViewportSlot::applyOrtho() const {
    // Each edge truncated to a whole pixel, so vertex (x, y) lands on window
    // pixel (x, y) when the slot spans the window.
    const double left = static_cast<int>(pixX0);
    const double right = static_cast<int>(pixX1);
    const double bottom = static_cast<int>(pixY0);
    const double top = static_cast<int>(pixY1);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(left, right, bottom, top, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
