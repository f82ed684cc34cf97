#include "scene/oscillator.h"

#include "support/random.h"

#include <cmath>

namespace {

// Chance per call that a resting envelope starts to ramp.
constexpr double rampStartChance = 0.0001;
// The ramp's speed per second of frame step: a ramp started on a frame of
// T seconds changes activity by 0.1 × T per second.
constexpr double rampSpeedPerStep = 0.1;
// A falling envelope stops dead once it drops below this.
constexpr double stopBelow = 0.05;

} // namespace

double Oscillator::value() const {
    return unitCosine() * range + offset;
}

double Oscillator::cosine() const {
    return std::cos(phase);
}

double Oscillator::unitCosine() const {
    return cosine() * 0.5 + 0.5;
}

void Oscillator::advance(double dt) {
    // Only an envelope at rest can start a ramp: down from full speed, up from
    // a standstill. The ramp's speed is fixed by this frame's step.
    if (activity == 0.0 || activity == 1.0) {
        if (randomUniform(1.0) < rampStartChance) {
            activityRamp = activity == 1.0 ? -rampSpeedPerStep * dt : rampSpeedPerStep * dt;
        }
    }
    activity += dt * activityRamp;

    if (activityRamp < 0.0 && activity < stopBelow) {
        activity = 0.0;
        activityRamp = 0.0;
    } else if (activityRamp > 0.0 && activity > 1.0) {
        activity = 1.0;
        activityRamp = 0.0;
    }

    const double speed = speedSource != nullptr ? *speedSource : 1.0;
    phase = activity * rate * dt * speed * frequency + phase;
}
