#include "support/random.h"

#include <cmath>

namespace {
std::uint32_t state = 1;
RandomSource scriptedSource = nullptr;
} // namespace

void randomSeed(std::uint32_t seed) {
    state = seed;
}

int randomNext() {
    if (scriptedSource != nullptr) {
        return scriptedSource();
    }
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7fffu);
}

void setRandomSource(RandomSource source) {
    scriptedSource = source;
}

double randomUniform(double range) {
    // The quotient is exact in single precision: a 15-bit value over 2^15.
    const float unit = static_cast<float>(randomNext()) / 32768.0f;
    return unit * range;
}

double randomUniform(float range) {
    return randomUniform(static_cast<double>(range));
}

float randomGaussian(float spread) {
    const double scale = spread * 1.414;
    double sum = 0.0;
    for (int i = 0; i < 6; ++i) {
        sum += randomUniform(1.0);
    }
    return static_cast<float>((sum - 3.0) * scale);
}

float randomSkewed(int n) {
    float u = static_cast<float>(randomUniform(1.0));
    for (int i = 1; i < n; ++i) {
        u *= u;
    }
    return u;
}

int signOf(float x) {
    if (x > 0.0f) {
        return 1;
    }
    return x < 0.0f ? -1 : 0;
}

float wrapRange(float value, float low, float high) {
    const float period = high - low;
    // Whole periods, truncated toward zero, one more for negative values. Kept
    // in floating point so a huge value cannot overflow an integer.
    float periods = std::trunc(value / period);
    if (value < 0.0f) {
        periods -= 1.0f;
    }
    return value - periods * period;
}
