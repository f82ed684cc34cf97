// The program's long-lived scene objects: globals built before the entry
// runs, configured when the saver window is created, drawn every frame.
#pragma once

#include "scene/oscillator.h"
#include "scene/viewport_layout.h"
#include "support/frame_clock.h"
#include "textures/scene_textures.h"
#include "visuals/fog.h"
#include "visuals/light.h"
#include "visuals/material.h"
#include "visuals/particle_system.h"
#include "visuals/sprite.h"
#include "visuals/star_field.h"

extern Fog sceneFog;
extern Light sceneLight;
extern ViewportLayout viewportLayout;
extern StarField starField;
extern ParticleSystem particleSystem;
extern Sprite glowSprite;

// The eight oscillators that animate the scene.
extern Oscillator cameraX; // the eye point, each from −1 to 1
extern Oscillator cameraY;
extern Oscillator cameraZ;
extern Oscillator angleX; // the camera's angles, degrees from −180 to 180
extern Oscillator angleY;
extern Oscillator angleZ;
extern Oscillator fade; // the veil's opacity, 0.05 to 0.55
extern Oscillator bar;  // the letterbox bars' height fraction, 0 to 0.25

extern Material sceneMaterial;

// The viewport slot of the three-dimensional view: letterboxed between the
// bars; its camera is the scene's camera.
constexpr int sceneViewSlot = 1;
