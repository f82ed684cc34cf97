#include "platform/headless/headless_platform.h"

#include "platform/headless/offscreen_surface.h"
#include "platform/message_queue.h"
#include "platform/platform.h"
#include "support/frame_clock.h"

#include <EGL/egl.h>
#include <GL/gl.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <sched.h>

namespace headless {
namespace {

// Handles of the headless run: one virtual parent, one saver window, one
// device context and one rendering context.
const HWND virtualParent = reinterpret_cast<HWND>(std::uintptr_t{1});
const HWND saverWindow = reinterpret_cast<HWND>(std::uintptr_t{2});
const HDC surfaceDc = reinterpret_cast<HDC>(std::uintptr_t{1});
const HGLRC surfaceContext = reinterpret_cast<HGLRC>(std::uintptr_t{1});

struct Run {
    Session request;
    std::unique_ptr<OffscreenSurface> surface;
    std::vector<std::uint8_t>* picture = nullptr;
    MessageQueue queue;
    WNDPROC procedure = nullptr;
    bool windowAlive = false;
    bool timerRunning = false;
    UINT_PTR timerId = 0;
    double simulatedMs = 0.0;
};

std::unique_ptr<Run> run; // the run under way, from start to stop

double simulatedMilliseconds() {
    return run->simulatedMs;
}

LRESULT deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window != saverWindow || !run->windowAlive || run->procedure == nullptr) {
        return 0; // the virtual parent has no procedure: nothing to do
    }
    return run->procedure(window, message, wParam, lParam);
}

void pumpPosted() {
    QueuedMessage m;
    while (run->queue.takePosted(m)) {
        deliver(m.window, m.message, m.wParam, m.lParam);
    }
}

void capture() {
    run->surface->readRgb(*run->picture);
}

// --- the platform table -------------------------------------------------------

bool queryPlatformId(DWORD* platformId) {
    *platformId = 2; // not the Windows 98 family: no password, no AutoPlay
    return true;
}

// The real clock: an unseeded render differs from run to run like the saver.
DWORD tickCount() {
    using namespace std::chrono;
    return static_cast<DWORD>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void yieldTimeSlice() {
    sched_yield();
}

const char* nextCharacter(const char* text) {
    return *text != 0 ? text + 1 : text;
}

void exitProcess(int code) {
    std::_Exit(code);
}

HWND noWindow() {
    return nullptr;
}

bool setForegroundWindow(HWND) {
    return false;
}

HWND findWindow(const char*, const char*) {
    return nullptr;
}

bool isWindow(HWND window) {
    return window == virtualParent || (window == saverWindow && run->windowAlive);
}

HWND parentWindow(HWND window) {
    return window == saverWindow ? virtualParent : nullptr;
}

bool clientRect(HWND window, RECT* rect) {
    if (!isWindow(window)) {
        *rect = RECT{0, 0, 0, 0};
        return false;
    }
    *rect = RECT{0, 0, run->request.width, run->request.height};
    return true;
}

bool screenRect(RECT* rect) {
    *rect = RECT{0, 0, run->request.width, run->request.height};
    return true;
}

int monitorRects(HWND window, RECT* rects, int capacity) {
    if (window != saverWindow) {
        return 0;
    }
    int count = 0;
    for (const RECT& monitor : run->request.monitors) {
        if (count < capacity) {
            rects[count++] = monitor;
        }
    }
    return count;
}

bool registerSaverClass(const SaverClassDesc& desc) {
    run->procedure = desc.procedure;
    return true;
}

HWND createWindow(const SaverWindowDesc& desc) {
    if (desc.parent != virtualParent || run->windowAlive) {
        return nullptr;
    }
    run->windowAlive = true;
    deliver(saverWindow, WM_CREATE, 0, 0);
    return saverWindow;
}

// WM_CREATE has drawn the scene's first clear; then `frames` timer messages,
// each one simulated step later; then a close request ends the run.
int runMessageLoop() {
    pumpPosted();
    if (run->request.frames == 0) {
        capture();
    }
    for (int frame = 1; frame <= run->request.frames && run->windowAlive; ++frame) {
        run->simulatedMs = frame * run->request.stepMs;
        if (run->timerRunning) {
            deliver(saverWindow, WM_TIMER, run->timerId, 0);
        }
        if (frame == run->request.frames) {
            capture();
        }
        pumpPosted();
    }
    if (run->windowAlive) {
        run->queue.post({saverWindow, WM_CLOSE, 0, 0});
    }
    int exitCode = 0;
    while (!run->queue.quitRequested(exitCode)) {
        if (!run->queue.hasPosted()) {
            return -1; // nothing left that could end the run
        }
        pumpPosted();
    }
    return exitCode;
}

LRESULT defaultWindowProc(HWND window, UINT message, WPARAM, LPARAM) {
    if (message == WM_CLOSE && window == saverWindow && run->windowAlive) {
        deliver(window, WM_DESTROY, 0, 0);
        run->windowAlive = false;
        run->timerRunning = false;
        run->queue.forgetWindow(window);
    }
    return 0;
}

bool postMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    run->queue.post({window, message, wParam, lParam});
    return true;
}

