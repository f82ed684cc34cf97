// The texture object: defaults, the bind cache, upload state, and the rules
// for giving GL names back.
#include "texture_fixture.h"
#include "textures/alpha_outline.h"

namespace {

using glrec::call;

TEST_F(TextureTest, NewTextureHasItsDefaultsAndMakesNoGlCall) {
    {
        Texture texture;
        EXPECT_EQ(texture.id, 0u);
        EXPECT_EQ(texture.format, static_cast<GLenum>(GL_RGBA));
        EXPECT_EQ(texture.wrapMode, GL_REPEAT);
        EXPECT_EQ(texture.envMode, static_cast<GLenum>(GL_MODULATE));
        EXPECT_EQ(texture.width, 128);
        EXPECT_EQ(texture.height, 128);
        EXPECT_EQ(texture.puffCount, 100);
        EXPECT_EQ(texture.spotRadius, 12);
        EXPECT_EQ(texture.registryIndex, -1);
    }
    // Neither construction nor destruction of a texture without a name.
    EXPECT_TRUE(glrec::calls().empty());
}

TEST_F(TextureTest, FirstBindCreatesTheNameAndSendsWrapAndEnvironment) {
    Texture texture;
    texture.bind();
    ASSERT_NE(texture.id, 0u);
    const std::vector<glrec::Call> expected = {
        call("glGenTextures", {1}),
        call("glBindTexture", {GL_TEXTURE_2D, double(texture.id)}),
        call("glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT}),
        call("glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT}),
        call("glTexEnvf", {GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE}),
    };
    EXPECT_EQ(glrec::calls(), expected);
    EXPECT_EQ(lastBoundTextureId, texture.id);
}

TEST_F(TextureTest, BindingTheSameTextureAgainIsSkipped) {
    Texture texture;
    texture.bind();
    texture.bind();
    texture.bind();
    EXPECT_EQ(glrec::count("glGenTextures"), 1);
    EXPECT_EQ(glrec::count("glBindTexture"), 1);
    EXPECT_EQ(glrec::count("glTexParameteri"), 2);
    EXPECT_EQ(glrec::count("glTexEnvf"), 1);
}

TEST_F(TextureTest, BindingAnotherTextureInBetweenBindsAgainInFull) {
    Texture a;
    Texture b;
    a.bind();
    b.bind();
    a.bind();
    EXPECT_EQ(glrec::count("glGenTextures"), 2);
    EXPECT_EQ(glrec::count("glBindTexture"), 3);
    EXPECT_EQ(glrec::count("glTexParameteri"), 6);
    EXPECT_EQ(glrec::count("glTexEnvf"), 3);
    EXPECT_EQ(glrec::boundTexture(), a.id);
}

TEST_F(TextureTest, ZeroWrapOrEnvironmentModeLeavesThatStateAlone) {
    Texture texture;
    texture.wrapMode = 0;
    texture.bind();
    EXPECT_EQ(glrec::count("glTexParameteri"), 0);
    EXPECT_EQ(glrec::count("glTexEnvf"), 1);

    Texture other;
    other.envMode = 0;
    other.wrapMode = GL_CLAMP;
    other.bind();
    EXPECT_EQ(glrec::count("glTexEnvf"), 1);
    EXPECT_EQ(glrec::callsNamed("glTexParameteri").back(),
              call("glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP}));
}

TEST_F(TextureTest, UploadParametersPackRowsTightlyAndFilterLinearly) {
    Texture texture;
    texture.applyUploadParameters(false);
    texture.applyUploadParameters(true);
    const std::vector<glrec::Call> expected = {
        call("glPixelStorei", {GL_UNPACK_ALIGNMENT, 1}),
        call("glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR}),
        call("glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR}),
        call("glPixelStorei", {GL_UNPACK_ALIGNMENT, 1}),
        call("glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR}),
        call("glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST_MIPMAP_NEAREST}),
    };
    EXPECT_EQ(glrec::calls(), expected);
}

TEST_F(TextureTest, DestructorDeletesACreatedName) {
    GLuint name = 0;
    {
        Texture texture;
        texture.bind();
        name = texture.id;
        glrec::reset();
    }
    EXPECT_EQ(glrec::calls(),
              std::vector<glrec::Call>{call("glDeleteTextures", {1, double(name)})});
}

// GL hands freed names out again. A texture that receives the name of the
// last one bound must still be bound, or its image would land elsewhere.
TEST_F(TextureTest, DeletingTheLastBoundNameForgetsItInTheBindCache) {
    GLuint name = 0;
    {
        Texture first;
        first.bind();
        name = first.id;
    }
    EXPECT_EQ(lastBoundTextureId, noTextureBound);
    Texture reused;
    reused.id = name;
    reused.bind();
    EXPECT_EQ(glrec::count("glBindTexture"), 2);
    EXPECT_EQ(glrec::boundTexture(), name);

    // Deleting a name that is not the cached one keeps the cache.
    {
        Texture other;
        other.bind();
        reused.bind();
    }
    EXPECT_EQ(lastBoundTextureId, name);
}

TEST_F(TextureTest, OnlyAnImageWithoutMipmapsGetsAnAlphaOutline) {
    // Mipmaps are averaged levels the outline knows nothing of: an outline
    // left from an earlier image must not be taken for them.
    AlphaOutline outline;
    Texture smoke;
    smoke.outline = &outline;
    smoke.generate(TextureKind::CHECK, 8, 8, GL_RGBA, 0);
    EXPECT_TRUE(outline.traced);
    smoke.generate(TextureKind::CHECK, 8, 8, GL_RGBA, 1);
    EXPECT_FALSE(outline.traced);
}

TEST_F(TextureTest, ReleaseAllDeletesEachRegisteredNameOnceAndClearsIt) {
    Texture a;
    Texture b;
    Texture neverBound;
    a.generate(TextureKind::BLACK, 4, 4, GL_RGBA, 0);
    b.generate(TextureKind::CHECK, 4, 4, GL_RGBA, 0);
    a.generate(TextureKind::GRILLE, 4, 4, GL_RGBA, 0); // registered a second time
    ASSERT_EQ(textureRegistry.count, 3);
    commitRegistryEntry(reserveRegistryEntry(&neverBound, nullptr)); // has no name yet
    const GLuint nameA = a.id;
    const GLuint nameB = b.id;
    glrec::reset();

    releaseAllTextures();
    const std::vector<glrec::Call> expected = {
        call("glDeleteTextures", {1, double(nameA)}),
        call("glDeleteTextures", {1, double(nameB)}),
    };
    EXPECT_EQ(glrec::calls(), expected);
    EXPECT_EQ(a.id, 0u);
    EXPECT_EQ(b.id, 0u);
    // a was bound last: a texture given its name again must be bound.
    EXPECT_EQ(lastBoundTextureId, noTextureBound);
    // Released textures are not deleted a second time by their destructors.
    releaseAllTextures();
    EXPECT_EQ(glrec::count("glDeleteTextures"), 2);
}

} // namespace
