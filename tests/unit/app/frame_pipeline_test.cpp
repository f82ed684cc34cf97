// One frame of the scene on the GL call recorder: what is drawn, in which
// state, and what the switches take away.
#include "app/frame_pipeline.h"
#include "app/scene_hooks.h"
#include "scene/pixel_box.h"
#include "scene_fixture.h"
#include "scripted_draws.h"
#include "support/vec3.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

using scene_test::resetScene;
using scene_test::simulatedMs;

class FramePipeline : public scene_test::SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        InitialiseScene(800, 600);
    }

    // Draws the frame at `ms` of simulated time, with a fresh call log.
    void frameAt(double ms) {
        simulatedMs = ms;
        glrec::reset();
        RenderFrame();
    }

    static size_t indexOf(const glrec::Call& wanted, size_t from = 0) {
        const std::vector<glrec::Call>& calls = glrec::calls();
        for (size_t i = from; i < calls.size(); ++i) {
            if (calls[i] == wanted) {
                return i;
            }
        }
        return calls.size();
    }
    static size_t indexOfName(const char* name, size_t from = 0) {
        const std::vector<glrec::Call>& calls = glrec::calls();
        for (size_t i = from; i < calls.size(); ++i) {
            if (std::strcmp(calls[i].name, name) == 0) {
                return i;
            }
        }
        return calls.size();
    }
    // Whether the frame's last glEnable or glDisable of `capability` before
    // position `position` of the log enabled it.
    static bool enabledAt(GLenum capability, size_t position) {
        bool enabled = false;
        for (size_t i = 0; i < position && i < glrec::calls().size(); ++i) {
            const glrec::Call& c = glrec::calls()[i];
            if (c.argc == 1 && c.arg(0) == capability) {
                if (std::strcmp(c.name, "glEnable") == 0) {
                    enabled = true;
                } else if (std::strcmp(c.name, "glDisable") == 0) {
                    enabled = false;
                }
            }
        }
        return enabled;
    }
};

TEST_F(FramePipeline, AFrameClearsThenDrawsTheLetterboxedView) {
    frameAt(16.0);
    frameAt(33.0); // the second frame: slot 0 spans the window from now on
    const std::vector<glrec::Call>& calls = glrec::calls();
    const size_t clearView = indexOf(glrec::call("glViewport", {0, 0, 800, 600}));
    ASSERT_LT(clearView, calls.size()) << "the clear covers the window";

    // The view between the bars: full width, the band's height.
    const float bar = static_cast<float>(600.0 * static_cast<double>(viewportLayout.barFraction));
    const ViewportSlot& view = viewportLayout.slots[sceneViewSlot];
    EXPECT_EQ(view.pixY0, bar);
    const size_t sceneView =
        indexOf(glrec::call("glViewport", {0, double(static_cast<int>(view.pixY0)), 800,
                                           double(static_cast<int>(view.pixHeight))}));
    ASSERT_LT(sceneView, calls.size());
    EXPECT_LT(clearView, sceneView);

    const glrec::Call perspective = glrec::callsNamed("gluPerspective").at(0);
    EXPECT_EQ(perspective.arg(0), 90.0);
    EXPECT_EQ(perspective.arg(1), double(view.pixWidth) / double(view.pixHeight));
    EXPECT_EQ(perspective.arg(2), double(0.01f));
    EXPECT_EQ(perspective.arg(3), 6.0);

    // Stars in two layers, the glow, then the eight smoke sprites.
    EXPECT_EQ(glrec::count("glCallList"), 2);
    EXPECT_EQ(glrec::count("glNormal3f"), 1) << "one glow sprite";
    EXPECT_EQ(glrec::count("glRotatef"), 2 + 8 * 3);
    const size_t stars = indexOfName("glCallList");
    const size_t glow = indexOfName("glNormal3f");
    const size_t smoke = indexOfName("glVertex2f", glow);
    EXPECT_LT(sceneView, stars);
    EXPECT_LT(stars, glow);
    EXPECT_LT(glow, smoke);
}

