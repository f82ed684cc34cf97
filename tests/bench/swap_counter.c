/* Counts a process's buffer swaps, for measuring frame rates from outside:
 * preloaded (LD_PRELOAD), it passes every glXSwapBuffers and eglSwapBuffers
 * on and writes the running count and the monotonic time in seconds to the
 * file named by SWAP_COUNTER_FILE, overwriting it each time. */
#define _GNU_SOURCE
#include <EGL/egl.h>
#include <GL/glx.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

static long swaps;
static int counterFile = -1;
static int counterOpened;

static void countSwap(void) {
    if (!counterOpened) {
        counterOpened = 1;
        const char* path = getenv("SWAP_COUNTER_FILE");
        if (path != NULL) {
            counterFile = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
        }
    }
    ++swaps;
    if (counterFile >= 0) {
        struct timespec now;
        clock_gettime(CLOCK_MONOTONIC, &now);
        char line[64];
        const int length =
            snprintf(line, sizeof line, "%ld %.6f\n", swaps, now.tv_sec + now.tv_nsec / 1e9);
        pwrite(counterFile, line, (size_t)length, 0);
    }
}

void glXSwapBuffers(Display* display, GLXDrawable drawable) {
    static void (*realSwap)(Display*, GLXDrawable);
    if (realSwap == NULL) {
        realSwap = (void (*)(Display*, GLXDrawable))dlsym(RTLD_NEXT, "glXSwapBuffers");
    }
    realSwap(display, drawable);
    countSwap();
}

/* XScreenSaver's hacks draw through EGL. */
EGLBoolean eglSwapBuffers(EGLDisplay display, EGLSurface surface) {
    static EGLBoolean (*realSwap)(EGLDisplay, EGLSurface);
    if (realSwap == NULL) {
        realSwap = (EGLBoolean(*)(EGLDisplay, EGLSurface))dlsym(RTLD_NEXT, "eglSwapBuffers");
    }
    const EGLBoolean swapped = realSwap(display, surface);
    countSwap();
    return swapped;
}
