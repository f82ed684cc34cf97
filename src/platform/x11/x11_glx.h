// GLX: the visual the saver window is made with, and its rendering context.
#pragma once

#include "platform/messages.h"

#include <GL/glx.h>
#include <X11/Xlib.h>

namespace x11 {

// Whether the display speaks GLX at all. Nothing else here may be called
// when it does not: the GL library may crash on the first request.
bool glxAvailable();

// The visual of the GLX format closest to `request` on the default screen
// (see closestPixelFormat). False when the display offers no RGBA,
// double-buffered window format at all.
bool chooseVisual(const PIXELFORMATDESCRIPTOR& request, XVisualInfo& visual);

// A rendering context for drawing into `window` with its own visual: direct
// when the driver allows, else through the server. Null on failure.
GLXContext createContext(Window window);

} // namespace x11
