#include "app/render_context.h"

#include "app/run_seed.h"
#include "app/saver_pixel_format.h"
#include "platform/platform.h"

RenderContext renderContext;

void CreateGLContext(HWND window) {
    renderContext.deviceContext = platform().windowDeviceContext(window);
    platform().setPixelFormat(renderContext.deviceContext, SaverPixelFormat);
    renderContext.glContext = platform().createGLContext(renderContext.deviceContext);
    platform().makeCurrent(renderContext.deviceContext, renderContext.glContext);
    // Every random choice of the scene draws from this one sequence, in the
    // order of scene initialisation and then of the frames.
    seedRunRandom();
}

void ReleaseGLContext(HWND window, HDC deviceContext, HGLRC glContext) {
    platform().makeCurrent(nullptr, nullptr);
    platform().deleteGLContext(glContext);
    platform().releaseDeviceContext(window, deviceContext);
}
