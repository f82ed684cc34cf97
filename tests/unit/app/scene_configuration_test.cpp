// The scene's set-up on the GL call recorder: what it builds, in which order
// the random numbers go, and what the scale multiplies.
#include "app/scene_configuration.h"
#include "app/scene_hooks.h"
#include "scene_fixture.h"
#include "scripted_draws.h"
#include "support/random.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using scene_test::SceneTest;

int compiledCount(const char* name) {
    int n = 0;
    for (const glrec::Call& c : glrec::calls()) {
        n += c.compiled && std::string(c.name) == name ? 1 : 0;
    }
    return n;
}

using SceneConfiguration = SceneTest;

TEST_F(SceneConfiguration, TheTranslucentVeilLeavesAThirdOfTheStars) {
    InitialiseScene(800, 600);
    EXPECT_EQ(starField.starCount, 666);
    // Two layers share one list of half the stars.
    EXPECT_EQ(compiledCount("glVertex3d"), 333);
    EXPECT_EQ(compiledCount("glColor3d"), 333);
    EXPECT_EQ(glrec::count("glNewList"), 1);

    // With an opaque veil the whole 2000 would be built.
    glrec::reset();
    viewportLayout.fadeAlpha = 1.0f;
    ConfigureStarField();
    EXPECT_EQ(starField.starCount, 2000);
    EXPECT_EQ(compiledCount("glVertex3d"), 1000);
}

TEST_F(SceneConfiguration, ParticlesAreRedBlueMagentaAndWhiteInTurn) {
    InitialiseScene(800, 600);
    ASSERT_EQ(particleSystem.count, 8);
    const float expected[4][3] = {{1, 0, 0}, {0, 0, 1}, {1, 0, 1}, {1, 1, 1}};
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(particleSystem.red[i], expected[i % 4][0]);
        EXPECT_EQ(particleSystem.green[i], expected[i % 4][1]);
        EXPECT_EQ(particleSystem.blue[i], expected[i % 4][2]);
    }
}

TEST_F(SceneConfiguration, ColouringCoversTheSystemsCountEvenWhenNotSetUp) {
    // A particle system never set up keeps its default count of 100.
    ColourParticles();
    EXPECT_EQ(particleSystem.red[96], 1.0f);
    EXPECT_EQ(particleSystem.blue[97], 1.0f);
    EXPECT_EQ(particleSystem.green[99], 1.0f);
    EXPECT_EQ(particleSystem.red[100], 0.0f) << "nothing past the count";
}

TEST_F(SceneConfiguration, EachRunsSmokeSpritesAreThreeToFiveUnitsAcross) {
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
        scene_test::resetScene(seed);
        InitialiseScene(320, 200);
        EXPECT_GE(particleSystem.spriteHalfSize, 1.5f) << seed;
        EXPECT_LT(particleSystem.spriteHalfSize, 2.5f) << seed;
    }
    // The extremes of the draw.
    for (int draw : {0, 32767}) {
        scene_test::resetScene();
        // The sprite size's draw, then ordinary ones for the particles.
        ScriptedDraws draws({draw}, 7u);
        ConfigureParticles();
        EXPECT_EQ(particleSystem.spriteHalfSize,
                  static_cast<float>(1.5 + static_cast<double>(draw) / 32768.0));
    }
    EXPECT_LT(particleSystem.spriteHalfSize, 2.5f);
}

// What the scene drew, to compare two set-ups.
struct Drawn {
    std::vector<glrec::Call> stars;
    float spriteHalfSize = 0;
    std::vector<float> particleX;
    std::vector<std::uint8_t> smoke;
    std::vector<std::uint8_t> grain;
};

Drawn configuredFromSeed(std::uint32_t seed) {
    scene_test::resetScene(seed);
    InitialiseScene(640, 480);
    Drawn drawn;
    drawn.stars = glrec::callsNamed("glVertex3d");
    drawn.spriteHalfSize = particleSystem.spriteHalfSize;
    drawn.particleX.assign(particleSystem.posX, particleSystem.posX + particleSystem.count);
    drawn.smoke = glrec::textureImage(sceneTextures[0].id)->bytes;
    drawn.grain = glrec::textureImage(sceneTextures[2].id)->bytes;
    return drawn;
}

