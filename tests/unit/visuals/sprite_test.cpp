// The camera-facing square: its corners follow the camera's axes, not the
// modelview matrix, and only its half-width sizes it; its box on the window.
#include "visuals/sprite.h"

#include "gl_recorder.h"
#include "scene/camera.h"
#include "scene/viewport_layout.h"
#include "scene/window_projection.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using glrec::call;
using Calls = std::vector<glrec::Call>;

// A camera whose axes are read from an identity modelview: looking along −z.
Camera identityView() {
    Camera camera;
    glrec::reset();
    camera.readBasis();
    return camera;
}

TEST(Sprite, IdentityViewGivesAnUprightSquareFacingPlusZ) {
    const Camera camera = identityView();
    Sprite sprite;
    sprite.halfWidth = 0.5f;
    glrec::reset();
    sprite.drawFacing(camera);
    EXPECT_EQ(glrec::calls(), (Calls{
                                  call("glPushMatrix"),
                                  call("glNormal3f", {0, 0, 1}),
                                  call("glBegin", {GL_QUADS}),
                                  call("glTexCoord2f", {0, 0}),
                                  call("glVertex3f", {-0.5, -0.5, 0}),
                                  call("glTexCoord2f", {1, 0}),
                                  call("glVertex3f", {0.5, -0.5, 0}),
                                  call("glTexCoord2f", {1, 1}),
                                  call("glVertex3f", {0.5, 0.5, 0}),
                                  call("glTexCoord2f", {0, 1}),
                                  call("glVertex3f", {-0.5, 0.5, 0}),
                                  call("glEnd"),
                                  call("glPopMatrix"),
                              }));
}

TEST(Sprite, HalfHeightPlaysNoPartInTheFacingSquare) {
    const Camera camera = identityView();
    Sprite sprite;
    sprite.halfWidth = 0.05f;
    sprite.halfHeight = 2.0f;
    glrec::reset();
    sprite.drawFacing(camera);
    EXPECT_EQ(glrec::callsNamed("glVertex3f"), (Calls{
                                                   call("glVertex3f", {-0.05f, -0.05f, 0}),
                                                   call("glVertex3f", {0.05f, -0.05f, 0}),
                                                   call("glVertex3f", {0.05f, 0.05f, 0}),
                                                   call("glVertex3f", {-0.05f, 0.05f, 0}),
                                               }));
}

TEST(Sprite, CornersFollowTheCamerasAxesWhereverItLooks) {
    // Looking along −x from +x: right is −z, up is y, back is +x.
    Camera camera;
    camera.transform.position.set(2.0f, 0.0f, 0.0f);
    glrec::reset();
    camera.lookAtTarget();
    Sprite sprite;
    sprite.halfWidth = 0.25f;
    glrec::reset();
    glTranslatef(0.0f, 0.0f, -3.0f); // the modelview plays no part
    sprite.drawFacing(camera);
    const Calls vertices = glrec::callsNamed("glVertex3f");
    ASSERT_EQ(vertices.size(), 4u);
    const double expected[4][3] = {
        {0, -0.25, 0.25}, {0, -0.25, -0.25}, {0, 0.25, -0.25}, {0, 0.25, 0.25}};
    for (int corner = 0; corner < 4; ++corner) {
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(vertices[corner].arg(i), expected[corner][i], 1e-6)
                << "corner " << corner << ", axis " << i;
        }
    }
    const glrec::Call normal = glrec::callsNamed("glNormal3f").at(0);
    EXPECT_NEAR(normal.arg(0), 1.0, 1e-6);
    EXPECT_NEAR(normal.arg(2), 0.0, 1e-6);
    EXPECT_EQ(glrec::count("glPushMatrix"), glrec::count("glPopMatrix"));
}

TEST(Sprite, TheFacingBoxHoldsTheSquareOnTheWindow) {
    // 800 by 600 pixels, 90 degrees high, from (0, 0, 4): at the origin a
    // unit is 75 pixels, so the square of half-size 0.5 spans 362.5 to 437.5
    // across and 262.5 to 337.5 up.
    ViewportLayout layout;
    layout.setWindowSize(800, 600);
    layout.relayout();
    layout.selectViewport(0);
    Camera& camera = layout.slots[0].camera;
    camera.perspective(layout);
    camera.transform.position.set(0.0f, 0.0f, 4.0f);
    camera.lookAtTarget();
    Sprite sprite;
    sprite.halfWidth = 0.5f;
    double nearest = 0.0;
    const PixelBox box =
        sprite.facingBox(camera, WindowProjection(camera, layout.slots[0]), 1.0, nearest);
    // Pixel centres within 1 of the square: 361.5 to 438.5, 261.5 to 338.5.
    EXPECT_EQ(box.x0, 361);
    EXPECT_EQ(box.x1, 439);
    EXPECT_EQ(box.y0, 261);
    EXPECT_EQ(box.y1, 339);
    EXPECT_NEAR(nearest, 4.0, 1e-6);
}

} // namespace
