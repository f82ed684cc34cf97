#include "textures/scene_textures.h"

const TextureKind sceneTextureKinds[sceneTextureCount] = {
    TextureKind::SMOKE, TextureKind::FOG,      TextureKind::GRAIN,  TextureKind::SAND,
    TextureKind::RING,  TextureKind::STAR,     TextureKind::SPHERE, TextureKind::NOTSPHERE,
    TextureKind::CHECK, TextureKind::GRADIENT, TextureKind::GRILLE,
};

void generateSceneTextures() {
    for (int slot = 0; slot < sceneTextureCount; ++slot) {
        sceneTextures[slot].generate(sceneTextureKinds[slot], sceneTextureSize, sceneTextureSize,
                                     GL_RGBA, 0);
    }
}
