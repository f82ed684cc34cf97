// The particle system: placement and colours in their draw order, the count's
// bounds, the state each draw sets and restores, the bounds of a draw that
// knows its window, and impossible sizes.
#include "visuals/particle_system.h"

#include "gl_recorder.h"
#include "scene/camera.h"
#include "scene/depth_marks.h"
#include "scene/viewport_layout.h"
#include "scene/window_projection.h"
#include "scripted_draws.h"
#include "textures/alpha_outline.h"
#include "textures/texture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace {

using glrec::call;
using Calls = std::vector<glrec::Call>;

using namespace coordinate_draw;

// The object holds 60 000 floats: too large for a test's stack frame.
std::unique_ptr<ParticleSystem> newSystem() {
    return std::make_unique<ParticleSystem>();
}

TEST(ParticleSystem, InitialiseTakesPositionColourFadeAndAngleInOrder) {
    auto particles = newSystem();
    particles->count = 2;
    particles->size = 2.0f; // outer half-extent 1, inner 0.01
    ScriptedDraws draws({
        // Particle 0: the centre is drawn again; (0.5, 0, 0) is taken.
        centre, centre, centre, plusHalfR, centre, centre,
        3276,                  // 0.09998: strongly coloured, base 0.4 and spread 0.9
        0, centre, minusHalfR, // red, green, blue
        8191,                  // 0.24997: a fade ramp
        centre,                // skewed draw 0.5, squared: 0.25
        minusHalfR,            // 20 × 0.25 = 5
        centre,                // angle 180
        // Particle 1.
        centre, minusHalfR, centre, // (0, −0.5, 0)
        3277,                       // 0.10001: pale, base 0.9 and spread 0.4
        32767, 0, centre,           // red, green, blue
        8192,                       // 0.25: no ramp
        4096,                       // angle 45
    });
    particles->initialise();
    EXPECT_EQ(draws.taken(), 23u);

    EXPECT_EQ(particles->posX[0], 0.5f);
    EXPECT_EQ(particles->posY[0], 0.0f);
    EXPECT_EQ(particles->posZ[0], 0.0f);
    EXPECT_FLOAT_EQ(particles->red[0], 0.4f);
    EXPECT_FLOAT_EQ(particles->green[0], 0.85f);
    EXPECT_FLOAT_EQ(particles->blue[0], 0.625f);
    EXPECT_FLOAT_EQ(particles->fadeRate[0], 1.75f) << "5 × 0.25 + 0.5";
    EXPECT_EQ(particles->brightness[0], 1.0f);
    EXPECT_EQ(particles->angle[0], 180.0f);

    EXPECT_EQ(particles->posY[1], -0.5f);
    EXPECT_FLOAT_EQ(particles->red[1], 0.9f + 0.4f * 32767.0f / 32768.0f);
    EXPECT_FLOAT_EQ(particles->green[1], 0.9f);
    EXPECT_FLOAT_EQ(particles->blue[1], 1.1f);
    EXPECT_EQ(particles->fadeRate[1], 0.0f);
    EXPECT_EQ(particles->brightness[1], 1.0f);
    EXPECT_EQ(particles->angle[1], 45.0f);
}

TEST(ParticleSystem, ShellsPlaceParticlesAsTheStarFieldDoes) {
    // Cube shell with the inner region lowered to 0.9 of the size: the inner
    // half-extent becomes 0.91, so 0.90002 is inside and 0.91998 outside.
    auto cube = newSystem();
    cube->count = 1;
    cube->innerSize = 1.95f;
    ScriptedDraws cubeDraws({
        centre + 14746, centre, centre, centre + 15073, centre, centre, // position
        centre, 0, 0, 0, centre, 0,                                     // colour, fade, angle
    });
    cube->initialise();
    EXPECT_EQ(cube->innerSize, 2.0f * 0.9f);
    EXPECT_EQ(cubeDraws.taken(), 12u);
    EXPECT_FLOAT_EQ(cube->posX[0], 15073.0f / 16384.0f);

    // Upper half shell: the lower half and the outside are drawn again.
    auto upper = newSystem();
    upper->count = 1;
    upper->shape = 2;
    ScriptedDraws upperDraws({
        centre,
        minusHalfR,
        centre, // (0, −0.5, 0): below
        minusR,
        minusR,
        minusR, // outside
        minusR,
        centre,
        centre, // (−1, 0, 0): on the outer sphere
        centre,
        0,
        0,
        0,
        centre,
        0,
    });
    upper->initialise();
    EXPECT_EQ(upperDraws.taken(), 15u);
    EXPECT_EQ(upper->posX[0], -1.0f);
}

