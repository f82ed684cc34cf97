// The Wayland backend's table, its probe and start, and the seam's entries
// about windows, the process and the cursor that need no more than a look at
// the backend's state.
#include "platform/posix_entries.h"
#include "platform/posix_stop_signals.h"
#include "platform/wayland/wayland_backend.h"
#include "platform/wayland/wayland_state.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace wayland {

State state;

LRESULT deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window != saverHandle || state.saver == SaverKind::None || state.procedure == nullptr) {
        return 0;
    }
    return state.procedure(window, message, wParam, lParam);
}

namespace {

void exitProcess(int code) {
    stopEgl();
    disconnect();
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(code);
}

// The saver's own window is the only one haze knows of.
HWND foregroundWindow() {
    return state.keyboardFocus && state.saver != SaverKind::None ? saverHandle : nullptr;
}

bool setForegroundWindow(HWND window) {
    return window == saverHandle && state.saver != SaverKind::None;
}

// Another client's windows cannot be seen (PlatformLimits::noInstanceSearch).
HWND findWindow(const char*, const char*) {
    return nullptr;
}

bool isWindow(HWND window) {
    return (window == saverHandle && state.saver != SaverKind::None) ||
           (window == desktopHandle && state.layerShell != nullptr) ||
           (window == ownWindowHandle && state.ownWindowOpen);
}

HWND parentWindow(HWND window) {
    if (window != saverHandle) {
        return nullptr;
    }
    switch (state.saver) {
    case SaverKind::Background:
        return desktopHandle;
    case SaverKind::OwnWindow:
        return ownWindowHandle;
    default:
        return nullptr;
    }
}

// The outputs' layout, in logical units: the area a full-screen saver or
// the desktop's background covers.
bool screenRect(RECT* rect) {
    *rect = RECT{0, 0, 0, 0};
    bool any = false;
    for (const auto& output : state.outputs) {
        const RECT area = outputArea(*output);
        if (!any) {
            *rect = area;
            any = true;
        }
        rect->left = std::min(rect->left, area.left);
        rect->top = std::min(rect->top, area.top);
        rect->right = std::max(rect->right, area.right);
        rect->bottom = std::max(rect->bottom, area.bottom);
    }
    return true;
}

bool clientRect(HWND window, RECT* rect) {
    *rect = RECT{0, 0, 0, 0};
    if (window == saverHandle && state.saver != SaverKind::None) {
        *rect = RECT{0, 0, state.frameWidth, state.frameHeight};
        return true;
    }
    if (window == desktopHandle && state.layerShell != nullptr) {
        RECT screen;
        screenRect(&screen);
        *rect = RECT{0, 0, screen.right - screen.left, screen.bottom - screen.top};
        return true;
    }
    if (window == ownWindowHandle && state.ownWindowOpen) {
        const View* own = ownWindowView();
        *rect = RECT{0, 0, own->width * own->scale, own->height * own->scale};
        return true;
    }
    return false;
}

// The saver's surfaces are its monitors.
int monitorRects(HWND window, RECT* rects, int capacity) {
    if (window != saverHandle) {
        return 0;
    }
    int count = 0;
    for (const auto& view : state.views) {
        if (view->placed && count < capacity) {
            rects[count++] = view->region;
        }
    }
    return count;
}

// Known only where the pointer was last seen over one of the saver's
// surfaces (PlatformLimits::pointerOnlyOverOwnSurfaces).
bool cursorPosition(POINT* position) {
    *position = state.pointerAt;
    return state.pointerKnown;
}

Platform makeTable() {
    Platform table;
    table.limits.pointerOnlyOverOwnSurfaces = true;
    table.limits.noForeignWindows = true;
    table.limits.noInstanceSearch = true;
    fillPosixProcessEntries(table);
    table.exitProcess = exitProcess;
    table.foregroundWindow = foregroundWindow;
    table.setForegroundWindow = setForegroundWindow;
    table.findWindow = findWindow;
    table.isWindow = isWindow;
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

// A Wayland session names its compositor; an X display named on the command
// line, or an X daemon's window in the environment, asks for X11 instead.
bool probe(const BackendSettings& settings, std::string& reason) {
    const char* display = std::getenv("WAYLAND_DISPLAY");
    const char* socket = std::getenv("WAYLAND_SOCKET");
    const char* daemonWindow = std::getenv("XSCREENSAVER_WINDOW");
    if ((display == nullptr || *display == '\0') && (socket == nullptr || *socket == '\0')) {
        reason = "no Wayland compositor (WAYLAND_DISPLAY is not set)";
        return false;
    }
    if (!settings.displayName.empty()) {
        reason = "-display names an X display";
        return false;
    }
    if (daemonWindow != nullptr && *daemonWindow != '\0') {
        reason = "XSCREENSAVER_WINDOW names an X daemon's window";
        return false;
    }
    return true;
}

bool start(const BackendSettings& settings, std::string& error) {
    if (!connect(error) || !startEgl(error)) {
        return false;
    }
    if (!installStopSignals()) {
        error = std::string("cannot watch for SIGTERM and SIGINT: ") + std::strerror(errno);
        return false;
    }
    // The compositor paces frames by its frame callbacks; -delay can only
    // space them further.
    state.pacer.setMinimumPeriodUs(settings.minimumFramePeriodUs);
    return true;
}

// -root's window: every output's background, where the compositor has a
// layer shell to put haze there.
HWND desktopWindow() {
    if (state.layerShell == nullptr) {
        std::fprintf(stderr, "haze: -root: this Wayland compositor has no layer shell "
                             "(zwlr_layer_shell_v1), so haze cannot draw on its background\n");
        return nullptr;
    }
    return desktopHandle;
}

bool windowExists(HWND window) {
    return isWindow(window);
}

} // namespace

const Backend& backend() {
    static const Backend wayland = [] {
        Backend entry{};
        entry.name = "wayland";
        entry.probe = probe;
        entry.start = start;
        entry.platform = platformTable;
        entry.desktopWindow = desktopWindow;
        entry.windowExists = windowExists;
        entry.createOwnWindow = createOwnWindow;
        entry.destroyOwnWindow = destroyOwnWindow;
        return entry;
    }();
    return wayland;
}

} // namespace wayland
