// ScreenSaverProc: the application's handling of the saver window.
#include "app/base_gl_state.h"
#include "app/frame_rate_readout.h"
#include "app/frame_timer.h"
#include "app/render_context.h"
#include "app/scene_hooks.h"
#include "host/screen_saver.h"
#include "platform/platform.h"

LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        RECT client = {0, 0, 0, 0};
        platform().clientRect(window, &client);
        renderContext.clientRect = client;
        renderContext.clientWidth = client.right;
        renderContext.clientHeight = client.bottom;
        CreateGLContext(window);
        SetBaseGLState(); // ends with the scene's initialisation
        platform().setTimer(window, FrameTimerId, FrameTimerPeriodMs);
        return 0;
    }

    case WM_DESTROY:
        platform().killTimer(window, FrameTimerId);
        ReleaseScene(); // while the context is still current
        ReleaseGLContext(window, renderContext.deviceContext, renderContext.glContext);
        renderContext.deviceContext = nullptr;
        renderContext.glContext = nullptr;
        return 0;

    case WM_TIMER:
        // Whatever the timer's id: every timer message draws a frame.
        RenderFrame();
        DrawFrameRateReadout(renderContext.clientWidth, renderContext.clientHeight);
        platform().swapBuffers(renderContext.deviceContext);
        return 0;

    default:
        return DefScreenSaverProc(window, message, wParam, lParam);
    }
}
