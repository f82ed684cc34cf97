// GLX: the visual the saver window is made with, and its rendering context.
#pragma once

#include "platform/backend.h"

#include <GL/glx.h>
#include <X11/Xlib.h>

namespace x11 {

// Whether the display speaks GLX at all. Nothing else here may be called
// when it does not: the GL library may crash on the first request.
bool glxAvailable();

// The visual of the GLX format closest to `request` on the default screen
// (see closestPixelFormat), among those of the visual preferVisual names if
// OpenGL can draw there, and among formats whose swap copies the back buffer
// where the display offers them (GLX_OML_swap_method). False when the
// display offers no RGBA, double-buffered window format at all.
bool chooseVisual(const PIXELFORMATDESCRIPTOR& request, XVisualInfo& visual);

// -visual: the screen's default visual or one visual id (Best, the default,
// and Refused leave the choice to closestPixelFormat). A visual OpenGL cannot
// draw in is passed over, with one line on stderr.
void preferVisual(VisualChoice choice, std::uint32_t id);

// Whether a swap of `window` copies its back buffer, leaving it as it was:
// the window's format says so through GLX_OML_swap_method.
bool swapCopiesBackBuffer(Window window);

// Asks the driver to swap `window` at most once a display refresh, with the
// first of GLX_EXT_swap_control, GLX_MESA_swap_control and
// GLX_SGI_swap_control the display offers. Needs the window's context
// current. False when none is offered or the driver refused.
bool setSwapIntervalOne(Window window);

// A rendering context for drawing into `window` with its own visual: direct
// when the driver allows, else through the server. Null on failure.
GLXContext createContext(Window window);

} // namespace x11
