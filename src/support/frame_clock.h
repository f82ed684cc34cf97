// The frame clock: elapsed time read once per frame, and the frame's step.
#pragma once

// Milliseconds since the first query of the source. Backends and tests may
// replace the source (headless runs use a simulated clock with a fixed step).
using MillisecondSource = double (*)();
void setMillisecondSource(MillisecondSource source);
// The default source: a monotonic clock in whole milliseconds, counted from
// its first query.
double monotonicMilliseconds();

struct FrameClock {
    double previousSeconds = 0.0; // nowSeconds of the previous tick
    double nowSeconds = 0.0;      // elapsed time at the latest tick
    double deltaSeconds = 0.0;    // the frame's time step
    double elapsedMs = 0.0;       // the raw reading of the latest tick

    virtual ~FrameClock() = default;

    // Reads the millisecond source and updates the four fields.
    void tick();
};

extern FrameClock frameClock;
