#include "platform/headless/offscreen_surface.h"

#include "platform/egl_config.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <cstring>

struct OffscreenSurface::Egl {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLConfig config = nullptr;
    EGLSurface surface = EGL_NO_SURFACE;
    EGLContext context = EGL_NO_CONTEXT;
};

OffscreenSurface::OffscreenSurface(int width, int height, std::unique_ptr<Egl> egl)
    : width_(width), height_(height), egl_(std::move(egl)) {}

std::unique_ptr<OffscreenSurface> OffscreenSurface::create(int width, int height,
                                                           std::string& error) {
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr) {
        error = "EGL has no eglGetPlatformDisplayEXT (is Mesa's libEGL installed?)";
        return nullptr;
    }
    auto egl = std::make_unique<Egl>();
    egl->display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (egl->display == EGL_NO_DISPLAY || !eglInitialize(egl->display, nullptr, nullptr)) {
        error = "Mesa's surfaceless EGL platform is not available";
        return nullptr;
    }
    egl->config = chooseSaverEglConfig(egl->display, EGL_PBUFFER_BIT, true);
    if (egl->config == nullptr) {
        eglTerminate(egl->display);
        error = "no 24-bit RGB pbuffer format with a 16-bit depth buffer";
        return nullptr;
    }
    const EGLint size[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    egl->surface = eglCreatePbufferSurface(egl->display, egl->config, size);
    if (egl->surface == EGL_NO_SURFACE) {
        eglTerminate(egl->display);
        error = "cannot create a " + std::to_string(width) + "x" + std::to_string(height) +
                " offscreen surface";
        return nullptr;
    }
    return std::unique_ptr<OffscreenSurface>(new OffscreenSurface(width, height, std::move(egl)));
}

OffscreenSurface::~OffscreenSurface() {
    destroyContext();
    eglDestroySurface(egl_->display, egl_->surface);
    eglTerminate(egl_->display);
    eglReleaseThread();
}

bool OffscreenSurface::createContext() {
    if (egl_->context != EGL_NO_CONTEXT) {
        return true;
    }
    eglBindAPI(EGL_OPENGL_API);
    egl_->context = eglCreateContext(egl_->display, egl_->config, EGL_NO_CONTEXT, nullptr);
    return egl_->context != EGL_NO_CONTEXT;
}

void OffscreenSurface::destroyContext() {
    if (egl_->context == EGL_NO_CONTEXT) {
        return;
    }
    if (eglGetCurrentContext() == egl_->context) {
        releaseCurrent();
    }
    eglDestroyContext(egl_->display, egl_->context);
    egl_->context = EGL_NO_CONTEXT;
}

bool OffscreenSurface::makeCurrent() {
    return eglMakeCurrent(egl_->display, egl_->surface, egl_->surface, egl_->context) == EGL_TRUE;
}

void OffscreenSurface::releaseCurrent() {
    eglMakeCurrent(egl_->display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}

void OffscreenSurface::readRgb(std::vector<std::uint8_t>& rows) const {
    const size_t rowBytes = static_cast<size_t>(width_) * 3;
    std::vector<std::uint8_t> bottomUp(rowBytes * static_cast<size_t>(height_));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    // GL counts rows from the bottom; images from the top.
    rows.resize(bottomUp.size());
    for (int y = 0; y < height_; ++y) {
        std::memcpy(&rows[static_cast<size_t>(y) * rowBytes],
                    &bottomUp[static_cast<size_t>(height_ - 1 - y) * rowBytes], rowBytes);
    }
}
