#include "platform/posix_clock.h"

#include <ctime>

std::uint64_t monotonicUs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000000u +
           static_cast<std::uint64_t>(now.tv_nsec) / 1000u;
}

std::uint64_t monotonicMs() {
    return monotonicUs() / 1000u;
}
