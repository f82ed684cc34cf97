#include "scene/window_projection.h"

#include "scene/camera.h"
#include "scene/viewport_slot.h"
#include "support/convex_clip.h"

#include <algorithm>
#include <cmath>

namespace {

// Whole pixels whose centres lie from `low` to `high`, cut to [from, to).
void pixelsCentredIn(double low, double high, int from, int to, int& first, int& end) {
    if (!(low <= high)) {
        first = from; // not a number: nothing is known, so every pixel counts
        end = to;
        return;
    }
    // Pixel p's centre is p + 0.5.
    const double firstAt = std::ceil(std::max(low - 0.5, double(from)));
    const double endAt = std::floor(std::min(high - 0.5, double(to - 1))) + 1.0;
    first = static_cast<int>(firstAt);
    end = std::max(first, static_cast<int>(endAt));
}

} // namespace

WindowProjection::WindowProjection(const Camera& lens, const ViewportSlot& slot) {
    // As gluPerspective builds it, from the aspect Camera::perspective gives.
    const double aspect = double(slot.pixWidth) / double(slot.pixHeight);
    const double halfAngle = lens.fieldOfView / 2.0 * 3.14159265358979323846 / 180.0;
    scaleY = std::cos(halfAngle) / std::sin(halfAngle);
    scaleX = scaleY / aspect;
    nearPlane = lens.nearPlane;
    farPlane = lens.farPlane;
    // As ViewportSlot::applyViewport truncates it.
    viewport.x0 = static_cast<int>(slot.pixX0);
    viewport.y0 = static_cast<int>(slot.pixY0);
    viewport.x1 = viewport.x0 + static_cast<int>(slot.pixWidth);
    viewport.y1 = viewport.y0 + static_cast<int>(slot.pixHeight);
}

int WindowProjection::toWindow(const double (*eye)[3], int count, double (*window)[2]) const {
    // Eye z at most −near, the plane taken a thousandth nearer the eye: what
    // lies between adds to the polygon, never takes from it.
    const double nearSide[4] = {0.0, 0.0, 1.0, -nearPlane * 0.999};
    double inFront[maxCorners][3];
    const int kept = clipConvex<3>(eye, count, nearSide, inFront, maxCorners);
    if (kept < 0) {
        // No room for the cut: the whole viewport holds whatever it was.
        const double corners[4][2] = {{double(viewport.x0), double(viewport.y0)},
                                      {double(viewport.x1), double(viewport.y0)},
                                      {double(viewport.x1), double(viewport.y1)},
                                      {double(viewport.x0), double(viewport.y1)}};
        std::copy(&corners[0][0], &corners[0][0] + 8, &window[0][0]);
        return 4;
    }
    const double halfWidth = 0.5 * (viewport.x1 - viewport.x0);
    const double halfHeight = 0.5 * (viewport.y1 - viewport.y0);
    for (int i = 0; i < kept; ++i) {
        const double w = -inFront[i][2];
        window[i][0] = viewport.x0 + (scaleX * inFront[i][0] / w + 1.0) * halfWidth;
        window[i][1] = viewport.y0 + (scaleY * inFront[i][1] / w + 1.0) * halfHeight;
    }
    return kept;
}

PixelBox WindowProjection::box(const double (*window)[2], int count, double margin) const {
    PixelBox pixels;
    if (count <= 0) {
        return pixels;
    }
    double left = window[0][0];
    double right = window[0][0];
    double low = window[0][1];
    double high = window[0][1];
    for (int i = 1; i < count; ++i) {
        left = std::min(left, window[i][0]);
        right = std::max(right, window[i][0]);
        low = std::min(low, window[i][1]);
        high = std::max(high, window[i][1]);
    }
    pixelsCentredIn(left - margin, right + margin, viewport.x0, viewport.x1, pixels.x0, pixels.x1);
    pixelsCentredIn(low - margin, high + margin, viewport.y0, viewport.y1, pixels.y0, pixels.y1);
    return pixels.empty() ? PixelBox{} : pixels;
}

PixelBox WindowProjection::boxWithinRows(const double (*window)[2], int count, double margin,
                                         int rowBegin, int rowEnd) const {
    // The polygon cut to the slab from the first row's centre to the last
    // one's, widened by the margin: the part that can come within the margin
    // of a pixel of these rows.
    const double slab[2][3] = {{0.0, -1.0, -(rowBegin + 0.5 - margin)},
                               {0.0, 1.0, rowEnd - 0.5 + margin}};
    double cuts[2][maxCorners][2];
    const double(*part)[2] = window;
    int corners = count;
    int next = 0;
    for (const double(&plane)[3] : slab) {
        const int kept = clipConvex<2>(part, corners, plane, cuts[next], maxCorners);
        if (kept == 0) {
            return PixelBox{};
        }
        if (kept > 0) { // else no room for the cut: the uncut part holds it
            part = cuts[next];
            corners = kept;
            next = 1 - next;
        }
    }
    PixelBox pixels = box(part, corners, margin);
    pixels.y0 = std::max(pixels.y0, rowBegin);
    pixels.y1 = std::min(pixels.y1, rowEnd);
    return pixels.empty() ? PixelBox{} : pixels;
}

double WindowProjection::depthAt(double distance) const {
    // f (d − n) / (d (f − n)), as the perspective and the depth range map it.
    const double n = nearPlane;
    const double f = farPlane;
    const double d = std::max(distance, n);
    return f * (d - n) / (d * (f - n));
}
