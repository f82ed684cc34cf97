// A scripted random source for unit tests: hands out exactly the draws a case
// lists, and fails the case if the code under test takes one more (or, when
// given a seed to go on from, continues with a generator of the program's
// own kind). The program's generator is back in place when it goes out of
// scope.
#pragma once

#include "support/random.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

class ScriptedDraws {
public:
    explicit ScriptedDraws(std::vector<int> values,
                           std::optional<std::uint32_t> thenGenerateFrom = std::nullopt) {
        restart(std::move(values), thenGenerateFrom);
        setRandomSource(next);
    }
    ~ScriptedDraws() { setRandomSource(nullptr); }
    ScriptedDraws(const ScriptedDraws&) = delete;
    ScriptedDraws& operator=(const ScriptedDraws&) = delete;

    // Starts over with another script.
    void restart(std::vector<int> values,
                 std::optional<std::uint32_t> thenGenerateFrom = std::nullopt) {
        state() = State{std::move(values), 0, thenGenerateFrom};
    }
    // Draws taken so far.
    std::size_t taken() const { return state().position; }
    // Appends further draws to the script.
    void add(std::vector<int> values) {
        state().script.insert(state().script.end(), values.begin(), values.end());
    }

private:
    struct State {
        std::vector<int> script;
        std::size_t position = 0;
        std::optional<std::uint32_t> generator; // state of the continuation
    };
    static State& state() {
        static State current;
        return current;
    }
    static int next() {
        State& s = state();
        if (s.position < s.script.size()) {
            return s.script[s.position++];
        }
        ++s.position;
        if (s.generator) {
            // The same recurrence as the program's generator.
            *s.generator = *s.generator * 214013u + 2531011u;
            return static_cast<int>((*s.generator >> 16) & 0x7fff);
        }
        ADD_FAILURE() << "a random number was drawn that the case did not script";
        return 0;
    }
};

// Draws that put one coordinate of a point drawn as (U(2) − 1) × R at
// (k / 16384 − 1) × R: 16384 is the centre, 0 is −R, and every 4096 is
// another quarter of R.
namespace coordinate_draw {
constexpr int centre = 16384;
constexpr int minusR = 0;
constexpr int plusHalfR = 24576;
constexpr int minusHalfR = 8192;
} // namespace coordinate_draw
