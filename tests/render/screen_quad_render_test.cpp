// The screen quad on real GL: texture row 0 along the bottom of the window,
// texel (0, 0) in its bottom-left corner.
#include "render_target.h"
#include "textures/screen_quad.h"
#include "textures/texture.h"

#include <GL/gl.h>

namespace {

// Draws `kind` over the whole of a 64 × 64 window in window-pixel units.
void drawFullWindow(RenderTarget& target, TextureKind kind) {
    Texture texture;
    ASSERT_EQ(texture.generate(kind, 256, 256, GL_RGBA, 0), 0);
    glViewport(0, 0, target.width(), target.height());
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, target.width(), 0, target.height(), -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor4f(1, 1, 1, 1);
    glEnable(GL_TEXTURE_2D);
    texture.bind();
    drawScreenQuad(0, 0, static_cast<float>(target.width()), static_cast<float>(target.height()));
    glDisable(GL_TEXTURE_2D);
    glFinish();
}

TEST(ScreenQuadRender, TextureRowZeroLiesAlongTheBottom) {
    RenderTarget target(64, 64);
    ASSERT_TRUE(target.ready());
    drawFullWindow(target, TextureKind::GRADIENT);
    EXPECT_TRUE(colourNear(target.pixel(32, 0), {0, 0, 0}, 4));
    EXPECT_TRUE(colourNear(target.pixel(32, 63), {254, 254, 254}, 4));
    EXPECT_TRUE(colourNear(target.pixel(32, 32), {129, 129, 129}, 6));
    target.keepIfFailed("screen_quad_gradient");
}

TEST(ScreenQuadRender, TexelZeroZeroSitsInTheBottomLeftCorner) {
    RenderTarget target(64, 64);
    ASSERT_TRUE(target.ready());
    // CHECK is clear black in its bottom-left and top-right quarters.
    drawFullWindow(target, TextureKind::CHECK);
    EXPECT_TRUE(colourNear(target.pixel(8, 8), {0, 0, 0}, 0));
    EXPECT_TRUE(colourNear(target.pixel(56, 8), {255, 255, 255}, 0));
    EXPECT_TRUE(colourNear(target.pixel(8, 56), {255, 255, 255}, 0));
    EXPECT_TRUE(colourNear(target.pixel(56, 56), {0, 0, 0}, 0));
    target.keepIfFailed("screen_quad_check");
}

TEST(ScreenQuadRender, ZeroWidthDrawsNothing) {
    RenderTarget target(32, 32);
    ASSERT_TRUE(target.ready());
    glViewport(0, 0, 32, 32);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 32, 0, 32, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor4f(1, 1, 1, 1);
    drawScreenQuad(16, 0, 0, 32);
    glFinish();
    for (int x = 0; x < 32; ++x) {
        EXPECT_TRUE(colourNear(target.pixel(x, 16), {0, 0, 0}, 0)) << x;
    }
    target.keepIfFailed("screen_quad_zero_width");
}

} // namespace