TEST(ParticleSystem, CountStaysWithinTheFixedArrays) {
    auto particles = newSystem();
    particles->count = 6000;
    randomSeed(7);
    particles->initialise();
    EXPECT_EQ(particles->count, ParticleSystem::maxParticles);
    for (int i = 0; i < ParticleSystem::maxParticles; ++i) {
        ASSERT_EQ(particles->brightness[i], 1.0f) << "particle " << i << " was not placed";
        ASSERT_GE(particles->posX[i], -1.0f);
        ASSERT_LT(particles->posX[i], 1.0f);
    }

    // A count set above capacity after set-up still draws only the arrays.
    particles->count = 6000;
    const Camera camera;
    glrec::reset();
    particles->draw(camera, 1.0f);
    EXPECT_EQ(glrec::count("glBegin"), ParticleSystem::maxParticles);
}

TEST(ParticleSystem, NoParticleInUseDrawsAndDrawsNothing) {
    const Camera camera;
    for (int count : {0, -5}) {
        auto particles = newSystem();
        particles->count = count;
        ScriptedDraws none({});
        particles->initialise();
        EXPECT_EQ(particles->count, 0) << "count " << count;
        glrec::reset();
        particles->draw(camera, 1.0f);
        EXPECT_TRUE(glrec::calls().empty()) << "count " << count;
    }
    // Drawn without set-up, a negative count draws nothing either.
    auto particles = newSystem();
    particles->count = -1;
    glrec::reset();
    particles->draw(camera, 1.0f);
    EXPECT_TRUE(glrec::calls().empty());
}