TEST_F(FramePipeline, ViewportAndProjectionFollowASizeMessage) {
    frameAt(16.0);
    ResizeScene(1024, 300, nullptr, 0);
    frameAt(33.0);
    // The very next frame clears the new window and views the new band.
    EXPECT_EQ(glrec::callsNamed("glViewport").at(0), glrec::call("glViewport", {0, 0, 1024, 300}));
    EXPECT_EQ(glrec::callsNamed("glOrtho").at(0), glrec::call("glOrtho", {0, 1024, 0, 300, -1, 1}));
    const ViewportSlot& view = viewportLayout.slots[sceneViewSlot];
    EXPECT_EQ(view.pixWidth, 1024.0f);
    EXPECT_NEAR(view.pixHeight, 300.0 * (1 - 2 * viewportLayout.barFraction), 0.001);
    EXPECT_EQ(glrec::callsNamed("glViewport").at(1),
              glrec::call("glViewport", {0, double(static_cast<int>(view.pixY0)), 1024,
                                         double(static_cast<int>(view.pixHeight))}));
    EXPECT_EQ(glrec::callsNamed("gluPerspective").at(0).arg(1),
              double(view.pixWidth) / double(view.pixHeight));
    EXPECT_EQ(glrec::count("gluPerspective"), 1);
}

TEST_F(FramePipeline, EachMonitorHasItsOwnViewOfTheOneCamera) {
    // Two 1280 by 720 monitors side by side, and the same run on one.
    const SceneMonitor heads[] = {{0, 0, 1280, 720}, {1280, 0, 2560, 720}};
    ResizeScene(2560, 720, heads, 2);
    frameAt(16.0);
    frameAt(500.0);
    const int afterTwo = randomNext();
    const std::vector<glrec::Call> viewports = glrec::callsNamed("glViewport");
    const std::vector<glrec::Call> aims = glrec::callsNamed("gluLookAt");
    const std::vector<glrec::Call> lenses = glrec::callsNamed("gluPerspective");

    ASSERT_EQ(viewports.size(), 3u);
    EXPECT_EQ(viewports[0], glrec::call("glViewport", {0, 0, 2560, 720}));
    const ViewportSlot& left = viewportLayout.slots[1];
    const double y = static_cast<int>(left.pixY0);
    const double h = static_cast<int>(left.pixHeight);
    EXPECT_EQ(viewports[1], glrec::call("glViewport", {0, y, 1280, h}));
    EXPECT_EQ(viewports[2], glrec::call("glViewport", {1280, y, 1280, h}));
    ASSERT_EQ(lenses.size(), 2u);
    EXPECT_EQ(lenses[0], lenses[1]);
    EXPECT_EQ(lenses[0].arg(1), 1280.0 / double(left.pixHeight));
    // The same eye and aim for both, and a glow in each.
    ASSERT_EQ(aims.size(), 2u);
    EXPECT_EQ(aims[0], aims[1]);
    EXPECT_EQ(glrec::count("glNormal3f"), 2);
    EXPECT_EQ(glrec::count("glCallList"), 4);

    // Drawing twice advanced nothing twice: one monitor's run from the same
    // seed stands at the same place of the random sequence and the animation.
    resetScene();
    InitialiseScene(2560, 720);
    frameAt(16.0);
    frameAt(500.0);
    EXPECT_EQ(randomNext(), afterTwo);
    EXPECT_EQ(glrec::callsNamed("gluLookAt").at(0), aims[0]);
}

TEST_F(FramePipeline, OnlyTwoOrMoreWhollyCoveredMonitorsSplitThePicture) {
    const auto viewsFor = [](std::vector<SceneMonitor> heads) {
        ResizeScene(2560, 720, heads.data(), static_cast<int>(heads.size()));
        return viewportLayout.slotCount - 1;
    };
    EXPECT_EQ(viewsFor({{0, 0, 1280, 720}, {1280, 0, 2560, 720}}), 2);
    EXPECT_EQ(viewsFor({{0, 0, 2560, 720}}), 1);
    // A mirror of a monitor already taken adds nothing.
    EXPECT_EQ(viewsFor({{0, 0, 1280, 720}, {0, 0, 1280, 720}}), 1);
    // A monitor the window only partly covers is not split off.
    EXPECT_EQ(viewsFor({{0, 0, 1280, 720}, {1280, 0, 2600, 720}}), 1);
    // Ten monitors: more than there are views for, so one over everything.
    std::vector<SceneMonitor> ten;
    for (int i = 0; i < 10; ++i) {
        ten.push_back({i * 256, 0, i * 256 + 256, 720});
    }
    EXPECT_EQ(viewsFor(ten), 1);
    ten.pop_back();
    EXPECT_EQ(viewsFor(ten), 9);
    EXPECT_EQ(viewportLayout.slots[9].letterboxed, 1) << "every view is letterboxed";
}

