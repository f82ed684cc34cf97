#include "app/frame_target.h"

#include "app/render_context.h"
#include "platform/extension_list.h"
#include "platform/platform.h"
#include "support/gl_api.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#ifndef APIENTRY
#define APIENTRY
#endif

namespace {

// Framebuffer-object values; the EXT extensions use the same numbers.
constexpr GLenum Framebuffer = 0x8D40;
constexpr GLenum ReadFramebuffer = 0x8CA8;
constexpr GLenum DrawFramebuffer = 0x8CA9;
constexpr GLenum Renderbuffer = 0x8D41;
constexpr GLenum ColourAttachment = 0x8CE0;
constexpr GLenum DepthAttachment = 0x8D00;
constexpr GLenum FramebufferComplete = 0x8CD5;
constexpr GLenum Rgb8 = 0x8051;
constexpr GLenum Depth16 = 0x81A5;

// The entry points a canvas needs, beyond OpenGL 1.1.
struct FramebufferFunctions {
    void(APIENTRY* genFramebuffers)(GLsizei, GLuint*);
    void(APIENTRY* deleteFramebuffers)(GLsizei, const GLuint*);
    void(APIENTRY* bindFramebuffer)(GLenum, GLuint);
    void(APIENTRY* genRenderbuffers)(GLsizei, GLuint*);
    void(APIENTRY* deleteRenderbuffers)(GLsizei, const GLuint*);
    void(APIENTRY* bindRenderbuffer)(GLenum, GLuint);
    void(APIENTRY* renderbufferStorage)(GLenum, GLenum, GLsizei, GLsizei);
    void(APIENTRY* framebufferRenderbuffer)(GLenum, GLenum, GLenum, GLuint);
    GLenum(APIENTRY* checkFramebufferStatus)(GLenum);
    void(APIENTRY* blitFramebuffer)(GLint, GLint, GLint, GLint, GLint, GLint, GLint, GLint,
                                    GLbitfield, GLenum);
};

struct Canvas {
    GLuint framebuffer = 0; // 0: none yet (the client area had no size)
    GLuint colour = 0;
    GLuint depth = 0;
    int width = 0;
    int height = 0;
};

struct FrameTarget {
    bool canvasChosen = false;
    bool swapKeepsFrames = false; // the window's swap copies its back buffer
    FramebufferFunctions gl{};
    Canvas canvas;
};

FrameTarget target;

enum class CanvasSwitch { Automatic, On, Off };

// HAZE_CANVAS: "on", "off", "auto" or nothing. Any other value leaves the
// choice to haze too, after one line saying so: a mistyped switch would
// otherwise go unnoticed.
CanvasSwitch canvasSwitch() {
    const char* value = std::getenv("HAZE_CANVAS");
    if (value == nullptr || std::strcmp(value, "auto") == 0) {
        return CanvasSwitch::Automatic;
    }
    if (std::strcmp(value, "on") == 0) {
        return CanvasSwitch::On;
    }
    if (std::strcmp(value, "off") == 0) {
        return CanvasSwitch::Off;
    }
    std::fprintf(stderr, "haze: HAZE_CANVAS takes on, off or auto; the choice is left to haze\n");
    return CanvasSwitch::Automatic;
}

template <typename Function>
bool load(Function& function, const char* name, const char* suffix) {
    function = procCast<Function>(platform().glEntryPoint((std::string(name) + suffix).c_str()));
    return function != nullptr;
}

bool loadFramebufferFunctions(FramebufferFunctions& gl) {
    const char* suffix =
        framebufferNameSuffix(reinterpret_cast<const char*>(glGetString(GL_VERSION)),
                              reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)));
    return suffix != nullptr && load(gl.genFramebuffers, "glGenFramebuffers", suffix) &&
           load(gl.deleteFramebuffers, "glDeleteFramebuffers", suffix) &&
           load(gl.bindFramebuffer, "glBindFramebuffer", suffix) &&
           load(gl.genRenderbuffers, "glGenRenderbuffers", suffix) &&
           load(gl.deleteRenderbuffers, "glDeleteRenderbuffers", suffix) &&
           load(gl.bindRenderbuffer, "glBindRenderbuffer", suffix) &&
           load(gl.renderbufferStorage, "glRenderbufferStorage", suffix) &&
           load(gl.framebufferRenderbuffer, "glFramebufferRenderbuffer", suffix) &&
           load(gl.checkFramebufferStatus, "glCheckFramebufferStatus", suffix) &&
           load(gl.blitFramebuffer, "glBlitFramebuffer", suffix);
}

void deleteCanvas(Canvas& canvas) {
    const FramebufferFunctions& gl = target.gl;
    if (canvas.framebuffer != 0) {
        gl.deleteFramebuffers(1, &canvas.framebuffer);
        gl.deleteRenderbuffers(1, &canvas.colour);
        gl.deleteRenderbuffers(1, &canvas.depth);
    }
    canvas = Canvas{};
}

GLuint renderbuffer(GLenum format, int width, int height) {
    const FramebufferFunctions& gl = target.gl;
    GLuint name = 0;
    gl.genRenderbuffers(1, &name);
    gl.bindRenderbuffer(Renderbuffer, name);
    gl.renderbufferStorage(Renderbuffer, format, width, height);
    return name;
}

