// GLX: the visual the saver window is made with, and its rendering context.
#pragma once

#include "platform/messages.h"
#include "platform/x11/command_options.h"

#include <GL/glx.h>
#include <X11/Xlib.h>

namespace x11 {

// The visual of the GLX format closest to `request` on the default screen
// (see closestPixelFormat), among those of the visual preferVisual names if
// OpenGL can draw there. False when the display offers no RGBA,
// double-buffered window format at all.
bool chooseVisual(const PIXELFORMATDESCRIPTOR& request, XVisualInfo& visual);

// -visual: the screen's default visual or one visual id (Best, the default,
// and Refused leave the choice to closestPixelFormat). A visual OpenGL cannot
// draw in is passed over, with one line on stderr.
void preferVisual(VisualChoice choice, std::uint32_t id);

// A rendering context for drawing into `window` with its own visual: direct
// when the driver allows, else through the server. Null on failure.
GLXContext createContext(Window window);

} // namespace x11
