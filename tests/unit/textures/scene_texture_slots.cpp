// The program builds the scene's texture slots with its other scene objects;
// the texture tests, which link no scene, have their own.
#include "textures/scene_textures.h"

Texture sceneTextures[sceneTextureSlots];
