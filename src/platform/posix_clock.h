// The monotonic clock of POSIX systems, which the backends there pace frames
// and time their timers by.
#pragma once

#include <cstdint>

// Microseconds and milliseconds since some fixed moment (the system's boot,
// typically); never goes back.
std::uint64_t monotonicUs();
std::uint64_t monotonicMs();
