#include "platform/headless/texture_export.h"

#include "platform/headless/offscreen_surface.h"
#include "platform/headless/png_file.h"
#include "support/random.h"
#include "textures/scene_textures.h"
#include "textures/texel_image.h"
#include "textures/texture_registry.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

// "NN-NAME.png" for a slot.
std::string fileName(int slot, TextureKind kind) {
    char name[64];
    std::snprintf(name, sizeof name, "%02d-%s.png", slot, textureKindName(kind));
    return name;
}

} // namespace

bool exportSceneTextures(const std::string& directory, std::uint32_t seed, std::string& error) {
    std::error_code failure;
    std::filesystem::create_directories(directory, failure);
    if (failure) {
        error = "cannot create " + directory + ": " + failure.message();
        return false;
    }

    // Generating uploads through GL, so a context must be current. The
    // surface itself is never drawn on.
    std::unique_ptr<OffscreenSurface> surface = OffscreenSurface::create(16, 16, error);
    if (surface == nullptr) {
        return false;
    }
    if (!surface->createContext() || !surface->makeCurrent()) {
        error = "cannot make an offscreen GL context current";
        return false;
    }

    randomSeed(seed);
    bool written = true;
    for (int slot = 0; slot < sceneTextureCount && written; ++slot) {
        const TextureKind kind = sceneTextureKinds[slot];
        sceneTextures[slot].generate(kind, sceneTextureSize, sceneTextureSize, GL_RGBA, 0);
        // The buffer still holds exactly the bytes this call uploaded.
        const std::string path = (std::filesystem::path(directory) / fileName(slot, kind)).string();
        written = writePng(path, sceneTextureSize, sceneTextureSize, PngLayout::Rgba,
                           generatedTexels(), error);
    }

    // The names die with this context: forget them, so that nothing binds or
    // deletes them in another.
    releaseAllTextures();
    surface->destroyContext();
    return written;
}