LRESULT sendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return deliver(window, message, wParam, lParam);
}

void postQuitMessage(int exitCode) {
    run->queue.postQuit(exitCode);
}

bool removePendingTimer(HWND) {
    return false; // timer messages are delivered, never queued
}

UINT registerWindowMessage(const char*) {
    return 0;
}

bool setTimer(HWND window, UINT_PTR id, UINT) {
    if (window != saverWindow) {
        return false;
    }
    run->timerRunning = true;
    run->timerId = id;
    return true;
}

bool killTimer(HWND window, UINT_PTR id) {
    if (window != saverWindow || !run->timerRunning || run->timerId != id) {
        return false;
    }
    run->timerRunning = false;
    return true;
}

bool cursorPosition(POINT* position) {
    *position = POINT{0, 0};
    return true;
}

void hideCursor() {}

INT_PTR runDialog(HINSTANCE, int, HWND, DLGPROC, LPARAM) {
    return -1;
}

bool endDialog(HWND, INT_PTR) {
    return false;
}

HDC windowDeviceContext(HWND window) {
    return window == saverWindow ? surfaceDc : nullptr;
}

void releaseDeviceContext(HWND, HDC) {}

// The surface was made in the saver's own format; nothing else is offered.
bool setPixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR&) {
    return dc == surfaceDc;
}

HGLRC createGLContext(HDC dc) {
    return dc == surfaceDc && run->surface->createContext() ? surfaceContext : nullptr;
}

bool makeCurrent(HDC dc, HGLRC context) {
    if (context == nullptr) {
        run->surface->releaseCurrent();
        return true;
    }
    return dc == surfaceDc && context == surfaceContext && run->surface->makeCurrent();
}

// The pbuffer has one colour buffer: a finished frame is already "shown".
// Each frame is finished here, as a window's swap holds back a program that
// runs ahead of the display: otherwise the renderer queues the commands of
// frame after frame (all of them, until the picture is read, without even a
// flush; a bounded but growing backlog with one), and a long run's memory
// grows with its length.
void swapBuffers(HDC dc) {
    if (dc == surfaceDc) {
        glFinish();
    }
}

void deleteGLContext(HGLRC context) {
    if (context == surfaceContext) {
        run->surface->destroyContext();
    }
}

// One colour buffer, never swapped: each frame finds the last one in place.
bool swapKeepsBackBuffer(HDC) {
    return true;
}

GLEntryPoint glEntryPoint(const char* name) {
    return eglGetProcAddress(name);
}

Platform makeTable() {
    Platform table;
    table.queryPlatformId = queryPlatformId;
    table.tickCount = tickCount;
    table.yieldTimeSlice = yieldTimeSlice;
    table.nextCharacter = nextCharacter;
    table.exitProcess = exitProcess;
    table.foregroundWindow = noWindow;
    table.setForegroundWindow = setForegroundWindow;
    table.findWindow = findWindow;
    table.isWindow = isWindow;
    table.parentWindow = parentWindow;
    table.clientRect = clientRect;
    table.screenRect = screenRect;
    table.monitorRects = monitorRects;
    table.registerSaverClass = registerSaverClass;
    table.createWindow = createWindow;
    table.runMessageLoop = runMessageLoop;
    table.defaultWindowProc = defaultWindowProc;
    table.postMessage = postMessage;
    table.sendMessage = sendMessage;
    table.postQuitMessage = postQuitMessage;
    table.removePendingTimer = removePendingTimer;
    table.registerWindowMessage = registerWindowMessage;
    table.setTimer = setTimer;
    table.killTimer = killTimer;
    table.cursorPosition = cursorPosition;
    table.hideCursor = hideCursor;
    table.runDialog = runDialog;
    table.endDialog = endDialog;
    table.windowDeviceContext = windowDeviceContext;
    table.releaseDeviceContext = releaseDeviceContext;
    table.setPixelFormat = setPixelFormat;
    table.createGLContext = createGLContext;
    table.makeCurrent = makeCurrent;
    table.swapBuffers = swapBuffers;
    table.deleteGLContext = deleteGLContext;
    table.swapKeepsBackBuffer = swapKeepsBackBuffer;
    table.glEntryPoint = glEntryPoint;
    return table;
}

} // namespace

bool start(const Session& session, std::vector<std::uint8_t>& picture, std::string& error) {
    run = std::make_unique<Run>();
    run->request = session;
    run->surface = OffscreenSurface::create(session.width, session.height, error);
    if (run->surface == nullptr) {
        run.reset();
        return false;
    }
    run->picture = &picture;
    picture.clear();
    setMillisecondSource(simulatedMilliseconds);
    return true;
}

const Platform& platformTable() {
    static const Platform table = makeTable();
    return table;
}

HWND virtualParentWindow() {
    return virtualParent;
}

void stop() {
    setMillisecondSource(nullptr);
    run.reset();
}

} // namespace headless
