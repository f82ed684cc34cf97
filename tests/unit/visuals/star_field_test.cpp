// The star field: what its list holds, in which order it takes its random
// numbers, how it draws its layers, and that impossible sizes leave it empty.
#include "visuals/star_field.h"

#include "gl_recorder.h"
#include "scene/camera.h"
#include "scripted_draws.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

using glrec::call;
using Calls = std::vector<glrec::Call>;

using namespace coordinate_draw;

void expectCallNear(const glrec::Call& actual, const glrec::Call& expected) {
    ASSERT_STREQ(actual.name, expected.name);
    ASSERT_EQ(actual.argc, expected.argc);
    for (int i = 0; i < actual.argc; ++i) {
        EXPECT_NEAR(actual.arg(i), expected.arg(i), 1e-12)
            << glrec::str(actual) << " argument " << i;
    }
}

// A field of outer half-extent 1.
void shapeField(StarField& field, int shape, double innerSize) {
    field.size = 2.0;
    field.innerSize = innerSize;
    field.shape = shape;
}

TEST(StarField, ListHoldsOneColouredPointPerStarOfALayer) {
    StarField field;
    field.starCount = 10;
    field.layers = 2;
    randomSeed(1);
    glrec::reset();
    field.build();

    EXPECT_EQ(field.listId, 1u);
    const Calls& calls = glrec::calls();
    ASSERT_GE(calls.size(), 4u);
    EXPECT_EQ(calls[0], call("glGenLists", {1}));
    EXPECT_EQ(calls[1], call("glNewList", {1, GL_COMPILE}));
    EXPECT_EQ(calls[2], call("glBegin", {GL_POINTS}));
    EXPECT_EQ(calls[calls.size() - 2], call("glEnd"));
    EXPECT_EQ(calls.back(), call("glEndList"));
    EXPECT_EQ(glrec::count("glVertex3d"), 5) << "10 stars over 2 layers";
    EXPECT_EQ(glrec::count("glColor3d"), 5);
    for (std::size_t i = 2; i + 1 < calls.size(); ++i) {
        EXPECT_TRUE(calls[i].compiled) << glrec::str(calls[i]) << " is outside the list";
    }
    // Every star lies in the cube of edge 2, each channel in [0.3, 1.0).
    for (const glrec::Call& v : glrec::callsNamed("glVertex3d")) {
        for (int i = 0; i < 3; ++i) {
            EXPECT_GE(v.arg(i), -1.0);
            EXPECT_LT(v.arg(i), 1.0);
        }
    }
    for (const glrec::Call& c : glrec::callsNamed("glColor3d")) {
        for (int i = 0; i < 3; ++i) {
            EXPECT_GE(c.arg(i), 0.3);
            EXPECT_LT(c.arg(i), 1.0);
        }
    }

    // Fewer stars than layers: an empty list.
    field.starCount = 1;
    glrec::reset();
    field.build();
    EXPECT_EQ(glrec::count("glBegin"), 1);
    EXPECT_EQ(glrec::count("glVertex3d"), 0);
    EXPECT_EQ(glrec::count("glEndList"), 1);
}

TEST(StarField, CubeShellTakesPositionThenBlueGreenRed) {
    StarField field;
    shapeField(field, 1, 0.5); // inner half-extent 0.26
    field.starCount = 2;
    ScriptedDraws draws({
        // Star 1: all three inside ±0.26, drawn again; then only z outside.
        centre, centre + 4096, centre - 4096, // (0, 0.25, −0.25)
        centre, centre, plusHalfR,            // (0, 0, 0.5)
        3276,                                 // 0.09998: below 0.1, strongly coloured
        0, centre, minusHalfR,                // blue, green, red
        // Star 2: x outside is enough.
        minusHalfR, centre, centre, // (−0.5, 0, 0)
        3277,                       // 0.10001: pale
        32767, centre, 0,           // blue, green, red
    });
    glrec::reset();
    field.build();
    EXPECT_EQ(draws.taken(), 17u);

    const Calls colours = glrec::callsNamed("glColor3d");
    const Calls vertices = glrec::callsNamed("glVertex3d");
    ASSERT_EQ(colours.size(), 2u);
    ASSERT_EQ(vertices.size(), 2u);
    // Coloured: base 0.3 (dimLevel) plus up to 0.7 (brightLevel).
    expectCallNear(colours[0], call("glColor3d", {0.3 + 0.7 * 0.25, 0.3 + 0.7 * 0.5, 0.3}));
    expectCallNear(vertices[0], call("glVertex3d", {0, 0, 0.5}));
    // Pale: base 0.7 plus up to 0.3.
    expectCallNear(colours[1],
                   call("glColor3d", {0.7, 0.7 + 0.3 * 0.5, 0.7 + 0.3 * 32767.0 / 32768.0}));
    expectCallNear(vertices[1], call("glVertex3d", {-0.5, 0, 0}));
}

