// -window: an ordinary top-level window of haze's own, which the saver fills
// as it fills a daemon's window.
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_state.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace x11 {

HWND createOwnWindow(int width, int height) {
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(display(), screen());
    attributes.event_mask = KeyPressMask | StructureNotifyMask;
    const Window window = XCreateWindow(
        display(), root(), 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
        CopyFromParent, InputOutput, CopyFromParent, CWBackPixel | CWEventMask, &attributes);
    if (window == 0) {
        return nullptr;
    }
    XStoreName(display(), window, "haze");
    XClassHint hint{};
    hint.res_name = const_cast<char*>("haze");
    hint.res_class = const_cast<char*>("Haze");
    XSetClassHint(display(), window, &hint);
    XSetWMProtocols(display(), window, &state.wmDeleteWindow, 1);
    XMapWindow(display(), window);
    waitUntilMapped(window);
    state.ownWindow = window;
    return asHandle(window);
}

void destroyOwnWindow(HWND window) {
    if (window != nullptr && asWindow(window) == state.ownWindow) {
        XDestroyWindow(display(), state.ownWindow);
        state.ownWindow = 0;
        XFlush(display());
    }
}

void handleOwnWindowEvent(XEvent& event) {
    if (event.type == KeyPress) {
        const KeySym key = XLookupKeysym(&event.xkey, 0);
        if (key == XK_q || key == XK_Escape) {
            state.queue.post({asHandle(state.saver), WM_CLOSE, 0, 0});
        }
    } else if (event.type == ClientMessage && event.xclient.message_type == state.wmProtocols &&
               static_cast<Atom>(event.xclient.data.l[0]) == state.wmDeleteWindow) {
        state.queue.post({asHandle(state.saver), WM_CLOSE, 0, 0});
    }
}

} // namespace x11
