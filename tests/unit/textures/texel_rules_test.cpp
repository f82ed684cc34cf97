// The images themselves: known texels of the position rules, and the
// invariants of the random kinds.
#include "scripted_draws.h"
#include "texture_fixture.h"

#include <algorithm>
#include <cstdlib>

namespace {

using TexelRules = TextureTest;

TEST_F(TexelRules, GradientRisesRowByRowWithTruncation) {
    const Uploaded image = generated(TextureKind::GRADIENT);
    for (int x = 0; x < 256; x += 17) {
        EXPECT_EQ(image.at(x, 0), grey(0));
        EXPECT_EQ(image.at(x, 128), grey(127));
        EXPECT_EQ(image.at(x, 255), grey(254));
    }
}

TEST_F(TexelRules, SphereAndNotSphereAreComplementsAroundTheCentre) {
    const Uploaded sphere = generated(TextureKind::SPHERE);
    EXPECT_EQ(sphere.at(128, 128), grey(255));
    EXPECT_EQ(sphere.at(192, 128), grey(191));
    EXPECT_EQ(sphere.at(0, 0), grey(0));
    const Uploaded notSphere = generated(TextureKind::NOTSPHERE);
    EXPECT_EQ(notSphere.at(128, 128), grey(0));
    EXPECT_EQ(notSphere.at(192, 128), grey(63));
    EXPECT_EQ(notSphere.at(0, 0), grey(255));
}

TEST_F(TexelRules, RingRisesToItsRimAt58TexelsThenFallsAway) {
    const Uploaded ring = generated(TextureKind::RING);
    EXPECT_EQ(ring.at(128, 128), grey(0));
    EXPECT_EQ(ring.at(157, 128), grey(127));
    EXPECT_EQ(ring.at(186, 128), grey(255));
    EXPECT_EQ(ring.at(190, 128), grey(114));
    EXPECT_EQ(ring.at(193, 128), grey(8));
    EXPECT_EQ(ring.at(194, 128), grey(0));
    // The same in every direction.
    EXPECT_EQ(ring.at(128, 186), grey(255));
    EXPECT_EQ(ring.at(70, 128), grey(255));
}

TEST_F(TexelRules, StarIsBrightestAtTheCentreAndZeroAlongRowAndColumnZero) {
    const Uploaded star = generated(TextureKind::STAR);
    EXPECT_EQ(star.at(128, 128), grey(255));
    EXPECT_EQ(star.at(64, 64), grey(63));
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(star.at(0, i), grey(0)) << "column 0, row " << i;
        ASSERT_EQ(star.at(i, 0), grey(0)) << "row 0, column " << i;
    }
}

TEST_F(TexelRules, CheckGrilleAndBlackFollowTheirPatterns) {
    const Uploaded check = generated(TextureKind::CHECK);
    EXPECT_EQ(check.at(0, 0), grey(0));
    EXPECT_EQ(check.at(128, 128), grey(0));
    EXPECT_EQ(check.at(128, 0), grey(255));
    EXPECT_EQ(check.at(0, 128), grey(255));
    EXPECT_EQ(check.at(127, 127), grey(0));
    EXPECT_EQ(check.at(255, 127), grey(255));

    const Uploaded grille = generated(TextureKind::GRILLE);
    EXPECT_EQ(grille.at(8, 3), grey(255));
    EXPECT_EQ(grille.at(3, 16), grey(255));
    EXPECT_EQ(grille.at(3, 3), grey(0));

    const Uploaded black = generated(TextureKind::BLACK, 64, 32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 64; ++x) {
            ASSERT_EQ(black.at(x, y), (Rgba{0, 0, 0, 255})) << x << ", " << y;
        }
    }
}