// A black canvas of the given size, bound; false (and nothing made) when the
// implementation cannot draw into it, as beyond its largest size.
bool makeCanvas(int width, int height, Canvas& canvas) {
    const FramebufferFunctions& gl = target.gl;
    canvas = Canvas{};
    canvas.width = width;
    canvas.height = height;
    // The window's format: 8-bit red, green and blue, no alpha, and the
    // 16-bit depth buffer the saver asks its window for.
    canvas.colour = renderbuffer(Rgb8, width, height);
    canvas.depth = renderbuffer(Depth16, width, height);
    gl.bindRenderbuffer(Renderbuffer, 0);
    gl.genFramebuffers(1, &canvas.framebuffer);
    gl.bindFramebuffer(Framebuffer, canvas.framebuffer);
    gl.framebufferRenderbuffer(Framebuffer, ColourAttachment, Renderbuffer, canvas.colour);
    gl.framebufferRenderbuffer(Framebuffer, DepthAttachment, Renderbuffer, canvas.depth);
    if (gl.checkFramebufferStatus(Framebuffer) != FramebufferComplete) {
        gl.bindFramebuffer(Framebuffer, 0);
        deleteCanvas(canvas);
        return false;
    }
    // Start black (the clear colour is never changed from its default),
    // over the whole canvas.
    glDisable(GL_SCISSOR_TEST);
    glClear(GL_COLOR_BUFFER_BIT);
    return true;
}

// A canvas of the new size that keeps what the old one showed, anchored at
// the window's top-left corner as the window system anchors a resized
// window's content.
bool resizeCanvas(int width, int height) {
    const FramebufferFunctions& gl = target.gl;
    Canvas old = target.canvas;
    Canvas resized;
    if (!makeCanvas(width, height, resized)) {
        deleteCanvas(old);
        return false;
    }
    if (old.framebuffer != 0) {
        const int w = std::min(old.width, width);
        const int h = std::min(old.height, height);
        gl.bindFramebuffer(ReadFramebuffer, old.framebuffer);
        gl.bindFramebuffer(DrawFramebuffer, resized.framebuffer);
        gl.blitFramebuffer(0, old.height - h, w, old.height, 0, height - h, w, height,
                           GL_COLOR_BUFFER_BIT, GL_NEAREST);
        deleteCanvas(old);
    }
    target.canvas = resized;
    return true;
}

} // namespace

// A forced choice says what it got, on stderr: forcing is for comparing.
void reportForcedChoice(CanvasSwitch wanted) {
    if (wanted == CanvasSwitch::Off) {
        std::fprintf(stderr, "haze: HAZE_CANVAS=off: frames are drawn on the window\n");
    } else if (target.canvasChosen) {
        std::fprintf(stderr, "haze: HAZE_CANVAS=on: frames are drawn on a canvas\n");
    } else {
        std::fprintf(stderr, "haze: HAZE_CANVAS=on, but no canvas can be made with this "
                             "OpenGL: frames are drawn on the window\n");
    }
}

void ChooseFrameTarget() {
    target = FrameTarget{};
    const CanvasSwitch wanted = canvasSwitch();
    // Without a copying swap, a canvas where framebuffer objects allow; with
    // one, the back buffer keeps each frame and no copy is paid for.
    target.swapKeepsFrames = platform().swapKeepsBackBuffer(renderContext.deviceContext);
    const bool canvasWanted = wanted == CanvasSwitch::On ||
                              (wanted == CanvasSwitch::Automatic && !target.swapKeepsFrames);
    target.canvasChosen = canvasWanted && loadFramebufferFunctions(target.gl);
    BindFrameTarget();
    if (wanted != CanvasSwitch::Automatic) {
        reportForcedChoice(wanted);
    }
}

void BindFrameTarget() {
    if (!target.canvasChosen) {
        return;
    }
    const int width = renderContext.clientWidth;
    const int height = renderContext.clientHeight;
    const bool sizeChanged = width != target.canvas.width || height != target.canvas.height;
    if (sizeChanged && width > 0 && height > 0 && !resizeCanvas(width, height)) {
        // No canvas of that size can be made: draw on the window as it is.
        target = FrameTarget{};
        return;
    }
    target.gl.bindFramebuffer(Framebuffer, target.canvas.framebuffer);
}

void PresentFrame() {
    const Canvas& canvas = target.canvas;
    if (!target.canvasChosen || canvas.framebuffer == 0) {
        return;
    }
    // Copy the canvas pixel for pixel onto the window's back buffer. A blit
    // is clipped by the scissor box, so no scissor.
    target.gl.bindFramebuffer(ReadFramebuffer, canvas.framebuffer);
    target.gl.bindFramebuffer(DrawFramebuffer, 0);
    glDisable(GL_SCISSOR_TEST);
    target.gl.blitFramebuffer(0, 0, canvas.width, canvas.height, 0, 0, canvas.width, canvas.height,
                              GL_COLOR_BUFFER_BIT, GL_NEAREST);
    // Until the next frame binds the canvas again, drawing lands on the window.
    target.gl.bindFramebuffer(Framebuffer, 0);
}

void ReleaseFrameTarget() {
    if (target.canvasChosen) {
        target.gl.bindFramebuffer(Framebuffer, 0);
        deleteCanvas(target.canvas);
    }
    target = FrameTarget{};
}

bool FrameTargetIsCanvas() {
    return target.canvasChosen && target.canvas.framebuffer != 0;
}

bool FrameTargetKeepsFrames() {
    return FrameTargetIsCanvas() || (!target.canvasChosen && target.swapKeepsFrames);
}

const char* framebufferNameSuffix(const char* version, const char* extensions) {
    if ((version != nullptr && std::atoi(version) >= 3) ||
        listsExtension(extensions, "GL_ARB_framebuffer_object")) {
        return "";
    }
    if (listsExtension(extensions, "GL_EXT_framebuffer_object") &&
        listsExtension(extensions, "GL_EXT_framebuffer_blit")) {
        return "EXT";
    }
    return nullptr;
}
