// The program's one random sequence and the draws built on it.
//
// Every random choice of the scene (star positions, particle placement, sprite
// size, texture noise, the oscillators' pauses) comes from one 15-bit linear
// congruential generator, seeded once per run. The order of draws across the
// program decides which numbers each consumer gets, so a run is reproduced
// exactly by its seed. The C library's rand() is never used: its range and
// recurrence differ between platforms.
#pragma once

#include <cstdint>

// Largest value of `randomNext`, plus one: every formula divides by this.
constexpr int randomRange = 32768;

// Restarts the sequence. Before any call the state is 1.
void randomSeed(std::uint32_t seed);
// The next value, 0 to 32767: state = state × 214013 + 2531011 (mod 2³²),
// result = bits 16 to 30 of the new state.
int randomNext();

// randomNext() / 32768 × range: a value in [0, range × 32767/32768]. The
// single-precision variant computes exactly the same.
double randomUniform(double range);
double randomUniform(float range);
// The sum of six uniform draws in [0, 1), less 3, times spread × 1.414: mean 0,
// standard deviation close to `spread`, bounded by ±4.242 × spread.
float randomGaussian(float spread);
// A uniform draw in [0, 1) raised to the power 2^(n−1) (n ≤ 1: the draw
// itself); favours small values.
float randomSkewed(int n);

// 1, −1 or 0 by the sign of x.
int signOf(float x);
// `value` moved by whole periods (high − low) into one turn, as the scene
// objects keep their angles: wrapRange(370, 0, 360) is 10.
float wrapRange(float value, float low, float high);

// Test hook: replaces the generator by a scripted source (null restores it),
// so tests can hand a consumer exactly the draws a case needs.
using RandomSource = int (*)();
void setRandomSource(RandomSource source);
