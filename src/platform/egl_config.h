// Choosing the EGL config for the saver's pixel format, for the backends that
// draw through EGL (the offscreen surface; window systems without a GL
// binding of their own).
#pragma once

#include <EGL/egl.h>

// The config closest to SaverPixelFormat (see closestPixelFormat) among
// those that make `surfaceType` surfaces (EGL_PBUFFER_BIT, EGL_WINDOW_BIT)
// for desktop OpenGL. With `exactOnly`, only one with exactly its colour,
// alpha, depth and stencil bits will do: a 10-bit or alpha-carrying buffer
// would round the veil's blending differently, where the pixels must be
// those of a 24-bit window. Null when none will do.
EGLConfig chooseSaverEglConfig(EGLDisplay display, EGLint surfaceType, bool exactOnly);

// Whether a swap of a surface in `config` may be asked to keep the back
// buffer as it was (EGL_SWAP_BEHAVIOR_PRESERVED_BIT).
bool eglConfigPreservesSwaps(EGLDisplay display, EGLConfig config);
