// The shortest time between the starts of two frames, for a backend's frame
// timer: the display's refresh period, so that no frame is drawn that the
// display would never show.
//
// Frames keep to a grid of one period: a frame that starts a little late
// does not push the ones after it back, so the average rate is the display's
// own and a driver's swap at each refresh is never missed for a late start.
// A frame a whole period or more late starts a new grid from itself, so a
// stall is never made up by a burst. Times are microseconds of a monotonic
// clock the caller reads.
#pragma once

#include <cstdint>

class FramePacer {
public:
    // 0 (the default) lets every frame start at once.
    void setMinimumPeriodUs(std::uint64_t periodUs) { periodUs_ = periodUs; }
    std::uint64_t minimumPeriodUs() const { return periodUs_; }

    // Microseconds to wait before the next frame may start; 0 when it may
    // start now.
    std::uint64_t usUntilNextFrame(std::uint64_t nowUs) const;
    // A frame starts now (the caller waited for usUntilNextFrame).
    void frameStarted(std::uint64_t nowUs);

private:
    std::uint64_t periodUs_ = 0;
    std::uint64_t nextUs_ = 0; // the earliest start of the next frame
    bool started_ = false;
};

// The period of a display refreshing `hz` times a second, in microseconds,
// rounded up (never shorter than the display's); `fallbackHz` when `hz` is
// not a plausible rate (the window system may not know it, or report 0).
std::uint64_t refreshPeriodUs(double hz, double fallbackHz = 60.0);

// The shortest time between frames on a display refreshing `hz` times a
// second: its refresh period; or, where the driver itself holds each swap to
// a refresh, a sixteenth less, so that the driver's rhythm sets the pace and
// a timer a little slow (or a rate rounded down by the window system) never
// costs a refresh, while a driver that accepts the interval and ignores it
// still draws hardly more frames than the display shows.
std::uint64_t minimumFramePeriodUs(double hz, bool driverPacesSwaps);
