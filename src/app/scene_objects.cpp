// The program's long-lived scene objects, built during static initialisation
// in the order of this file, before the entry runs. No constructor here makes
// a GL call: no context exists yet. The process ends without running their
// destructors; GL objects end with the context.
#include "app/scene_objects.h"

Fog sceneFog;
Light sceneLight;
ViewportLayout viewportLayout; // with its ten slots, each with its camera
StarField starField;
ParticleSystem particleSystem;
FrameClock frameClock;
Sprite glowSprite;
Oscillator cameraX;
Oscillator cameraY;
Oscillator cameraZ;
Oscillator angleX;
Oscillator angleY;
Oscillator angleZ;
Oscillator fade;
Oscillator bar;
Material sceneMaterial;
Texture sceneTextures[sceneTextureSlots];
