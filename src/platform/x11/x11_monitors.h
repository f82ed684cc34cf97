// The monitors of the X display, as XRandR 1.5 (or else Xinerama) reports
// them, seen from one window.
#pragma once

#include "platform/messages.h"

#include <X11/Xlib.h>

namespace x11 {

// Connects the monitor queries to the display: asks RandR to report screen
// changes on the root window. False when the server has no RandR.
bool watchMonitorChanges();
// Whether `event` tells of a change of the screen's size or monitors; takes
// the news into Xlib's idea of the screen.
bool isMonitorChange(XEvent& event);

// The monitors `window` covers, whole or in part, in its client coordinates;
// at most `capacity` of them, and their count. Monitors that RandR reports
// are used when there are two or more; else Xinerama's screens.
int monitorsCovered(Window window, RECT* rects, int capacity);

} // namespace x11