TEST(StarField, CubeShellRejectsOnlyPointsWithAllThreeCoordinatesInside) {
    // innerSize 0: the inner half-extent is 0.01; 163 steps of 1/16384 lie
    // inside it, 164 steps outside.
    StarField field;
    shapeField(field, 1, 0.0);
    field.starCount = 1;
    ScriptedDraws draws({
        centre + 163, centre - 163, centre + 163, // all inside: again
        centre, centre, centre - 164,             // z at −0.01001: taken
        centre, 0, 0, 0,                          // colour
    });
    glrec::reset();
    field.build();
    EXPECT_EQ(draws.taken(), 10u);
    expectCallNear(glrec::callsNamed("glVertex3d").at(0),
                   call("glVertex3d", {0, 0, -164.0 / 16384}));
}

TEST(StarField, SphericalShellsKeepTheirBoundsAndTheUpperHalfItsSign) {
    const std::vector<int> colour = {centre, 0, 0, 0};
    {
        // Upper half shell, inner half-extent 0.01, outer 1.
        StarField field;
        shapeField(field, 2, 0.0);
        field.starCount = 1;
        ScriptedDraws draws({
            centre, centre, centre,     // the centre: inside the inner sphere
            centre, minusHalfR, centre, // (0, −0.5, 0): below the middle plane
            minusR, minusR, minusR,     // (−1, −1, −1): outside the outer sphere
            minusR, centre, centre,     // (−1, 0, 0): on the outer sphere, y = 0
        });
        draws.add(colour);
        glrec::reset();
        field.build();
        EXPECT_EQ(draws.taken(), 16u);
        expectCallNear(glrec::callsNamed("glVertex3d").at(0), call("glVertex3d", {-1, 0, 0}));
    }
    for (int shape : {0, 3, -1}) {
        // A whole shell takes the lower half too.
        StarField field;
        shapeField(field, shape, 0.0);
        field.starCount = 1;
        ScriptedDraws draws({centre, centre, centre, centre, minusHalfR, centre});
        draws.add(colour);
        glrec::reset();
        field.build();
        EXPECT_EQ(draws.taken(), 10u) << "shape " << shape;
        expectCallNear(glrec::callsNamed("glVertex3d").at(0), call("glVertex3d", {0, -0.5, 0}));
    }
}

TEST(StarField, InnerSizeIsLoweredToNineTenthsOfTheSize) {
    StarField field;
    shapeField(field, 1, 1.95);
    field.starCount = 1;
    // The inner half-extent is now 0.91: 0.9 is inside, 0.92 outside.
    ScriptedDraws draws({
        centre + 14746,
        centre,
        centre, // x = 0.90002
        centre + 15073,
        centre,
        centre, // x = 0.91998
        centre,
        0,
        0,
        0,
    });
    glrec::reset();
    field.build();
    EXPECT_DOUBLE_EQ(field.innerSize, 1.8);
    EXPECT_EQ(draws.taken(), 10u);
    EXPECT_EQ(glrec::count("glVertex3d"), 1);
}

TEST(StarField, LayersTurnByAnEqualShareOfAFullTurnWithGrowingPoints) {
    StarField field;
    glrec::reset();
    field.build();
    const Camera camera;

    glrec::reset();
    field.draw(camera);
    EXPECT_EQ(glrec::calls(), (Calls{
                                  call("glBlendFunc", {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}),
                                  call("glEnable", {GL_BLEND}),
                                  call("glDisable", {GL_DEPTH_TEST}),
                                  call("glDepthMask", {GL_FALSE}),
                                  call("glPushMatrix"),
                                  call("glRotatef", {360, 0, 1, 0}),
                                  call("glPointSize", {1}),
                                  call("glCallList", {1}),
                                  call("glPopMatrix"),
                                  call("glDisable", {GL_BLEND}),
                              }));

    field.layers = 2;
    field.blend = 0;
    field.depthTest = 1;
    field.depthWrite = 1;
    glrec::reset();
    field.draw(camera);
    EXPECT_EQ(glrec::calls(), (Calls{
                                  call("glEnable", {GL_DEPTH_TEST}),
                                  call("glDepthMask", {GL_TRUE}),
                                  call("glPushMatrix"),
                                  call("glRotatef", {180, 0, 1, 0}),
                                  call("glPointSize", {1}),
                                  call("glCallList", {1}),
                                  call("glRotatef", {180, 0, 1, 0}),
                                  call("glPointSize", {2}),
                                  call("glCallList", {1}),
                                  call("glPopMatrix"),
                                  call("glDisable", {GL_DEPTH_TEST}),
                              }));
    EXPECT_EQ(glrec::modelview(), glrec::Matrix({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}));

    // Three layers: the turn is 120 degrees in single precision.
    field.layers = 3;
    glrec::reset();
    field.draw(camera);
    EXPECT_EQ(glrec::count("glRotatef"), 3);
    EXPECT_EQ(glrec::callsNamed("glRotatef")[2], call("glRotatef", {120, 0, 1, 0}));
    EXPECT_EQ(glrec::callsNamed("glPointSize")[2], call("glPointSize", {3}));
}

