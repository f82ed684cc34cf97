#include "app/run_seed.h"

#include "platform/platform.h"
#include "support/random.h"

namespace {
bool hasFixedSeed = false;
std::uint32_t fixedSeed = 0;
std::uint32_t usedSeed = 0;
} // namespace

void setFixedRunSeed(std::uint32_t seed) {
    hasFixedSeed = true;
    fixedSeed = seed;
}

void clearFixedRunSeed() {
    hasFixedSeed = false;
}

std::uint32_t seedRunRandom() {
    usedSeed = hasFixedSeed ? fixedSeed : platform().tickCount();
    randomSeed(usedSeed);
    return usedSeed;
}

std::uint32_t lastRunSeed() {
    return usedSeed;
}
