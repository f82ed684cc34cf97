#include "platform/x11/x11_platform.h"

#include "app/saver_pixel_format.h"
#include "platform/frame_pacer.h"
#include "platform/message_queue.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_display_refresh.h"
#include "platform/x11/x11_event_translation.h"
#include "platform/x11/x11_glx.h"
#include "platform/x11/x11_monitors.h"
#include "platform/x11/x11_stop_signals.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <poll.h>
#include <sched.h>

namespace x11 {
namespace {

struct Backend {
    MessageQueue queue;
    FramePacer pacer; // holds each frame timer message to the display's pace
    WNDPROC procedure = nullptr;
    Window saver = 0;        // the saver window, 0 when there is none
    bool fullScreen = false; // the saver window covers the screen and grabs input
    Window ownWindow = 0;    // -window's top-level window
    Window filled = 0;       // the window the saver fills: its parent, or the root
    int width = 0;           // the saver window's size as last reported, pixels
    int height = 0;
    Atom wmProtocols = 0;
    Atom wmDeleteWindow = 0;
    Cursor invisibleCursor = 0;
    bool visualChosen = false; // the saver's visual was looked for (once)
    bool haveVisual = false;   // ...and one for OpenGL was found
    XVisualInfo visual{};
    Colormap colormap = 0;
    HWND dialog = nullptr; // the configuration "dialog" while it runs
    INT_PTR dialogResult = -1;
    bool dialogEnded = false;
    UINT nextRegisteredMessage = 0xC000;
    // The shortest frame periods the display (its refresh) and -delay ask
    // for, microseconds; the pacer keeps to the longer.
    std::uint64_t refreshPeriodUs = 0;
    std::uint64_t delayUs = 0;
};

Backend backend;

HWND asHandle(Window window) {
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window));
}

Window asWindow(HWND window) {
    return static_cast<Window>(reinterpret_cast<std::uintptr_t>(window));
}

std::uint64_t monotonicUs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000000u +
           static_cast<std::uint64_t>(now.tv_nsec) / 1000u;
}

std::uint64_t monotonicMs() {
    return monotonicUs() / 1000u;
}

LRESULT deliver(Window window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window == 0 || window != backend.saver || backend.procedure == nullptr) {
        return 0; // only the saver window has a procedure here
    }
    return backend.procedure(asHandle(window), message, wParam, lParam);
}

Cursor invisibleCursor() {
    if (backend.invisibleCursor == 0) {
        static const char noBits[1] = {0};
        Pixmap blank = XCreateBitmapFromData(display(), root(), noBits, 1, 1);
        XColor black{};
        backend.invisibleCursor =
            XCreatePixmapCursor(display(), blank, blank, &black, &black, 0, 0);
        XFreePixmap(display(), blank);
    }
    return backend.invisibleCursor;
}

// The saver window is gone (destroyed by haze or by whoever owned its
// parent): the procedure hears WM_DESTROY, which ends the run.
void saverDestroyed(bool byOthers) {
    const Window window = backend.saver;
    if (window == 0) {
        return;
    }
    settleSaverErrors(byOthers);
    deliver(window, WM_DESTROY, 0, 0);
    backend.saver = 0;
    backend.filled = 0;
    backend.queue.forgetWindow(asHandle(window));
    if (byOthers) {
        watchSaverWindow(0);
    }
}

void destroySaver() {
    const Window window = backend.saver;
    if (window == 0) {
        return;
    }
    // A daemon may destroy its window, and the saver's with it, just before
    // it stops haze: then there is nothing left to destroy, and the errors
    // of the last frame drawn into the vanished window are expected.
    if (!windowExists(asHandle(window))) {
        saverDestroyed(true);
        return;
    }
    if (backend.fullScreen) {
        XUngrabKeyboard(display(), CurrentTime);
        XUngrabPointer(display(), CurrentTime);
    }
    settleSaverErrors(false);
    deliver(window, WM_DESTROY, 0, 0);
    backend.saver = 0;
    backend.filled = 0;
    backend.queue.forgetWindow(asHandle(window));
    watchSaverWindow(0);
    XDestroyWindow(display(), window);
    XFlush(display());
}

