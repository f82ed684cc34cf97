// The light, material and fog records: the exact calls each sends to GL.
#include "gl_recorder.h"
#include "visuals/fog.h"
#include "visuals/light.h"
#include "visuals/material.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using glrec::call;
using Calls = std::vector<glrec::Call>;

TEST(Fog, DefaultsGiveBlackLinearFogFromPointTwoToTwo) {
    const Fog fog;
    glrec::reset();
    fog.apply();
    EXPECT_EQ(glrec::calls(), (Calls{
                                  call("glFogi", {GL_FOG_MODE, GL_LINEAR}),
                                  call("glHint", {GL_FOG_HINT, GL_NICEST}),
                                  call("glFogfv", {GL_FOG_COLOR, 0, 0, 0, 1}),
                                  call("glFogf", {GL_FOG_START, 0.2f}),
                                  call("glFogf", {GL_FOG_END, 2.0f}),
                              }));
}

TEST(Light, ApplyPlacesTheLightAtItsLocationAndKeepsW) {
    Light light;
    glrec::reset();
    light.apply();
    EXPECT_EQ(glrec::calls(), (Calls{
                                  call("glLightfv", {GL_LIGHT0, GL_POSITION, 1, 1, 1, 1}),
                                  call("glLightfv", {GL_LIGHT0, GL_SPOT_DIRECTION, 0, 0, 0}),
                              }));

    // Whatever `position` held is replaced, except w: a directional light
    // stays directional.
    light.position[0] = 7.0f;
    light.position[3] = 0.0f;
    light.location[0] = 0.0f;
    light.location[1] = -2.0f;
    light.location[2] = 3.0f;
    glrec::reset();
    light.apply();
    EXPECT_EQ(glrec::calls()[0], call("glLightfv", {GL_LIGHT0, GL_POSITION, 0, -2, 3, 0}));
    EXPECT_EQ(light.position[0], 0.0f);

    glrec::reset();
    light.move(4.0f, 5.0f, 6.0f);
    EXPECT_EQ(glrec::calls()[0], call("glLightfv", {GL_LIGHT0, GL_POSITION, 4, 5, 6, 0}));
    EXPECT_EQ(light.location[2], 6.0f);
}

TEST(Light, IndexThreeIsLightThreeInEveryCall) {
    Light light;
    light.index = 3;
    const Material material;
    glrec::reset();
    light.enable();
    material.apply(light);

    EXPECT_EQ(glrec::calls()[2], call("glEnable", {GL_LIGHT3}))
        << "enable places the light before switching it on";
    int lightCalls = 0;
    for (const glrec::Call& c : glrec::calls()) {
        const std::string name = c.name;
        if (name == "glLightfv" || name == "glLightf" || name == "glEnable") {
            EXPECT_EQ(c.arg(0), GL_LIGHT3) << glrec::str(c);
            ++lightCalls;
        }
    }
    EXPECT_EQ(lightCalls, 8) << "position, spot direction, enable and five colour terms";
}

TEST(Material, DefaultsWithAWhiteLightSendEveryTermInOrder) {
    const Light light;
    const Material material;
    glrec::reset();
    material.apply(light);
    EXPECT_EQ(glrec::calls(),
              (Calls{
                  call("glLightModelfv", {GL_LIGHT_MODEL_AMBIENT, 0.25, 0.25, 0.25, 1}),
                  call("glMaterialfv", {GL_FRONT_AND_BACK, GL_SPECULAR, 0.99f, 0.99f, 0.99f, 1}),
                  call("glLightfv", {GL_LIGHT0, GL_AMBIENT, 0.25, 0.25, 0.25, 1}),
                  call("glLightfv", {GL_LIGHT0, GL_DIFFUSE, 0.5, 0.5, 0.5, 1}),
                  call("glLightfv", {GL_LIGHT0, GL_SPECULAR, 0.75, 0.75, 0.75, 1}),
                  call("glLightf", {GL_LIGHT0, GL_SPOT_EXPONENT, 1}),
                  call("glLightf", {GL_LIGHT0, GL_SPOT_CUTOFF, 180}),
                  call("glMateriali", {GL_FRONT_AND_BACK, GL_SHININESS, 20}),
              }));
}

TEST(Material, ChannelsCombineByNameWithTheLights) {
    // A yellow light: no blue in any term.
    Light yellow;
    yellow.red = 1.0f;
    yellow.green = 1.0f;
    yellow.blue = 0.0f;
    Material material;
    glrec::reset();
    material.apply(yellow);
    EXPECT_EQ(glrec::calls()[0],
              call("glLightModelfv", {GL_LIGHT_MODEL_AMBIENT, 0.25, 0.25, 0, 1}));
    EXPECT_EQ(glrec::calls()[1],
              call("glMaterialfv", {GL_FRONT_AND_BACK, GL_SPECULAR, 0.99f, 0.99f, 0, 1}));
    EXPECT_EQ(glrec::calls()[3], call("glLightfv", {GL_LIGHT0, GL_DIFFUSE, 0.5, 0.5, 0, 1}));

    // Every channel different, on both sides, with the scene's levels.
    Light tinted;
    tinted.red = 0.5f;
    tinted.green = 0.25f;
    tinted.blue = 1.0f;
    material.red = 1.0f;
    material.green = 0.5f;
    material.blue = 0.25f;
    material.setLevels(0.4f, 0.7f, 0.99f, 1.0f);
    glrec::reset();
    material.apply(tinted);
    EXPECT_EQ(glrec::calls()[0], call("glLightModelfv", {GL_LIGHT_MODEL_AMBIENT, 0.4f * 0.5f,
                                                         0.4f * 0.125f, 0.4f * 0.25f, 1}));
    EXPECT_EQ(glrec::calls()[1],
              call("glMaterialfv", {GL_FRONT_AND_BACK, GL_SPECULAR, 0.5, 0.125, 0.25, 1}));
    EXPECT_EQ(glrec::calls()[3], call("glLightfv", {GL_LIGHT0, GL_DIFFUSE, 0.7f * 0.5f,
                                                    0.7f * 0.125f, 0.7f * 0.25f, 1}));
    EXPECT_EQ(glrec::calls()[4], call("glLightfv", {GL_LIGHT0, GL_SPECULAR, 0.99f * 0.5f,
                                                    0.99f * 0.125f, 0.99f * 0.25f, 1}));
}

// A caller's mistake stops a debug build at once.

TEST(LightDeathTest, AnIndexOutsideTheEightLightsStopsADebugBuild) {
#ifdef NDEBUG
    GTEST_SKIP() << "the light index is checked in debug builds only";
#else
    Light light;
    light.index = 8;
    EXPECT_DEATH(light.apply(), "light index out of range");
    light.index = -1;
    EXPECT_DEATH(light.enable(), "light index out of range");
#endif
}

} // namespace
