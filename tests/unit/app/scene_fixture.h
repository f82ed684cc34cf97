// The scene's globals put back to how the program starts, for each test: the
// objects rebuilt in place, a fresh GL call recorder, an empty texture
// registry, nothing bound, a simulated clock and the random sequence at a
// known seed.
#pragma once

#include "app/scene_objects.h"
#include "app/scene_state.h"
#include "gl_recorder.h"
#include "support/random.h"
#include "textures/texture_registry.h"

#include <gtest/gtest.h>

#include <new>

namespace scene_test {

inline double simulatedMs = 0.0;
inline double simulatedClock() {
    return simulatedMs;
}

template <typename T>
void rebuild(T& object) {
    object.~T();
    new (&object) T();
}

inline void resetScene(std::uint32_t seed = 1) {
    rebuild(sceneFog);
    rebuild(sceneLight);
    rebuild(viewportLayout);
    rebuild(starField);
    rebuild(particleSystem);
    rebuild(frameClock);
    rebuild(glowSprite);
    for (Oscillator* o : {&cameraX, &cameraY, &cameraZ, &angleX, &angleY, &angleZ, &fade, &bar}) {
        rebuild(*o);
    }
    rebuild(sceneMaterial);
    for (Texture& texture : sceneTextures) {
        rebuild(texture);
    }
    sceneState = SceneState{};
    textureRegistry = TextureRegistry{};
    lastBoundTextureId = noTextureBound;
    setRandomSource(nullptr);
    randomSeed(seed);
    simulatedMs = 0.0;
    setMillisecondSource(simulatedClock);
    glrec::reset(); // after the destructors' calls
}

class SceneTest : public ::testing::Test {
protected:
    void SetUp() override { resetScene(); }
    void TearDown() override {
        setMillisecondSource(nullptr);
        setRandomSource(nullptr);
    }
};

// Calls named `name` issued since the recorder was last reset.
inline std::vector<glrec::Call> named(const char* name) {
    return glrec::callsNamed(name);
}

} // namespace scene_test