TEST_F(FramePipeline, EyeFollowsTheOscillatorsAndTheAimKeepsOnlyTheRoll) {
    frameAt(500.0);
    const Camera& camera = viewportLayout.slots[sceneViewSlot].camera;
    const Vec3& eye = camera.transform.position;
    EXPECT_EQ(eye.x, static_cast<float>(cameraX.value()));
    EXPECT_EQ(eye.y, static_cast<float>(cameraY.value()));
    EXPECT_EQ(eye.z, static_cast<float>(cameraZ.value()));
    const glrec::Call lookAt = glrec::callsNamed("gluLookAt").at(0);
    EXPECT_EQ(lookAt, glrec::call("gluLookAt", {eye.x, eye.y, eye.z, 0, 0, 0, 0, 1, 0}));

    float pitch = 0;
    float yaw = 0;
    directionToAngles(eye, Vec3(0, 0, 0), pitch, yaw);
    EXPECT_EQ(camera.transform.rotation.x, pitch);
    EXPECT_EQ(camera.transform.rotation.y, yaw);
    EXPECT_NE(camera.transform.rotation.x, static_cast<float>(angleX.value()));
    EXPECT_EQ(camera.transform.rotation.z, static_cast<float>(angleZ.value()));
}

TEST_F(FramePipeline, TheVeilAndTheBarsFollowTheirOscillators) {
    frameAt(1234.0);
    EXPECT_EQ(viewportLayout.fadeAlpha, static_cast<float>(fade.value()));
    EXPECT_EQ(sceneState.barFractionValue, bar.value());
    EXPECT_EQ(viewportLayout.barFraction, static_cast<float>(bar.value()));
    // The smoke fades with the veil: alpha = fadeAlpha × 0.3.
    const glrec::Call colour = glrec::callsNamed("glColor4f").back();
    EXPECT_EQ(static_cast<float>(colour.arg(3)), viewportLayout.fadeAlpha * 0.3f);
}

TEST_F(FramePipeline, OscillatorsDrawTheirNumbersInTheirFixedOrder) {
    // Eight draws a frame, one per oscillator at rest; the fourth goes to the
    // camera's yaw, which then starts to slow down.
    ScriptedDraws draws({32767, 32767, 32767, 0, 32767, 32767, 32767, 32767});
    simulatedMs = 20.0;
    frameClock.tick(); // a step of 0.02 s
    UpdateAnimation();
    EXPECT_EQ(draws.taken(), 8u);
    EXPECT_EQ(angleY.activityRamp, -0.1 * 0.02);
    for (const Oscillator* other : {&cameraX, &cameraY, &cameraZ, &angleX, &angleZ, &fade, &bar}) {
        EXPECT_EQ(other->activityRamp, 0.0);
    }
}

TEST_F(FramePipeline, StarsGoWithoutFogAndSmokeWithIt) {
    frameAt(40.0);
    const size_t stars = indexOfName("glCallList");
    const size_t smoke = indexOfName("glVertex2f", indexOfName("glNormal3f"));
    EXPECT_FALSE(enabledAt(GL_FOG, stars));
    EXPECT_TRUE(enabledAt(GL_FOG, smoke));
    EXPECT_FALSE(enabledAt(GL_LIGHTING, smoke));
}

TEST_F(FramePipeline, TheClearRunsWithoutTheFogTheSmokeLeftOn) {
    frameAt(40.0);
    EXPECT_TRUE(glrec::isEnabled(GL_FOG)) << "the smoke leaves fog on";
    frameAt(80.0);
    const size_t bars = indexOfName("glBegin");
    ASSERT_LT(bars, glrec::calls().size());
    EXPECT_FALSE(enabledAt(GL_FOG, bars));
    EXPECT_LT(indexOf(glrec::call("glDisable", {GL_FOG})), bars);
}

