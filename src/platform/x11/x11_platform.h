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

#include "platform/platform.h"

#include <cstdint>
#include <string>

namespace x11 {

// Connects to the display `displayName` (empty: the one DISPLAY names; see
// x11::connect) and readies the backend. False, with a one-line reason, when
// there is no display.
bool start(std::string& error, const std::string& displayName = std::string());
// -sync: every X request waits for the server's answer, so an X error is
// reported with the request that caused it.
void setSynchronous();
// -delay: frames start at most once every `microseconds`, or once every
// display refresh where that is longer (the frame timer's 5 ms stays the
// shortest period).
void setMinimumFramePeriod(std::uint32_t microseconds);
const Platform& platformTable();

HWND rootWindow();
// Whether `window` names an existing window; never reports an X error.
bool windowExists(HWND window);

// An ordinary top-level window of haze's own, `width` × `height` pixels, for
// the saver to draw in as in a daemon's window. The window manager's close,
// q and Escape in it close the saver inside. Null on failure.
HWND createOwnWindow(int width, int height);
void destroyOwnWindow(HWND window);

} // namespace x11
