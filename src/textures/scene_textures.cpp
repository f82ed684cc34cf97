#include "textures/scene_textures.h"

#include "textures/alpha_outline.h"

namespace {

// The smoke image's alpha outline, which bounds where the smoke sprites'
// alpha test can let fragments through.
AlphaOutline smokeOutline;

} // namespace

const TextureKind sceneTextureKinds[sceneTextureCount] = {
    TextureKind::SMOKE, TextureKind::FOG,      TextureKind::GRAIN,  TextureKind::SAND,
    TextureKind::RING,  TextureKind::STAR,     TextureKind::SPHERE, TextureKind::NOTSPHERE,
    TextureKind::CHECK, TextureKind::GRADIENT, TextureKind::GRILLE,
};

void generateSceneTextures() {
    for (int slot = 0; slot < sceneTextureCount; ++slot) {
        if (sceneTextureKinds[slot] == TextureKind::SMOKE) {
            sceneTextures[slot].outline = &smokeOutline;
        }
        sceneTextures[slot].generate(sceneTextureKinds[slot], sceneTextureSize, sceneTextureSize,
                                     GL_RGBA, 0);
    }
}
