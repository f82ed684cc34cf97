#include "textures/texel_rules.h"

#include "support/random.h"

#include <algorithm>
#include <cmath>

// Each rule is computed exactly as stated, texel by texel, in single
// precision. Texels known to equal one already computed are copied instead:
// the rules about the centre depend on row and column only through
// |y − cy| and |x − cx|, and the patterns repeat from row to row.

namespace {

// One row of values for the grey rules, up to the widest image.
float rowValues[texelLimit];

// Writes row y, texel x taking `value(x)`.
template <typename Value>
void greyRow(TexelWriter& out, int width, int y, Value value) {
    for (int x = 0; x < width; ++x) {
        rowValues[x] = value(x);
    }
    out.greySpan(0, y, width, rowValues);
}

// Writes row y of a rule that depends on the column only through |x − cx|:
// columns left of cx take the value of their mirror 2cx − x where the row
// has one.
template <typename Value>
void mirroredGreyRow(TexelWriter& out, int width, int cx, int y, Value value) {
    for (int x = std::max(cx, 0); x < width; ++x) {
        rowValues[x] = value(x);
    }
    for (int x = 0; x < cx && x < width; ++x) {
        const int mirror = 2 * cx - x;
        rowValues[x] = mirror < width ? rowValues[mirror] : value(x);
    }
    out.greySpan(0, y, width, rowValues);
}

// Writes row y span by span, columns in order; `colour(rgba)` gives the
// four values of the next texel.
template <typename Colour>
void colourRow(TexelWriter& out, int width, int y, Colour colour) {
    float rgba[spanTexels * 4];
    for (int x0 = 0; x0 < width; x0 += spanTexels) {
        const int count = std::min(spanTexels, width - x0);
        for (int i = 0; i < count; ++i) {
            colour(rgba + i * 4);
        }
        out.colourSpan(x0, y, count, rgba);
    }
}

// The row above the centre with the same |y − cy| as row y, or −1 when row
// y is the first of its distance.
int mirroredRow(int y, int cy) {
    const int mirror = 2 * cy - y;
    return mirror >= 0 && mirror < y ? mirror : -1;
}

void setRgba(float* rgba, float red, float green, float blue, float alpha) {
    rgba[0] = red;
    rgba[1] = green;
    rgba[2] = blue;
    rgba[3] = alpha;
}

} // namespace

void fillTexelByTexel(TextureKind kind, int width, int height, TexelWriter& out) {
    const int cx = static_cast<int>(0.5 * width);
    const int cy = static_cast<int>(0.5 * height);
    // The discs of SPHERE and NOTSPHERE and the tents of STAR are measured in
    // the integer centre, cx, in both directions.
    const float radius = static_cast<float>(cx);

    for (int y = 0; y < height; ++y) {
        const float dy = static_cast<float>(y - cy);
        switch (kind) {
        case TextureKind::SPHERE:
        case TextureKind::NOTSPHERE:
            if (const int same = mirroredRow(y, cy); same >= 0) {
                out.copyRow(same, y);
                break;
            }
            // SPHERE: opaque white at the centre, fading as 1 − r² to nothing
            // at the rim. NOTSPHERE: the complement.
            mirroredGreyRow(out, width, cx, y, [&](int x) {
                const float dx = static_cast<float>(x - cx);
                float t = std::sqrt(dx * dx + dy * dy) / radius;
                if (t > 1.0f) {
                    t = 1.0f;
                }
                t = t * t;
                return kind == TextureKind::SPHERE ? 255.0f * (1.0f - t) : 255.0f * t;
            });
            break;
        case TextureKind::GRADIENT: {
            // Transparent black at row 0 rising to almost opaque white.
            const float value = static_cast<float>(y) / static_cast<float>(height) * 255.0f;
            greyRow(out, width, y, [&](int) { return value; });
            break;
        }
        case TextureKind::RING:
            if (const int same = mirroredRow(y, cy); same >= 0) {
                out.copyRow(same, y);
                break;
            }
            // Brightens linearly to a rim 58 texels out, then falls to
            // nothing at 65.25 texels, whatever the size.
            mirroredGreyRow(out, width, cx, y, [&](int x) {
                const int ix = x - cx;
                const int iy = y - cy;
                float v = std::sqrt(static_cast<float>(ix * ix + iy * iy)) / 58.0f;
                if (v > 1.0f) {
                    v = 9.0f - 8.0f * v;
                }
                return v < 0.0f ? 0.0f : static_cast<float>(255.0 * v);
            });
            break;
        case TextureKind::STAR: {
            if (const int same = mirroredRow(y, cy); same >= 0) {
                out.copyRow(same, y);
                break;
            }
            // Two tents multiplied: a four-pointed glow, 0 along row and
            // column 0.
            const float fy = (static_cast<float>(cy) - std::fabs(dy)) / static_cast<float>(cy);
            mirroredGreyRow(out, width, cx, y, [&](int x) {
                const float fx = (radius - std::fabs(static_cast<float>(x - cx))) / radius;
                float v = fx * fy;
                if (v < 0.0f) {
                    v = 0.0f;
                }
                if (v > 1.0f) {
                    v = 1.0f;
                }
                return 255.0f * v;
            });
            break;
        }
        case TextureKind::SAND:
            // Sand colours of random brightness, with one black and one white
            // speck in a thousand texels. One draw a texel, two for sand.
            colourRow(out, width, y, [&](float* rgba) {
                const float u = static_cast<float>(randomUniform(1.0));
                if (u < 0.001) {
                    setRgba(rgba, 0.0f, 0.0f, 0.0f, 255.0f);
                } else if (u < 0.002) {
                    setRgba(rgba, 255.0f, 255.0f, 255.0f, 255.0f);
                } else {
                    const double s = randomUniform(127.0) + 127.0;
                    setRgba(rgba, static_cast<float>(s), static_cast<float>(0.8 * s),
                            static_cast<float>(0.6 * s), static_cast<float>(s));
                }
            });
            break;
        case TextureKind::BLACK:
            if (y > 0) {
                out.copyRow(0, y);
                break;
            }
            colourRow(out, width, y, [&](float* rgba) { setRgba(rgba, 0.0f, 0.0f, 0.0f, 255.0f); });
            break;
        case TextureKind::CHECK:
            // Squares of 128 texels whatever the size; transparent at the
            // origin. Rows change only every 128.
            if (y % 128 != 0) {
                out.copyRow(y - 1, y);
                break;
            }
            greyRow(out, width, y, [&](int x) {
                const int c = ((x / 128) ^ (y / 128)) & 1;
                return 255.0f * static_cast<float>(c);
            });
            break;
        case TextureKind::GRILLE:
            // One-texel lines every 8 texels in both directions: rows 0 and 1
            // are the two kinds of row there are.
            if (y > 1) {
                out.copyRow(y % 8 == 0 ? 0 : 1, y);
                break;
            }
            greyRow(out, width, y, [&](int x) { return x % 8 == 0 || y % 8 == 0 ? 255.0f : 0.0f; });
            break;
        case TextureKind::GRAIN:
            // Grey white noise, one draw a texel; alpha is the mean of the
            // three equal colour values.
            colourRow(out, width, y, [&](float* rgba) {
                const float u = static_cast<float>(randomUniform(1.0));
                const float grey = 255.0f * u;
                setRgba(rgba, grey, grey, grey, (grey + grey + grey) / 3.0f);
            });
            break;
        default:
            // No pixel rule: fully transparent black, so the upload is defined.
            if (y > 0) {
                out.copyRow(0, y);
                break;
            }
            greyRow(out, width, y, [&](int) { return 0.0f; });
            break;
        }
    }
}
