// What the scene is: every parameter set in one place, once per window.
#pragma once

// Sets every scene value, builds the star list, places the particles and
// generates the eleven textures, in that order (which fixes which random
// numbers each gets). Called by InitialiseScene with the context current.
void ConfigureScene();

// The steps of ConfigureScene, in its order. Sizes and distances are
// multiplied by the scene state's sceneScale, which ConfigureScene sets to 1
// first.

// The letterboxed view and its camera: field of view, near and far planes.
void ConfigureViews();
// Fog, the light (and the glow's size from it) and the material, applied.
void ConfigureLighting();
// The scene state's switches.
void ConfigureSwitches();
// The shared speeds and the eight oscillators.
void ConfigureAnimation();
// 666 stars in a cube of edge 2.5, built into their display list.
void ConfigureStarField();
// Eight smoke sprites in a cube of edge 3, with a random size for all.
void ConfigureParticles();
// Red, blue, magenta and white in turn, over the colours the particles drew.
void ColourParticles();
