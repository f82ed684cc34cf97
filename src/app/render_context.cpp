#include "app/render_context.h"

#include "app/run_seed.h"
#include "platform/platform.h"
#include "platform/saver_pixel_format.h"

RenderContext renderContext;

void CreateGLContext(HWND window) {
    renderContext.deviceContext = platform().windowDeviceContext(window);
    renderContext.glContext = nullptr;
    renderContext.contextCurrent = false;
    // Without a pixel format there can be no context, and without a current
    // context no GL call may be made: a GL library may crash on one.
    if (renderContext.deviceContext != nullptr &&
        platform().setPixelFormat(renderContext.deviceContext, SaverPixelFormat)) {
        renderContext.glContext = platform().createGLContext(renderContext.deviceContext);
    }
    if (renderContext.glContext != nullptr) {
        renderContext.contextCurrent =
            platform().makeCurrent(renderContext.deviceContext, renderContext.glContext);
    }
    // Every random choice of the scene draws from this one sequence, in the
    // order of scene initialisation and then of the frames.
    seedRunRandom();
}

void ReleaseGLContext(HWND window, HDC deviceContext, HGLRC glContext) {
    if (glContext != nullptr) {
        platform().makeCurrent(nullptr, nullptr);
        platform().deleteGLContext(glContext);
    }
    platform().releaseDeviceContext(window, deviceContext);
}