TEST_F(SceneConfiguration, RandomNumbersGoToStarsThenSpriteSizeThenParticlesThenTextures) {
    const Drawn scene = configuredFromSeed(2024);

    // The same sequence, drawn by each consumer on its own in that order.
    scene_test::resetScene(2024);
    StarField stars;
    stars.starCount = 666;
    stars.layers = 2;
    stars.size = 2.5;
    stars.innerSize = 0.0;
    stars.shape = 1;
    stars.dimLevel = 0.2;
    stars.brightLevel = 0.8;
    stars.build();
    EXPECT_TRUE(glrec::callsNamed("glVertex3d") == scene.stars);

    const float spriteHalfSize = static_cast<float>(1.5 + randomUniform(1.0));
    EXPECT_EQ(spriteHalfSize, scene.spriteHalfSize);

    static ParticleSystem particles; // 5001 particles: too large for the stack
    particles.count = 8;
    particles.size = 3.0f;
    particles.innerSize = 0.0f;
    particles.shape = 1;
    particles.initialise();
    EXPECT_EQ(std::vector<float>(particles.posX, particles.posX + 8), scene.particleX);

    Texture smoke;
    smoke.generate(TextureKind::SMOKE, 256, 256, GL_RGBA, 0);
    EXPECT_TRUE(glrec::lastTextureImage()->bytes == scene.smoke);
    Texture fog;
    fog.generate(TextureKind::FOG, 256, 256, GL_RGBA, 0);
    Texture grain;
    grain.generate(TextureKind::GRAIN, 256, 256, GL_RGBA, 0);
    EXPECT_TRUE(glrec::lastTextureImage()->bytes == scene.grain);
    stars.release();
}

// The values a set-up leaves, with the scene scaled by `scale`.
struct Scaled {
    float nearPlane, farPlane, fogStart, fogEnd;
    double starSize;
    float particleSize;
    std::vector<glrec::Call> starVertices;
    std::vector<float> particleX;
    // ...and what the scale must leave alone.
    double fieldOfView;
    int starCount;
    float glowHalfSize, spriteHalfSize, fadeAlpha;
};

Scaled configuredAtScale(double scale) {
    scene_test::resetScene(77);
    sceneState.sceneScale = scale;
    ConfigureViews();
    ConfigureLighting();
    ConfigureSwitches();
    ConfigureAnimation();
    ConfigureStarField();
    ConfigureParticles();
    const Camera& camera = viewportLayout.slots[sceneViewSlot].camera;
    Scaled s{};
    s.nearPlane = camera.nearPlane;
    s.farPlane = camera.farPlane;
    for (const glrec::Call& c : glrec::callsNamed("glFogf")) {
        (c.arg(0) == GL_FOG_START ? s.fogStart : s.fogEnd) = static_cast<float>(c.arg(1));
    }
    s.starSize = starField.size;
    s.particleSize = particleSystem.size;
    s.starVertices = glrec::callsNamed("glVertex3d");
    s.particleX.assign(particleSystem.posX, particleSystem.posX + particleSystem.count);
    s.fieldOfView = camera.fieldOfView;
    s.starCount = starField.starCount;
    s.glowHalfSize = glowSprite.halfWidth;
    s.spriteHalfSize = particleSystem.spriteHalfSize;
    s.fadeAlpha = viewportLayout.fadeAlpha;
    return s;
}

