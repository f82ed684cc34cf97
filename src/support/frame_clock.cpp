#include "support/frame_clock.h"

#include <chrono>

namespace {
MillisecondSource source = monotonicMilliseconds;
} // namespace

double monotonicMilliseconds() {
    using Clock = std::chrono::steady_clock;
    static const Clock::time_point start = Clock::now();
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    return static_cast<double>(elapsed.count());
}

void setMillisecondSource(MillisecondSource replacement) {
    source = replacement != nullptr ? replacement : monotonicMilliseconds;
}

void FrameClock::tick() {
    previousSeconds = nowSeconds;
    elapsedMs = source();
    nowSeconds = elapsedMs * 0.001;
    deltaSeconds = nowSeconds - previousSeconds;
}
