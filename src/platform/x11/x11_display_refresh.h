// How often the X server's displays refresh, from the RandR extension.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

namespace x11 {

// The refresh rate of a display mode in hertz (frames a second): its pixel
// clock over the pixels of one frame, blanking included. 0 when the mode
// gives no timings, as a virtual server's modes do.
double modeRefreshHz(const XRRModeInfo& mode);

// The highest refresh rate among the screen's lit displays, so that frames
// keep up with the fastest of them; 0 when the server does not say (no RandR
// 1.3, or modes without timings).
double displayRefreshHz();

} // namespace x11
