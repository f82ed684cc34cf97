// haze's own work, without a GL driver: the GL calls go to the call recorder
// with its log off (it still models the matrix stacks and keeps each uploaded
// texture image, which is counted in).
//   frameWork: one frame of the running scene (RenderFrame)
//   sceneSetUp: the scene's set-up at window creation (InitialiseScene:
//               configuration, the star list, the eleven textures)
#include "app/scene_hooks.h"
#include "gl_recorder.h"
#include "support/frame_clock.h"
#include "support/random.h"
#include "textures/texture_registry.h"

#include <benchmark/benchmark.h>

namespace {

double simulatedMs = 0.0;
double simulatedClock() {
    return simulatedMs;
}

void quietGl() {
    glrec::reset();
    glrec::setRecording(false);
    setMillisecondSource(simulatedClock);
}

void frameWork(benchmark::State& state) {
    quietGl();
    randomSeed(1);
    InitialiseScene(1920, 1080);
    for (auto _ : state) {
        simulatedMs += 1000.0 / 60.0;
        RenderFrame();
    }
    ReleaseScene();
}
BENCHMARK(frameWork)->Unit(benchmark::kMicrosecond);

void sceneSetUp(benchmark::State& state) {
    quietGl();
    for (auto _ : state) {
        randomSeed(1);
        textureRegistry = TextureRegistry{};
        InitialiseScene(1920, 1080);
    }
    ReleaseScene();
}
BENCHMARK(sceneSetUp)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