TEST_F(FramePipeline, TheGlowsDepthIsMarkedAndClearedByTheNextFrameAlone) {
    frameAt(40.0);
    frameAt(80.0);
    // The glow stands at the middle of the view, 800 by the band's height.
    const PixelBox glow = viewportLayout.depthMarks.box;
    const ViewportSlot& view = viewportLayout.slots[sceneViewSlot];
    const int middleY = static_cast<int>(view.pixY0) + static_cast<int>(view.pixHeight) / 2;
    EXPECT_TRUE(glow.overlaps(PixelBox{399, middleY - 1, 401, middleY + 1}));
    EXPECT_LT(glow.x1 - glow.x0, 100);
    EXPECT_LT(viewportLayout.depthMarks.least, 1.0);

    frameAt(120.0);
    const glrec::Call clear = glrec::call("glClear", {GL_DEPTH_BUFFER_BIT});
    const size_t cleared = indexOf(clear);
    ASSERT_LT(cleared, glrec::calls().size());
    EXPECT_EQ(glrec::calls()[cleared - 1],
              glrec::call("glScissor", {double(glow.x0), double(glow.y0), double(glow.x1 - glow.x0),
                                        double(glow.y1 - glow.y0)}));
    EXPECT_TRUE(enabledAt(GL_SCISSOR_TEST, cleared));
    EXPECT_FALSE(enabledAt(GL_SCISSOR_TEST, indexOfName("glBegin")));
}

TEST_F(FramePipeline, EachSmokeSpriteIsScissoredAndTheViewsRowsAreKept) {
    frameAt(40.0);
    frameAt(80.0);
    const size_t glowEnd = indexOfName("glEnd", indexOfName("glNormal3f"));
    size_t squares = 0;
    for (size_t i = indexOfName("glBegin", glowEnd); i < glrec::calls().size();
         i = indexOfName("glBegin", i + 1)) {
        ++squares;
        EXPECT_TRUE(enabledAt(GL_SCISSOR_TEST, i)) << "square " << squares;
        EXPECT_EQ(std::string(glrec::calls()[i - 1].name), "glScissor");
    }
    EXPECT_GT(squares, 0u);
    EXPECT_EQ(squares + 1, static_cast<size_t>(glrec::count("glScissor"))) << "and the depth clear";
    EXPECT_FALSE(glrec::isEnabled(GL_SCISSOR_TEST));
    // The rows the next clear's bars must cover: the view's, and the two
    // rows its widest stars reach beyond.
    const ViewportSlot& view = viewportLayout.slots[sceneViewSlot];
    EXPECT_EQ(viewportLayout.drawnRowsBegin, static_cast<int>(view.pixY0) - 2);
    EXPECT_EQ(viewportLayout.drawnRowsEnd,
              static_cast<int>(view.pixY0) + static_cast<int>(view.pixHeight) + 2);
}

TEST_F(FramePipeline, TheGlowIsAYellowOpaqueCutOutOfTheSphere) {
    frameAt(40.0);
    const size_t glow = indexOfName("glNormal3f");
    ASSERT_LT(glow, glrec::calls().size());
    // The light sits at the origin under the view.
    EXPECT_LT(indexOf(glrec::call("glLightfv", {GL_LIGHT0, GL_POSITION, 0, 0, 0, 1})), glow);
    EXPECT_LT(indexOf(glrec::call("glColor3f", {1, 1, 0})), glow);
    EXPECT_LT(indexOf(glrec::call("glAlphaFunc", {GL_GREATER, 0.075f})), glow);
    EXPECT_TRUE(enabledAt(GL_ALPHA_TEST, glow));
    EXPECT_TRUE(enabledAt(GL_TEXTURE_2D, glow));
    EXPECT_TRUE(enabledAt(GL_DEPTH_TEST, glow));
    EXPECT_TRUE(enabledAt(GL_CULL_FACE, glow));
    EXPECT_FALSE(enabledAt(GL_FOG, glow));
    EXPECT_FALSE(enabledAt(GL_LIGHTING, glow));
    EXPECT_FALSE(enabledAt(GL_BLEND, glow));
    EXPECT_EQ(sceneLight.blue, 1.0f) << "the light's colour is white again";
    // SPHERE was bound for it.
    EXPECT_LT(indexOf(glrec::call("glBindTexture", {GL_TEXTURE_2D, double(sceneTextures[6].id)})),
              glow);
}

