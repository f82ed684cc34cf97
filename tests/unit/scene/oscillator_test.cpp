#include "scene/oscillator.h"

#include "scripted_draws.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double pi = 3.14159265358979323846;

// Draws that start a ramp (below 0.0001 × 32768) and one that does not.
constexpr int startsRamp = 3;
constexpr int noRamp = 4;

TEST(Oscillator, ValueRunsFromOffsetToOffsetPlusRangeStartingAtTheTop) {
    Oscillator o;
    EXPECT_EQ(o.value(), 1.0);
    EXPECT_EQ(o.cosine(), 1.0);
    EXPECT_EQ(o.unitCosine(), 1.0);

    o.range = 2;
    o.offset = -1;
    o.phase = pi;
    EXPECT_EQ(o.value(), -1.0);
    EXPECT_EQ(o.unitCosine(), 0.0);
    EXPECT_EQ(o.currentPhase(), pi);
    o.phase = pi / 2;
    EXPECT_NEAR(o.value(), 0.0, 1e-15);
    EXPECT_NEAR(o.cosine(), 0.0, 1e-15);
}

TEST(Oscillator, PhaseGrowsWithStepRateFrequencyAndSharedSpeed) {
    const double orbitSpeed = 1.5;
    Oscillator o;
    o.frequency = 0.1;
    o.speedSource = &orbitSpeed;
    ScriptedDraws draws({noRamp, noRamp});
    o.advance(0.02);
    EXPECT_NEAR(o.phase, 0.003, 1e-15);
    EXPECT_EQ(o.activity, 1.0);
    EXPECT_EQ(o.activityRamp, 0.0);

    o.rate = 2.0;
    o.advance(0.02);
    EXPECT_NEAR(o.phase, 0.009, 1e-15);
    EXPECT_EQ(draws.taken(), 2u) << "one draw per call while the envelope rests";
}

TEST(Oscillator, NullSpeedSourceCountsAsOne) {
    Oscillator shared;
    Oscillator alone;
    double speed = 1.0;
    shared.speedSource = &speed;
    ScriptedDraws draws({noRamp, noRamp, noRamp, noRamp});
    shared.advance(0.25);
    alone.advance(0.25);
    EXPECT_EQ(alone.phase, shared.phase);
    EXPECT_EQ(alone.phase, 0.25);

    // The shared value is read on every call, not copied once.
    speed = 3.0;
    shared.advance(0.25);
    alone.advance(0.25);
    EXPECT_EQ(shared.phase, 1.0);
    EXPECT_EQ(alone.phase, 0.5);
}

TEST(Oscillator, RampStartsOnFourDrawsInThirtyTwoThousand) {
    int starts = 0;
    for (int draw = 0; draw < 64; ++draw) {
        Oscillator o;
        ScriptedDraws one({draw});
        o.advance(0.02);
        starts += o.activityRamp != 0.0 ? 1 : 0;
    }
    EXPECT_EQ(starts, 4) << "draws 0 to 3 start a ramp, 4 and above do not";
}

TEST(Oscillator, FallStartsWithASpeedFixedByThatFramesStep) {
    Oscillator o;
    o.frequency = 1.0;
    ScriptedDraws draws({startsRamp});
    o.advance(0.02);
    // −0.1 × 0.02 per second, applied at once on the same call.
    EXPECT_DOUBLE_EQ(o.activityRamp, -0.002);
    EXPECT_DOUBLE_EQ(o.activity, 0.99996);
    EXPECT_DOUBLE_EQ(o.phase, 0.99996 * 0.02) << "the phase moves at the new activity";

    // Later frames of another length keep that speed, and draw nothing.
    o.advance(0.05);
    EXPECT_DOUBLE_EQ(o.activityRamp, -0.002);
    EXPECT_DOUBLE_EQ(o.activity, 0.99996 - 0.0001);
    EXPECT_EQ(draws.taken(), 1u);
}

TEST(Oscillator, FallSnapsToAStandstillBelowFivePercent) {
    Oscillator o;
    o.activity = 0.06;
    o.activityRamp = -0.002;
    {
        ScriptedDraws none({}); // no draw while ramping
        o.advance(0.02);
        EXPECT_DOUBLE_EQ(o.activity, 0.05996);
        int calls = 1;
        while (o.activity != 0.0 && calls < 1000) {
            o.advance(0.02);
            ++calls;
        }
        // 0.00004 a call from 0.06: the 251st call takes it below 0.05.
        EXPECT_GE(calls, 250);
        EXPECT_LE(calls, 252);
        EXPECT_EQ(o.activity, 0.0);
        EXPECT_EQ(o.activityRamp, 0.0);
        EXPECT_EQ(none.taken(), 0u);
    }

    // At rest the phase stands still, and each call draws again.
    const double frozen = o.phase;
    ScriptedDraws draws({noRamp, 32767, startsRamp});
    o.advance(0.02);
    o.advance(0.02);
    EXPECT_EQ(o.phase, frozen);
    EXPECT_EQ(o.activity, 0.0);

    // A rise starts at +0.1 × that call's step.
    o.advance(0.05);
    EXPECT_DOUBLE_EQ(o.activityRamp, 0.005);
    EXPECT_DOUBLE_EQ(o.activity, 0.00025);
    EXPECT_GT(o.phase, frozen);
    EXPECT_EQ(draws.taken(), 3u);
}

TEST(Oscillator, RiseSnapsToFullSpeedAndRestsThere) {
    Oscillator o;
    o.activity = 0.999;
    o.activityRamp = 0.05;
    ScriptedDraws draws({});
    o.advance(0.01); // 0.9995: still ramping, no draw
    EXPECT_DOUBLE_EQ(o.activity, 0.9995);
    o.advance(0.02); // past 1
    EXPECT_EQ(o.activity, 1.0);
    EXPECT_EQ(o.activityRamp, 0.0);
    EXPECT_EQ(draws.taken(), 0u);

    draws.add({noRamp});
    o.advance(0.02);
    EXPECT_EQ(draws.taken(), 1u) << "back at rest, the envelope draws again";
}

TEST(Oscillator, AFallingEnvelopeNeverGoesNegativeEvenOnALongFrame) {
    Oscillator o;
    ScriptedDraws draws({startsRamp});
    const double before = o.phase;
    o.advance(10.0); // a stall: the ramp is −1 per second, over 10 seconds
    EXPECT_EQ(o.activity, 0.0);
    EXPECT_EQ(o.activityRamp, 0.0);
    EXPECT_EQ(o.phase, before) << "a frozen oscillator does not run backwards";
}

} // namespace
