#include "platform/headless/texture_export.h"

#include "app/scene_configuration.h"
#include "app/scene_hooks.h"
#include "platform/headless/offscreen_surface.h"
#include "platform/headless/png_file.h"
#include "support/gl_api.h"
#include "support/random.h"
#include "textures/scene_textures.h"

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

namespace {

// "NN-NAME.png" for a slot.
std::string fileName(int slot, TextureKind kind) {
    char name[64];
    std::snprintf(name, sizeof name, "%02d-%s.png", slot, textureKindName(kind));
    return name;
}

// The image GL holds in a slot, rows in upload order. The scene's textures
// are 8 bits a channel, so this is byte for byte what was uploaded.
void readTexture(Texture& texture, std::vector<std::uint8_t>& texels) {
    texels.resize(static_cast<size_t>(sceneTextureSize) * sceneTextureSize * 4);
    texture.bind();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
}

// The slots' GL names die with the export's context: forget them, so nothing
// binds or deletes them in another.
void forgetTextureNames() {
    for (Texture& texture : sceneTextures) {
        texture.id = 0;
    }
    lastBoundTextureId = noTextureBound;
}

} // namespace

bool exportSceneTextures(const std::string& directory, std::uint32_t seed, std::string& error) {
    std::error_code failure;
    std::filesystem::create_directories(directory, failure);
    if (failure) {
        error = "cannot create " + directory + ": " + failure.message();
        return false;
    }

    // The scene is configured in a context of its own; the surface itself is
    // never drawn on.
    std::unique_ptr<OffscreenSurface> surface = OffscreenSurface::create(16, 16, error);
    if (surface == nullptr) {
        return false;
    }
    if (!surface->createContext() || !surface->makeCurrent()) {
        error = "cannot make an offscreen GL context current";
        return false;
    }

    // As a run with this seed does: the stars, the sprite size and the
    // particles draw their numbers before the textures draw theirs.
    randomSeed(seed);
    ConfigureScene();

    bool written = true;
    std::vector<std::uint8_t> texels;
    for (int slot = 0; slot < sceneTextureCount && written; ++slot) {
        readTexture(sceneTextures[slot], texels);
        const std::string path =
            (std::filesystem::path(directory) / fileName(slot, sceneTextureKinds[slot])).string();
        written = writePng(path, sceneTextureSize, sceneTextureSize, PngLayout::Rgba, texels.data(),
                           error);
    }

    ReleaseScene();
    forgetTextureNames();
    surface->destroyContext();
    return written;
}
