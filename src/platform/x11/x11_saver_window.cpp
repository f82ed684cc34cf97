// The saver window's life: its visual, its creation as a full-screen window
// or as a child filling another window, the grabs of a full-screen run, the
// hidden cursor, and its one teardown.
#include "platform/saver_pixel_format.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_glx.h"
#include "platform/x11/x11_state.h"

#include <cstdio>
#include <ctime>

namespace x11 {
namespace {

Cursor invisibleCursor() {
    if (state.invisibleCursor == 0) {
        static const char noBits[1] = {0};
        Pixmap blank = XCreateBitmapFromData(display(), root(), noBits, 1, 1);
        XColor black{};
        state.invisibleCursor = XCreatePixmapCursor(display(), blank, blank, &black, &black, 0, 0);
        XFreePixmap(display(), blank);
    }
    return state.invisibleCursor;
}

// Full screen: input goes to the saver whatever else holds the focus. Another
// program's grab (an open menu, say) is waited out for a second.
void grabInput(Window window) {
    XSetInputFocus(display(), window, RevertToParent, CurrentTime);
    bool keyboard = false;
    bool pointer = false;
    for (int attempt = 0; attempt < 100 && !(keyboard && pointer); ++attempt) {
        if (!keyboard) {
            keyboard = XGrabKeyboard(display(), window, True, GrabModeAsync, GrabModeAsync,
                                     CurrentTime) == GrabSuccess;
        }
        if (!pointer) {
            pointer = XGrabPointer(display(), window, False, ButtonPressMask | PointerMotionMask,
                                   GrabModeAsync, GrabModeAsync, None, invisibleCursor(),
                                   CurrentTime) == GrabSuccess;
        }
        if (!(keyboard && pointer)) {
            const timespec tenMs{0, 10 * 1000 * 1000};
            nanosleep(&tenMs, nullptr);
        }
    }
    if (!keyboard || !pointer) {
        std::fprintf(stderr,
                     "haze: another program holds the %s; input there will not end the "
                     "saver\n",
                     !keyboard ? "keyboard" : "pointer");
    }
}

// From now on the saver window follows the size of `parent` (the root for a
// full-screen saver), and the screen's monitor changes reach it. A parent
// resized before this started watching is caught up with at once.
void followParent(Window parent) {
    state.filled = parent;
    if (parent != state.ownWindow) { // haze's own window watches its structure already
        XSelectInput(display(), parent, StructureNotifyMask);
    }
    XWindowAttributes attributes;
    ErrorTrap trap;
    if (XGetWindowAttributes(display(), parent, &attributes) && !trap.failed()) {
        fillParent(attributes.width, attributes.height);
    }
}

// The visual of the saver's pixel format, once per process. Without one the
// window is made in the screen's default visual and stays black; one line
// says why nothing will be drawn.
void chooseSaverVisual() {
    if (state.visualChosen) {
        return;
    }
    state.visualChosen = true;
    if (!glxAvailable()) {
        std::fprintf(stderr, "haze: the X display has no OpenGL (GLX) extension; nothing will be "
                             "drawn\n");
    } else {
        state.haveVisual = chooseVisual(SaverPixelFormat, state.visual);
        if (!state.haveVisual) {
            confirmConnection(); // a server gone during the search: its own line, not this
            std::fprintf(stderr, "haze: the display offers no double-buffered RGB visual for "
                                 "OpenGL; nothing will be drawn\n");
        }
    }
    if (state.haveVisual) {
        state.colormap = XCreateColormap(display(), root(), state.visual.visual, AllocNone);
    } else {
        state.visual.visual = DefaultVisual(display(), screen());
        state.visual.depth = DefaultDepth(display(), screen());
        state.colormap = DefaultColormap(display(), screen());
    }
}

bool registerSaverClass(const SaverClassDesc& desc) {
    state.procedure = desc.procedure;
    return true;
}

HWND createWindow(const SaverWindowDesc& desc) {
    if (state.saver != 0) {
        return nullptr; // one saver window per process
    }
    chooseSaverVisual();

    const bool fullScreen = desc.parent == nullptr;
    const Window parent = fullScreen ? root() : asWindow(desc.parent);
    XSetWindowAttributes attributes{};
    attributes.colormap = state.colormap;
    attributes.border_pixel = 0;
    // Black, as the class's brush: pixel 0 in the saver's own true-colour
    // colormap, the screen's black in the default one.
    attributes.background_pixel = state.haveVisual ? 0 : BlackPixel(display(), screen());
    // A preview selects no input, so keys and clicks reach the window's owner.
    attributes.event_mask = ExposureMask | StructureNotifyMask | VisibilityChangeMask;
    if (fullScreen) {
        attributes.event_mask |=
            KeyPressMask | ButtonPressMask | PointerMotionMask | FocusChangeMask;
    }
    // Over everything, unmanaged by a window manager: full screen, and a window
    // drawn straight on the root.
    attributes.override_redirect = parent == root() ? True : False;

    Window window = 0;
    {
        ErrorTrap trap;
        window = XCreateWindow(display(), parent, desc.x, desc.y,
                               static_cast<unsigned>(desc.width > 0 ? desc.width : 1),
                               static_cast<unsigned>(desc.height > 0 ? desc.height : 1), 0,
                               state.visual.depth, InputOutput, state.visual.visual,
                               CWColormap | CWBorderPixel | CWBackPixel | CWEventMask |
                                   CWOverrideRedirect,
                               &attributes);
        if (trap.failed()) {
            if (fullScreen) {
                std::fprintf(stderr, "haze: cannot make the full-screen window\n");
            } else {
                std::fprintf(stderr, "haze: cannot make a window inside window 0x%lx\n",
                             static_cast<unsigned long>(parent));
            }
            return nullptr;
        }
    }
    XStoreName(display(), window, desc.title);
    XClassHint hint{};
    hint.res_name = const_cast<char*>("haze");
    hint.res_class = const_cast<char*>(desc.className);
    XSetClassHint(display(), window, &hint);

    state.saver = window;
    state.fullScreen = fullScreen;
    state.width = desc.width > 0 ? desc.width : 1;
    state.height = desc.height > 0 ? desc.height : 1;
    watchSaverWindow(window);
    deliver(window, WM_CREATE, 0, 0);
    if (state.saver == 0) {
        return nullptr; // destroyed during its creation
    }

    if (fullScreen) {
        XMapRaised(display(), window);
        waitUntilMapped(window);
        grabInput(window);
    } else {
        XMapWindow(display(), window);
        if (parent == root()) {
            XLowerWindow(display(), window); // a desktop background, below every window
        }
    }
    followParent(parent);
    startFollowingVisibility();
    XFlush(display());
    deliver(window, WM_SHOWWINDOW, 1, 0);
    return state.saver != 0 ? asHandle(window) : nullptr;
}

LRESULT defaultWindowProc(HWND window, UINT message, WPARAM, LPARAM) {
    if (message == WM_CLOSE && state.saver != 0 && asWindow(window) == state.saver) {
        // A daemon may destroy its window, and the saver's with it, just
        // before it stops haze: then there is nothing left to destroy, and the
        // errors of the last frame drawn into the vanished window are expected.
        endSaverWindow(!windowExists(window));
    }
    return 0;
}

void hideCursor() {
    if (state.saver != 0) {
        XDefineCursor(display(), state.saver, invisibleCursor());
    }
}

} // namespace

void endSaverWindow(bool destroyedByOthers) {
    const Window window = state.saver;
    if (window == 0) {
        return;
    }
    if (!destroyedByOthers && state.fullScreen) {
        XUngrabKeyboard(display(), CurrentTime);
        XUngrabPointer(display(), CurrentTime);
    }
    settleSaverErrors(destroyedByOthers);
    deliver(window, WM_DESTROY, 0, 0);
    state.saver = 0;
    state.filled = 0;
    state.queue.forgetWindow(asHandle(window));
    watchSaverWindow(0);
    if (!destroyedByOthers) {
        XDestroyWindow(display(), window);
        XFlush(display());
    }
}

// The saver window keeps the size of the window it fills; the change of its
// own size then reaches the procedure as WM_SIZE.
void fillParent(int parentWidth, int parentHeight) {
    XWindowAttributes attributes;
    ErrorTrap trap;
    if (XGetWindowAttributes(display(), state.saver, &attributes) && !trap.failed() &&
        (attributes.width != parentWidth || attributes.height != parentHeight)) {
        XResizeWindow(display(), state.saver, static_cast<unsigned>(parentWidth),
                      static_cast<unsigned>(parentHeight));
    }
}

void waitUntilMapped(Window window) {
    XEvent event;
    XWindowEvent(display(), window, StructureNotifyMask, &event);
    while (event.type != MapNotify) {
        XWindowEvent(display(), window, StructureNotifyMask, &event);
    }
}

void fillSaverWindowEntries(Platform& table) {
    table.registerSaverClass = registerSaverClass;
    table.createWindow = createWindow;
    table.defaultWindowProc = defaultWindowProc;
    table.hideCursor = hideCursor;
}

} // namespace x11
