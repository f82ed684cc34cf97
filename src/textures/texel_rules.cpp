#include "textures/texel_rules.h"

#include "support/random.h"

#include <cmath>

namespace {

// Runs `rule(x, y, dx, dy)` for every texel, rows outer. dx and dy are the
// offsets from the centre texel (width / 2, height / 2, truncated), in single
// precision.
template <typename Rule>
void eachTexel(int width, int height, int centreX, int centreY, Rule rule) {
    for (int y = 0; y < height; ++y) {
        const float dy = static_cast<float>(y - centreY);
        for (int x = 0; x < width; ++x) {
            rule(x, y, static_cast<float>(x - centreX), dy);
        }
    }
}

} // namespace

void fillTexelByTexel(TextureKind kind, int width, int height, TexelWriter& out) {
    const int cx = static_cast<int>(0.5 * width);
    const int cy = static_cast<int>(0.5 * height);
    // The discs of SPHERE and NOTSPHERE and the tents of STAR are measured in
    // the integer centre, cx, in both directions.
    const float radius = static_cast<float>(cx);

    switch (kind) {
    case TextureKind::SPHERE:
        // Opaque white at the centre, fading as 1 − r² to nothing at the rim.
        eachTexel(width, height, cx, cy, [&](int x, int y, float dx, float dy) {
            float t = std::sqrt(dx * dx + dy * dy) / radius;
            if (t > 1.0f) {
                t = 1.0f;
            }
            t = t * t;
            out.putGrey(x, y, 255.0f * (1.0f - t));
        });
        break;
    case TextureKind::NOTSPHERE:
        // The complement: clear centre, opaque from the rim outward.
        eachTexel(width, height, cx, cy, [&](int x, int y, float dx, float dy) {
            float t = std::sqrt(dx * dx + dy * dy) / radius;
            if (t > 1.0f) {
                t = 1.0f;
            }
            t = t * t;
            out.putGrey(x, y, 255.0f * t);
        });
        break;
    case TextureKind::GRADIENT:
        // Transparent black at row 0 rising to almost opaque white.
        eachTexel(width, height, cx, cy, [&](int x, int y, float, float) {
            out.putGrey(x, y, static_cast<float>(y) / static_cast<float>(height) * 255.0f);
        });
        break;
    case TextureKind::RING:
        // Brightens linearly to a rim 58 texels out, then falls to nothing
        // at 65.25 texels, whatever the size.
        eachTexel(width, height, cx, cy, [&](int x, int y, float, float) {
            const int ix = x - cx;
            const int iy = y - cy;
            float v = std::sqrt(static_cast<float>(ix * ix + iy * iy)) / 58.0f;
            if (v > 1.0f) {
                v = 9.0f - 8.0f * v;
            }
            out.putGrey(x, y, v < 0.0f ? 0.0f : static_cast<float>(255.0 * v));
        });
        break;
    case TextureKind::STAR:
        // Two tents multiplied: a four-pointed glow, 0 along row and column 0.
        eachTexel(width, height, cx, cy, [&](int x, int y, float dx, float dy) {
            const float fx = (radius - std::fabs(dx)) / radius;
            const float fy = (static_cast<float>(cy) - std::fabs(dy)) / static_cast<float>(cy);
            float v = fx * fy;
            if (v < 0.0f) {
                v = 0.0f;
            }
            if (v > 1.0f) {
                v = 1.0f;
            }
            out.putGrey(x, y, 255.0f * v);
        });
        break;
    case TextureKind::SAND:
        // Sand colours of random brightness, with one black and one white
        // speck in a thousand texels. One draw a texel, two for sand.
        eachTexel(width, height, cx, cy, [&](int x, int y, float, float) {
            const float u = static_cast<float>(randomUniform(1.0));
            if (u < 0.001) {
                out.put(x, y, 0.0f, 0.0f, 0.0f, 255.0f);
            } else if (u < 0.002) {
                out.put(x, y, 255.0f, 255.0f, 255.0f, 255.0f);
            } else {
                const double s = randomUniform(127.0) + 127.0;
                out.put(x, y, static_cast<float>(s), static_cast<float>(0.8 * s),
                        static_cast<float>(0.6 * s), static_cast<float>(s));
            }
        });
        break;
    case TextureKind::BLACK:
        eachTexel(width, height, cx, cy,
                  [&](int x, int y, float, float) { out.put(x, y, 0.0f, 0.0f, 0.0f, 255.0f); });
        break;
    case TextureKind::CHECK:
        // Squares of 128 texels whatever the size; transparent at the origin.
        eachTexel(width, height, cx, cy, [&](int x, int y, float, float) {
            const int c = ((x / 128) ^ (y / 128)) & 1;
            out.putGrey(x, y, 255.0f * static_cast<float>(c));
        });
        break;
    case TextureKind::GRILLE:
        // One-texel lines every 8 texels in both directions.
        eachTexel(width, height, cx, cy, [&](int x, int y, float, float) {
            out.putGrey(x, y, x % 8 == 0 || y % 8 == 0 ? 255.0f : 0.0f);
        });
        break;
    case TextureKind::GRAIN:
        // Grey white noise, one draw a texel; alpha is the mean of the three
        // equal colour values.
        eachTexel(width, height, cx, cy, [&](int x, int y, float, float) {
            const float u = static_cast<float>(randomUniform(1.0));
            const float grey = 255.0f * u;
            out.put(x, y, grey, grey, grey, (grey + grey + grey) / 3.0f);
        });
        break;
    default:
        // No pixel rule: fully transparent black, so the upload is defined.
        eachTexel(width, height, cx, cy,
                  [&](int x, int y, float, float) { out.putGrey(x, y, 0.0f); });
        break;
    }
}
