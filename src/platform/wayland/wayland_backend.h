// The Wayland backend: the platform seam over wayland-client and EGL.
//
// The saver window is a virtual window over haze's surfaces: full screen, a
// surface in the compositor's overlay layer on every output (a fullscreen
// xdg-shell toplevel on each where the compositor has no layer shell) that
// takes the keyboard and hides the pointer; for -root, a surface in the
// background layer of every output; for -window, one xdg-shell toplevel.
// The scene draws one frame the size of the surfaces' layout, whose
// monitors are the surfaces, and each swap copies every surface's region of
// it to that surface. Frames follow the compositor's frame callbacks.
#pragma once

#include "platform/backend.h"

namespace wayland {

// The backend as the program's list of backends names it: "wayland".
const Backend& backend();

} // namespace wayland
