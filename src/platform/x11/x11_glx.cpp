#include "platform/x11/x11_glx.h"

#include "platform/extension_list.h"
#include "platform/pixel_format_match.h"
#include "platform/x11/x11_connection.h"

#include <cstdio>
#include <vector>

namespace x11 {
namespace {

VisualChoice preferredVisual = VisualChoice::Best;
std::uint32_t preferredVisualId = 0;
bool preferenceRefused = false; // said once that the preferred visual cannot be used

int attribute(GLXFBConfig config, int name) {
    int value = 0;
    glXGetFBConfigAttrib(display(), config, name, &value);
    return value;
}

bool glxExtension(const char* name) {
    return listsExtension(glXQueryExtensionsString(display(), screen()), name);
}

template <typename Function>
Function glxFunction(const char* name) {
    return reinterpret_cast<Function>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
}

PixelFormatCandidate describe(GLXFBConfig config, bool swapMethodKnown) {
    PixelFormatCandidate c;
    const int visualType = attribute(config, GLX_X_VISUAL_TYPE);
    c.rgba = (attribute(config, GLX_RENDER_TYPE) & GLX_RGBA_BIT) != 0 &&
             (visualType == GLX_TRUE_COLOR || visualType == GLX_DIRECT_COLOR);
    c.doubleBuffer = attribute(config, GLX_DOUBLEBUFFER) != 0;
    c.drawToWindow = (attribute(config, GLX_DRAWABLE_TYPE) & GLX_WINDOW_BIT) != 0 &&
                     attribute(config, GLX_X_RENDERABLE) != 0 &&
                     attribute(config, GLX_VISUAL_ID) != 0 && attribute(config, GLX_LEVEL) == 0;
    c.slow = attribute(config, GLX_CONFIG_CAVEAT) != GLX_NONE;
    c.redBits = attribute(config, GLX_RED_SIZE);
    c.greenBits = attribute(config, GLX_GREEN_SIZE);
    c.blueBits = attribute(config, GLX_BLUE_SIZE);
    c.alphaBits = attribute(config, GLX_ALPHA_SIZE);
    c.depthBits = attribute(config, GLX_DEPTH_SIZE);
    c.stencilBits = attribute(config, GLX_STENCIL_SIZE);
    c.accumBits = attribute(config, GLX_ACCUM_RED_SIZE) + attribute(config, GLX_ACCUM_GREEN_SIZE) +
                  attribute(config, GLX_ACCUM_BLUE_SIZE) + attribute(config, GLX_ACCUM_ALPHA_SIZE);
    c.auxBuffers = attribute(config, GLX_AUX_BUFFERS);
    c.samples = attribute(config, GLX_SAMPLE_BUFFERS) != 0 ? attribute(config, GLX_SAMPLES) : 0;
    c.copySwap = swapMethodKnown && attribute(config, GLX_SWAP_METHOD_OML) == GLX_SWAP_COPY_OML;
    return c;
}

// The visual id -visual asks for, or 0 when it leaves the choice free.
VisualID wantedVisualId() {
    switch (preferredVisual) {
    case VisualChoice::Default:
        return XVisualIDFromVisual(DefaultVisual(display(), screen()));
    case VisualChoice::ById:
        return preferredVisualId;
    default:
        return 0;
    }
}

// The closest format in the wanted visual, or -1 when OpenGL cannot draw in it.
int closestInWantedVisual(const PIXELFORMATDESCRIPTOR& request, GLXFBConfig* configs,
                          std::vector<PixelFormatCandidate> candidates) {
    const VisualID wanted = wantedVisualId();
    if (wanted == 0) {
        return -1;
    }
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        if (static_cast<VisualID>(attribute(configs[i], GLX_VISUAL_ID)) != wanted) {
            candidates[i].drawToWindow = false;
        }
    }
    const int chosen = closestPixelFormat(request, candidates);
    if (chosen < 0 && !preferenceRefused) {
        preferenceRefused = true;
        std::fprintf(stderr,
                     "haze: -visual: visual 0x%lx is not a double-buffered RGB visual OpenGL "
                     "can draw in; using the closest one that is\n",
                     static_cast<unsigned long>(wanted));
    }
    return chosen;
}

} // namespace

