#include "platform/egl_config.h"

#include "platform/pixel_format_match.h"
#include "platform/saver_pixel_format.h"

#include <vector>

namespace {

EGLint attribute(EGLDisplay display, EGLConfig config, EGLint name) {
    EGLint value = 0;
    eglGetConfigAttrib(display, config, name, &value);
    return value;
}

// A config as a pixel format; `surfaceType` stands for "draws to window".
PixelFormatCandidate describe(EGLDisplay display, EGLConfig config, EGLint surfaceType) {
    PixelFormatCandidate c;
    const EGLint surfaces = attribute(display, config, EGL_SURFACE_TYPE);
    c.rgba = attribute(display, config, EGL_COLOR_BUFFER_TYPE) == EGL_RGB_BUFFER;
    c.doubleBuffer = true; // EGL window surfaces are; a pbuffer keeps its one buffer
    c.drawToWindow = (surfaces & surfaceType) != 0 &&
                     (attribute(display, config, EGL_RENDERABLE_TYPE) & EGL_OPENGL_BIT) != 0;
    c.slow = attribute(display, config, EGL_CONFIG_CAVEAT) != EGL_NONE;
    c.redBits = attribute(display, config, EGL_RED_SIZE);
    c.greenBits = attribute(display, config, EGL_GREEN_SIZE);
    c.blueBits = attribute(display, config, EGL_BLUE_SIZE);
    c.alphaBits = attribute(display, config, EGL_ALPHA_SIZE);
    c.depthBits = attribute(display, config, EGL_DEPTH_SIZE);
    c.stencilBits = attribute(display, config, EGL_STENCIL_SIZE);
    c.samples = attribute(display, config, EGL_SAMPLES);
    c.copySwap = (surfaces & EGL_SWAP_BEHAVIOR_PRESERVED_BIT) != 0;
    return c;
}

bool exactly(const PixelFormatCandidate& c, const PIXELFORMATDESCRIPTOR& format) {
    return c.redBits + c.greenBits + c.blueBits == format.cColorBits && c.redBits == c.greenBits &&
           c.greenBits == c.blueBits && c.alphaBits == format.cAlphaBits &&
           c.depthBits == format.cDepthBits && c.stencilBits == format.cStencilBits;
}

} // namespace

EGLConfig chooseSaverEglConfig(EGLDisplay display, EGLint surfaceType, bool exactOnly) {
    EGLint count = 0;
    if (!eglGetConfigs(display, nullptr, 0, &count) || count <= 0) {
        return nullptr;
    }
    std::vector<EGLConfig> configs(static_cast<std::size_t>(count));
    eglGetConfigs(display, configs.data(), count, &count);
    configs.resize(static_cast<std::size_t>(count));
    std::vector<PixelFormatCandidate> candidates;
    for (EGLConfig config : configs) {
        candidates.push_back(describe(display, config, surfaceType));
    }
    const int best = closestPixelFormat(SaverPixelFormat, candidates);
    if (best < 0 ||
        (exactOnly && !exactly(candidates[static_cast<std::size_t>(best)], SaverPixelFormat))) {
        return nullptr;
    }
    return configs[static_cast<std::size_t>(best)];
}

bool eglConfigPreservesSwaps(EGLDisplay display, EGLConfig config) {
    return (attribute(display, config, EGL_SURFACE_TYPE) & EGL_SWAP_BEHAVIOR_PRESERVED_BIT) != 0;
}