TEST_F(SceneConfiguration, DoublingTheScaleDoublesDistancesAndVolumesOnly) {
    const Scaled one = configuredAtScale(1.0);
    const Scaled two = configuredAtScale(2.0);
    EXPECT_EQ(two.nearPlane, 2 * one.nearPlane);
    EXPECT_EQ(two.farPlane, 2 * one.farPlane);
    EXPECT_EQ(two.fogStart, 2 * one.fogStart);
    EXPECT_EQ(two.fogEnd, 2 * one.fogEnd);
    EXPECT_EQ(two.starSize, 2 * one.starSize);
    EXPECT_EQ(two.particleSize, 2 * one.particleSize);
    // The same draws place every star and particle twice as far out.
    ASSERT_EQ(two.starVertices.size(), one.starVertices.size());
    for (size_t i = 0; i < one.starVertices.size(); ++i) {
        for (int axis = 0; axis < 3; ++axis) {
            ASSERT_EQ(static_cast<float>(two.starVertices[i].arg(axis)),
                      2 * static_cast<float>(one.starVertices[i].arg(axis)));
        }
    }
    for (size_t i = 0; i < one.particleX.size(); ++i) {
        EXPECT_EQ(two.particleX[i], 2 * one.particleX[i]);
    }

    EXPECT_EQ(two.fieldOfView, one.fieldOfView);
    EXPECT_EQ(two.starCount, one.starCount);
    EXPECT_EQ(two.glowHalfSize, one.glowHalfSize);
    EXPECT_EQ(two.spriteHalfSize, one.spriteHalfSize);
    EXPECT_EQ(two.fadeAlpha, one.fadeAlpha);
}

TEST_F(SceneConfiguration, SetsTheViewLightFogAndAnimation) {
    InitialiseScene(800, 600);
    const ViewportSlot& view = viewportLayout.slots[sceneViewSlot];
    EXPECT_EQ(viewportLayout.slotCount, 2);
    EXPECT_EQ(view.letterboxed, 1);
    EXPECT_EQ(view.camera.nearPlane, 0.01f);
    EXPECT_EQ(view.camera.farPlane, 6.0f);
    EXPECT_EQ(viewportLayout.windowWidth, 800.0f);
    EXPECT_EQ(viewportLayout.fadeAlpha, 0.2f);
    EXPECT_EQ(viewportLayout.barFraction, 0.2f);

    EXPECT_EQ(glrec::callsNamed("glFogfv").at(0),
              glrec::call("glFogfv", {GL_FOG_COLOR, 0, 0, 0.075f, 0}));
    EXPECT_TRUE(glrec::isEnabled(GL_LIGHT0));
    EXPECT_EQ(glrec::callsNamed("glLightModelfv").at(0),
              glrec::call("glLightModelfv", {GL_LIGHT_MODEL_AMBIENT, 0.4f, 0.4f, 0.4f, 1}));
    EXPECT_EQ(glowSprite.halfWidth, 0.05f);

    // The oscillators' speeds point at the shared values of the scene state.
    EXPECT_EQ(cameraZ.speedSource, &sceneState.orbitSpeed);
    EXPECT_EQ(angleX.speedSource, &sceneState.turnSpeed);
    EXPECT_EQ(bar.speedSource, &sceneState.fadeSpeed);
    EXPECT_EQ(fade.offset, 0.05);
    EXPECT_EQ(bar.range, 0.25);

    // The particles wear the smoke image, generated before any frame.
    EXPECT_EQ(particleSystem.texture, &sceneTextures[0]);
    EXPECT_EQ(textureRegistry.count, 11);
    EXPECT_EQ(textureRegistry.entries[6].texture, &sceneTextures[6]);
}

TEST_F(SceneConfiguration, TheFirstClearGoesThroughTheConstructedSlotRectangle) {
    InitialiseScene(800, 600);
    // The window size reaches the slots only at the first relayout.
    EXPECT_EQ(glrec::callsNamed("glViewport").back(), glrec::call("glViewport", {0, 0, 100, 100}));
    const std::vector<glrec::Call> masks = glrec::callsNamed("glDepthMask");
    EXPECT_EQ(masks.back(), glrec::call("glDepthMask", {GL_TRUE})) << "the clear turns writes on";
}

TEST_F(SceneConfiguration, ReleaseGivesBackOnlyTheStarList) {
    InitialiseScene(800, 600);
    const GLuint list = starField.listId;
    glrec::reset();
    ReleaseScene();
    EXPECT_EQ(glrec::calls(),
              (std::vector<glrec::Call>{glrec::call("glDeleteLists", {double(list), 1})}));

    // With the stars switched off the star field is not touched.
    scene_test::resetScene();
    InitialiseScene(800, 600);
    sceneState.starsEnabled = 0;
    glrec::reset();
    ReleaseScene();
    EXPECT_TRUE(glrec::calls().empty());
}

} // namespace
