#include "textures/alpha_outline.h"

#include "support/convex_clip.h"

#include <algorithm>
#include <cmath>

namespace {

// No texel reaches the level: the region is empty.
constexpr float noReach = -1e30f;

// How far from a texel's centre, along each axis, a sample may draw on it:
// linear filtering blends the texels within one texel of the sample, and
// half a texel more allows for texture coordinates rounded on the way.
constexpr double sampleReach = 1.5;

struct Direction {
    double x;
    double y;
};

Direction edgeDirection(int k) {
    const double angle = 2.0 * 3.14159265358979323846 * k / AlphaOutline::edgeCount;
    return {std::cos(angle), std::sin(angle)};
}

// The alpha byte's offset in a texel, −1 for a format without alpha; and the
// texel's size in bytes.
int alphaOffset(GLenum format) {
    return format == GL_RGBA ? 3 : format == GL_LUMINANCE_ALPHA ? 1 : -1;
}
int texelStride(GLenum format) {
    return format == GL_RGBA ? 4 : 2;
}

// Where texel `i` of `size` lies along one axis, in texels: its centre, and,
// for a texel on an edge, its centre once more beyond the opposite edge,
// since the image repeats and samples just past that edge blend it in.
// Returns the number of places.
int centrePlaces(int i, int size, double (&at)[3]) {
    int count = 0;
    at[count++] = i + 0.5;
    if (i == 0) {
        at[count++] = size + 0.5;
    }
    if (i == size - 1) {
        at[count++] = -0.5;
    }
    return count;
}

} // namespace

void AlphaOutline::trace(const std::uint8_t* texels, int imageWidth, int imageHeight,
                         GLenum format) {
    traced = 0;
    const int offset = alphaOffset(format);
    if (offset < 0 || imageWidth <= 0 || imageHeight <= 0) {
        return;
    }
    const int stride = texelStride(format);
    Direction directions[edgeCount];
    for (int k = 0; k < edgeCount; ++k) {
        directions[k] = edgeDirection(k);
    }
    std::fill(&reach[0][0], &reach[0][0] + levels * edgeCount, noReach);

    // First, along each direction, the farthest texel centre of each alpha
    // byte.
    for (int y = 0; y < imageHeight; ++y) {
        double ys[3];
        const int yCount = centrePlaces(y, imageHeight, ys);
        for (int x = 0; x < imageWidth; ++x) {
            const int alpha = texels[(static_cast<long>(y) * imageWidth + x) * stride + offset];
            double xs[3];
            const int xCount = centrePlaces(x, imageWidth, xs);
            float* farthest = reach[alpha];
            for (int j = 0; j < yCount; ++j) {
                for (int i = 0; i < xCount; ++i) {
                    for (int k = 0; k < edgeCount; ++k) {
                        const float along =
                            static_cast<float>(directions[k].x * xs[i] + directions[k].y * ys[j]);
                        farthest[k] = std::max(farthest[k], along);
                    }
                }
            }
        }
    }

    // A level is reached by every texel of that alpha or more; then the
    // sample's reach widens each region.
    for (int level = levels - 1; level >= 0; --level) {
        for (int k = 0; k < edgeCount; ++k) {
            if (level + 1 < levels) {
                reach[level][k] = std::max(reach[level][k], reach[level + 1][k]);
            }
        }
    }
    for (float(&levelReach)[edgeCount] : reach) {
        for (int k = 0; k < edgeCount; ++k) {
            if (levelReach[k] != noReach) {
                const double widen =
                    sampleReach * (std::fabs(directions[k].x) + std::fabs(directions[k].y));
                levelReach[k] = static_cast<float>(levelReach[k] + widen);
            }
        }
    }
    width = imageWidth;
    height = imageHeight;
    traced = 1;
}

int AlphaOutline::region(int level, double (*corners)[2]) const {
    if (traced == 0 || level < 0 || level >= levels || reach[level][0] == noReach) {
        return 0;
    }
    // The image's square in texels, counter-clockwise, cut by each edge.
    double polygons[2][maxCorners][2] = {
        {{0.0, 0.0}, {double(width), 0.0}, {double(width), double(height)}, {0.0, double(height)}}};
    int current = 0;
    int count = 4;
    for (int k = 0; k < edgeCount; ++k) {
        const Direction d = edgeDirection(k);
        // Rounded up a little: the float may have come out below the reach.
        const double limit = reach[level][k] + 1e-3;
        const double edge[3] = {d.x, d.y, limit};
        const int kept =
            clipConvex<2>(polygons[current], count, edge, polygons[1 - current], maxCorners);
        if (kept < 0) {
            continue; // no room for the cut: the uncut region holds it
        }
        if (kept == 0) {
            return 0;
        }
        current = 1 - current;
        count = kept;
    }
    for (int i = 0; i < count; ++i) {
        corners[i][0] = polygons[current][i][0] / width;
        corners[i][1] = polygons[current][i][1] / height;
    }
    return count;
}

int alphaLevelToPass(float colourAlpha, float reference) {
    const double lowest = std::min(double(reference), std::round(reference * 255.0) / 255.0);
    if (!(lowest > 0.0)) {
        return 0; // every fragment's alpha passes
    }
    // The least byte of alpha that a fragment needs.
    const double needed = std::ceil(lowest * 255.0 - 1e-6);
    // A texel of alpha A times the colour's alpha, the latter perhaps first
    // rounded to the nearest byte, is at most A × (alpha + 0.5 / 255) in
    // bytes; rounded to the nearest byte it reaches `needed` only from half
    // a byte below, and a thousandth more covers the rounding of the product.
    const double colour = std::min(std::max(double(colourAlpha), 0.0), 1.0) + 0.5 / 255.0;
    const double level = std::ceil((needed - 0.5) * (1.0 - 1e-3) / colour);
    return static_cast<int>(std::min(level, 256.0));
}
