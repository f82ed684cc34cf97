// The whole scene on Mesa at a fixed seed, size and step: the saver's own base
// state, scene set-up and frames, probed at a few pixels.
#include "app/base_gl_state.h"
#include "app/render_context.h"
#include "app/scene_hooks.h"
#include "app/scene_objects.h"
#include "render_target.h"
#include "support/frame_clock.h"
#include "support/random.h"

#include <GL/gl.h>

#include <array>
#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr int width = 640;
constexpr int height = 360;
constexpr std::uint32_t seed = 20261208;
constexpr double stepMs = 1000.0 / 60.0;
constexpr int frames = 240; // four simulated seconds

double simulatedMs = 0.0;
double simulatedClock() {
    return simulatedMs;
}

struct Picture {
    std::vector<std::uint8_t> rows; // RGB, top row first

    // The pixel at GL window coordinates (x, y), origin bottom left.
    Rgb at(int x, int y) const {
        const std::uint8_t* p = &rows[(static_cast<size_t>(height - 1 - y) * width + x) * 3];
        return {p[0], p[1], p[2]};
    }
};

bool black(const Rgb& c) {
    return c.r == 0 && c.g == 0 && c.b == 0;
}

class SceneRender : public ::testing::Test {
protected:
    static std::unique_ptr<RenderTarget> target;
    static Picture before; // frame `frames` − 1
    static Picture last;   // frame `frames`
    static float barFraction;
    static std::array<float, 2> originOnScreen; // window pixels

    static void SetUpTestSuite() {
        target = std::make_unique<RenderTarget>(width, height);
        if (!target->ready()) {
            return;
        }
        setMillisecondSource(simulatedClock);
        randomSeed(seed);
        renderContext.clientWidth = width;
        renderContext.clientHeight = height;
        SetBaseGLState(); // ends with the scene's set-up, as at window creation
        for (int frame = 1; frame <= frames; ++frame) {
            simulatedMs = frame * stepMs;
            RenderFrame();
            glFinish();
            if (frame == frames - 1) {
                target->surface()->readRgb(before.rows);
            }
        }
        target->surface()->readRgb(last.rows);
        barFraction = viewportLayout.barFraction;
        originOnScreen = projectOrigin();
        setMillisecondSource(nullptr);
    }

    static void TearDownTestSuite() {
        ReleaseScene();
        target.reset();
    }

    // Where the last frame's camera puts the world origin, in window pixels.
    static std::array<float, 2> projectOrigin() {
        const ViewportSlot& slot = viewportLayout.slots[sceneViewSlot];
        const Camera& camera = slot.camera;
        // The origin in eye space is the modelview's translation column.
        const double ex = camera.modelView[12];
        const double ey = camera.modelView[13];
        const double ez = camera.modelView[14];
        const double f = 1.0 / std::tan(camera.fieldOfView * M_PI / 360.0);
        const double aspect = double(slot.pixWidth) / double(slot.pixHeight);
        const double ndcX = (f / aspect) * ex / -ez;
        const double ndcY = f * ey / -ez;
        const double x0 = std::trunc(slot.pixX0);
        const double y0 = std::trunc(slot.pixY0);
        return {static_cast<float>(x0 + (ndcX + 1) / 2 * std::trunc(slot.pixWidth)),
                static_cast<float>(y0 + (ndcY + 1) / 2 * std::trunc(slot.pixHeight))};
    }

    void SetUp() override { ASSERT_TRUE(target && target->ready()); }
    void TearDown() override { target->keepIfFailed("scene"); }
};

std::unique_ptr<RenderTarget> SceneRender::target;
Picture SceneRender::before;
Picture SceneRender::last;
float SceneRender::barFraction = 0;
std::array<float, 2> SceneRender::originOnScreen = {0, 0};

TEST_F(SceneRender, TheBarRowsAreBlack) {
    ASSERT_GT(barFraction, 0.01f) << "pick a moment with bars to see";
    const int barRows = static_cast<int>(std::floor(height * barFraction));
    for (const Picture* picture : {&before, &last}) {
        for (int x = 0; x < width; ++x) {
            for (int y = 0; y < barRows - 1; ++y) {
                ASSERT_TRUE(black(picture->at(x, y))) << "bottom bar at " << x << ", " << y;
                ASSERT_TRUE(black(picture->at(x, height - 1 - y)))
                    << "top bar at " << x << ", " << height - 1 - y;
            }
        }
    }
}

TEST_F(SceneRender, TheBandBetweenTheBarsHoldsColour) {
    const int barRows = static_cast<int>(std::ceil(height * barFraction)) + 1;
    int lit = 0;
    int reddish = 0;
    int bluish = 0;
    int total = 0;
    for (int y = barRows; y < height - barRows; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgb c = last.at(x, y);
            ++total;
            lit += std::max({c.r, c.g, c.b}) > 24 ? 1 : 0;
            reddish += c.r > c.g + 20 && c.r > c.b ? 1 : 0;
            bluish += c.b > c.g + 20 && c.b > c.r ? 1 : 0;
        }
    }
    EXPECT_GT(lit, total / 10) << lit << " of " << total << " band pixels lit";
    EXPECT_GT(reddish, 0) << "red smoke";
    EXPECT_GT(bluish, 0) << "blue smoke or fog";
}

TEST_F(SceneRender, ConsecutiveFramesDifferAsTheVeilAndCameraMove) {
    const int barRows = static_cast<int>(std::floor(height * barFraction)) - 1;
    int changed = 0;
    int changedInBars = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgb a = before.at(x, y);
            const Rgb b = last.at(x, y);
            const bool differs =
                std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) > 6;
            changed += differs ? 1 : 0;
            const bool inBar = y < barRows || y >= height - barRows;
            changedInBars += differs && inBar ? 1 : 0;
        }
    }
    // A sixtieth of a second moves the stars' trails and the smoke by a few
    // pixels and fades what the veil covers: a small part of the picture.
    EXPECT_GT(changed, width * height / 500) << changed << " pixels changed between frames";
    EXPECT_LT(changed, width * height / 2) << "the veil keeps most of the previous frame";
    EXPECT_EQ(changedInBars, 0);
}

TEST_F(SceneRender, TheGlowSitsWhereTheOriginProjects) {
    const int x = static_cast<int>(std::lround(originOnScreen[0]));
    const int y = static_cast<int>(std::lround(originOnScreen[1]));
    ASSERT_GE(x, 1);
    ASSERT_LT(x, width - 1);
    ASSERT_GE(y, 1);
    ASSERT_LT(y, height - 1);
    const Rgb c = last.at(x, y);
    EXPECT_GT(c.r, 150) << c;
    EXPECT_GT(c.g, 150) << c;
    EXPECT_LT(c.b, c.g - 60) << "yellow, under a veil of smoke: " << c;
}

} // namespace
