#include "textures/field_textures.h"

#include "support/random.h"
#include "textures/texture.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

// Both generators are written so that every sample receives exactly the
// single-precision operations, in exactly the order, of the plain rule (every
// shape visits every texel and takes one square root there), which is what
// keeps the images identical from build to build. They only avoid the work
// whose result is known: a cone adds exactly +0 outside its radius, and a
// square root depends only on whole-texel offsets, so it comes from a table.

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

void clearField(int height) {
    std::fill(accumulationField, accumulationField + fieldSide * height, 0.0f);
}

// --- SMOKE ---------------------------------------------------------------------------

// Largest puff radius: trunc(0.24 × 256 × 32767/32768 + 0.04 × 256).
constexpr int maxPuffRadius = 71;
static_assert(static_cast<int>((0.24 + 0.04) * fieldSide) <= maxPuffRadius,
              "a puff must fit its cone table");

// One puff's cone: cone[|dy|][dx + radius] = 1 − min(d / radius, 1).
float cone[maxPuffRadius + 1][2 * maxPuffRadius + 1];

// Adds a cone of height 1 and `radius` texels centred on (cx, cy). Texels
// beyond the radius are skipped: there d / radius ≥ 1, so the plain rule adds
// 1 − 1 = +0, which leaves a non-negative sample exactly as it was.
void addPuff(int cx, int cy, int radius, int width, int height) {
    const DistanceTable& distance = distances();
    for (int dy = 0; dy <= radius; ++dy) {
        float* row = cone[dy] + radius;
        for (int dx = 0; dx <= radius; ++dx) {
            float v = distance.at[dy][dx] / static_cast<float>(radius);
            if (v > 1.0f) {
                v = 1.0f;
            }
            row[dx] = 1.0f - v;
            row[-dx] = 1.0f - v;
        }
    }
    const int x0 = std::max(0, cx - radius);
    const int x1 = std::min(width - 1, cx + radius);
    const int y0 = std::max(0, cy - radius);
    const int y1 = std::min(height - 1, cy + radius);
    for (int y = y0; y <= y1; ++y) {
        addRow(accumulationField + y * fieldSide + x0, cone[std::abs(y - cy)] + x0 - cx + radius,
               x1 - x0 + 1);
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
// 64. A point in column px adds the same row rotated by px.
float fogRow[fieldSide][fieldSide];
// |wrapDistance(x − px)| for a point beyond the right edge.
int columnDistance[fieldSide];

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
    float peak = -9999.0f;
    for (int y = 0; y < height; ++y) {
        const float* row = accumulationField + y * fieldSide;
        for (int x = 0; x < width; ++x) {
            if (row[x] > peak) {
                peak = row[x];
            }
        }
    }
    // A field that stayed 0 has no scale: the image is all zero.
    const bool empty = !(peak > 0.0f);
    const float scale = empty ? 0.0f : static_cast<float>(255.0 / peak);
    for (int y = 0; y < height; ++y) {
        const float* row = accumulationField + y * fieldSide;
        for (int x = 0; x < width; ++x) {
            out.putGrey(x, y, empty ? 0.0f : row[x] * scale);
        }
    }
}

void fillFog(Texture& texture, TexelWriter& out) {
    const int width = texture.width;
    const int height = texture.height;
    const DistanceTable& distance = distances();
    clearField(height);
    for (int dy = 0; dy < fieldSide; ++dy) {
        for (int x = 0; x < width; ++x) {
            fogRow[dy][x] = distance.at[dy][wrapDistance(x, width)] / static_cast<float>(fogRadius);
        }
    }

    for (int k = 0; k < fogPointCount; ++k) {
        texture.spotRadius = fogRadius;
        // Points anywhere in 0 to 255 whatever the size.
        const int px = static_cast<int>(randomUniform(256.0));
        const int py = static_cast<int>(randomUniform(256.0));
        const bool inside = px < width;
        if (!inside) {
            for (int x = 0; x < width; ++x) {
                columnDistance[x] = std::abs(wrapDistance(x - px, width));
            }
        }
        for (int y = 0; y < height; ++y) {
            const int dy = std::abs(wrapDistance(y - py, height));
            float* field = accumulationField + y * fieldSide;
            if (inside) {
                // Columns px onward take the row from its start, the columns
                // before px its end.
                addRow(field + px, fogRow[dy], width - px);
                addRow(field, fogRow[dy] + width - px, px);
            } else {
                for (int x = 0; x < width; ++x) {
                    field[x] += distance.at[dy][columnDistance[x]] / static_cast<float>(fogRadius);
                }
            }
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
    for (int y = 0; y < height; ++y) {
        const float* row = accumulationField + y * fieldSide;
        for (int x = 0; x < width; ++x) {
            // A field without contrast (a single texel) is nearest everywhere.
            const float sample = range > 0.0f ? 1.0f - (row[x] - lowest) / range : 1.0f;
            out.putGrey(x, y, sample * 255.0f);
        }
    }
}
