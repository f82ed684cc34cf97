// -window: an ordinary xdg-shell toplevel of haze's own, which the saver
// fills as it fills a daemon's window; it closes with the compositor's close,
// q and Escape.
#include "platform/wayland/wayland_state.h"

namespace wayland {

View* ownWindowView() {
    for (auto& view : state.views) {
        if (view->role == SurfaceRole::Toplevel) {
            return view.get();
        }
    }
    return nullptr;
}

HWND createOwnWindow(int width, int height) {
    if (state.ownWindowOpen || state.wmBase == nullptr) {
        return nullptr;
    }
    View* view = createView(SurfaceRole::Toplevel, nullptr);
    if (view == nullptr) {
        return nullptr;
    }
    // The size asked for, in the compositor's logical units, unless its
    // first configure names another.
    view->width = width;
    view->height = height;
    awaitConfiguration();
    state.ownWindowOpen = true;
    return ownWindowHandle;
}

void destroyOwnWindow(HWND window) {
    if (window == ownWindowHandle && state.ownWindowOpen) {
        destroyView(ownWindowView());
        state.ownWindowOpen = false;
        flush();
    }
}

} // namespace wayland
