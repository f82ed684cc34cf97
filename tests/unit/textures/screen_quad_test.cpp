// The screen quad: four vertices, each after its texture coordinate, and no
// state of its own.
#include "gl_recorder.h"
#include "textures/screen_quad.h"

#include <gtest/gtest.h>

namespace {

using glrec::call;

TEST(ScreenQuad, StretchesTheTextureOnceCounterClockwiseFromTheBottomLeft) {
    glrec::reset();
    drawScreenQuad(10.0f, 20.0f, 640.0f, 480.0f);
    const std::vector<glrec::Call> expected = {
        call("glBegin", {GL_QUADS}),    call("glTexCoord2d", {0, 0}),
        call("glVertex2f", {10, 20}),   call("glTexCoord2d", {1, 0}),
        call("glVertex2f", {650, 20}),  call("glTexCoord2d", {1, 1}),
        call("glVertex2f", {650, 500}), call("glTexCoord2d", {0, 1}),
        call("glVertex2f", {10, 500}),  call("glEnd"),
    };
    EXPECT_EQ(glrec::calls(), expected);
}

TEST(ScreenQuad, ZeroExtentGivesADegenerateQuad) {
    glrec::reset();
    drawScreenQuad(5.0f, 5.0f, 0.0f, 100.0f);
    const std::vector<glrec::Call> vertices = glrec::callsNamed("glVertex2f");
    ASSERT_EQ(vertices.size(), 4u);
    for (const glrec::Call& vertex : vertices) {
        EXPECT_EQ(vertex.arg(0), 5.0);
    }
}

} // namespace
