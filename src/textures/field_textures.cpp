#include "textures/field_textures.h"

#include "support/random.h"
#include "textures/texture.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define HAZE_FIELD_SSE2 1
#endif

// Both generators give every sample exactly the single-precision operations,
// in exactly the order, of the plain rule, in which every shape visits every
// texel and takes a square root there: that is what keeps the images the same
// from build to build. They only avoid work whose result is known: a cone
// adds exactly +0 beyond its radius, and a square root depends only on
// whole-texel offsets, so it comes from a table. FOG sums each sample over
// the points in their order, a row at a time instead of a point at a time.

namespace {

// The field of one generate call, row y at y × fieldSide.
float accumulationField[fieldSide * fieldSide];

// sqrt(a² + b²) for whole-texel offsets 0 to 255, the square summed in
// integers, the root taken in single precision.
struct DistanceTable {
    float at[fieldSide][fieldSide];
};

const DistanceTable& distances() {
    static DistanceTable table;
    static const bool filled = [] {
        for (int a = 0; a < fieldSide; ++a) {
            for (int b = 0; b < fieldSide; ++b) {
                table.at[a][b] = std::sqrt(static_cast<float>(a * a + b * b));
            }
        }
        return true;
    }();
    static_cast<void>(filled);
    return table;
}

// field[i] += values[i] for `count` samples, four at a time so the compiler
// can add them as one vector.
void addRow(float* __restrict field, const float* __restrict values, int count) {
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        field[i] += values[i];
        field[i + 1] += values[i + 1];
        field[i + 2] += values[i + 2];
        field[i + 3] += values[i + 3];
    }
    for (; i < count; ++i) {
        field[i] += values[i];
    }
}

// The largest of `start` and the field's samples. Four running maxima, so
// the comparisons need not wait for one another; the largest value is the
// same whatever order it is found in.
float largestSample(float start, int width, int height) {
    float m0 = start;
    float m1 = start;
    float m2 = start;
    float m3 = start;
    for (int y = 0; y < height; ++y) {
        const float* row = accumulationField + y * fieldSide;
        int x = 0;
        for (; x + 4 <= width; x += 4) {
            m0 = row[x] > m0 ? row[x] : m0;
            m1 = row[x + 1] > m1 ? row[x + 1] : m1;
            m2 = row[x + 2] > m2 ? row[x + 2] : m2;
            m3 = row[x + 3] > m3 ? row[x + 3] : m3;
        }
        for (; x < width; ++x) {
            m0 = row[x] > m0 ? row[x] : m0;
        }
    }
    m0 = m1 > m0 ? m1 : m0;
    m2 = m3 > m2 ? m3 : m2;
    return m2 > m0 ? m2 : m0;
}

void clearField(int height) {
    std::fill(accumulationField, accumulationField + fieldSide * height, 0.0f);
}

// --- SMOKE ---------------------------------------------------------------------------

// Largest puff radius: trunc(0.24 × 256 × 32767/32768 + 0.04 × 256).
constexpr int maxPuffRadius = 71;
static_assert(static_cast<int>((0.24 + 0.04) * fieldSide) <= maxPuffRadius,
              "a puff must fit its cone row");

// The cone's height at distance d: 1 − min(d / radius, 1).
inline float coneHeight(float d, float radius) {
    float v = d / radius;
    if (v > 1.0f) {
        v = 1.0f;
    }
    return 1.0f - v;
}

// cone[i] for distance[i].
void coneHeights(const float* distance, float* cone, int count, float radius) {
    int i = 0;
#if HAZE_FIELD_SSE2
    // Four at a time: the same division, clamp and subtraction per lane.
    // min(v, 1) takes v when v < 1, else 1: the clamp for every v that is not
    // NaN, and d / radius never is.
    const __m128 r = _mm_set1_ps(radius);
    const __m128 one = _mm_set1_ps(1.0f);
    for (; i + 4 <= count; i += 4) {
        const __m128 v = _mm_min_ps(_mm_div_ps(_mm_loadu_ps(distance + i), r), one);
        _mm_storeu_ps(cone + i, _mm_sub_ps(one, v));
    }
#endif
    for (; i < count; ++i) {
        cone[i] = coneHeight(distance[i], radius);
    }
}

