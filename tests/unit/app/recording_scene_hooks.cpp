#include "recording_scene_hooks.h"

#include "app/scene_hooks.h"
#include "fake_platform.h"
#include "gl_recorder.h"
#include "support/random.h"

#include <string>

namespace hooks {
namespace {
std::vector<SceneStart> starts;
} // namespace

std::vector<SceneStart>& sceneStarts() {
    return starts;
}

void reset() {
    starts.clear();
}

} // namespace hooks

void InitialiseScene(int clientWidth, int clientHeight) {
    fake::state().calls.push_back("InitialiseScene(" + std::to_string(clientWidth) + "," +
                                  std::to_string(clientHeight) + ")");
    hooks::SceneStart start;
    start.glCallsBefore = glrec::calls().size();
    start.firstRandom = randomNext();
    hooks::starts.push_back(start);
}

void ResizeScene(int clientWidth, int clientHeight, const SceneMonitor* monitors,
                 int monitorCount) {
    std::string call =
        "ResizeScene(" + std::to_string(clientWidth) + "," + std::to_string(clientHeight);
    for (int i = 0; i < monitorCount; ++i) {
        const SceneMonitor& m = monitors[i];
        call += "," + std::to_string(m.right - m.left) + "x" + std::to_string(m.bottom - m.top) +
                "+" + std::to_string(m.left) + "+" + std::to_string(m.top);
    }
    fake::state().calls.push_back(call + ")");
}

void ForgetPreviousFrame() {
    fake::state().calls.push_back("ForgetPreviousFrame()");
}

void RenderFrame() {
    fake::state().calls.push_back("RenderFrame()");
}

void ReleaseScene() {
    fake::state().calls.push_back("ReleaseScene()");
}
