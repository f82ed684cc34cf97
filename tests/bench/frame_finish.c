/* Measures the CPU time of each frame of a headless haze run from outside:
 * preloaded (LD_PRELOAD), it takes haze's pixel projection of the whole
 * window, which every frame loads first (glOrtho), as the start of a frame;
 * there it finishes everything GL was asked for (glFinish), so that each
 * frame's rendering falls within it, and reads the process's CPU time, all
 * threads together. At exit it appends to FRAME_FINISH_FILE one line: the
 * frames measured and their CPU time in seconds, leaving out the first
 * FRAME_FINISH_SKIP frames (default 10), in which the renderer compiles its
 * shaders. */
#define _GNU_SOURCE
#include <GL/gl.h>
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

static long frameStarts;
static double firstCpu;
static double lastCpu;

static double processCpuSeconds(void) {
    struct timespec now;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec + now.tv_nsec / 1e9;
}

static long framesSkipped(void) {
    const char* skip = getenv("FRAME_FINISH_SKIP");
    return skip != NULL ? atol(skip) : 10;
}

void glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear,
             GLdouble zFar) {
    static void (*realOrtho)(GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble);
    static void (*realFinish)(void);
    if (realOrtho == NULL) {
        realOrtho = (void (*)(GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble))dlsym(
            RTLD_NEXT, "glOrtho");
        realFinish = (void (*)(void))dlsym(RTLD_NEXT, "glFinish");
    }
    realFinish();
    /* Start 0 comes from the scene's set-up; frame n starts at start n. */
    if (frameStarts == framesSkipped() + 1) {
        firstCpu = processCpuSeconds();
    }
    lastCpu = processCpuSeconds();
    ++frameStarts;
    realOrtho(left, right, bottom, top, zNear, zFar);
}

__attribute__((destructor)) static void report(void) {
    const char* path = getenv("FRAME_FINISH_FILE");
    /* Frames between the first start measured and the last start. */
    const long frames = frameStarts - 1 - (framesSkipped() + 1);
    if (path == NULL || frames <= 0) {
        return;
    }
    FILE* out = fopen(path, "a");
    if (out != NULL) {
        fprintf(out, "%ld %.6f\n", frames, lastCpu - firstCpu);
        fclose(out);
    }
}