// Adds a cone of height 1 and `radius` texels centred on (cx, cy). Texels at
// or beyond the radius (dx² + dy² ≥ radius²) are skipped: there d / radius
// ≥ 1, so the plain rule adds 1 − 1 = +0, which leaves a sample exactly as it
// was.
void addPuff(int cx, int cy, int radius, int width, int height) {
    const DistanceTable& distance = distances();
    // One row of the cone, dx from −reach to reach.
    float span[2 * maxPuffRadius + 1];
    int reach = radius;
    for (int dy = 0; dy < radius; ++dy) {
        const int above = cy - dy;
        const int below = cy + dy;
        const bool aboveInside = above >= 0 && above < height;
        const bool belowInside = dy > 0 && below >= 0 && below < height;
        // The largest dx with dx² + dy² < radius², shrinking as dy grows.
        while (reach * reach + dy * dy >= radius * radius) {
            --reach;
        }
        const int x0 = std::max(0, cx - reach);
        const int x1 = std::min(width - 1, cx + reach);
        if ((!aboveInside && !belowInside) || x0 > x1) {
            continue;
        }
        coneHeights(distance.at[dy], span + reach, reach + 1, static_cast<float>(radius));
        for (int dx = 1; dx <= reach; ++dx) {
            span[reach - dx] = span[reach + dx];
        }
        const float* first = span + (x0 - (cx - reach));
        if (aboveInside) {
            addRow(accumulationField + above * fieldSide + x0, first, x1 - x0 + 1);
        }
        if (belowInside) {
            addRow(accumulationField + below * fieldSide + x0, first, x1 - x0 + 1);
        }
    }
}

// --- FOG -----------------------------------------------------------------------------

constexpr int fogPointCount = 90;
// Distances are measured in units of 64 texels.
constexpr int fogRadius = 64;

// |d| or size − |d|, whichever is smaller: the distance along one axis when
// the image wraps around. For points beyond the image (possible below 256
// texels) the second form can be negative; only its square matters.
int wrapDistance(int d, int size) {
    const int a = std::abs(d);
    return a < size - a ? a : size - a;
}

// What one point in column 0 adds along a row: fogRow[|dy|][x] is the
// distance to (x, dy) with wrap-around in a row of the current width, over
// 64. A point in column px adds the same row rotated by px, so each row is
// stored twice over and every rotation of it is one contiguous run.
float fogRow[fieldSide][2 * fieldSide];
// What a point beyond the right edge (below 256 texels) adds along a row.
float pointRow[fogPointCount][fieldSide];
// Columns summed together in registers.
constexpr int fogBlock = 16;
struct FogPoint {
    int x;
    int y;
};
FogPoint fogPoints[fogPointCount];

} // namespace

void fillSmoke(Texture& texture, TexelWriter& out) {
    const int width = texture.width;
    const int height = texture.height;
    clearField(height);
    for (int k = 0; k < texture.puffCount; ++k) {
        // Radius 0.04 to 0.28 of the width; centre spread 0.17 of each side
        // around the middle, possibly outside the image.
        const int radius = static_cast<int>(randomUniform(0.24 * width) + 0.04 * width);
        texture.spotRadius = radius;
        const int cx =
            static_cast<int>(randomGaussian(static_cast<float>(0.17 * width)) + 0.5 * width);
        const int cy =
            static_cast<int>(randomGaussian(static_cast<float>(0.17 * height)) + 0.5 * height);
        // A cone of radius 0 has no extent (and d / 0 has no value at its
        // centre): it adds nothing. Only images narrower than 25 texels draw
        // such radii.
        if (radius > 0) {
            addPuff(cx, cy, radius, width, height);
        }
    }

    // Samples never decrease, so the largest final sample is the largest
    // value the field ever held.
    const float peak = largestSample(-9999.0f, width, height);
    // A field that stayed 0 has no scale: the image is all zero (every sample
    // is 0, and 0 × 0 is 0).
    const float scale = peak > 0.0f ? static_cast<float>(255.0 / peak) : 0.0f;
    float values[fieldSide];
    for (int y = 0; y < height; ++y) {
        const float* row = accumulationField + y * fieldSide;
        for (int x = 0; x < width; ++x) {
            values[x] = row[x] * scale;
        }
        out.greySpan(0, y, width, values);
    }
}

