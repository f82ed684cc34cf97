// The saver window as a GL surface. Each frame is drawn over the last, and a
// Wayland surface's swap keeps nothing, so the context draws into a frame of
// its own: an EGL window surface the size of the virtual window whose
// wl_surface has no role and is never committed, so it is never shown and
// its back buffer, never swapped, keeps what each frame drew. (Mesa offers no
// pbuffers on Wayland.) A swap copies each shown surface's region of the
// frame to that surface's back buffer and swaps it.
#include "platform/egl_config.h"
#include "platform/extension_list.h"
#include "platform/wayland/wayland_state.h"

#include <EGL/eglext.h>
#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#ifndef APIENTRY
#define APIENTRY
#endif

namespace wayland {
namespace {

// Framebuffer-object values; the EXT extensions use the same numbers.
constexpr GLenum ReadFramebuffer = 0x8CA8;
constexpr GLenum DrawFramebuffer = 0x8CA9;
constexpr GLenum ReadFramebufferBinding = 0x8CAA;
constexpr GLenum DrawFramebufferBinding = 0x8CA6;

using BlitFramebuffer = void(APIENTRY*)(GLint, GLint, GLint, GLint, GLint, GLint, GLint, GLint,
                                        GLbitfield, GLenum);
using BindFramebuffer = void(APIENTRY*)(GLenum, GLuint);

// The saver window's one device context.
const HDC frameDc = reinterpret_cast<HDC>(std::uintptr_t{1});

struct FrameSurface {
    wl_surface* surface = nullptr;
    wl_egl_window* window = nullptr;
    EGLSurface egl = EGL_NO_SURFACE;
    int width = 0;
    int height = 0;
};

struct Egl {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLConfig config = nullptr;
    EGLContext context = EGL_NO_CONTEXT;
    FrameSurface frame;
    bool current = false; // the context is current on the frame
    BlitFramebuffer blit = nullptr;
    BindFramebuffer bind = nullptr;
};

Egl egl;

bool makeFrame(int width, int height, FrameSurface& frame) {
    frame.width = std::max(width, 1);
    frame.height = std::max(height, 1);
    frame.surface = wl_compositor_create_surface(state.compositor);
    frame.window = wl_egl_window_create(frame.surface, frame.width, frame.height);
    frame.egl = eglCreatePlatformWindowSurface(egl.display, egl.config, frame.window, nullptr);
    return frame.egl != EGL_NO_SURFACE;
}

void destroyFrame(FrameSurface& frame) {
    if (frame.egl != EGL_NO_SURFACE) {
        eglDestroySurface(egl.display, frame.egl);
    }
    if (frame.window != nullptr) {
        wl_egl_window_destroy(frame.window);
    }
    if (frame.surface != nullptr) {
        wl_surface_destroy(frame.surface);
    }
    frame = FrameSurface{};
}

// The blit of this context, by the names its version or extensions give it.
bool loadBlit() {
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    const char* suffix = nullptr;
    if ((version != nullptr && std::atoi(version) >= 3) ||
        listsExtension(extensions, "GL_ARB_framebuffer_object")) {
        suffix = "";
    } else if (listsExtension(extensions, "GL_EXT_framebuffer_object") &&
               listsExtension(extensions, "GL_EXT_framebuffer_blit")) {
        suffix = "EXT";
    }
    if (suffix == nullptr) {
        return false;
    }
    egl.blit = reinterpret_cast<BlitFramebuffer>(
        eglGetProcAddress((std::string("glBlitFramebuffer") + suffix).c_str()));
    egl.bind = reinterpret_cast<BindFramebuffer>(
        eglGetProcAddress((std::string("glBindFramebuffer") + suffix).c_str()));
    return egl.blit != nullptr && egl.bind != nullptr;
}

// Copies take the window's framebuffers whatever the scene has bound, and
// leave every state they change as they found it: the scene sets its state
// once and keeps it across frames.
class CopyState {
public:
    CopyState() {
        glGetIntegerv(ReadFramebufferBinding, &read_);
        glGetIntegerv(DrawFramebufferBinding, &draw_);
        egl.bind(ReadFramebuffer, 0);
        egl.bind(DrawFramebuffer, 0);
        glPushAttrib(GL_SCISSOR_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST); // a blit is clipped by the scissor box
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    }
    ~CopyState() {
        glPopAttrib();
        egl.bind(ReadFramebuffer, static_cast<GLuint>(read_));
        egl.bind(DrawFramebuffer, static_cast<GLuint>(draw_));
    }
    CopyState(const CopyState&) = delete;
    CopyState& operator=(const CopyState&) = delete;

private:
    GLint read_ = 0;
    GLint draw_ = 0;
};

// Copies `width` x `height` pixels from (`from`) of the read surface, `readHeight`
// rows high, to (`to`) of the draw surface, `drawHeight` rows high; corners
// given from the top left, as windows count, while GL counts rows up.
void copyPixels(POINT from, int readHeight, POINT to, int drawHeight, int width, int height) {
    const GLint sourceBottom = readHeight - from.y - height;
    const GLint targetBottom = drawHeight - to.y - height;
    egl.blit(from.x, sourceBottom, from.x + width, sourceBottom + height, to.x, targetBottom,
             to.x + width, targetBottom + height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
}

int regionWidth(const RECT& r) {
    return r.right - r.left;
}

int regionHeight(const RECT& r) {
    return r.bottom - r.top;
}

// A new frame starts black, colour and depth, as a new window does.
void clearFrame() {
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearDepth(1.0);
    glDepthMask(GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// The view's EGL surface at its region's size, made when it has none.
bool readyViewSurface(View& view) {
    const int width = regionWidth(view.region);
    const int height = regionHeight(view.region);
    if (view.eglWindow == nullptr) {
        view.eglWindow = wl_egl_window_create(view.surface, width, height);
        view.eglSurface =
            eglCreatePlatformWindowSurface(egl.display, egl.config, view.eglWindow, nullptr);
        view.swapIntervalSet = false;
    } else {
        wl_egl_window_resize(view.eglWindow, width, height, 0, 0); // from the next swap on
    }
    return view.eglSurface != EGL_NO_SURFACE;
}

// Each shown surface gets its region of the frame, and is asked to say
// when the compositor has shown it.
void presentToView(View& view) {
    if (!readyViewSurface(view) ||
        !eglMakeCurrent(egl.display, view.eglSurface, egl.frame.egl, egl.context)) {
        return;
    }
    if (!view.swapIntervalSet) {
        // The swap never waits: frames wait for the compositor's frame
        // callbacks in the message loop, so a surface the compositor does
        // not show holds no other surface back.
        eglSwapInterval(egl.display, 0);
        view.swapIntervalSet = true;
    }
    copyPixels(POINT{view.region.left, view.region.top}, egl.frame.height, POINT{0, 0},
               regionHeight(view.region), regionWidth(view.region), regionHeight(view.region));
    if (view.appliedScale != view.scale) {
        wl_surface_set_buffer_scale(view.surface, view.scale);
        view.appliedScale = view.scale;
    }
    view.frameCallback = wl_surface_frame(view.surface);
    wl_callback_add_listener(view.frameCallback, &frameListener, &view);
    eglSwapBuffers(egl.display, view.eglSurface);
}

HDC windowDeviceContext(HWND window) {
    return window == saverHandle && state.saver != SaverKind::None ? frameDc : nullptr;
}

void releaseDeviceContext(HWND, HDC dc) {
    if (dc == frameDc && !egl.current) {
        destroyFrame(egl.frame);
    }
}

// EGL's configs are its pixel formats: true when one for the request is there.
bool setPixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR&) {
    return dc == frameDc && egl.config != nullptr;
}

// A failure is not fatal: the saver runs on and draws nothing, as on
// Windows; a person at a terminal learns why.
HGLRC createGLContext(HDC dc) {
    if (dc != frameDc) {
        return nullptr;
    }
    eglBindAPI(EGL_OPENGL_API);
    egl.context = eglCreateContext(egl.display, egl.config, EGL_NO_CONTEXT, nullptr);
    if (egl.context == EGL_NO_CONTEXT) {
        std::fprintf(stderr, "haze: cannot create an OpenGL context; nothing will be drawn\n");
        return nullptr;
    }
    return reinterpret_cast<HGLRC>(egl.context);
}

bool makeCurrent(HDC dc, HGLRC context) {
    if (context == nullptr) {
        eglMakeCurrent(egl.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        egl.current = false;
        return true;
    }
    if (dc != frameDc || reinterpret_cast<EGLContext>(context) != egl.context) {
        return false;
    }
    const bool fresh = egl.frame.egl == EGL_NO_SURFACE;
    if (fresh && !makeFrame(state.frameWidth, state.frameHeight, egl.frame)) {
        return false;
    }
    if (!eglMakeCurrent(egl.display, egl.frame.egl, egl.frame.egl, egl.context)) {
        return false;
    }
    if (egl.blit == nullptr && !loadBlit()) {
        std::fprintf(stderr, "haze: this OpenGL cannot copy pixels between surfaces (no "
                             "framebuffer blit); nothing will be drawn\n");
        eglMakeCurrent(egl.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        return false;
    }
    if (fresh) {
        CopyState keep;
        clearFrame();
    }
    egl.current = true;
    return true;
}

void swapBuffers(HDC dc) {
    if (dc != frameDc || !egl.current) {
        return;
    }
    {
        CopyState keep;
        for (auto& view : state.views) {
            if (view->placed && wantsFrame(*view)) {
                presentToView(*view);
            }
        }
        eglMakeCurrent(egl.display, egl.frame.egl, egl.frame.egl, egl.context);
    }
    flush();
}

void deleteGLContext(HGLRC context) {
    if (context != nullptr && reinterpret_cast<EGLContext>(context) == egl.context) {
        eglDestroyContext(egl.display, egl.context);
        egl.context = EGL_NO_CONTEXT;
    }
}

// The frame is never swapped: each frame finds the last one in place.
bool swapKeepsBackBuffer(HDC dc) {
    return dc == frameDc;
}

GLEntryPoint glEntryPoint(const char* name) {
    return eglGetProcAddress(name);
}

} // namespace

bool startEgl(std::string& error) {
    egl.display = eglGetPlatformDisplay(EGL_PLATFORM_WAYLAND_KHR, state.display, nullptr);
    if (egl.display == EGL_NO_DISPLAY || !eglInitialize(egl.display, nullptr, nullptr)) {
        error = "EGL cannot draw on this Wayland compositor";
        return false;
    }
    egl.config = chooseSaverEglConfig(egl.display, EGL_WINDOW_BIT, false);
    if (egl.config == nullptr) {
        error = "EGL offers no OpenGL config for windows on this Wayland compositor";
        return false;
    }
    return true;
}

void followFrameLayout() {
    if (!egl.current) {
        return; // the frame is made at the new size when the context is
    }
    FrameSurface fresh;
    if (!makeFrame(state.frameWidth, state.frameHeight, fresh) ||
        !eglMakeCurrent(egl.display, fresh.egl, egl.frame.egl, egl.context)) {
        destroyFrame(fresh);
        return; // the frame keeps its size: each region is clipped to it
    }
    {
        CopyState keep;
        clearFrame();
        // Every surface keeps its trails where it still is.
        for (auto& view : state.views) {
            if (view->placed && view->formerlyPlaced) {
                const RECT& from = view->formerRegion;
                const RECT& to = view->region;
                copyPixels(POINT{from.left, from.top}, egl.frame.height, POINT{to.left, to.top},
                           fresh.height, std::min(regionWidth(from), regionWidth(to)),
                           std::min(regionHeight(from), regionHeight(to)));
            }
        }
    }
    eglMakeCurrent(egl.display, fresh.egl, fresh.egl, egl.context);
    destroyFrame(egl.frame);
    egl.frame = fresh;
}

void releaseViewSurface(View& view) {
    if (view.eglSurface != EGL_NO_SURFACE) {
        eglDestroySurface(egl.display, view.eglSurface);
        view.eglSurface = EGL_NO_SURFACE;
    }
    if (view.eglWindow != nullptr) {
        wl_egl_window_destroy(view.eglWindow);
        view.eglWindow = nullptr;
    }
}

void stopEgl() {
    if (egl.display != EGL_NO_DISPLAY) {
        eglMakeCurrent(egl.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglTerminate(egl.display);
        egl.display = EGL_NO_DISPLAY;
    }
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

} // namespace wayland
