// Where a frame lands.
//
// Each frame is drawn over the one before, so the buffer the scene draws
// into must still hold the previous frame when the next begins. A window's
// back buffer does after a copying swap; after an exchange or flip swap it
// holds an older frame or garbage, and the trails would break up. So where
// the window system granted no copying swap, frames land on a canvas: a
// colour and depth buffer of haze's own (a framebuffer object) the size of
// the client area, copied to the window's back buffer just before each swap.
// Without framebuffer objects, frames land on the back buffer as they are.
//
// The choice is made once per context. The scene never knows which target
// it draws into. HAZE_CANVAS=on or off in the environment forces the canvas
// on (where framebuffer objects exist) or off, to compare the two.
#pragma once

// Chooses the target for the current context and, for a canvas, makes it at
// the client size and binds it, so that the scene's set-up draws into it
// too. Needs the context current.
void ChooseFrameTarget();

// Before each frame: a canvas follows the client size (what lies outside its
// old size starts black) and is bound for drawing.
void BindFrameTarget();

// After each frame, before the swap: the canvas is copied to the window's
// back buffer, which stays bound, so whatever is drawn after this step lands
// on the window and not on the canvas.
void PresentFrame();

// Gives the canvas back, while the context is still current.
void ReleaseFrameTarget();

// Whether frames land on a canvas.
bool FrameTargetIsCanvas();

// Whether the buffer frames land on still holds the previous frame when the
// next begins: a canvas, or a window whose swap copies its back buffer.
bool FrameTargetKeepsFrames();

// The suffix of the names a context's framebuffer-object entry points go by,
// from its GL_VERSION and GL_EXTENSIONS strings: "" in OpenGL 3.0 and with
// ARB_framebuffer_object, "EXT" with the EXT object and blit pair; null when
// it has no framebuffer objects with a blit.
const char* framebufferNameSuffix(const char* version, const char* extensions);