void fillFog(Texture& texture, TexelWriter& out) {
    const int width = texture.width;
    const int height = texture.height;
    const DistanceTable& distance = distances();

    // The points first, px then py for each, as the sequence hands them out;
    // they depend on nothing else. Anywhere in 0 to 255 whatever the size.
    for (int k = 0; k < fogPointCount; ++k) {
        texture.spotRadius = fogRadius;
        fogPoints[k].x = static_cast<int>(randomUniform(256.0));
        fogPoints[k].y = static_cast<int>(randomUniform(256.0));
    }

    int farthestRow = 0;
    for (const FogPoint& point : fogPoints) {
        for (int y = 0; y < height; ++y) {
            farthestRow = std::max(farthestRow, std::abs(wrapDistance(y - point.y, height)));
        }
    }
    for (int dy = 0; dy <= farthestRow; ++dy) {
        for (int x = 0; x < width; ++x) {
            const float value =
                distance.at[dy][wrapDistance(x, width)] / static_cast<float>(fogRadius);
            fogRow[dy][x] = value;
            fogRow[dy][x + width] = value;
        }
    }

    for (int y = 0; y < height; ++y) {
        // What each point adds along this row, as a run of `width` values.
        const float* adds[fogPointCount];
        for (int k = 0; k < fogPointCount; ++k) {
            const FogPoint& point = fogPoints[k];
            const int dy = std::abs(wrapDistance(y - point.y, height));
            if (point.x < width) {
                // Column x is (x − px) mod width texels along the row.
                adds[k] = fogRow[dy] + (width - point.x) % width;
            } else {
                float* own = pointRow[k];
                for (int x = 0; x < width; ++x) {
                    const int dx = std::abs(wrapDistance(x - point.x, width));
                    own[x] = distance.at[dy][dx] / static_cast<float>(fogRadius);
                }
                adds[k] = own;
            }
        }
        // Sixteen columns at a time, summed in registers over the points in
        // their order: every sample is 0 + a0 + a1 + ... + a89, as the plain
        // rule forms it.
        float* field = accumulationField + y * fieldSide;
        int x0 = 0;
        for (; x0 + fogBlock <= width; x0 += fogBlock) {
            float sum[fogBlock] = {};
            for (const float* add : adds) {
                const float* a = add + x0;
                sum[0] += a[0];
                sum[1] += a[1];
                sum[2] += a[2];
                sum[3] += a[3];
                sum[4] += a[4];
                sum[5] += a[5];
                sum[6] += a[6];
                sum[7] += a[7];
                sum[8] += a[8];
                sum[9] += a[9];
                sum[10] += a[10];
                sum[11] += a[11];
                sum[12] += a[12];
                sum[13] += a[13];
                sum[14] += a[14];
                sum[15] += a[15];
            }
            std::copy(sum, sum + fogBlock, field + x0);
        }
        for (int x = x0; x < width; ++x) {
            float sum = 0.0f;
            for (const float* add : adds) {
                sum += add[x];
            }
            field[x] = sum;
        }
    }

    float highest = -10000000.0f;
    float lowest = 10000000.0f;
    for (int y = 0; y < height; ++y) {
        const float* row = accumulationField + y * fieldSide;
        for (int x = 0; x < width; ++x) {
            if (row[x] > highest) {
                highest = row[x];
            }
            if (row[x] < lowest) {
                lowest = row[x];
            }
        }
    }
    const float range = std::fabs(highest - lowest);
    float values[fieldSide];
    for (int y = 0; y < height; ++y) {
        const float* row = accumulationField + y * fieldSide;
        for (int x = 0; x < width; ++x) {
            // A field without contrast (a single texel) is nearest everywhere.
            const float sample = range > 0.0f ? 1.0f - (row[x] - lowest) / range : 1.0f;
            values[x] = sample * 255.0f;
        }
        out.greySpan(0, y, width, values);
    }
}