// Waits until the window is on screen: the focus and the grabs need that.
void waitUntilMapped(Window window) {
    XEvent event;
    XWindowEvent(display(), window, StructureNotifyMask, &event);
    while (event.type != MapNotify) {
        XWindowEvent(display(), window, StructureNotifyMask, &event);
    }
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

void handleOwnWindowEvent(XEvent& event) {
    if (event.type == KeyPress) {
        const KeySym key = XLookupKeysym(&event.xkey, 0);
        if (key == XK_q || key == XK_Escape) {
            backend.queue.post({asHandle(backend.saver), WM_CLOSE, 0, 0});
        }
    } else if (event.type == ClientMessage && event.xclient.message_type == backend.wmProtocols &&
               static_cast<Atom>(event.xclient.data.l[0]) == backend.wmDeleteWindow) {
        backend.queue.post({asHandle(backend.saver), WM_CLOSE, 0, 0});
    }
}

// The saver window keeps the size of the window it fills; the change of its
// own size then reaches the procedure as WM_SIZE.
void fillParent(int parentWidth, int parentHeight) {
    XWindowAttributes attributes;
    ErrorTrap trap;
    if (XGetWindowAttributes(display(), backend.saver, &attributes) && !trap.failed() &&
        (attributes.width != parentWidth || attributes.height != parentHeight)) {
        XResizeWindow(display(), backend.saver, static_cast<unsigned>(parentWidth),
                      static_cast<unsigned>(parentHeight));
    }
}

// From now on the saver window follows the size of `parent` (the root for a
// full-screen saver), and the screen's monitor changes reach it. A parent
// resized before this started watching is caught up with at once.
void followParent(Window parent) {
    backend.filled = parent;
    if (parent != backend.ownWindow) { // haze's own window watches its structure already
        XSelectInput(display(), parent, StructureNotifyMask);
    }
    XWindowAttributes attributes;
    ErrorTrap trap;
    if (XGetWindowAttributes(display(), parent, &attributes) && !trap.failed()) {
        fillParent(attributes.width, attributes.height);
    }
}

void handleEvent(XEvent& event) {
    if (backend.saver != 0 && event.type == ConfigureNotify && backend.filled != 0 &&
        event.xconfigure.window == backend.filled) {
        fillParent(event.xconfigure.width, event.xconfigure.height);
        return;
    }
    if (isMonitorChange(event)) {
        if (backend.saver != 0) {
            deliver(backend.saver, WM_DISPLAYCHANGE, 0, 0);
        }
        return;
    }
    if (backend.ownWindow != 0 && event.xany.window == backend.ownWindow) {
        handleOwnWindowEvent(event);
        return;
    }
    if (backend.saver == 0 || event.xany.window != backend.saver) {
        return;
    }
    if (event.type == DestroyNotify) {
        saverDestroyed(true);
        return;
    }
    TranslatedMessage message;
    if (!translateEvent(event, message)) {
        return;
    }
    if (message.message == WM_SIZE) {
        // A move or restack reconfigures the window too: only a new size counts.
        if (LOWORD(message.lParam) == backend.width && HIWORD(message.lParam) == backend.height) {
            return;
        }
        backend.width = LOWORD(message.lParam);
        backend.height = HIWORD(message.lParam);
    }
    deliver(backend.saver, message.message, message.wParam, message.lParam);
}

// --- the platform table -------------------------------------------------------

bool queryPlatformId(DWORD* platformId) {
    *platformId = 2; // not the Windows 98 family: no password, no AutoPlay
    return true;
}

DWORD tickCount() {
    return static_cast<DWORD>(monotonicMs());
}

void yieldTimeSlice() {
    sched_yield();
}

// One UTF-8 character: a lead byte and its continuation bytes.
const char* nextCharacter(const char* text) {
    if (*text == 0) {
        return text;
    }
    const char* next = text + 1;
    while ((static_cast<unsigned char>(*next) & 0xC0) == 0x80) {
        ++next;
    }
    return next;
}

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

bool isWindow(HWND window) {
    return windowExists(window);
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

bool registerSaverClass(HINSTANCE, WNDPROC procedure) {
    backend.procedure = procedure;
    return true;
}

// The visual of the saver's pixel format, once per process. Without one the
// window is made in the screen's default visual and stays black; one line
// says why nothing will be drawn.
void chooseSaverVisual() {
    if (backend.visualChosen) {
        return;
    }
    backend.visualChosen = true;
    if (!glxAvailable()) {
        std::fprintf(stderr, "haze: the X display has no OpenGL (GLX) extension; nothing will be "
                             "drawn\n");
    } else {
        backend.haveVisual = chooseVisual(SaverPixelFormat, backend.visual);
        if (!backend.haveVisual) {
            std::fprintf(stderr, "haze: the display offers no double-buffered RGB visual for "
                                 "OpenGL; nothing will be drawn\n");
        }
    }
    if (backend.haveVisual) {
        backend.colormap = XCreateColormap(display(), root(), backend.visual.visual, AllocNone);
    } else {
        backend.visual.visual = DefaultVisual(display(), screen());
        backend.visual.depth = DefaultDepth(display(), screen());
        backend.colormap = DefaultColormap(display(), screen());
    }
}

HWND createWindow(const SaverWindowDesc& desc) {
    if (backend.saver != 0) {
        return nullptr; // one saver window per process
    }
    chooseSaverVisual();

    const bool fullScreen = desc.parent == nullptr;
    const Window parent = fullScreen ? root() : asWindow(desc.parent);
    XSetWindowAttributes attributes{};
    attributes.colormap = backend.colormap;
    attributes.border_pixel = 0;
    // Black, as the class's brush: pixel 0 in the saver's own true-colour
    // colormap, the screen's black in the default one.
    attributes.background_pixel = backend.haveVisual ? 0 : BlackPixel(display(), screen());
    // A preview selects no input, so keys and clicks reach the window's owner.
    attributes.event_mask = ExposureMask | StructureNotifyMask;
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
                               backend.visual.depth, InputOutput, backend.visual.visual,
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

    backend.saver = window;
    backend.fullScreen = fullScreen;
    backend.width = desc.width > 0 ? desc.width : 1;
    backend.height = desc.height > 0 ? desc.height : 1;
    watchSaverWindow(window);
    deliver(window, WM_CREATE, 0, 0);
    if (backend.saver == 0) {
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
    XFlush(display());
    deliver(window, WM_SHOWWINDOW, 1, 0);
    return backend.saver != 0 ? asHandle(window) : nullptr;
}

// Windows' order of retrieval: posted messages, then input, then the quit
// request, then timers once nothing else waits. A stop signal is a close
// request for the saver window.
int runMessageLoop() {
    const int connectionFd = ConnectionNumber(display());
    for (;;) {
        if (takeStopRequest()) {
            if (backend.saver != 0) {
                backend.queue.post({asHandle(backend.saver), WM_CLOSE, 0, 0});
            } else {
                backend.queue.postQuit(0);
            }
        }
        QueuedMessage message;
        if (backend.queue.takePosted(message)) {
            deliver(asWindow(message.window), message.message, message.wParam, message.lParam);
            continue;
        }
        if (XPending(display()) > 0) {
            XEvent event;
            XNextEvent(display(), &event);
            handleEvent(event);
            continue;
        }
        if (saverErrorsHeld()) {
            // Errors about the saver window: harmless if it has just gone.
            if (windowExists(asHandle(backend.saver))) {
                settleSaverErrors(false);
            } else {
                saverDestroyed(true);
            }
            continue;
        }
        int exitCode = 0;
        if (backend.queue.quitRequested(exitCode)) {
            return exitCode;
        }
        // Every timer message draws a frame: a due timer waits for the
        // pacer, which keeps frames to the display's refresh.
        const std::uint64_t holdUs = backend.pacer.usUntilNextFrame(monotonicUs());
        if (holdUs == 0 && backend.queue.takeDueTimer(monotonicMs(), message)) {
            backend.pacer.frameStarted(monotonicUs());
            deliver(asWindow(message.window), message.message, message.wParam, message.lParam);
            continue;
        }
        const std::int64_t timerMs = backend.queue.msUntilNextTimer(monotonicMs());
        const std::int64_t waitUs =
            timerMs < 0 ? -1
                        : std::max<std::int64_t>(timerMs * 1000, static_cast<std::int64_t>(holdUs));
        const timespec timeout{static_cast<time_t>(waitUs / 1000000),
                               static_cast<long>(waitUs % 1000000) * 1000};
        pollfd watched[2] = {{connectionFd, POLLIN, 0}, {stopSignalFd(), POLLIN, 0}};
        const int ready =
            ppoll(watched, stopSignalFd() >= 0 ? 2 : 1, waitUs < 0 ? nullptr : &timeout, nullptr);
        if (ready < 0 && errno != EINTR) {
            std::fprintf(stderr, "haze: waiting for events failed: %s\n", std::strerror(errno));
            return 1;
        }
    }
}

LRESULT defaultWindowProc(HWND window, UINT message, WPARAM, LPARAM) {
    if (message == WM_CLOSE && backend.saver != 0 && asWindow(window) == backend.saver) {
        destroySaver();
    }
    return 0;
}

bool postMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    backend.queue.post({window, message, wParam, lParam});
    return true;
}

LRESULT sendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return deliver(asWindow(window), message, wParam, lParam);
}

void postQuitMessage(int exitCode) {
    backend.queue.postQuit(exitCode);
}

bool removePendingTimer(HWND window) {
    return backend.queue.removePendingTimer(window, monotonicMs());
}

UINT registerWindowMessage(const char*) {
    return backend.nextRegisteredMessage++;
}

bool setTimer(HWND window, UINT_PTR id, UINT periodMs) {
    backend.queue.setTimer(window, id, periodMs, monotonicMs());
    return true;
}

bool killTimer(HWND window, UINT_PTR id) {
    return backend.queue.killTimer(window, id);
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

void hideCursor() {
    if (backend.saver != 0) {
        XDefineCursor(display(), backend.saver, invisibleCursor());
    }
}

// haze keeps no settings, so the configuration says so in one line and is
// answered as OK, through the dialog procedure as a button press would be.
INT_PTR runDialog(HINSTANCE, int, HWND, DLGPROC procedure, LPARAM param) {
    std::printf("haze has no settings to change; haze --help lists its modes and options.\n");
    backend.dialog = reinterpret_cast<HWND>(std::uintptr_t{1});
    backend.dialogEnded = false;
    procedure(backend.dialog, WM_INITDIALOG, 0, param);
    procedure(backend.dialog, WM_COMMAND, IDOK, 0);
    backend.dialog = nullptr;
    return backend.dialogEnded ? backend.dialogResult : -1;
}

bool endDialog(HWND dialog, INT_PTR result) {
    if (dialog == nullptr || dialog != backend.dialog) {
        return false;
    }
    backend.dialogEnded = true;
    backend.dialogResult = result;
    return true;
}

// No system libraries, registry or system parameters on Linux.
HMODULE noModule(const char*) {
    return nullptr;
}

void freeLibrary(HMODULE) {}

FARPROC procAddress(HMODULE, const char*) {
    return nullptr;
}

bool readUserDword(const char*, const char*, DWORD*) {
    return false;
}

void systemParameter(UINT, UINT) {}

// A window's "device context" is the window itself.
HDC windowDeviceContext(HWND window) {
    return reinterpret_cast<HDC>(window);
}

void releaseDeviceContext(HWND, HDC) {}

// The window's visual is its pixel format, fixed when it was made: true when
// that is the format closest to the request.
bool setPixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR& request) {
    if (!glxAvailable()) {
        return false;
    }
    XVisualInfo closest{};
    XWindowAttributes attributes;
    ErrorTrap trap;
    if (!chooseVisual(request, closest) ||
        !XGetWindowAttributes(display(), asWindow(reinterpret_cast<HWND>(dc)), &attributes) ||
        trap.failed()) {
        return false;
    }
    return XVisualIDFromVisual(attributes.visual) == closest.visualid;
}

// A failure is not fatal: the saver runs on and draws nothing visible, as
// on Windows; a person at a terminal learns why.
HGLRC createGLContext(HDC dc) {
    if (!glxAvailable()) {
        return nullptr; // already said: no GLX
    }
    GLXContext context = createContext(asWindow(reinterpret_cast<HWND>(dc)));
    if (context == nullptr) {
        std::fprintf(stderr, "haze: cannot create an OpenGL context; nothing will be drawn\n");
    }
    return reinterpret_cast<HGLRC>(context);
}

// Frames of the saver window: the driver's own pacing where it offers it (a
// swap waits for the display's refresh), and the frame timer held to the
// refresh period whether or not: a driver may accept a swap interval and not
// keep it, and some (Mesa on a virtual server) offer none.
void startPacing(Window window) {
    const bool driverPaces = setSwapIntervalOne(window);
    backend.refreshPeriodUs = minimumFramePeriodUs(displayRefreshHz(), driverPaces);
    backend.pacer.setMinimumPeriodUs(std::max(backend.refreshPeriodUs, backend.delayUs));
}

bool makeCurrent(HDC dc, HGLRC context) {
    if (!glxAvailable()) {
        return false;
    }
    confirmConnection();
    if (context == nullptr) {
        return glXMakeCurrent(display(), None, nullptr) == True;
    }
    const Window window = asWindow(reinterpret_cast<HWND>(dc));
    if (glXMakeCurrent(display(), window, reinterpret_cast<GLXContext>(context)) != True) {
        return false;
    }
    if (window == backend.saver) {
        startPacing(window);
    }
    return true;
}

void swapBuffers(HDC dc) {
    const Window window = asWindow(reinterpret_cast<HWND>(dc));
    if (window != 0 && window == backend.saver && glxAvailable()) {
        glXSwapBuffers(display(), window);
    }
}

void deleteGLContext(HGLRC context) {
    if (context != nullptr) {
        glXDestroyContext(display(), reinterpret_cast<GLXContext>(context));
    }
}

bool swapKeepsBackBuffer(HDC dc) {
    return glxAvailable() && swapCopiesBackBuffer(asWindow(reinterpret_cast<HWND>(dc)));
}

GLEntryPoint glEntryPoint(const char* name) {
    if (!glxAvailable()) {
        return nullptr;
    }
    return glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name));
}

