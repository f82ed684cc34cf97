// What the X11 backend's files share: its one record of state, the handle
// conversions, delivery to the saver's procedure, and the parts of the
// seam's table each file fills.
#pragma once

#include "platform/frame_pacer.h"
#include "platform/message_queue.h"
#include "platform/platform.h"

#include <GL/glx.h>
#include <X11/Xlib.h>

#include <cstdint>

namespace x11 {

struct State {
    MessageQueue queue;
    FramePacer pacer; // holds each frame timer message to the display's pace
    WNDPROC procedure = nullptr;
    Window saver = 0;        // the saver window, 0 when there is none
    bool fullScreen = false; // the saver window covers the screen and grabs input
    Window ownWindow = 0;    // -window's top-level window
    Window filled = 0;       // the window the saver fills: its parent, or the root
    int width = 0;           // the saver window's size as last reported, pixels
    int height = 0;
    // Whether the saver window is viewable (it and every window it is inside
    // are mapped) and whether other windows cover it wholly: frames are drawn
    // only while it is viewable and not covered.
    bool saverViewable = false;
    bool saverCovered = false;
    Atom wmProtocols = 0;
    Atom wmDeleteWindow = 0;
    Cursor invisibleCursor = 0;
    bool visualChosen = false; // the saver's visual was looked for (once)
    bool haveVisual = false;   // ...and one for OpenGL was found
    XVisualInfo visual{};
    Colormap colormap = 0;
    // The shortest frame periods the display (its refresh) and -delay ask
    // for, microseconds; the pacer keeps to the longer.
    std::uint64_t refreshPeriodUs = 0;
    std::uint64_t delayUs = 0;
};

extern State state;

inline HWND asHandle(Window window) {
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window));
}

inline Window asWindow(HWND window) {
    return static_cast<Window>(reinterpret_cast<std::uintptr_t>(window));
}

// Calls the saver's procedure when `window` is the saver window; 0 otherwise
// (only the saver window has a procedure here).
LRESULT deliver(Window window, UINT message, WPARAM wParam, LPARAM lParam);

// Whether `window` names an existing window; never reports an X error.
bool windowExists(HWND window);

// --- x11_saver_window.cpp: the saver window's life, size and grabs ---------

void fillSaverWindowEntries(Platform& table);
// The saver window is gone, destroyed by haze or (`destroyedByOthers`) by
// whoever owned its parent: the procedure hears WM_DESTROY, which ends the run.
void endSaverWindow(bool destroyedByOthers);
// The parent the saver fills is now `width` × `height`: the saver follows.
void fillParent(int width, int height);
// Waits until `window` is on screen: the focus and the grabs need that.
void waitUntilMapped(Window window);

// --- x11_saver_visibility.cpp: whether anyone can see the saver window -----

// Reads whether the saver window, mapped and following its parent, is
// viewable now; events keep it up to date from then on.
void startFollowingVisibility();
// Takes in what `event` says of the saver window's visibility: an unmap of
// it or of the window it fills, a change of how much of it is covered.
void followVisibility(const XEvent& event);
// Whether a frame drawn now could be seen by anyone.
bool saverSeen();

// --- x11_message_loop.cpp: events, posted messages and timers ---------------

void fillMessageEntries(Platform& table);

// --- x11_gl_surface.cpp: the saver window's GLX context and swaps ---------

void fillGLSurfaceEntries(Platform& table);
// -delay: keeps the pacer to the longer of it and the display's refresh.
void setMinimumFramePeriod(std::uint64_t microseconds);

// --- x11_own_window.cpp: -window's top-level window ------------------------

HWND createOwnWindow(int width, int height);
void destroyOwnWindow(HWND window);
// Handles an event of the own window: the window manager's close, q and
// Escape ask the saver inside to close.
void handleOwnWindowEvent(XEvent& event);

} // namespace x11
