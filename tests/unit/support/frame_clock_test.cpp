#include "support/frame_clock.h"

#include <gtest/gtest.h>

namespace {

double simulatedMs = 0.0;
double simulated() {
    return simulatedMs;
}

class FrameClockTest : public ::testing::Test {
protected:
    void SetUp() override { setMillisecondSource(simulated); }
    void TearDown() override { setMillisecondSource(nullptr); }
};

TEST_F(FrameClockTest, TicksGiveSecondsAndTheStepBetweenThem) {
    FrameClock clock;
    simulatedMs = 1000.0;
    clock.tick();
    EXPECT_EQ(clock.elapsedMs, 1000.0);
    EXPECT_EQ(clock.nowSeconds, 1.0);
    EXPECT_EQ(clock.deltaSeconds, 1.0) << "the first step runs from zero";

    simulatedMs = 1040.0;
    clock.tick();
    EXPECT_EQ(clock.previousSeconds, 1.0);
    EXPECT_DOUBLE_EQ(clock.nowSeconds, 1.04);
    EXPECT_NEAR(clock.deltaSeconds, 0.04, 1e-12);
    EXPECT_EQ(clock.nowSeconds, clock.elapsedMs * 0.001);

    // A clock that stands still gives a step of zero, never a negative one.
    clock.tick();
    EXPECT_EQ(clock.deltaSeconds, 0.0);
}

TEST(MonotonicClock, StartsNearZeroAndNeverGoesBack) {
    const double first = monotonicMilliseconds();
    EXPECT_GE(first, 0.0);
    EXPECT_LT(first, 60000.0);
    double previous = first;
    for (int i = 0; i < 1000; ++i) {
        const double now = monotonicMilliseconds();
        EXPECT_GE(now, previous);
        previous = now;
    }
}

} // namespace
