// Time to generate the scene's textures, and the plain rules for comparison.
// The GL calls go to the call recorder with logging off; it still keeps a
// copy of each uploaded image, which is counted in.
#include "gl_recorder.h"
#include "reference_textures.h"
#include "support/random.h"
#include "textures/scene_textures.h"
#include "textures/texture_registry.h"

#include <benchmark/benchmark.h>

namespace {

void quietGl() {
    glrec::reset();
    glrec::setRecording(false);
}

// The eleven textures of the scene, 256 × 256 GL_RGBA, in slot order.
void sceneTextureSet(benchmark::State& state) {
    quietGl();
    for (auto _ : state) {
        randomSeed(1);
        textureRegistry = TextureRegistry{};
        generateSceneTextures();
    }
    releaseAllTextures();
}
BENCHMARK(sceneTextureSet)->Unit(benchmark::kMillisecond);

// One kind at 256 × 256 GL_RGBA.
void oneKind(benchmark::State& state) {
    quietGl();
    const auto kind = static_cast<TextureKind>(state.range(0));
    state.SetLabel(textureKindName(kind));
    Texture texture;
    randomSeed(1);
    for (auto _ : state) {
        textureRegistry = TextureRegistry{};
        texture.generate(kind, 256, 256, GL_RGBA, 0);
    }
}
BENCHMARK(oneKind)
    ->Arg(static_cast<int>(TextureKind::SMOKE))
    ->Arg(static_cast<int>(TextureKind::FOG))
    ->Arg(static_cast<int>(TextureKind::SAND))
    ->Arg(static_cast<int>(TextureKind::GRAIN))
    ->Arg(static_cast<int>(TextureKind::SPHERE))
    ->Unit(benchmark::kMicrosecond);

// The same eleven images by the plain rules, every shape visiting every
// texel with a square root of its own.
void plainSceneTextureSet(benchmark::State& state) {
    for (auto _ : state) {
        randomSeed(1);
        for (TextureKind kind : sceneTextureKinds) {
            benchmark::DoNotOptimize(referenceTexels(kind, 256, 256, GL_RGBA).data());
        }
    }
}
BENCHMARK(plainSceneTextureSet)->Unit(benchmark::kMillisecond);

void plainKind(benchmark::State& state) {
    const auto kind = static_cast<TextureKind>(state.range(0));
    state.SetLabel(textureKindName(kind));
    randomSeed(1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(referenceTexels(kind, 256, 256, GL_RGBA).data());
    }
}
BENCHMARK(plainKind)
    ->Arg(static_cast<int>(TextureKind::SMOKE))
    ->Arg(static_cast<int>(TextureKind::FOG))
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
