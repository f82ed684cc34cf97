// The stand-in test pattern: time, not the frame count, moves it, and the
// run's seed colours it.
#include "app/scene_hooks.h"
#include "gl_recorder.h"
#include "support/frame_clock.h"
#include "support/random.h"

#include <gtest/gtest.h>

namespace {

double simulatedMs = 0.0;
double simulatedClock() {
    return simulatedMs;
}

double lastRotation() {
    const std::vector<glrec::Call> turns = glrec::callsNamed("glRotatef");
    return turns.empty() ? -1.0 : turns.back().arg(0);
}

TEST(TestPattern, TurnsWithTheFrameClockNotTheFrameCount) {
    setMillisecondSource(simulatedClock);
    glrec::reset();
    simulatedMs = 0.0;
    InitialiseScene(640, 480);
    simulatedMs = 1000.0;
    RenderFrame();
    EXPECT_DOUBLE_EQ(frameClock.deltaSeconds, 1.0);
    EXPECT_NEAR(lastRotation(), 45.0, 1e-4);
    // Two frames at the same moment stand still; three seconds later the
    // square has turned three times as far.
    RenderFrame();
    EXPECT_NEAR(lastRotation(), 45.0, 1e-4);
    simulatedMs = 4000.0;
    RenderFrame();
    EXPECT_NEAR(lastRotation(), 180.0, 1e-4);
    setMillisecondSource(nullptr);
}

TEST(TestPattern, TheBackgroundComesFromTheRunsSeed) {
    auto backgroundFor = [](std::uint32_t seed) {
        randomSeed(seed);
        glrec::reset();
        InitialiseScene(64, 64);
        RenderFrame();
        // The first colour of the frame is the background's.
        return glrec::callsNamed("glColor3f").at(0);
    };
    EXPECT_EQ(backgroundFor(7), backgroundFor(7));
    EXPECT_NE(backgroundFor(7), backgroundFor(8));
}

} // namespace
