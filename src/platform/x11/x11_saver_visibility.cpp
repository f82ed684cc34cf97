// Whether anyone can see the saver window, so that no frame is drawn for
// nobody: not while it, or the window it fills, is unmapped (a daemon's
// window taken off the screen, a minimised window), nor while other windows
// cover it wholly.
//
// The server tells a window's visibility only while it is viewable, and
// tells it again whenever it becomes viewable, however deep the unmapped
// ancestor was; an unmap is heard only for the windows haze watches, the
// saver and the window it fills.
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_state.h"

namespace x11 {

void startFollowingVisibility() {
    XWindowAttributes attributes;
    ErrorTrap trap;
    state.saverViewable = XGetWindowAttributes(display(), state.saver, &attributes) &&
                          !trap.failed() && attributes.map_state == IsViewable;
    state.saverCovered = false; // until the server says otherwise
}

void followVisibility(const XEvent& event) {
    if (state.saver == 0) {
        return;
    }
    if (event.type == UnmapNotify &&
        (event.xunmap.window == state.saver || event.xunmap.window == state.filled)) {
        state.saverViewable = false;
    } else if (event.type == VisibilityNotify && event.xvisibility.window == state.saver) {
        state.saverViewable = true; // only a viewable window hears this
        state.saverCovered = event.xvisibility.state == VisibilityFullyObscured;
    }
}

bool saverSeen() {
    return state.saverViewable && !state.saverCovered;
}

} // namespace x11
