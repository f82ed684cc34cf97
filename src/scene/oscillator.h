// A slowly changing scalar: the cosine of a phase that advances with time,
// mapped onto an output interval. Its activity envelope now and then slows it
// to a standstill and, later, starts it up again, at random moments.
//
// All arithmetic is in double precision.
#pragma once

struct Oscillator {
    double phase = 0.0;        // argument of the cosine, radians; grows without bound
    double rate = 1.0;         // speed factor
    double activity = 1.0;     // envelope from 0 (frozen) to 1 (full speed)
    double activityRamp = 0.0; // change of activity per second while ramping; 0 at rest
    double frequency = 1.0;    // radians per second at full activity and unit speeds
    // A speed factor shared by several oscillators, owned by the scene's
    // configuration, which outlives the oscillator; null counts as 1.
    const double* speedSource = nullptr;
    double range = 0.5;  // width of the output interval
    double offset = 0.5; // lower end of the output interval

    virtual ~Oscillator() = default;

    // From `offset` to `offset` + `range`, at the top while the phase is 0.
    double value() const;
    // Moves the envelope and then the phase on by `dt` seconds. While the
    // envelope rests at 0 or 1, each call draws one random number, and a ramp
    // starts with a chance of 4 in 32768.
    void advance(double dt);

    // Not used by the running scene:
    double cosine() const;     // cos(phase), −1 to 1
    double unitCosine() const; // cos(phase) mapped onto 0 to 1
    double currentPhase() const { return phase; }
};
