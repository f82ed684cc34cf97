// The seed of the run's one random sequence.
//
// A run is seeded once, when its GL context is created, from the millisecond
// tick count, so no two runs look the same. A fixed seed (the command line's
// --seed) replaces the tick count so that a run can be reproduced exactly.
#pragma once

#include <cstdint>

void setFixedRunSeed(std::uint32_t seed);
void clearFixedRunSeed();

// Seeds the random sequence with the fixed seed, or else the tick count now,
// and returns the seed used.
std::uint32_t seedRunRandom();

// The seed of the latest seedRunRandom (0 before the first).
std::uint32_t lastRunSeed();
