// The alpha outline: every sample whose linearly filtered alpha can reach a
// level lies in that level's region, and the level a colour's alpha needs
// leaves out no texel that could pass the alpha test.
#include "textures/alpha_outline.h"

#include "texture_fixture.h"

#include <cmath>
#include <vector>

namespace {

constexpr int side = 32;

// Whether (s, t) lies in the convex polygon, counter-clockwise corners.
bool inside(const double (*corners)[2], int count, double s, double t) {
    for (int i = 0; i < count; ++i) {
        const double* a = corners[i];
        const double* b = corners[(i + 1) % count];
        if ((b[0] - a[0]) * (t - a[1]) - (b[1] - a[1]) * (s - a[0]) < -1e-9) {
            return false;
        }
    }
    return true;
}

// An RGBA image with alpha `alphaAt(x, y)` and a grey of its own.
template <typename Alpha>
std::vector<std::uint8_t> image(Alpha alphaAt) {
    std::vector<std::uint8_t> texels(side * side * 4);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            std::uint8_t* texel = &texels[(y * side + x) * 4];
            texel[0] = texel[1] = texel[2] = 200;
            texel[3] = static_cast<std::uint8_t>(alphaAt(x, y));
        }
    }
    return texels;
}

// Every sample point that blends texel (x, y) in, the image repeating: within
// one texel of its centre along each axis, wrapped into the unit square.
void expectReached(const AlphaOutline& outline, int level, int x, int y) {
    double corners[AlphaOutline::maxCorners][2];
    const int count = outline.region(level, corners);
    ASSERT_GT(count, 2) << "level " << level << " has no region";
    for (double dy : {-0.99, 0.0, 0.99}) {
        for (double dx : {-0.99, 0.0, 0.99}) {
            const double s = std::fmod((x + 0.5 + dx) / side + 1.0, 1.0);
            const double t = std::fmod((y + 0.5 + dy) / side + 1.0, 1.0);
            EXPECT_TRUE(inside(corners, count, s, t))
                << "level " << level << ": texel (" << x << ", " << y << ") reaches (" << s << ", "
                << t << ")";
        }
    }
}

TEST(AlphaOutline, EachLevelsRegionHoldsEverySampleItsTexelsReach) {
    // A soft blob off the centre, and one bright texel on its own.
    const std::vector<std::uint8_t> texels = image([](int x, int y) {
        if (x == 25 && y == 6) {
            return 240;
        }
        const double d = std::hypot(x - 12.0, y - 18.0);
        return static_cast<int>(std::max(0.0, 200.0 - 25.0 * d));
    });
    AlphaOutline outline;
    outline.trace(texels.data(), side, side, GL_RGBA);
    ASSERT_TRUE(outline.traced);
    for (int level : {1, 50, 150, 200, 240}) {
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                if (texels[(y * side + x) * 4 + 3] >= level) {
                    expectReached(outline, level, x, y);
                }
            }
        }
    }

    // The regions shrink as the level rises, and none is left above the
    // brightest texel.
    double corners[AlphaOutline::maxCorners][2];
    const int both = outline.region(150, corners);
    ASSERT_GT(both, 2);
    EXPECT_FALSE(inside(corners, both, 0.9, 0.9));
    const int lone = outline.region(220, corners);
    ASSERT_GT(lone, 2);
    EXPECT_FALSE(inside(corners, lone, 12.5 / side, 18.5 / side)) << "the blob peaks at 200";
    EXPECT_EQ(outline.region(241, corners), 0);
    EXPECT_EQ(outline.region(256, corners), 0);
}

TEST(AlphaOutline, ATexelOnAnEdgeReachesAcrossToTheOppositeEdge) {
    const std::vector<std::uint8_t> texels =
        image([](int x, int y) { return x == 0 && y == 9 ? 255 : 0; });
    AlphaOutline outline;
    outline.trace(texels.data(), side, side, GL_RGBA);
    expectReached(outline, 255, 0, 9);
    // Alpha read from the second byte of GL_LUMINANCE_ALPHA texels.
    std::vector<std::uint8_t> pairs(side * side * 2, 0);
    pairs[(31 * side + 16) * 2 + 1] = 90;
    outline.trace(pairs.data(), side, side, GL_LUMINANCE_ALPHA);
    expectReached(outline, 90, 16, 31);
    double corners[AlphaOutline::maxCorners][2];
    EXPECT_EQ(outline.region(91, corners), 0);
}

TEST(AlphaOutline, AFormatWithoutAlphaTracesNothing) {
    const std::vector<std::uint8_t> texels(side * side * 4, 255);
    AlphaOutline outline;
    outline.trace(texels.data(), side, side, GL_RGB);
    EXPECT_FALSE(outline.traced);
    double corners[AlphaOutline::maxCorners][2];
    EXPECT_EQ(outline.region(0, corners), 0);
}

TEST(AlphaOutline, TheLevelLeavesOutOnlyTexelsThatCannotPass) {
    // Below the level, no texel passes GL_GEQUAL 0.01 whether the pipeline
    // multiplies in floats or rounds to the nearest byte (the colour's alpha
    // too); at the level, one of them may.
    const float reference = 0.01f;
    for (int step = 1; step <= 400; ++step) {
        const float alpha = step * 0.0005f;
        const int level = alphaLevelToPass(alpha, reference);
        ASSERT_GE(level, 1);
        const double colourByte = std::round(alpha * 255.0);
        for (int texel = 0; texel < std::min(level, 256); ++texel) {
            EXPECT_LT(texel / 255.0f * alpha, reference)
                << "alpha " << alpha << ", texel " << texel;
            EXPECT_LT(std::round(texel * alpha) / 255.0, reference)
                << "alpha " << alpha << ", texel " << texel;
            EXPECT_LT(std::round(texel * colourByte / 255.0) / 255.0, reference)
                << "alpha " << alpha << ", texel " << texel;
        }
    }
    // As llvmpipe passes: a colour alpha of 0.14 lets texel 18 through.
    EXPECT_LE(alphaLevelToPass(0.14f, reference), 18);
    EXPECT_EQ(alphaLevelToPass(0.0f, reference), 256);
    EXPECT_EQ(alphaLevelToPass(0.5f, 0.0f), 0);
}

TEST_F(TextureTest, GenerateTracesTheOutlineOfEachImageWhenGivenOne) {
    AlphaOutline outline;
    Texture texture;
    texture.outline = &outline;
    ASSERT_EQ(texture.generate(TextureKind::SPHERE, 64, 64, GL_RGBA, 0), 0);
    ASSERT_TRUE(outline.traced);
    EXPECT_EQ(outline.width, 64);
    // The sphere is opaque at its centre and clear at its rim.
    double corners[AlphaOutline::maxCorners][2];
    const int count = outline.region(250, corners);
    ASSERT_GT(count, 2);
    EXPECT_TRUE(inside(corners, count, 0.5, 0.5));
    EXPECT_FALSE(inside(corners, count, 0.1, 0.5));
}

} // namespace