TEST_F(TexelRules, SandIsSandColouredWithRareBlackAndWhiteSpecks) {
    for (std::uint32_t seed : {1u, 4242u, 0xC0FFEEu}) {
        SCOPED_TRACE(seed);
        randomSeed(seed);
        const Uploaded sand = generated(TextureKind::SAND);
        int black = 0;
        int white = 0;
        for (int y = 0; y < 256; ++y) {
            for (int x = 0; x < 256; ++x) {
                const Rgba t = sand.at(x, y);
                if (t == Rgba{0, 0, 0, 255}) {
                    ++black;
                } else if (t == grey(255)) {
                    ++white;
                } else {
                    ASSERT_TRUE(t.r >= 127 && t.r <= 253) << t;
                    ASSERT_EQ(t.a, t.r) << t;
                    ASSERT_LE(std::abs(t.g - t.r * 8 / 10), 1) << t;
                    ASSERT_LE(std::abs(t.b - t.r * 6 / 10), 1) << t;
                }
            }
        }
        // About one texel in a thousand of each.
        EXPECT_GT(black, 20);
        EXPECT_LT(black, 150);
        EXPECT_GT(white, 20);
        EXPECT_LT(white, 150);
    }
}

TEST_F(TexelRules, SandSpeckThresholdsAndItsSecondDraw) {
    // u = draw / 32768: 32 is below 0.001 (black), 33 and 65 below 0.002
    // (white), 66 is sand and takes a second draw for its brightness.
    ScriptedDraws draws({32, 33, 65, 66, 0});
    const Uploaded sand = generated(TextureKind::SAND, 2, 2);
    EXPECT_EQ(sand.at(0, 0), (Rgba{0, 0, 0, 255}));
    EXPECT_EQ(sand.at(1, 0), grey(255));
    EXPECT_EQ(sand.at(0, 1), grey(255));
    EXPECT_EQ(sand.at(1, 1), (Rgba{127, 101, 76, 127}));
    EXPECT_EQ(draws.taken(), 5u);
}

TEST_F(TexelRules, GrainIsGreyWithAlphaEqualToItsGrey) {
    randomSeed(77);
    const Uploaded grain = generated(TextureKind::GRAIN);
    int highest = 0;
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            const Rgba t = grain.at(x, y);
            ASSERT_EQ(t, grey(t.r)) << x << ", " << y;
            highest = std::max(highest, t.r);
        }
    }
    EXPECT_GE(highest, 250);
    EXPECT_LE(highest, 254);

    // The largest draw stays below 255.
    ScriptedDraws draws({32767, 0, 16384});
    const Uploaded three = generated(TextureKind::GRAIN, 3, 1);
    EXPECT_EQ(three.at(0, 0), grey(254));
    EXPECT_EQ(three.at(1, 0), grey(0));
    EXPECT_EQ(three.at(2, 0), grey(127));
}

TEST_F(TexelRules, SmokePeaksAt255WithEqualBytes) {
    for (std::uint32_t seed : {1u, 2u, 31337u, 0xFEEDu}) {
        SCOPED_TRACE(seed);
        randomSeed(seed);
        const Uploaded smoke = generated(TextureKind::SMOKE);
        int peak = 0;
        int zeros = 0;
        for (int y = 0; y < 256; ++y) {
            for (int x = 0; x < 256; ++x) {
                const Rgba t = smoke.at(x, y);
                ASSERT_EQ(t, grey(t.r)) << x << ", " << y;
                peak = std::max(peak, t.r);
                zeros += t.r == 0;
            }
        }
        EXPECT_GE(peak, 254);
        // Soft puffs around the middle: the corners stay mostly untouched.
        EXPECT_GT(zeros, 0);
        EXPECT_LT(zeros, 256 * 256 / 2);
    }
}

// Below 25 texels a puff can have radius 0, and below 4 every puff has: the
// field never rises above 0, so there is no peak to scale to.
TEST_F(TexelRules, SmokeWithoutAnyPuffAreaIsAllZero) {
    randomSeed(5);
    const Uploaded tiny = generated(TextureKind::SMOKE, 3, 3);
    EXPECT_EQ(tiny.bytes, std::vector<std::uint8_t>(3 * 3 * 4, 0));

    Texture none;
    none.puffCount = 0;
    ASSERT_EQ(none.generate(TextureKind::SMOKE, 16, 16, GL_RGBA, 0), 0);
    EXPECT_EQ(glrec::lastTextureImage()->bytes, std::vector<std::uint8_t>(16 * 16 * 4, 0));
}

