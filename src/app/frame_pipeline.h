// One frame of the scene, and its steps. RenderFrame is the frame hook of the
// saver window (app/scene_hooks.h); the steps are named so each can be
// followed on its own.
#pragma once

struct WindowProjection;

// Advances the eight oscillators by the frame's step, in the order that fixes
// which random numbers each may draw, and copies the veil's opacity and the
// bars' height into the viewport layout.
void UpdateAnimation();
// The three-dimensional view of the current slot: camera, stars, sun glow and
// smoke sprites.
void DrawSceneView();
// Moves the current slot's camera to the oscillators' eye point and aims it at
// the origin.
void UpdateCamera();
// Places the light at the origin and draws its yellow glow; `window` maps
// the current view onto the window, to mark where the glow writes depth.
void DrawSun(const WindowProjection& window);
// The switches of the sun pass on, and off again.
void ApplySceneToggles();
void ResetSceneToggles();
// The full-window passes behind their switches, in window pixels.
void DrawBackgroundPass();
void DrawOverlayPass();
