#include "platform/frame_pacer.h"

#include <cmath>

std::uint64_t FramePacer::usUntilNextFrame(std::uint64_t nowUs) const {
    if (!started_ || nowUs >= nextUs_) {
        return 0;
    }
    return nextUs_ - nowUs;
}

void FramePacer::frameStarted(std::uint64_t nowUs) {
    const bool onTheGrid = started_ && nowUs < nextUs_ + periodUs_;
    nextUs_ = onTheGrid ? nextUs_ + periodUs_ : nowUs + periodUs_;
    started_ = true;
}

std::uint64_t refreshPeriodUs(double hz, double fallbackHz) {
    // Displays refresh somewhere between a few and a few hundred times a
    // second; anything else is a misreading.
    const double rate = hz >= 10.0 && hz <= 1000.0 ? hz : fallbackHz;
    return static_cast<std::uint64_t>(std::ceil(1e6 / rate));
}

std::uint64_t minimumFramePeriodUs(double hz, bool driverPacesSwaps) {
    const std::uint64_t period = refreshPeriodUs(hz);
    return driverPacesSwaps ? period - period / 16 : period;
}
