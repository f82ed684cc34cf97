// The saver window as a GL surface: its pixel format (the visual it was made
// in), its GLX context, its swaps and the pacing of its frames.
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_display_refresh.h"
#include "platform/x11/x11_glx.h"
#include "platform/x11/x11_state.h"

#include <algorithm>
#include <cstdio>

namespace x11 {
namespace {

// A window's "device context" is the window itself.
HDC windowDeviceContext(HWND window) {
    return reinterpret_cast<HDC>(window);
}

Window windowOf(HDC dc) {
    return asWindow(reinterpret_cast<HWND>(dc));
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
        !XGetWindowAttributes(display(), windowOf(dc), &attributes) || trap.failed()) {
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
    GLXContext context = createContext(windowOf(dc));
    if (context == nullptr) {
        confirmConnection(); // a server gone meanwhile: its own line, not this one
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
    state.refreshPeriodUs = minimumFramePeriodUs(displayRefreshHz(), driverPaces);
    state.pacer.setMinimumPeriodUs(std::max(state.refreshPeriodUs, state.delayUs));
}

bool makeCurrent(HDC dc, HGLRC context) {
    if (!glxAvailable()) {
        return false;
    }
    confirmConnection();
    if (context == nullptr) {
        return glXMakeCurrent(display(), None, nullptr) == True;
    }
    const Window window = windowOf(dc);
    if (glXMakeCurrent(display(), window, reinterpret_cast<GLXContext>(context)) != True) {
        return false;
    }
    if (window == state.saver) {
        startPacing(window);
    }
    return true;
}

void swapBuffers(HDC dc) {
    const Window window = windowOf(dc);
    if (window != 0 && window == state.saver && glxAvailable()) {
        glXSwapBuffers(display(), window);
    }
}

void deleteGLContext(HGLRC context) {
    if (context != nullptr) {
        glXDestroyContext(display(), reinterpret_cast<GLXContext>(context));
    }
}

bool swapKeepsBackBuffer(HDC dc) {
    return glxAvailable() && swapCopiesBackBuffer(windowOf(dc));
}

GLEntryPoint glEntryPoint(const char* name) {
    if (!glxAvailable()) {
        return nullptr;
    }
    return glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name));
}

} // namespace

void setMinimumFramePeriod(std::uint64_t microseconds) {
    state.delayUs = microseconds;
    state.pacer.setMinimumPeriodUs(std::max(state.refreshPeriodUs, state.delayUs));
}

void fillGLSurfaceEntries(Platform& table) {
    table.windowDeviceContext = windowDeviceContext;
    table.releaseDeviceContext = releaseDeviceContext;
    table.setPixelFormat = setPixelFormat;
    table.createGLContext = createGLContext;
    table.makeCurrent = makeCurrent;
    table.swapBuffers = swapBuffers;
    table.deleteGLContext = deleteGLContext;
    table.swapKeepsBackBuffer = swapKeepsBackBuffer;
    table.glEntryPoint = glEntryPoint;
}

} // namespace x11
