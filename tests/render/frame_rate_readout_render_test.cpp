// The frame-rate readout on Mesa: white digits on a black box in the lower
// left corner, nothing drawn outside the box, and every GL state the scene
// had before it as it was, so the next frame is drawn exactly as without it.
#include "app/frame_rate_readout.h"
#include "fake_platform.h"
#include "render_target.h"

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace {

constexpr int width = 200;
constexpr int height = 100;

// The state the readout must leave alone, read back from GL.
struct GlState {
    std::array<GLboolean, 10> enabled{};
    std::array<GLint, 4> viewport{};
    GLint matrixMode = 0;
    std::array<GLfloat, 16> projection{};
    std::array<GLfloat, 16> modelview{};
    std::array<GLfloat, 4> colour{};
    std::array<GLfloat, 4> diffuse{};

    static GlState read() {
        GlState s;
        const GLenum capabilities[] = {
            GL_LIGHTING,   GL_COLOR_MATERIAL, GL_TEXTURE_2D, GL_FOG,          GL_BLEND,
            GL_ALPHA_TEST, GL_DEPTH_TEST,     GL_CULL_FACE,  GL_SCISSOR_TEST, GL_LIGHT0};
        for (std::size_t i = 0; i < s.enabled.size(); ++i) {
            s.enabled[i] = glIsEnabled(capabilities[i]);
        }
        glGetIntegerv(GL_VIEWPORT, s.viewport.data());
        glGetIntegerv(GL_MATRIX_MODE, &s.matrixMode);
        glGetFloatv(GL_PROJECTION_MATRIX, s.projection.data());
        glGetFloatv(GL_MODELVIEW_MATRIX, s.modelview.data());
        glGetFloatv(GL_CURRENT_COLOR, s.colour.data());
        glGetMaterialfv(GL_FRONT, GL_DIFFUSE, s.diffuse.data());
        return s;
    }

    bool operator==(const GlState& o) const {
        return enabled == o.enabled && viewport == o.viewport && matrixMode == o.matrixMode &&
               projection == o.projection && modelview == o.modelview && colour == o.colour &&
               diffuse == o.diffuse;
    }
};

TEST(FrameRateReadoutRender, DrawsInItsBoxAndLeavesTheScenesStateAsItWas) {
    RenderTarget target(width, height);
    ASSERT_TRUE(target.ready());

    // A grey picture, then the state of a frame in the middle of the scene:
    // lit, textured, fogged, blended, tested, a letterboxed viewport, turned
    // matrices and a colour tracked by the material.
    glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    for (GLenum capability : {GL_LIGHTING, GL_COLOR_MATERIAL, GL_TEXTURE_2D, GL_FOG, GL_BLEND,
                              GL_ALPHA_TEST, GL_DEPTH_TEST, GL_CULL_FACE, GL_SCISSOR_TEST}) {
        glEnable(capability);
    }
    glScissor(0, 30, width, 40);
    glViewport(0, 30, width, 40);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-1, 1, -0.2, 0.2, 1, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(30.0f, 0.0f, 1.0f, 0.0f);
    glMatrixMode(GL_TEXTURE); // an unusual mode, to see it come back
    glColor4f(0.2f, 0.4f, 0.6f, 0.8f);
    const GlState before = GlState::read();

    drawReadoutText("60.0 fps", 2, 2, 2, width, height);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_TRUE(GlState::read() == before) << "a state the readout changed was not restored";

    // The box: one cell of border, 8 characters of 6 cells, 9 cells high, at
    // (2, 2) with cells of 2 pixels: x 2 to 99, y 2 to 19.
    const Rgb grey{128, 128, 128};
    const Rgb white{255, 255, 255};
    const Rgb black{0, 0, 0};
    EXPECT_TRUE(colourNear(target.pixel(2, 2), black, 0)) << "the box's corner";
    EXPECT_TRUE(colourNear(target.pixel(99, 19), black, 0)) << "the box's far corner";
    EXPECT_TRUE(colourNear(target.pixel(100, 10), grey, 1)) << "right of the box";
    EXPECT_TRUE(colourNear(target.pixel(10, 20), grey, 1)) << "above the box";
    EXPECT_TRUE(colourNear(target.pixel(150, 60), grey, 1)) << "the rest of the picture";
    // The top row of '6' lights its middle columns: cells 3 and 4 from the
    // box's left edge, row 8 from its bottom.
    EXPECT_TRUE(colourNear(target.pixel(2 + 3 * 2, 2 + 7 * 2), white, 0)) << "a lit cell of '6'";
    EXPECT_TRUE(colourNear(target.pixel(2 + 1 * 2, 2 + 7 * 2), black, 0)) << "a dark cell of '6'";
    // The '.' (the fourth character) is a 2x2 block of cells at the bottom.
    EXPECT_TRUE(colourNear(target.pixel(2 + (1 + 3 * 6 + 1) * 2, 2 + 1 * 2), white, 0)) << "'.'";
    target.keepIfFailed("frame_rate_readout");
}

// The stock XScreenSaver hacks' readouts have digits 18 pixels high in any
// window of 180 rows or more (measured on their -fps under Xvfb, 320x180 to
// 1920x1080). haze's digits stand at least as tall there, scaled by whole
// pixels (pure black and white, a height of whole cells), and its box keeps
// to the bottom fifth of smaller windows too.
TEST(FrameRateReadoutRender, ReadsAsLargeAsTheStockReadoutsAndStaysCrisp) {
    fake::State& fakes = fake::reset();
    ShowFrameRateReadout(true);
    for (const auto& [width, height] :
         {std::pair{1280, 720}, std::pair{640, 360}, std::pair{1920, 1080}, std::pair{320, 180},
          std::pair{3840, 2160}, std::pair{160, 100}}) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        RenderTarget target(width, height);
        ASSERT_TRUE(target.ready());
        glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        // A second's frames, so the readout has a rate to show.
        for (int frame = 0; frame <= 2; ++frame) {
            fakes.tick += 600;
            DrawFrameRateReadout(width, height);
        }

        // The box is in the lower left corner: its top, and the rectangle
        // its white digits span.
        const int columns = std::min(width, 300);
        const int rows = height / 2;
        std::vector<std::uint8_t> rgb(static_cast<std::size_t>(columns) * rows * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, columns, rows, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        const auto level = [&](int x, int y) { // 0 black, 2 white, 1 anything else
            const std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * columns + x) * 3];
            const int sum = p[0] + p[1] + p[2];
            return sum == 0 ? 0 : sum == 3 * 255 ? 2 : 1;
        };
        int boxTop = 0;
        int left = width, right = -1, bottom = height, top = -1;
        for (int y = 0; y < rows; ++y) {
            for (int x = 0; x < columns; ++x) {
                if (level(x, y) == 0) {
                    boxTop = std::max(boxTop, y + 1);
                } else if (level(x, y) == 2) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    bottom = std::min(bottom, y);
                    top = std::max(top, y);
                }
            }
        }
        const int digits = top - bottom + 1;
        ASSERT_GT(digits, 0) << "no readout drawn";
        EXPECT_EQ(digits % 7, 0) << "digits " << digits << " high: not whole-pixel cells";
        if (height >= 180) {
            EXPECT_GE(digits, 18) << "smaller than the stock readouts";
        }
        EXPECT_LE(boxTop, height / 5) << "the box reaches too far up";
        int blurred = 0;
        for (int y = bottom; y <= top; ++y) {
            for (int x = left; x <= right; ++x) {
                blurred += level(x, y) == 1;
            }
        }
        EXPECT_EQ(blurred, 0) << "pixels neither black nor white among the digits";
        target.keepIfFailed("frame_rate_readout_" + std::to_string(height));
    }
    ShowFrameRateReadout(false);
}

} // namespace
