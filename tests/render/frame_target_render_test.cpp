// Where frames land, on Mesa: a canvas takes the frame and is copied whole to
// the surface, follows the client size keeping its picture top-left, and
// gives way to the surface when it cannot be made; and which framebuffer
// objects a context has.
#include "app/frame_target.h"
#include "app/render_context.h"
#include "fake_platform.h"
#include "render_target.h"

#include <EGL/egl.h>
#include <GL/gl.h>

namespace {

const Rgb red = {255, 0, 0};
const Rgb green = {0, 255, 0};
const Rgb black = {0, 0, 0};
const Rgb white = {255, 255, 255};

// Fills a rectangle of whatever is bound; the clear colour stays black.
void fill(int x, int y, int w, int h, const Rgb& c) {
    glEnable(GL_SCISSOR_TEST);
    glScissor(x, y, w, h);
    glClearColor(c.r / 255.0f, c.g / 255.0f, c.b / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glDisable(GL_SCISSOR_TEST);
}

// A window whose swaps lose the frame, of `width` x `height` client pixels,
// over a surface painted white.
void startCanvas(int width, int height) {
    fake::State& fakes = fake::reset();
    fakes.swapKeepsBackBuffer = false;
    for (const char* name :
         {"glGenFramebuffers", "glDeleteFramebuffers", "glBindFramebuffer", "glGenRenderbuffers",
          "glDeleteRenderbuffers", "glBindRenderbuffer", "glRenderbufferStorage",
          "glFramebufferRenderbuffer", "glCheckFramebufferStatus", "glBlitFramebuffer"}) {
        fakes.glEntryPoints[name] = eglGetProcAddress(name);
    }
    fill(0, 0, 64, 48, white);
    renderContext = RenderContext{};
    renderContext.clientWidth = width;
    renderContext.clientHeight = height;
    ChooseFrameTarget();
}

TEST(FrameTargetRender, TheCanvasFollowsTheClientSizeAndIsCopiedWholeToTheSurface) {
    RenderTarget target(64, 48);
    ASSERT_TRUE(target.ready());
    startCanvas(48, 32);
    ASSERT_TRUE(FrameTargetIsCanvas());
    BindFrameTarget();
    fill(0, 0, 48, 32, red);
    fill(0, 16, 24, 16, green); // the top-left quarter
    PresentFrame();
    EXPECT_TRUE(colourNear(target.pixel(5, 28), green, 0));
    EXPECT_TRUE(colourNear(target.pixel(40, 5), red, 0));
    EXPECT_TRUE(colourNear(target.pixel(60, 40), white, 0)) << "beyond the canvas";

    // Grown to the whole surface: the picture stays at the top left, what is
    // new starts black, and the whole canvas is copied.
    renderContext.clientWidth = 64;
    renderContext.clientHeight = 48;
    BindFrameTarget();
    PresentFrame();
    EXPECT_TRUE(colourNear(target.pixel(5, 44), green, 0));
    EXPECT_TRUE(colourNear(target.pixel(40, 21), red, 0));
    EXPECT_TRUE(colourNear(target.pixel(60, 40), black, 0)) << "a new column";
    EXPECT_TRUE(colourNear(target.pixel(10, 8), black, 0)) << "a new row";
    target.keepIfFailed("frame-target-resize");
    ReleaseFrameTarget();
}

TEST(FrameTargetRender, ACanvasTooLargeToMakeLeavesFramesOnTheSurface) {
    RenderTarget target(64, 48);
    ASSERT_TRUE(target.ready());
    startCanvas(64, 48);
    renderContext.clientWidth = 1 << 20; // beyond any implementation's largest buffer
    BindFrameTarget();
    EXPECT_FALSE(FrameTargetIsCanvas());
    while (glGetError() != GL_NO_ERROR) {
    }
    fill(0, 0, 64, 48, green);
    PresentFrame();
    EXPECT_TRUE(colourNear(target.pixel(30, 30), green, 0));
}

TEST(FrameTargetRender, FramebufferObjectsWithABlitAreFoundByVersionOrExtension) {
    EXPECT_STREQ(framebufferNameSuffix("4.5 (Compatibility Profile) Mesa 22.3.6", ""), "");
    EXPECT_STREQ(framebufferNameSuffix("2.1", "GL_ARB_framebuffer_object"), "");
    EXPECT_STREQ(framebufferNameSuffix("2.1", "GL_EXT_framebuffer_object GL_EXT_framebuffer_blit"),
                 "EXT");
    EXPECT_EQ(framebufferNameSuffix("2.1", "GL_EXT_framebuffer_object"), nullptr) << "no blit";
    EXPECT_EQ(framebufferNameSuffix("1.1.0", "GL_EXT_framebuffer_object_x GL_EXT_framebuffer_blit"),
              nullptr);
    EXPECT_EQ(framebufferNameSuffix(nullptr, nullptr), nullptr);
}

} // namespace