bool glxAvailable() {
    static const bool available = [] {
        int errorBase = 0;
        int eventBase = 0;
        return glXQueryExtension(display(), &errorBase, &eventBase) == True;
    }();
    return available;
}

void preferVisual(VisualChoice choice, std::uint32_t id) {
    preferredVisual = choice;
    preferredVisualId = id;
}

bool chooseVisual(const PIXELFORMATDESCRIPTOR& request, XVisualInfo& visual) {
    confirmConnection();
    int count = 0;
    GLXFBConfig* configs = glXGetFBConfigs(display(), screen(), &count);
    if (configs == nullptr) {
        return false;
    }
    // A swap that copies keeps each frame for the next: asked for where the
    // display tells swap methods apart.
    PIXELFORMATDESCRIPTOR wanted = request;
    wanted.dwFlags |= PFD_SWAP_COPY;
    const bool swapMethodKnown = glxExtension("GLX_OML_swap_method");
    std::vector<PixelFormatCandidate> candidates;
    for (int i = 0; i < count; ++i) {
        candidates.push_back(describe(configs[i], swapMethodKnown));
    }
    int chosen = closestInWantedVisual(wanted, configs, candidates);
    if (chosen < 0) {
        chosen = closestPixelFormat(wanted, candidates);
    }
    XVisualInfo* info =
        chosen >= 0 ? glXGetVisualFromFBConfig(display(), configs[chosen]) : nullptr;
    XFree(configs);
    if (info == nullptr) {
        return false;
    }
    visual = *info;
    XFree(info);
    return true;
}

GLXContext createContext(Window window) {
    XWindowAttributes attributes;
    {
        ErrorTrap trap;
        if (!XGetWindowAttributes(display(), window, &attributes) || trap.failed()) {
            return nullptr;
        }
    }
    XVisualInfo wanted{};
    wanted.visualid = XVisualIDFromVisual(attributes.visual);
    wanted.screen = screen();
    int count = 0;
    XVisualInfo* info = XGetVisualInfo(display(), VisualIDMask | VisualScreenMask, &wanted, &count);
    if (info == nullptr) {
        return nullptr;
    }
    GLXContext context = nullptr;
    {
        ErrorTrap trap;
        context = glXCreateContext(display(), info, nullptr, True);
        if (context == nullptr || trap.failed()) {
            context = glXCreateContext(display(), info, nullptr, False);
        }
    }
    XFree(info);
    return context;
}

bool swapCopiesBackBuffer(Window window) {
    XWindowAttributes attributes;
    {
        ErrorTrap trap;
        if (!XGetWindowAttributes(display(), window, &attributes) || trap.failed()) {
            return false;
        }
    }
    if (!glxExtension("GLX_OML_swap_method")) {
        return false;
    }
    const int visualId = static_cast<int>(XVisualIDFromVisual(attributes.visual));
    int count = 0;
    GLXFBConfig* configs = glXGetFBConfigs(display(), screen(), &count);
    bool copies = false;
    for (int i = 0; i < count; ++i) {
        if (attribute(configs[i], GLX_VISUAL_ID) == visualId) {
            copies = attribute(configs[i], GLX_SWAP_METHOD_OML) == GLX_SWAP_COPY_OML;
            break;
        }
    }
    XFree(configs);
    return copies;
}

bool setSwapIntervalOne(Window window) {
    // Only an extension the display lists: an entry point found by name may
    // be a stub that crashes when the extension is missing.
    if (glxExtension("GLX_EXT_swap_control")) {
        auto swapInterval = glxFunction<PFNGLXSWAPINTERVALEXTPROC>("glXSwapIntervalEXT");
        if (swapInterval == nullptr) {
            return false;
        }
        ErrorTrap trap;
        swapInterval(display(), window, 1);
        return !trap.failed();
    }
    if (glxExtension("GLX_MESA_swap_control")) {
        auto swapInterval = glxFunction<PFNGLXSWAPINTERVALMESAPROC>("glXSwapIntervalMESA");
        return swapInterval != nullptr && swapInterval(1) == 0;
    }
    if (glxExtension("GLX_SGI_swap_control")) {
        auto swapInterval = glxFunction<PFNGLXSWAPINTERVALSGIPROC>("glXSwapIntervalSGI");
        return swapInterval != nullptr && swapInterval(1) == 0;
    }
    return false;
}

} // namespace x11