TEST_F(TexelRules, FogSpansTheFullRangeWithEqualBytes) {
    for (std::uint32_t seed : {1u, 8u, 123456u}) {
        SCOPED_TRACE(seed);
        randomSeed(seed);
        const Uploaded fog = generated(TextureKind::FOG);
        bool full = false;
        bool empty = false;
        for (int y = 0; y < 256; ++y) {
            for (int x = 0; x < 256; ++x) {
                const Rgba t = fog.at(x, y);
                ASSERT_EQ(t, grey(t.r)) << x << ", " << y;
                full = full || t.r == 255;
                empty = empty || t.r == 0;
            }
        }
        EXPECT_TRUE(full);
        EXPECT_TRUE(empty);
    }
}

// Greatest step between neighbours inside the image, and across the edge
// where the image repeats.
struct Steps {
    int inside = 0;
    int acrossEdge = 0;
};
Steps columnSteps(const Uploaded& image) {
    Steps steps;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x + 1 < image.width; ++x) {
            steps.inside =
                std::max(steps.inside, std::abs(image.at(x + 1, y).r - image.at(x, y).r));
        }
        steps.acrossEdge =
            std::max(steps.acrossEdge, std::abs(image.at(0, y).r - image.at(image.width - 1, y).r));
    }
    return steps;
}
Steps rowSteps(const Uploaded& image) {
    Steps steps;
    for (int x = 0; x < image.width; ++x) {
        for (int y = 0; y + 1 < image.height; ++y) {
            steps.inside =
                std::max(steps.inside, std::abs(image.at(x, y + 1).r - image.at(x, y).r));
        }
        steps.acrossEdge = std::max(steps.acrossEdge,
                                    std::abs(image.at(x, 0).r - image.at(x, image.height - 1).r));
    }
    return steps;
}

TEST_F(TexelRules, FogTilesWithoutASeam) {
    for (std::uint32_t seed : {3u, 99u, 2024u}) {
        SCOPED_TRACE(seed);
        randomSeed(seed);
        const Uploaded fog = generated(TextureKind::FOG);
        const Steps columns = columnSteps(fog);
        const Steps rows = rowSteps(fog);
        EXPECT_LE(columns.acrossEdge, columns.inside);
        EXPECT_LE(rows.acrossEdge, rows.inside);
    }
}

// With wrap-around distances, moving every point one column to the right
// moves the whole image one column to the right, the last column coming
// round to column 0, with exactly the same bytes.
TEST_F(TexelRules, FogMovesRoundTheEdgeWithItsPoints) {
    std::vector<int> draws;
    randomSeed(11);
    for (int k = 0; k < 180; ++k) {
        draws.push_back(randomNext() & ~127); // whole columns: 128 per unit
    }
    ScriptedDraws script(draws);
    const Uploaded original = generated(TextureKind::FOG);
    for (int k = 0; k < 180; k += 2) {
        draws[k] = (draws[k] + 128) % 32768; // px + 1, 255 wrapping to 0
    }
    script.restart(draws);
    const Uploaded moved = generated(TextureKind::FOG);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            ASSERT_EQ(moved.at(x, y), original.at((x + 255) % 256, y)) << x << ", " << y;
        }
    }
}

TEST_F(TexelRules, FogOfASingleTexelIsFullyOpaque) {
    const Uploaded one = generated(TextureKind::FOG, 1, 1);
    EXPECT_EQ(one.at(0, 0), grey(255));
}

// GL_LUMINANCE_ALPHA takes 2 bytes a texel, both the alpha of GL_RGBA.
TEST_F(TexelRules, LuminanceAlphaHoldsTheRgbaAlphaTwice) {
    const TextureKind kinds[] = {TextureKind::SAND, TextureKind::SMOKE, TextureKind::FOG,
                                 TextureKind::RING, TextureKind::BLACK, TextureKind::GRAIN};
    for (TextureKind kind : kinds) {
        SCOPED_TRACE(textureKindName(kind));
        randomSeed(5150);
        const Uploaded rgba = generated(kind, 64, 48);
        randomSeed(5150);
        const Uploaded la = generated(kind, 64, 48, GL_LUMINANCE_ALPHA);
        ASSERT_EQ(la.bytes.size(), 64u * 48u * 2u);
        for (size_t texel = 0; texel < 64u * 48u; ++texel) {
            ASSERT_EQ(la.bytes[texel * 2], rgba.bytes[texel * 4 + 3]) << texel;
            ASSERT_EQ(la.bytes[texel * 2 + 1], rgba.bytes[texel * 4 + 3]) << texel;
        }
    }
}

} // namespace
