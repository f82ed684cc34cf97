// Stands in for the scene in app tests: each hook logs itself into the fake
// platform's call log, so its place among the platform calls can be checked,
// and notes what the GL recorder and the random sequence looked like then.
#pragma once

#include <cstddef>
#include <vector>

namespace hooks {

struct SceneStart {
    std::size_t glCallsBefore = 0; // GL calls recorded before InitialiseScene
    int firstRandom = -1;          // the first value the scene would draw
};

// One entry per InitialiseScene call.
std::vector<SceneStart>& sceneStarts();
void reset();

} // namespace hooks