const Platform table = {
    queryPlatformId,
    tickCount,
    yieldTimeSlice,
    nextCharacter,
    exitProcess,
    foregroundWindow,
    setForegroundWindow,
    findWindow,
    isWindow,
    parentWindow,
    clientRect,
    screenRect,
    monitorRects,
    registerSaverClass,
    createWindow,
    runMessageLoop,
    defaultWindowProc,
    postMessage,
    sendMessage,
    postQuitMessage,
    removePendingTimer,
    registerWindowMessage,
    setTimer,
    killTimer,
    cursorPosition,
    hideCursor,
    runDialog,
    endDialog,
    noModule,
    noModule,
    freeLibrary,
    procAddress,
    readUserDword,
    systemParameter,
    windowDeviceContext,
    releaseDeviceContext,
    setPixelFormat,
    createGLContext,
    makeCurrent,
    swapBuffers,
    deleteGLContext,
    swapKeepsBackBuffer,
    glEntryPoint,
};

} // namespace

bool start(std::string& error, const std::string& displayName) {
    if (!connect(error, displayName)) {
        return false;
    }
    backend.wmProtocols = XInternAtom(display(), "WM_PROTOCOLS", False);
    backend.wmDeleteWindow = XInternAtom(display(), "WM_DELETE_WINDOW", False);
    watchMonitorChanges();
    if (!installStopSignals()) {
        error = std::string("cannot watch for SIGTERM and SIGINT: ") + std::strerror(errno);
        return false;
    }
    return true;
}

void setSynchronous() {
    XSynchronize(display(), True);
}

void setMinimumFramePeriod(std::uint32_t microseconds) {
    backend.delayUs = microseconds;
    backend.pacer.setMinimumPeriodUs(std::max(backend.refreshPeriodUs, backend.delayUs));
}

const Platform& platformTable() {
    return table;
}

HWND rootWindow() {
    return asHandle(root());
}

bool windowExists(HWND window) {
    if (window == nullptr) {
        return false;
    }
    XWindowAttributes attributes;
    ErrorTrap trap;
    return XGetWindowAttributes(display(), asWindow(window), &attributes) != 0 && !trap.failed();
}

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
    XSetWMProtocols(display(), window, &backend.wmDeleteWindow, 1);
    XMapWindow(display(), window);
    waitUntilMapped(window);
    backend.ownWindow = window;
    return asHandle(window);
}

void destroyOwnWindow(HWND window) {
    if (window != nullptr && asWindow(window) == backend.ownWindow) {
        XDestroyWindow(display(), backend.ownWindow);
        backend.ownWindow = 0;
        XFlush(display());
    }
}

} // namespace x11
