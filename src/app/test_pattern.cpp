// A stand-in for the scene: a moving test pattern.
//
// It is not the saver's scene. It exists so that the window, the frame timer,
// the frame clock and the run's seed can be seen working before the scene
// arrives, which replaces this file and its library as a whole. It shows:
// - a background whose colour comes from the run's random sequence, so two
//   seeds give two pictures;
// - a square marker in each corner, red top left, green top right, blue
//   bottom left, white bottom right, so a picture upside down or mirrored is
//   plain to see;
// - a square in the middle turning at 45 degrees a second and a grey bar
//   sweeping from left to right every 4 seconds, both driven by the frame
//   clock, so time (not the frame count) moves them.
#include "app/scene_hooks.h"
#include "support/frame_clock.h"
#include "support/gl_api.h"
#include "support/random.h"

#include <algorithm>
#include <cmath>

namespace {

struct TestPattern {
    int width = 0; // client size in pixels
    int height = 0;
    float background[3] = {0.0f, 0.0f, 0.0f};
};

TestPattern pattern;

constexpr double turnDegreesPerSecond = 45.0;
constexpr double sweepSeconds = 4.0;

void rectangle(float x0, float y0, float x1, float y1) {
    glVertex2f(x0, y0);
    glVertex2f(x1, y0);
    glVertex2f(x1, y1);
    glVertex2f(x0, y1);
}

void drawCornerMarkers(float w, float h) {
    const float side = std::min(w, h) / 8.0f;
    glBegin(GL_QUADS);
    glColor3f(1.0f, 0.0f, 0.0f); // top left
    rectangle(0.0f, h - side, side, h);
    glColor3f(0.0f, 1.0f, 0.0f); // top right
    rectangle(w - side, h - side, w, h);
    glColor3f(0.0f, 0.0f, 1.0f); // bottom left
    rectangle(0.0f, 0.0f, side, side);
    glColor3f(1.0f, 1.0f, 1.0f); // bottom right
    rectangle(w - side, 0.0f, w, side);
    glEnd();
}

void drawTurningSquare(float w, float h, double seconds) {
    const float half = std::min(w, h) / 6.0f;
    const double angle = std::fmod(seconds * turnDegreesPerSecond, 360.0);
    glPushMatrix();
    glTranslatef(w / 2.0f, h / 2.0f, 0.0f);
    glRotatef(static_cast<float>(angle), 0.0f, 0.0f, 1.0f);
    glBegin(GL_QUADS);
    glColor3f(1.0f, 1.0f, 0.0f);
    glVertex2f(-half, -half);
    glColor3f(0.0f, 1.0f, 1.0f);
    glVertex2f(half, -half);
    glColor3f(1.0f, 0.0f, 1.0f);
    glVertex2f(half, half);
    glColor3f(1.0f, 0.5f, 0.0f);
    glVertex2f(-half, half);
    glEnd();
    glPopMatrix();
}

void drawSweepingBar(float w, float h, double seconds) {
    const double phase = std::fmod(seconds, sweepSeconds) / sweepSeconds; // 0 to 1
    const float barWidth = std::max(2.0f, w / 64.0f);
    const float x = static_cast<float>(phase) * (w - barWidth);
    glBegin(GL_QUADS);
    glColor3f(0.6f, 0.6f, 0.6f);
    rectangle(x, h / 8.0f, x + barWidth, h - h / 8.0f);
    glEnd();
}

} // namespace

void InitialiseScene(int clientWidth, int clientHeight) {
    pattern.width = clientWidth;
    pattern.height = clientHeight;
    // A dark colour, different for every seed.
    for (float& channel : pattern.background) {
        channel = 0.05f + static_cast<float>(randomUniform(0.3));
    }
    frameClock.tick();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void RenderFrame() {
    frameClock.tick();
    const float w = static_cast<float>(pattern.width);
    const float h = static_cast<float>(pattern.height);

    // One pixel per unit, origin at the bottom left of the client area.
    glViewport(0, 0, pattern.width, pattern.height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, w, 0.0, h, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    glBegin(GL_QUADS);
    glColor3f(pattern.background[0], pattern.background[1], pattern.background[2]);
    rectangle(0.0f, 0.0f, w, h);
    glEnd();
    drawSweepingBar(w, h, frameClock.nowSeconds);
    drawTurningSquare(w, h, frameClock.nowSeconds);
    drawCornerMarkers(w, h);
}

void ReleaseScene() {
    // The pattern holds nothing in the context.
}
