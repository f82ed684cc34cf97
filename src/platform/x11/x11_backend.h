// The X11 backend: the platform seam over Xlib and GLX.
//
// The saver window is an X window made in the GLX visual closest to the
// saver's pixel format: full screen, an override-redirect window over the
// whole screen that takes the focus and grabs keyboard and pointer; as a
// preview or in a daemon's window, a child filling the given window that
// selects no input (which reaches the window's owner) and grabs nothing.
// X events become window messages and go through the saver's window
// procedure; a message queue of the backend's own carries posted messages,
// the quit request and the timers.
#pragma once

#include "platform/backend.h"

namespace x11 {

// The backend as the program's list of backends names it: "x11".
const Backend& backend();

} // namespace x11
