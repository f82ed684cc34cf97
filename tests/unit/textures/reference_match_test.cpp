// The generators against the plain transcription of the rules: the same bytes
// and the same number of random draws, for several seeds, sizes and formats.
#include "reference_textures.h"
#include "texture_fixture.h"

namespace {

using ReferenceMatch = TextureTest;

const std::uint32_t seeds[] = {1u, 2u, 4242u, 123456789u, 0xDEADBEEFu};

// Generates `kind` from `seed` both ways and compares bytes and the draws
// that follow.
void expectSameAsReference(TextureKind kind, int width, int height, GLenum format,
                           std::uint32_t seed) {
    SCOPED_TRACE(::testing::Message() << textureKindName(kind) << " " << width << " x " << height
                                      << (format == GL_RGBA ? " RGBA" : " LA") << " seed " << seed);
    randomSeed(seed);
    const std::vector<std::uint8_t> expected = referenceTexels(kind, width, height, format);
    const std::vector<int> drawsAfterReference = nextDraws();

    randomSeed(seed);
    const Uploaded actual = generated(kind, width, height, format);
    EXPECT_EQ(nextDraws(), drawsAfterReference);
    ASSERT_EQ(actual.bytes.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(actual.bytes[i], expected[i]) << "byte " << i;
    }
}

TEST_F(ReferenceMatch, TheElevenSceneTexturesInSlotOrder) {
    for (std::uint32_t seed : seeds) {
        SCOPED_TRACE(seed);
        randomSeed(seed);
        std::vector<std::vector<std::uint8_t>> expected;
        for (TextureKind kind : sceneTextureKinds) {
            expected.push_back(referenceTexels(kind, 256, 256, GL_RGBA));
        }
        const std::vector<int> drawsAfterReference = nextDraws();

        randomSeed(seed);
        glrec::reset();
        generateSceneTextures();
        EXPECT_EQ(nextDraws(), drawsAfterReference);
        for (int slot = 0; slot < sceneTextureCount; ++slot) {
            const glrec::TextureImage* image = glrec::textureImage(sceneTextures[slot].id);
            ASSERT_NE(image, nullptr);
            EXPECT_TRUE(image->bytes == expected[slot])
                << "slot " << slot << " (" << textureKindName(sceneTextureKinds[slot]) << ")";
        }
        textureRegistry = TextureRegistry{};
    }
}

TEST_F(ReferenceMatch, SmokeAtOtherSizesAndFormats) {
    const int sizes[][2] = {{256, 256}, {100, 60}, {37, 200}, {256, 1}, {1, 256},
                            {24, 24},   {25, 25},  {3, 3},    {0, 7}};
    for (auto size : sizes) {
        for (std::uint32_t seed : {seeds[0], seeds[3]}) {
            expectSameAsReference(TextureKind::SMOKE, size[0], size[1], GL_RGBA, seed);
        }
    }
    expectSameAsReference(TextureKind::SMOKE, 200, 256, GL_LUMINANCE_ALPHA, seeds[4]);
}

// Below 256 texels FOG's points can lie beyond the right or bottom edge.
TEST_F(ReferenceMatch, FogAtOtherSizesAndFormats) {
    const int sizes[][2] = {{256, 256}, {128, 128}, {200, 37}, {37, 200},
                            {256, 1},   {1, 256},   {2, 2},    {1, 1}};
    for (auto size : sizes) {
        for (std::uint32_t seed : {seeds[1], seeds[4]}) {
            expectSameAsReference(TextureKind::FOG, size[0], size[1], GL_RGBA, seed);
        }
    }
    expectSameAsReference(TextureKind::FOG, 256, 256, GL_LUMINANCE_ALPHA, seeds[2]);
}

TEST_F(ReferenceMatch, TexelByTexelKindsAtOddSizes) {
    const int kinds[] = {0, 1, 2, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 99};
    const int sizes[][2] = {{256, 256}, {255, 257}, {7, 5}, {1, 1}, {1, 300}, {300, 200}};
    for (int kind : kinds) {
        for (auto size : sizes) {
            expectSameAsReference(static_cast<TextureKind>(kind), size[0], size[1], GL_RGBA,
                                  seeds[2]);
        }
        expectSameAsReference(static_cast<TextureKind>(kind), 64, 64, GL_LUMINANCE_ALPHA, seeds[3]);
    }
}

} // namespace
