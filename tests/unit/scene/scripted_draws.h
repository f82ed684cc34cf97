// A scripted random source for the scene tests: hands out exactly the draws a
// case lists, and fails the case if the code under test takes one more.
#pragma once

#include "support/random.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

class ScriptedDraws {
public:
    explicit ScriptedDraws(std::vector<int> values) {
        script() = std::move(values);
        position() = 0;
        setRandomSource(next);
    }
    ~ScriptedDraws() { setRandomSource(nullptr); }
    ScriptedDraws(const ScriptedDraws&) = delete;
    ScriptedDraws& operator=(const ScriptedDraws&) = delete;

    // Draws taken so far.
    std::size_t taken() const { return position(); }
    // Appends further draws to the script.
    void add(std::vector<int> values) {
        script().insert(script().end(), values.begin(), values.end());
    }

private:
    static std::vector<int>& script() {
        static std::vector<int> values;
        return values;
    }
    static std::size_t& position() {
        static std::size_t at = 0;
        return at;
    }
    static int next() {
        if (position() >= script().size()) {
            ADD_FAILURE() << "a random number was drawn that the case did not script";
            return 0;
        }
        return script()[position()++];
    }
};
