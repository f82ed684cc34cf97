// Frames paced to the display: the pacer's grid, and the refresh period read
// from a display mode.
// GoogleTest first: Xlib defines None and Bool as macros.
#include <gtest/gtest.h>

#include "platform/frame_pacer.h"
#include "platform/x11/x11_display_refresh.h"

#include <algorithm>
#include <cstdint>

namespace {

TEST(FramePacer, ATimerOfFiveMillisecondsRunsAtTheDisplaysRateWithoutBursts) {
    // The backend's loop: the 5 ms timer falls due, the pacer holds it, the
    // wait ends up to 0.3 ms late, and once the process stalls for 0.1 s.
    // Over ten seconds at 60 Hz: 600 frames, less the 6 the stall took.
    FramePacer pacer;
    pacer.setMinimumPeriodUs(refreshPeriodUs(60.0));
    std::uint64_t now = 0;
    std::uint64_t timerDue = 5000;
    int frames = 0;
    std::uint64_t shortest = UINT64_MAX;
    std::uint64_t previous = 0;
    while (now < 10000000) {
        now = std::max(timerDue, now + pacer.usUntilNextFrame(now)) + (frames * 7919) % 300;
        now += frames == 300 ? 100000 : 0;
        if (pacer.usUntilNextFrame(now) == 0) {
            pacer.frameStarted(now);
            shortest = frames > 0 ? std::min(shortest, now - previous) : shortest;
            previous = now;
            ++frames;
            timerDue = now + 5000;
        }
    }
    EXPECT_GE(frames, 593);
    EXPECT_LE(frames, 595);
    EXPECT_GE(shortest, 16000u) << "a late frame or a stall is never made up by a burst";
}

TEST(FramePacer, TheRefreshPeriodNeverUndercutsTheDisplayAndFallsBackTo60Hz) {
    EXPECT_EQ(refreshPeriodUs(60.0), 16667u);
    EXPECT_EQ(refreshPeriodUs(59.94), 16684u);
    EXPECT_EQ(refreshPeriodUs(144.0), 6945u);
    EXPECT_EQ(refreshPeriodUs(0.0), 16667u) << "the window system does not say";
    EXPECT_EQ(refreshPeriodUs(4000.0), 16667u) << "a misreading";
    EXPECT_EQ(refreshPeriodUs(0.0, 75.0), 13334u);
    // Where the driver paces swaps, the timer stays out of its way: a rate
    // rounded down (59 for 59.94 Hz) still leaves every refresh a frame.
    EXPECT_LT(minimumFramePeriodUs(59.0, true), refreshPeriodUs(59.94));
    EXPECT_GT(minimumFramePeriodUs(59.0, true), refreshPeriodUs(64.0));
    EXPECT_EQ(minimumFramePeriodUs(59.94, false), refreshPeriodUs(59.94));
}

TEST(DisplayRefresh, AModesRateIsItsPixelClockOverItsPixelsPerRefresh) {
    XRRModeInfo mode{};
    mode.dotClock = 148500000; // 1920x1080 at 60 Hz
    mode.hTotal = 2200;
    mode.vTotal = 1125;
    EXPECT_DOUBLE_EQ(x11::modeRefreshHz(mode), 60.0);
    mode.dotClock = 74250000; // 1080i: each refresh draws every other line
    mode.modeFlags = RR_Interlace;
    EXPECT_DOUBLE_EQ(x11::modeRefreshHz(mode), 60.0);
    mode.modeFlags = RR_DoubleScan; // each line twice: half the rate
    EXPECT_DOUBLE_EQ(x11::modeRefreshHz(mode), 15.0);
    mode.hTotal = 0; // a virtual server's mode gives no timings
    EXPECT_EQ(x11::modeRefreshHz(mode), 0.0);
}

} // namespace