TEST_F(FramePipeline, TheGlowStaysTexturedWithTexturingSwitchedOff) {
    sceneState.texturingEnabled = 0;
    frameAt(40.0);
    const size_t glow = indexOfName("glNormal3f");
    ASSERT_LT(glow, glrec::calls().size());
    EXPECT_TRUE(enabledAt(GL_TEXTURE_2D, glow));
    // ...and texturing is off again after it.
    EXPECT_LT(indexOf(glrec::call("glDisable", {GL_TEXTURE_2D}), glow), glrec::calls().size());
}

TEST_F(FramePipeline, WithoutLightingNoLightIsPlacedAndNoGlowDrawn) {
    sceneState.lightingEnabled = 0;
    frameAt(40.0);
    EXPECT_EQ(glrec::count("glLightfv"), 0);
    EXPECT_EQ(glrec::count("glNormal3f"), 0);
    EXPECT_EQ(glrec::count("glAlphaFunc"), 1) << "only the particles' own alpha test";
    EXPECT_EQ(glrec::count("glCallList"), 2) << "the stars are still drawn";
}

TEST_F(FramePipeline, OneSlotOrNoScenePassLeavesOnlyTheClear) {
    viewportLayout.slotCount = 1;
    frameAt(40.0);
    EXPECT_EQ(glrec::count("gluPerspective"), 0);
    EXPECT_EQ(glrec::count("glCallList"), 0);
    EXPECT_EQ(glrec::count("glBegin"), 2) << "the bars and the veil";

    viewportLayout.slotCount = 2;
    sceneState.scenePassEnabled = 0;
    frameAt(80.0);
    EXPECT_EQ(glrec::count("gluPerspective"), 0);
    EXPECT_EQ(glrec::count("glBegin"), 2);
}

TEST_F(FramePipeline, TheBackgroundShowsOneTextureASecondInTurn) {
    sceneState.backgroundPassEnabled = 1;
    sceneState.scenePassEnabled = 0; // nothing else binds a texture
    frameAt(10990.0);
    EXPECT_EQ(lastBoundTextureId, sceneTextures[10].id);
    frameAt(11000.0);
    EXPECT_EQ(lastBoundTextureId, sceneTextures[0].id);
    frameAt(12500.0);
    EXPECT_EQ(lastBoundTextureId, sceneTextures[1].id);
    // A blended, textured quad over the whole window.
    EXPECT_EQ(glrec::callsNamed("glVertex2f").back(), glrec::call("glVertex2f", {0, 600}));
    EXPECT_LT(indexOf(glrec::call("glBlendFunc", {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA})),
              indexOfName("glTexCoord2d"));
}

TEST_F(FramePipeline, TheOverlayMultipliesTheFrameBySmoke) {
    sceneState.overlayPassEnabled = 1;
    frameAt(40.0);
    const size_t overlay = indexOf(glrec::call("glBlendFunc", {GL_ZERO, GL_SRC_COLOR}));
    ASSERT_LT(overlay, glrec::calls().size());
    EXPECT_GT(overlay, indexOfName("glNormal3f")) << "after the scene";
    EXPECT_EQ(lastBoundTextureId, sceneTextures[0].id);
    EXPECT_EQ(glrec::callsNamed("glVertex2f").back(), glrec::call("glVertex2f", {0, 600}));
}

TEST_F(FramePipeline, SunTogglesFollowTheSwitchesAndAreUndone) {
    sceneState.blendEnabled = 1;
    sceneState.cullEnabled = 0;
    frameAt(40.0);
    // (GL_ONE, GL_SRC_COLOR) from the blend indexes 1 and 6.
    const size_t blend = indexOf(glrec::call("glBlendFunc", {GL_ONE, GL_SRC_COLOR}));
    const size_t glow = indexOfName("glNormal3f");
    EXPECT_LT(blend, glow);
    EXPECT_TRUE(enabledAt(GL_BLEND, glow));
    EXPECT_FALSE(enabledAt(GL_CULL_FACE, glow));
    // The sun pass's blending is undone before the smoke sets its own.
    const size_t undone = indexOf(glrec::call("glDisable", {GL_BLEND}), glow);
    const size_t smokeBlend =
        indexOf(glrec::call("glBlendFunc", {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}), glow);
    EXPECT_LT(undone, smokeBlend);
    EXPECT_LT(smokeBlend, glrec::calls().size());
    EXPECT_FALSE(enabledAt(GL_CULL_FACE, glrec::calls().size()));
}

} // namespace
