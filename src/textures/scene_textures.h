// The texture slots of the scene and the images it generates into them.
#pragma once

#include "textures/texture.h"
#include "textures/texture_kind.h"

constexpr int sceneTextureSlots = 20;
// Slots 0 to 10 are generated; 11 to 19 stay empty.
constexpr int sceneTextureCount = 11;
// Every scene texture is this many texels on a side.
constexpr int sceneTextureSize = 256;

// Built before the program's entry runs, with the program's other scene
// objects (app/scene_objects.cpp); no GL name exists until a slot is first
// bound. Slot 0 (SMOKE) textures the smoke sprites, slot 6 (SPHERE) the
// sun glow; all eleven are the images of the background pass.
extern Texture sceneTextures[sceneTextureSlots];

// The kind generated into each of slots 0 to 10.
extern const TextureKind sceneTextureKinds[sceneTextureCount];

// Generates slots 0 to 10 in slot order, 256 × 256 texels, GL_RGBA, without
// mipmaps; the SMOKE slot's image keeps its alpha outline. SMOKE, FOG, GRAIN and SAND draw from the
// shared random sequence in that order. Needs a current GL context.
void generateSceneTextures();
