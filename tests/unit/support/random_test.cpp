#include "scripted_draws.h"
#include "support/random.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using Random = ::testing::Test;

TEST_F(Random, SequenceFollowsTheProgramsOwnGenerator) {
    randomSeed(1);
    EXPECT_EQ(randomNext(), 41);
    EXPECT_EQ(randomNext(), 18467);
    EXPECT_EQ(randomNext(), 6334);

    // Reseeding restarts the sequence exactly.
    randomSeed(12345);
    std::vector<int> first;
    for (int i = 0; i < 100; ++i) {
        first.push_back(randomNext());
    }
    randomSeed(12345);
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(randomNext(), first[i]);
    }
}

TEST_F(Random, ValuesStayWithinFifteenBits) {
    randomSeed(0xDEADBEEF);
    int lowest = randomRange;
    int highest = -1;
    for (int i = 0; i < 200000; ++i) {
        const int v = randomNext();
        lowest = std::min(lowest, v);
        highest = std::max(highest, v);
    }
    EXPECT_EQ(lowest, 0);
    EXPECT_EQ(highest, 32767);
}

TEST_F(Random, UniformNeverReachesItsRange) {
    ScriptedDraws draws({32767, 32767, 0, 16384});
    EXPECT_EQ(randomUniform(256.0), 255.9921875);
    EXPECT_EQ(randomUniform(256.0f), 255.9921875)
        << "the single-precision variant computes the same";
    EXPECT_EQ(randomUniform(1.0), 0.0);
    EXPECT_EQ(randomUniform(2.0), 1.0);
}

TEST_F(Random, VariantsAgreeForRangesNotExactInBinary) {
    randomSeed(99);
    std::vector<double> fromDouble;
    for (int i = 0; i < 1000; ++i) {
        fromDouble.push_back(randomUniform(double(0.8f)));
    }
    randomSeed(99);
    for (int i = 0; i < 1000; ++i) {
        EXPECT_EQ(randomUniform(0.8f), fromDouble[i]);
    }
}

TEST_F(Random, GaussianSumsSixDrawsAroundZero) {
    ScriptedDraws draws({16384, 16384, 16384, 16384, 16384, 16384});
    EXPECT_EQ(randomGaussian(43.52f), 0.0f);
    EXPECT_EQ(draws.taken(), 6u);

    // Six highest draws give the upper bound, just under 3 × 1.414 × spread.
    draws.restart(std::vector<int>(6, 32767));
    const double unit = 32767.0 / 32768.0;
    EXPECT_FLOAT_EQ(randomGaussian(10.0f), static_cast<float>((6 * unit - 3.0) * 14.14));

    draws.restart(std::vector<int>(6, 0));
    EXPECT_FLOAT_EQ(randomGaussian(1.0f), -4.242f);
}

TEST_F(Random, SkewedRaisesOneDrawToAPowerOfTwo) {
    ScriptedDraws draws({16384, 16384, 16384, 16384});
    EXPECT_EQ(randomSkewed(0), 0.5f);
    EXPECT_EQ(randomSkewed(1), 0.5f);
    EXPECT_EQ(randomSkewed(2), 0.25f);
    EXPECT_EQ(randomSkewed(3), 0.0625f);
    EXPECT_EQ(draws.taken(), 4u) << "one draw each, whatever the power";
}

TEST(SignOf, IsZeroOnlyForZero) {
    EXPECT_EQ(signOf(0.0f), 0);
    EXPECT_EQ(signOf(-0.0f), 0);
    EXPECT_EQ(signOf(-0.5f), -1);
    EXPECT_EQ(signOf(2.0f), 1);
    EXPECT_EQ(signOf(1e-30f), 1);
}

TEST(WrapRange, KeepsAnglesWithinOneTurn) {
    EXPECT_EQ(wrapRange(370, 0, 360), 10.0f);
    EXPECT_EQ(wrapRange(-10, 0, 360), 350.0f);
    EXPECT_EQ(wrapRange(720, 0, 360), 0.0f);
    EXPECT_EQ(wrapRange(-360, 0, 360), 360.0f);
    EXPECT_EQ(wrapRange(45, 0, 360), 45.0f);
    // Huge values wrap without overflowing an integer.
    EXPECT_TRUE(std::isfinite(wrapRange(3.0e20f, 0, 360)));
}

} // namespace
