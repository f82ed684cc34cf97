// Generating and uploading: the GL sequence, the registry, refused sizes and
// kinds without a pixel rule.
#include "texture_fixture.h"

#include <string>

namespace {

using glrec::call;

TEST_F(TextureTest, GenerateBindsSetsUploadStateThenUploadsTheImage) {
    Texture texture;
    ASSERT_EQ(texture.generate(TextureKind::GRILLE, 16, 8, GL_RGBA, 0), 0);
    const double name = texture.id;
    const std::vector<glrec::Call> expected = {
        call("glGenTextures", {1}),
        call("glBindTexture", {GL_TEXTURE_2D, name}),
        call("glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT}),
        call("glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT}),
        call("glTexEnvf", {GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE}),
        call("glPixelStorei", {GL_UNPACK_ALIGNMENT, 1}),
        call("glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR}),
        call("glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR}),
        call("glTexImage2D", {GL_TEXTURE_2D, 0, GL_RGBA, 16, 8, 0, GL_RGBA, GL_UNSIGNED_BYTE}),
    };
    EXPECT_EQ(glrec::calls(), expected);
    const glrec::TextureImage* image = glrec::textureImage(texture.id);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->bytes.size(), 16u * 8u * 4u);
}

TEST_F(TextureTest, MipmapsAreBuiltWithFourComponentsWhateverTheFormat) {
    Texture texture;
    ASSERT_EQ(texture.generate(TextureKind::SPHERE, 32, 32, GL_LUMINANCE_ALPHA, 1), 0);
    const std::vector<glrec::Call> tail(glrec::calls().end() - 3, glrec::calls().end());
    const std::vector<glrec::Call> expected = {
        call("glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST_MIPMAP_NEAREST}),
        call("glTexImage2D", {GL_TEXTURE_2D, 0, GL_LUMINANCE_ALPHA, 32, 32, 0, GL_LUMINANCE_ALPHA,
                              GL_UNSIGNED_BYTE}),
        call("gluBuild2DMipmaps", {GL_TEXTURE_2D, 4, 32, 32, GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE}),
    };
    EXPECT_EQ(tail, expected);
}

TEST_F(TextureTest, RegistryRecordsEachTextureWithItsKindsName) {
    Texture smoke;
    Texture ring;
    Texture black;
    Texture x50;
    smoke.generate(TextureKind::SMOKE, 32, 32, GL_RGBA, 0);
    ring.generate(TextureKind::RING, 32, 32, GL_RGBA, 0);
    black.generate(TextureKind::BLACK, 32, 32, GL_RGBA, 0);
    x50.generate(TextureKind::X50, 32, 32, GL_RGBA, 0);

    ASSERT_EQ(textureRegistry.count, 4);
    const Texture* textures[] = {&smoke, &ring, &black, &x50};
    const char* names[] = {"SMOKE", "", "", "X50"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(textureRegistry.entries[i].texture, textures[i]) << "entry " << i;
        EXPECT_STREQ(textureRegistry.entries[i].name, names[i]) << "entry " << i;
        EXPECT_EQ(textures[i]->registryIndex, i);
    }
    EXPECT_EQ(textureRegistry.entries[4].texture, nullptr);
}

TEST_F(TextureTest, RegeneratingRegistersAgainAndReplacesTheImageInTheSameName) {
    Texture texture;
    texture.generate(TextureKind::BLACK, 8, 8, GL_RGBA, 0);
    const GLuint name = texture.id;
    texture.generate(TextureKind::GRILLE, 8, 8, GL_RGBA, 0);
    EXPECT_EQ(texture.id, name);
    EXPECT_EQ(glrec::count("glGenTextures"), 1);
    EXPECT_EQ(textureRegistry.count, 2);
    EXPECT_EQ(texture.registryIndex, 1);
    EXPECT_EQ(textureRegistry.entries[0].texture, &texture);
    EXPECT_EQ(textureRegistry.entries[1].texture, &texture);
    EXPECT_STREQ(textureRegistry.entries[1].name, "GRILLE");
    ASSERT_NE(glrec::textureImage(name), nullptr);
    EXPECT_EQ(glrec::textureImage(name)->bytes[0], 255); // GRILLE's line, not BLACK
}

::testing::AssertionResult sameRegistry(const TextureRegistry& a, const TextureRegistry& b) {
    if (a.count != b.count) {
        return ::testing::AssertionFailure() << "count " << a.count << " != " << b.count;
    }
    for (int i = 0; i < textureRegistryCapacity; ++i) {
        if (a.entries[i].texture != b.entries[i].texture ||
            std::string(a.entries[i].name) != b.entries[i].name) {
            return ::testing::AssertionFailure() << "entry " << i << " differs";
        }
    }
    return ::testing::AssertionSuccess();
}

// A refused call keeps the requested size and format but registers nothing,
// draws nothing from the random sequence and makes no GL call.
void expectRefused(TextureKind kind, int width, int height) {
    randomSeed(99);
    const std::vector<int> untouched = nextDraws();
    randomSeed(99);
    glrec::reset();
    const TextureRegistry before = textureRegistry;

    Texture texture;
    EXPECT_EQ(texture.generate(kind, width, height, GL_LUMINANCE_ALPHA, 0), 1)
        << width << " x " << height;
    EXPECT_EQ(texture.width, width);
    EXPECT_EQ(texture.height, height);
    EXPECT_EQ(texture.format, static_cast<GLenum>(GL_LUMINANCE_ALPHA));
    EXPECT_EQ(texture.registryIndex, -1);
    EXPECT_EQ(texture.id, 0u);
    EXPECT_TRUE(glrec::calls().empty());
    EXPECT_EQ(textureRegistry.count, before.count);
    EXPECT_TRUE(sameRegistry(textureRegistry, before));
    EXPECT_EQ(nextDraws(), untouched);
}

TEST_F(TextureTest, MoreThan65536TexelsAreRefusedAndTheRegistryStaysAsItWas) {
    Texture earlier;
    earlier.generate(TextureKind::CHECK, 16, 16, GL_RGBA, 0);
    expectRefused(TextureKind::GRADIENT, 256, 257);
    expectRefused(TextureKind::SMOKE, 256, 257);
    expectRefused(TextureKind::GRILLE, 65537, 1);
    EXPECT_EQ(textureRegistry.count, 1);

    // The limit itself is accepted, in any shape.
    Texture full;
    EXPECT_EQ(full.generate(TextureKind::GRADIENT, 256, 256, GL_RGBA, 0), 0);
    Texture strip;
    EXPECT_EQ(strip.generate(TextureKind::GRILLE, 65536, 1, GL_LUMINANCE_ALPHA, 0), 0);
    EXPECT_EQ(textureRegistry.count, 3);
}

// Sides whose product overflows 32 bits, or negative sides, would pass a
// product test and then write far outside the working image.
TEST_F(TextureTest, SidesThatOverflowOrAreNegativeAreRefused) {
    expectRefused(TextureKind::GRADIENT, 65536, 65536); // product 2^32
    expectRefused(TextureKind::GRADIENT, 65536, 65537);
    expectRefused(TextureKind::SPHERE, -256, -256);
    expectRefused(TextureKind::SPHERE, -1, 5);
    expectRefused(TextureKind::FOG, 0, -3);
}

// The SMOKE and FOG fields hold 256 samples a row and 256 rows.
TEST_F(TextureTest, SmokeAndFogWiderOrTallerThan256AreRefused) {
    expectRefused(TextureKind::SMOKE, 512, 128);
    expectRefused(TextureKind::SMOKE, 128, 512);
    expectRefused(TextureKind::FOG, 257, 2);
    expectRefused(TextureKind::FOG, 1, 65536);
    // Other kinds take those shapes.
    Texture wide;
    EXPECT_EQ(wide.generate(TextureKind::GRADIENT, 512, 128, GL_RGBA, 0), 0);
    Texture fog;
    EXPECT_EQ(fog.generate(TextureKind::FOG, 256, 256, GL_RGBA, 0), 0);
}

TEST_F(TextureTest, KindsWithoutARuleUploadTransparentBlack) {
    const int kinds[] = {9, 12, 13, -1, 15, 1000};
    const char* names[] = {"", "X50", "Y50", "", "", ""};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(kinds[i]);
        const Uploaded image = generated(static_cast<TextureKind>(kinds[i]), 20, 10);
        ASSERT_EQ(image.bytes.size(), 20u * 10u * 4u);
        for (std::uint8_t byte : image.bytes) {
            ASSERT_EQ(byte, 0);
        }
        EXPECT_STREQ(textureRegistry.entries[i].name, names[i]);
    }
    const Uploaded luminance = generated(static_cast<TextureKind>(9), 3, 3, GL_LUMINANCE_ALPHA);
    EXPECT_EQ(luminance.bytes, std::vector<std::uint8_t>(18, 0));
    EXPECT_EQ(textureRegistry.count, 7);
}

// Past its 31 entries the registry would be written beyond its end. The
// texture still gets its image; the registry keeps what it had.
TEST_F(TextureTest, AFullRegistryStillUploadsButRecordsNoMore) {
    Texture textures[textureRegistryCapacity];
    for (Texture& texture : textures) {
        ASSERT_EQ(texture.generate(TextureKind::BLACK, 2, 2, GL_RGBA, 0), 0);
    }
    ASSERT_EQ(textureRegistry.count, textureRegistryCapacity);
    const TextureRegistry before = textureRegistry;

    Texture extra;
    EXPECT_EQ(extra.generate(TextureKind::SMOKE, 32, 32, GL_RGBA, 0), 0);
    EXPECT_EQ(extra.registryIndex, -1);
    EXPECT_NE(glrec::textureImage(extra.id), nullptr);
    EXPECT_TRUE(sameRegistry(textureRegistry, before));
}

TEST_F(TextureTest, SceneTexturesAreGeneratedInSlotOrder) {
    generateSceneTextures();
    ASSERT_EQ(textureRegistry.count, 11);
    const char* names[] = {"SMOKE",  "FOG",       "GRAIN", "SAND",     "",      "STAR",
                           "SPHERE", "NOTSPHERE", "CHECK", "GRADIENT", "GRILLE"};
    const std::vector<glrec::Call> uploads = glrec::callsNamed("glTexImage2D");
    ASSERT_EQ(uploads.size(), 11u);
    for (int slot = 0; slot < sceneTextureCount; ++slot) {
        SCOPED_TRACE(slot);
        EXPECT_EQ(textureRegistry.entries[slot].texture, &sceneTextures[slot]);
        EXPECT_STREQ(textureRegistry.entries[slot].name, names[slot]);
        EXPECT_EQ(sceneTextures[slot].width, 256);
        EXPECT_EQ(sceneTextures[slot].height, 256);
        EXPECT_EQ(uploads[slot], call("glTexImage2D", {GL_TEXTURE_2D, 0, GL_RGBA, 256, 256, 0,
                                                       GL_RGBA, GL_UNSIGNED_BYTE}));
        EXPECT_NE(glrec::textureImage(sceneTextures[slot].id), nullptr);
    }
    EXPECT_EQ(glrec::count("gluBuild2DMipmaps"), 0);
    // Slots 11 to 19 stay empty.
    for (int slot = sceneTextureCount; slot < sceneTextureSlots; ++slot) {
        EXPECT_EQ(sceneTextures[slot].id, 0u);
    }
    EXPECT_GE(sceneTextures[0].spotRadius, 10); // the last puff's radius
    EXPECT_LE(sceneTextures[0].spotRadius, 71);
    EXPECT_EQ(sceneTextures[1].spotRadius, 64);
}

} // namespace
