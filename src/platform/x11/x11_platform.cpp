// The X11 backend's table, its start, and the seam's entries about windows,
// the process and the cursor that need no more than a question to the server.
#include "platform/posix_entries.h"
#include "platform/posix_stop_signals.h"
#include "platform/x11/x11_backend.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_glx.h"
#include "platform/x11/x11_monitors.h"
#include "platform/x11/x11_state.h"

#include <X11/Xutil.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace x11 {

State state;

LRESULT deliver(Window window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window == 0 || window != state.saver || state.procedure == nullptr) {
        return 0;
    }
    return state.procedure(asHandle(window), message, wParam, lParam);
}

bool windowExists(HWND window) {
    if (window == nullptr) {
        return false;
    }
    XWindowAttributes attributes;
    ErrorTrap trap;
    return XGetWindowAttributes(display(), asWindow(window), &attributes) != 0 && !trap.failed();
}

namespace {

void exitProcess(int code) {
    disconnect();
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(code);
}

HWND foregroundWindow() {
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display(), &focus, &revert);
    return focus == None || focus == PointerRoot ? nullptr : asHandle(focus);
}

bool setForegroundWindow(HWND window) {
    ErrorTrap trap;
    XRaiseWindow(display(), asWindow(window));
    XSetInputFocus(display(), asWindow(window), RevertToParent, CurrentTime);
    return !trap.failed();
}

bool hasClassAndTitle(Window window, const char* className, const char* title) {
    bool matches = false;
    XClassHint hint{};
    if (XGetClassHint(display(), window, &hint)) {
        matches = hint.res_class != nullptr && std::strcmp(hint.res_class, className) == 0;
        XFree(hint.res_name);
        XFree(hint.res_class);
    }
    if (matches) {
        char* name = nullptr;
        matches = XFetchName(display(), window, &name) && name != nullptr &&
                  std::strcmp(name, title) == 0;
        XFree(name);
    }
    return matches;
}

HWND findWindow(const char* className, const char* title) {
    ErrorTrap trap; // a window may go away while it is looked at
    Window rootReturn = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    HWND found = nullptr;
    if (XQueryTree(display(), root(), &rootReturn, &parent, &children, &count)) {
        for (unsigned i = 0; i < count && found == nullptr; ++i) {
            if (hasClassAndTitle(children[i], className, title)) {
                found = asHandle(children[i]);
            }
        }
        XFree(children);
    }
    return found;
}

HWND parentWindow(HWND window) {
    ErrorTrap trap;
    Window rootReturn = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display(), asWindow(window), &rootReturn, &parent, &children, &count)) {
        return nullptr;
    }
    XFree(children);
    return trap.failed() || parent == rootReturn ? nullptr : asHandle(parent);
}

bool clientRect(HWND window, RECT* rect) {
    *rect = RECT{0, 0, 0, 0};
    XWindowAttributes attributes;
    ErrorTrap trap;
    if (!XGetWindowAttributes(display(), asWindow(window), &attributes) || trap.failed()) {
        return false;
    }
    *rect = RECT{0, 0, attributes.width, attributes.height};
    return true;
}

bool screenRect(RECT* rect) {
    *rect = RECT{0, 0, DisplayWidth(display(), screen()), DisplayHeight(display(), screen())};
    return true;
}

int monitorRects(HWND window, RECT* rects, int capacity) {
    return monitorsCovered(asWindow(window), rects, capacity);
}

bool cursorPosition(POINT* position) {
    Window rootReturn = 0;
    Window child = 0;
    int rootX = 0;
    int rootY = 0;
    int windowX = 0;
    int windowY = 0;
    unsigned mask = 0;
    XQueryPointer(display(), root(), &rootReturn, &child, &rootX, &rootY, &windowX, &windowY,
                  &mask);
    *position = POINT{rootX, rootY};
    return true;
}

Platform makeTable() {
    Platform table;
    fillPosixProcessEntries(table);
    table.exitProcess = exitProcess;
    table.foregroundWindow = foregroundWindow;
    table.setForegroundWindow = setForegroundWindow;
    table.findWindow = findWindow;
    table.isWindow = windowExists;
    table.parentWindow = parentWindow;
    table.clientRect = clientRect;
    table.screenRect = screenRect;
    table.monitorRects = monitorRects;
    table.cursorPosition = cursorPosition;
    fillSaverWindowEntries(table);
    fillMessageEntries(table);
    fillGLSurfaceEntries(table);
    return table;
}

const Platform& platformTable() {
    static const Platform table = makeTable();
    return table;
}

bool probe(const BackendSettings& settings, std::string& reason) {
    return named(settings.displayName, reason);
}

bool start(const BackendSettings& settings, std::string& error) {
    if (!connect(error, settings.displayName)) {
        return false;
    }
    state.wmProtocols = XInternAtom(display(), "WM_PROTOCOLS", False);
    state.wmDeleteWindow = XInternAtom(display(), "WM_DELETE_WINDOW", False);
    watchMonitorChanges();
    if (!installStopSignals()) {
        error = std::string("cannot watch for SIGTERM and SIGINT: ") + std::strerror(errno);
        return false;
    }
    // -sync: every X request waits for the server's answer, so an X error
    // is reported with the request that caused it.
    if (settings.synchronous) {
        XSynchronize(display(), True);
    }
    setMinimumFramePeriod(settings.minimumFramePeriodUs);
    preferVisual(settings.visual, settings.visualId);
    return true;
}

HWND desktopWindow() {
    return asHandle(root());
}

} // namespace

const Backend& backend() {
    static const Backend x11 = [] {
        Backend entry{};
        entry.name = "x11";
        entry.probe = probe;
        entry.start = start;
        entry.platform = platformTable;
        entry.desktopWindow = desktopWindow;
        entry.windowExists = windowExists;
        entry.createOwnWindow = createOwnWindow;
        entry.destroyOwnWindow = destroyOwnWindow;
        return entry;
    }();
    return x11;
}

} // namespace x11