TEST(StarField, FollowingTheCameraCentresTheFieldOnTheEye) {
    StarField field;
    field.build();
    field.followCamera = 1;
    Camera camera;
    camera.transform.position.set(0.5f, -1.0f, 2.0f);
    glrec::reset();
    field.draw(camera);
    const Calls& calls = glrec::calls();
    ASSERT_GE(calls.size(), 6u);
    EXPECT_EQ(calls[4], call("glPushMatrix"));
    EXPECT_EQ(calls[5], call("glTranslatef", {0.5, -1, 2}));
}

TEST(StarField, WithoutAListNothingIsDrawn) {
    StarField field;
    const Camera camera;
    glrec::reset();
    field.draw(camera);
    EXPECT_TRUE(glrec::calls().empty()) << "before build";

    field.build();
    field.release();
    EXPECT_EQ(field.listId, 0u);
    glrec::reset();
    field.draw(camera);
    field.release();
    EXPECT_TRUE(glrec::calls().empty()) << "after release, and a second release";

    glrec::reset();
    glrec::failNextGenLists();
    field.build();
    EXPECT_EQ(field.listId, 0u);
    EXPECT_EQ(glrec::count("glNewList"), 0);
    glrec::reset();
    field.draw(camera);
    EXPECT_TRUE(glrec::calls().empty()) << "when GL gave no list name";
}

TEST(StarField, ASecondBuildReplacesTheFirstList) {
    glrec::reset();
    {
        StarField field;
        field.build();
        field.build();
        EXPECT_EQ(field.listId, 2u);
        const Calls deletions = glrec::callsNamed("glDeleteLists");
        ASSERT_EQ(deletions.size(), 1u);
        EXPECT_EQ(deletions[0], call("glDeleteLists", {1, 1}));
        // Deleted before the new name is asked for.
        const Calls& calls = glrec::calls();
        std::size_t deleteAt = 0;
        std::size_t secondGenAt = 0;
        for (std::size_t i = 0; i < calls.size(); ++i) {
            if (calls[i] == deletions[0]) {
                deleteAt = i;
            } else if (std::string(calls[i].name) == "glGenLists") {
                secondGenAt = i;
            }
        }
        EXPECT_LT(deleteAt, secondGenAt);
        glrec::reset();
    }
    EXPECT_EQ(glrec::calls(), (Calls{call("glDeleteLists", {2, 1})})) << "the destructor";
}

// Sizes the field cannot be built with: it stays empty instead of looping.

TEST(StarField, FewerThanOneLayerCountsAsOne) {
    const Camera camera;
    for (int layers : {0, -3}) {
        StarField field;
        field.starCount = 4;
        field.layers = layers;
        glrec::reset();
        field.build();
        EXPECT_EQ(glrec::count("glVertex3d"), 4) << layers << " layers";
        glrec::reset();
        field.draw(camera);
        EXPECT_EQ(glrec::callsNamed("glRotatef"), (Calls{call("glRotatef", {360, 0, 1, 0})}));
        EXPECT_EQ(glrec::callsNamed("glPointSize"), (Calls{call("glPointSize", {1})}));
        EXPECT_EQ(field.layers, layers) << "the field keeps what it was given";
    }
}

TEST(StarField, AnInnerRegionReachingTheOuterEdgeLeavesTheFieldEmpty) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        double size;
        double innerSize;
    };
    // 0.1 with 0.09: inner half-extent 0.055, outer 0.05. 0.2 with 0.18: both
    // 0.1. Size 0: the inner half-extent is never below 0.01.
    const Case cases[] = {{0.1, 0.09}, {0.2, 0.18}, {0.0, 0.0}, {nan, 0.0}, {2.0, nan}};
    const Camera camera;
    for (int shape : {1, 2, 0}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(::testing::Message()
                         << "shape " << shape << ", size " << c.size << ", inner " << c.innerSize);
            StarField field;
            field.shape = shape;
            glrec::reset();
            field.build(); // an earlier field, to be replaced by nothing
            field.size = c.size;
            field.innerSize = c.innerSize;
            ScriptedDraws none({});
            glrec::reset();
            field.build();
            EXPECT_EQ(field.listId, 0u);
            EXPECT_EQ(glrec::calls(), (Calls{call("glDeleteLists", {1, 1})}));
            glrec::reset();
            field.draw(camera);
            EXPECT_TRUE(glrec::calls().empty());
        }
    }

    // A sphere's inner radius counts by its size whatever its sign.
    StarField field;
    shapeField(field, 0, -10.02);
    ScriptedDraws none({});
    glrec::reset();
    field.build();
    EXPECT_EQ(field.listId, 0u);
    EXPECT_EQ(glrec::count("glGenLists"), 0);
}

TEST(StarField, AThinShellJustInsideTheOuterEdgeIsStillBuilt) {
    // Half-extents 0.095 and 0.1: only the faces' last steps are outside.
    StarField field;
    field.size = 0.2;
    field.innerSize = 0.17;
    field.starCount = 1;
    ScriptedDraws draws({minusR, centre, centre, centre, 0, 0, 0});
    glrec::reset();
    field.build();
    EXPECT_EQ(field.listId, 1u);
    expectCallNear(glrec::callsNamed("glVertex3d").at(0),
                   call("glVertex3d", {-static_cast<double>(0.1f), 0, 0}));
}

} // namespace