TEST(ParticleSystem, DrawSetsTheStateAFacingSquareNeedsAndRestoresIt) {
    auto particles = newSystem();
    particles->count = 1;
    particles->alphaTest = 1;
    particles->alphaRef = 0.2f;
    particles->blendSource = 2;
    particles->blendDestination = 3;
    particles->depthWrite = 1;
    particles->spriteHalfSize = 1.5f;
    particles->posX[0] = 0.25f;
    particles->posY[0] = -1.0f;
    particles->posZ[0] = 2.0f;
    particles->red[0] = 1.0f;
    particles->green[0] = 0.5f;
    particles->blue[0] = 0.3f;
    particles->brightness[0] = 0.5f;
    particles->angle[0] = 33.0f;
    Texture smoke;
    particles->texture = &smoke;
    lastBoundTextureId = noTextureBound;
    Camera camera;
    camera.transform.rotation.set(10.0f, 20.0f, 30.0f); // pitch, yaw, roll

    glrec::reset();
    particles->draw(camera, 0.5f);
    EXPECT_EQ(glrec::calls(),
              (Calls{
                  call("glEnable", {GL_ALPHA_TEST}),
                  call("glAlphaFunc", {GL_GEQUAL, 0.2f}),
                  call("glBlendFunc", {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}),
                  call("glEnable", {GL_BLEND}),
                  call("glEnable", {GL_DEPTH_TEST}),
                  call("glDepthMask", {GL_TRUE}),
                  call("glEnable", {GL_TEXTURE_2D}),
                  call("glGenTextures", {1}),
                  call("glBindTexture", {GL_TEXTURE_2D, 1}),
                  call("glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT}),
                  call("glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT}),
                  call("glTexEnvf", {GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE}),
                  // The particle: tint times brightness, turned yaw first.
                  call("glPushMatrix"),
                  call("glColor4f", {0.5, 0.25, 0.3f * 0.5f, 0.5}),
                  call("glTranslatef", {0.25, -1, 2}),
                  call("glRotatef", {20, 0, 1, 0}),
                  call("glRotatef", {10, 1, 0, 0}),
                  call("glRotatef", {33, 0, 0, 1}),
                  call("glBegin", {GL_QUADS}),
                  call("glTexCoord2f", {0, 0}),
                  call("glVertex2f", {-1.5, -1.5}),
                  call("glTexCoord2f", {1, 0}),
                  call("glVertex2f", {1.5, -1.5}),
                  call("glTexCoord2f", {1, 1}),
                  call("glVertex2f", {1.5, 1.5}),
                  call("glTexCoord2f", {0, 1}),
                  call("glVertex2f", {-1.5, 1.5}),
                  call("glEnd"),
                  call("glPopMatrix"),
                  // Restore.
                  call("glDisable", {GL_ALPHA_TEST}),
                  call("glDisable", {GL_BLEND}),
                  call("glDisable", {GL_DEPTH_TEST}),
                  call("glDepthMask", {GL_FALSE}),
                  call("glDisable", {GL_TEXTURE_2D}),
              }));
    EXPECT_EQ(glrec::modelview(), glrec::Matrix({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}));
    particles->texture = nullptr;
}

TEST(ParticleSystem, SwitchesOffAreSetOffAndLeftAlone) {
    auto particles = newSystem();
    particles->count = 1;
    particles->blend = 0;
    particles->depthTest = 0;
    const Camera camera;
    glrec::reset();
    particles->draw(camera, 1.0f);
    const Calls& calls = glrec::calls();
    ASSERT_GE(calls.size(), 5u);
    EXPECT_EQ(Calls(calls.begin(), calls.begin() + 5), (Calls{
                                                           call("glDisable", {GL_ALPHA_TEST}),
                                                           call("glDisable", {GL_BLEND}),
                                                           call("glDisable", {GL_DEPTH_TEST}),
                                                           call("glDepthMask", {GL_FALSE}),
                                                           call("glPushMatrix"),
                                                       }));
    EXPECT_EQ(calls.back(), call("glPopMatrix")) << "nothing to restore";
    EXPECT_EQ(glrec::count("glEnable"), 0);
}

TEST(ParticleSystem, AlphaIsTheOpacityScaledAndTheAlphaTestCanHideIt) {
    auto particles = newSystem();
    particles->count = 3;
    particles->alphaScale = 0.3f;
    particles->alphaTest = 1;
    particles->alphaRef = 0.2f;
    for (int i = 0; i < 3; ++i) {
        particles->brightness[i] = 1.0f;
    }
    const Camera camera;
    glrec::reset();
    particles->draw(camera, 0.5f);

    const Calls colours = glrec::callsNamed("glColor4f");
    ASSERT_EQ(colours.size(), 3u);
    for (const glrec::Call& c : colours) {
        EXPECT_EQ(c.arg(3), 0.5f * 0.3f);
        EXPECT_NEAR(c.arg(3), 0.15, 1e-7);
    }
    // Only fragments of alpha 0.2 or more pass; every particle's is 0.15.
    EXPECT_EQ(glrec::callsNamed("glAlphaFunc"), (Calls{call("glAlphaFunc", {GL_GEQUAL, 0.2f})}));
    EXPECT_LT(colours[0].arg(3), glrec::callsNamed("glAlphaFunc")[0].arg(1));
}

TEST(ParticleSystem, SquaresTurnByTheCamerasLineOfSight) {
    auto particles = newSystem();
    particles->count = 1;
    particles->angle[0] = 12.0f;
    Camera camera;
    // Looking along −z: no turn but the particle's own.
    camera.transform.position.set(0.0f, 0.0f, 1.0f);
    glrec::reset();
    camera.lookAtTarget();
    glrec::reset();
    particles->draw(camera, 1.0f);
    EXPECT_EQ(glrec::callsNamed("glRotatef"), (Calls{
                                                  call("glRotatef", {0, 0, 1, 0}),
                                                  call("glRotatef", {0, 1, 0, 0}),
                                                  call("glRotatef", {12, 0, 0, 1}),
                                              }));

    // Looking along −x from +x: a quarter turn about y faces the square +x.
    camera.transform.position.set(3.0f, 0.0f, 0.0f);
    glrec::reset();
    camera.lookAtTarget();
    glrec::reset();
    particles->draw(camera, 1.0f);
    const Calls turns = glrec::callsNamed("glRotatef");
    ASSERT_EQ(turns.size(), 3u);
    EXPECT_NEAR(turns[0].arg(0), 90.0, 1e-4);
    EXPECT_EQ(turns[0].arg(2), 1.0) << "about y";
    EXPECT_EQ(turns[1].arg(0), 0.0);
}

// Bounded draws: an 800 by 600 window seen from (0, 0, 4) along −z, 90
// degrees high: at z = 0 a unit is 75 pixels, the origin at (400, 300).
struct BoundedView {
    ViewportLayout layout;
    Camera& camera = layout.slots[0].camera;
    AlphaOutline outline;
    Texture image;

    BoundedView() {
        layout.setWindowSize(800, 600);
        layout.relayout();
        layout.selectViewport(0);
        camera.nearPlane = 0.01f;
        camera.farPlane = 6.0f;
        glrec::reset();
        camera.perspective(layout);
        camera.transform.position.set(0.0f, 0.0f, 4.0f);
        camera.lookAtTarget();
        // 32 by 32 texels, opaque in texels 12 to 19 of each axis only.
        std::vector<std::uint8_t> texels(32 * 32 * 4, 0);
        for (int y = 12; y < 20; ++y) {
            for (int x = 12; x < 20; ++x) {
                texels[(y * 32 + x) * 4 + 3] = 255;
            }
        }
        outline.trace(texels.data(), 32, 32, GL_RGBA);
        image.outline = &outline;
    }
    WindowProjection window() const { return WindowProjection(camera, layout.slots[0]); }
};

// One alpha-tested sprite of half-size 2 at the origin, unturned.
std::unique_ptr<ParticleSystem> boundedSprite(Texture& image) {
    auto particles = newSystem();
    particles->count = 1;
    particles->alphaTest = 1;
    particles->alphaRef = 0.01f;
    particles->spriteHalfSize = 2.0f;
    particles->brightness[0] = 1.0f;
    particles->texture = &image;
    return particles;
}

TEST(ParticleSystem, ABoundedSquareIsScissoredToWhereTheAlphaTestCanPass) {
    BoundedView view;
    auto particles = boundedSprite(view.image);
    const WindowProjection window = view.window();
    DepthMarks marks;
    marks.mark(PixelBox{390, 290, 410, 310}, window.depthAt(4.5)); // a glow behind the sprite
    glrec::reset();
    particles->draw(view.camera, 1.0f, &window, &marks);

    // Drawn once per band of 128 rows it crosses, each band scissored to the
    // region's columns there, the bands stacked without a gap or an overlap.
    const Calls scissors = glrec::callsNamed("glScissor");
    ASSERT_EQ(scissors.size(), 2u) << "rows 256 and up, and those below";
    EXPECT_EQ(scissors[0].arg(1) + scissors[0].arg(3), 256);
    EXPECT_EQ(scissors[1].arg(1), 256);
    const Calls& calls = glrec::calls();
    EXPECT_EQ(glrec::count("glBegin"), 2);
    for (const glrec::Call& scissor : scissors) {
        const size_t at = std::find(calls.begin(), calls.end(), scissor) - calls.begin();
        ASSERT_LT(at + 1, calls.size());
        EXPECT_EQ(calls[at + 1], call("glBegin", {GL_QUADS}));
    }
    // Texels 12 to 19 of 32 and the filter's reach: x from −2 + 4 × 11/32
    // to −2 + 4 × 21/32 units at least, pixels 353 to 447; the whole square
    // spans pixels 250 to 550. Its middle rows hold the widest part.
    const glrec::Call& middle = scissors[1];
    const double x0 = middle.arg(0);
    const double x1 = x0 + middle.arg(2);
    EXPECT_LE(x0, 353);
    EXPECT_GE(x1, 447);
    EXPECT_GT(x0, 320) << "no wider than the reach and the margins";
    EXPECT_LT(x1, 480);
    EXPECT_EQ(middle.arg(1) + middle.arg(3) - 300, 300 - scissors[0].arg(1)) << "centred";
    EXPECT_EQ(scissors[0].arg(0), x0) << "an unturned region is as wide in every band";
    EXPECT_EQ(scissors[0].arg(2), middle.arg(2));
    // Scissored while it draws; the sprite stands before the glow, so the
    // depth test could fail none of its fragments and is left out.
    const auto at = [&](const glrec::Call& c) {
        return std::find(calls.begin(), calls.end(), c) - calls.begin();
    };
    EXPECT_LT(at(call("glEnable", {GL_SCISSOR_TEST})), at(scissors[0]));
    EXPECT_LT(at(call("glDisable", {GL_DEPTH_TEST})), at(call("glBegin", {GL_QUADS})));
    EXPECT_EQ(calls.back(), call("glDisable", {GL_TEXTURE_2D}));
    EXPECT_FALSE(glrec::isEnabled(GL_SCISSOR_TEST));
    EXPECT_FALSE(glrec::isEnabled(GL_DEPTH_TEST));
    particles->texture = nullptr;
}

TEST(ParticleSystem, TheDepthTestStaysWhereItCouldFailAFragment) {
    BoundedView view;
    auto particles = boundedSprite(view.image);
    const WindowProjection window = view.window();
    struct Case {
        const char* what;
        PixelBox written;
        double depth;
        int depthWrite;
        bool kept;
    };
    const double sprite = window.depthAt(4.0);
    const Case cases[] = {
        {"nothing written", PixelBox{}, 1.0, 0, false},
        {"written in front of the sprite", PixelBox{390, 290, 410, 310}, sprite - 0.01, 0, true},
        {"written beside the sprite", PixelBox{0, 0, 100, 100}, 0.0, 0, false},
        {"the sprite writes depth", PixelBox{}, 1.0, 1, true},
    };
    for (const Case& c : cases) {
        DepthMarks marks;
        marks.mark(c.written, c.depth);
        particles->depthWrite = c.depthWrite;
        glrec::reset();
        particles->draw(view.camera, 1.0f, &window, &marks);
        const size_t square =
            std::find(glrec::calls().begin(), glrec::calls().end(), call("glBegin", {GL_QUADS})) -
            glrec::calls().begin();
        bool on = false;
        for (size_t i = 0; i < square; ++i) {
            const glrec::Call& k = glrec::calls()[i];
            if (k.argc == 1 && k.arg(0) == GL_DEPTH_TEST) {
                on = std::string(k.name) == "glEnable";
            }
        }
        EXPECT_EQ(on, c.kept) << c.what;
    }
    // Without what was written, nothing is known: the test stays.
    particles->depthWrite = 0;
    glrec::reset();
    particles->draw(view.camera, 1.0f, &window, nullptr);
    EXPECT_EQ(glrec::count("glDisable"), 5) << "only the restoring ones";
    particles->texture = nullptr;
}

TEST(ParticleSystem, ASquareNoFragmentOfWhichCanPassIsNotDrawn) {
    BoundedView view;
    auto particles = boundedSprite(view.image);
    const WindowProjection window = view.window();
    // Too faint for the alpha test anywhere: the state is set and restored,
    // nothing is drawn and nothing scissored.
    glrec::reset();
    particles->draw(view.camera, 0.001f, &window, nullptr);
    EXPECT_EQ(glrec::count("glBegin"), 0);
    EXPECT_EQ(glrec::count("glScissor"), 0);
    EXPECT_FALSE(glrec::isEnabled(GL_ALPHA_TEST));
    // Behind the eye: nothing reaches the window.
    particles->posZ[0] = 5.0f;
    glrec::reset();
    particles->draw(view.camera, 1.0f, &window, nullptr);
    EXPECT_EQ(glrec::count("glBegin"), 0);
    EXPECT_EQ(glrec::count("glPushMatrix"), glrec::count("glPopMatrix"));
    particles->texture = nullptr;
}

// Sizes the particles cannot be placed in: none is in use instead of looping.

TEST(ParticleSystem, AnInnerRegionReachingTheOuterEdgeLeavesNoParticle) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        float size;
        float innerSize;
    };
    // 0.1 with 0.09: inner half-extent 0.055, outer 0.05. Size 0: the inner
    // half-extent is never below 0.01.
    const Case cases[] = {{0.1f, 0.09f}, {0.0f, 0.0f}, {nan, 0.0f}, {2.0f, nan}};
    const Camera camera;
    for (int shape : {1, 2, 0}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(::testing::Message()
                         << "shape " << shape << ", size " << c.size << ", inner " << c.innerSize);
            auto particles = newSystem();
            particles->shape = shape;
            particles->size = c.size;
            particles->innerSize = c.innerSize;
            ScriptedDraws none({});
            particles->initialise();
            EXPECT_EQ(particles->count, 0);
            glrec::reset();
            particles->draw(camera, 1.0f);
            EXPECT_TRUE(glrec::calls().empty());
        }
    }

    // A sphere's inner radius counts by its size whatever its sign.
    auto particles = newSystem();
    particles->shape = 0;
    particles->innerSize = -10.02f;
    ScriptedDraws none({});
    particles->initialise();
    EXPECT_EQ(particles->count, 0);
}

} // namespace
