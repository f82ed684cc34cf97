#include "programs/headless/texture_export.h"

#include "app/scene_configuration.h"
#include "app/scene_hooks.h"
#include "platform/headless/offscreen_surface.h"
#include "programs/headless/output_file.h"
#include "programs/headless/png_file.h"
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
    // Before anything is drawn: the folder can be made or written into, and
    // every file of the set may be replaced.
    std::vector<std::string> paths;
    for (int slot = 0; slot < sceneTextureCount; ++slot) {
        paths.push_back(
            (std::filesystem::path(directory) / fileName(slot, sceneTextureKinds[slot])).string());
    }
    if (!OutputFolder::check(directory, error)) {
        return false;
    }
    std::error_code absent;
    if (std::filesystem::is_directory(directory, absent)) {
        for (const std::string& path : paths) {
            if (!checkOutputPath(path, error)) {
                return false;
            }
        }
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

    // All or nothing: every image goes to a temporary file first, and the set
    // is put in place only once all are written. On failure the files and
    // the folders made for them go again.
    OutputFolder folder;
    std::vector<OutputFile> files(sceneTextureCount);
    bool written = folder.create(directory, error);
    std::vector<std::uint8_t> texels;
    std::string reason;
    for (int slot = 0; slot < sceneTextureCount && written; ++slot) {
        readTexture(sceneTextures[slot], texels);
        OutputFile& file = files[slot];
        written = file.create(paths[slot], error);
        if (written && !encodePng(file.descriptor(), sceneTextureSize, sceneTextureSize,
                                  PngLayout::Rgba, texels.data(), reason)) {
            error = cannotWrite(paths[slot], reason);
            written = false;
        }
        written = written && file.finish(error);
    }
    written = written && commitAll(files, error);
    if (written) {
        folder.keep();
    }

    ReleaseScene();
    forgetTextureNames();
    surface->destroyContext();
    return written;
}
