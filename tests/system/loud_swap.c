/* A driver whose buffer swaps keep nothing, for the system tests. Preloaded
 * (LD_PRELOAD) into haze, it passes every glXSwapBuffers on and then fills
 * the window's back buffer with a loud green, as the garbage an exchange or
 * flip swap leaves behind; and it hides the copying swap of
 * GLX_OML_swap_method (every format reports an undefined swap method), so
 * haze cannot ask for one. A picture that relies on the back buffer keeping
 * the last frame turns green; one drawn on a canvas does not.
 *
 * LOUD_SWAP_COUNT_FILE names a file that holds the number of swaps so far. */
#define _GNU_SOURCE
#include <GL/gl.h>
#include <GL/glx.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

static long swaps;
static int countFile = -1;

int glXGetFBConfigAttrib(Display* display, GLXFBConfig config, int attribute, int* value) {
    static int (*real)(Display*, GLXFBConfig, int, int*);
    if (real == NULL) {
        real = (int (*)(Display*, GLXFBConfig, int, int*))dlsym(RTLD_NEXT, "glXGetFBConfigAttrib");
    }
    const int result = real(display, config, attribute, value);
    if (result == Success && attribute == GLX_SWAP_METHOD_OML) {
        *value = GLX_SWAP_UNDEFINED_OML;
    }
    return result;
}

/* Clears the window's back buffer to green, leaving every state it touches as
 * it was. */
static void fillBackBuffer(void) {
    static void (*bindFramebuffer)(GLenum, GLuint);
    if (bindFramebuffer == NULL) {
        bindFramebuffer =
            (void (*)(GLenum, GLuint))glXGetProcAddressARB((const GLubyte*)"glBindFramebuffer");
    }
    GLint framebuffer = 0;
    GLfloat clear[4];
    GLboolean mask[4];
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &framebuffer);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    glGetBooleanv(GL_COLOR_WRITEMASK, mask);
    const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);

    bindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);

    bindFramebuffer(GL_DRAW_FRAMEBUFFER, (GLuint)framebuffer);
    if (scissor) {
        glEnable(GL_SCISSOR_TEST);
    }
    glColorMask(mask[0], mask[1], mask[2], mask[3]);
    glClearColor(clear[0], clear[1], clear[2], clear[3]);
}

void glXSwapBuffers(Display* display, GLXDrawable drawable) {
    static void (*real)(Display*, GLXDrawable);
    if (real == NULL) {
        real = (void (*)(Display*, GLXDrawable))dlsym(RTLD_NEXT, "glXSwapBuffers");
        const char* path = getenv("LOUD_SWAP_COUNT_FILE");
        if (path != NULL) {
            countFile = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
        }
    }
    real(display, drawable);
    fillBackBuffer();
    ++swaps;
    if (countFile >= 0) {
        char line[32];
        const int length = snprintf(line, sizeof line, "%ld\n", swaps);
        pwrite(countFile, line, (size_t)length, 0);
    }
}
