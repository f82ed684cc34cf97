// ScreenSaverProc: the application's handling of the saver window.
#include "app/base_gl_state.h"
#include "app/frame_rate_readout.h"
#include "app/frame_target.h"
#include "app/frame_timer.h"
#include "app/render_context.h"
#include "app/scene_hooks.h"
#include "host/screen_saver.h"
#include "platform/platform.h"

namespace {

// More than the scene has views for, so that it sees when there are too many.
constexpr int monitorsAsked = 16;

// The client area is `width` × `height` pixels now: the scene lays its views
// out for that size and the monitors the window covers. A size with no
// pixels (a minimised window) changes nothing.
void followClientArea(HWND window, int width, int height) {
    if (width <= 0 || height <= 0) {
        return;
    }
    renderContext.clientRect = RECT{0, 0, width, height};
    renderContext.clientWidth = width;
    renderContext.clientHeight = height;
    RECT rects[monitorsAsked];
    const int count = platform().monitorRects(window, rects, monitorsAsked);
    SceneMonitor monitors[monitorsAsked];
    for (int i = 0; i < count; ++i) {
        monitors[i] = SceneMonitor{rects[i].left, rects[i].top, rects[i].right, rects[i].bottom};
    }
    ResizeScene(width, height, monitors, count);
}

} // namespace

LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        RECT client = {0, 0, 0, 0};
        platform().clientRect(window, &client);
        renderContext.clientRect = client;
        renderContext.clientWidth = client.right;
        renderContext.clientHeight = client.bottom;
        CreateGLContext(window);
        if (!renderContext.contextCurrent) {
            // Nothing can be drawn: the window stays black, with no frame
            // timer, and the run ends by the same rules as one that draws.
            return 0;
        }
        ChooseFrameTarget();
        SetBaseGLState(); // ends with the scene's initialisation
        followClientArea(window, client.right, client.bottom); // the monitors
        platform().setTimer(window, FrameTimerId, FrameTimerPeriodMs);
        return 0;
    }

    case WM_DESTROY:
        platform().killTimer(window, FrameTimerId);
        if (renderContext.contextCurrent) {
            ReleaseScene(); // while the context is still current
            ReleaseFrameTarget();
        }
        ReleaseGLContext(window, renderContext.deviceContext, renderContext.glContext);
        renderContext.deviceContext = nullptr;
        renderContext.glContext = nullptr;
        renderContext.contextCurrent = false;
        return 0;

    case WM_TIMER:
        // Whatever the timer's id: every timer message draws a frame.
        if (renderContext.contextCurrent) {
            BindFrameTarget();
            if (!FrameTargetKeepsFrames()) {
                ForgetPreviousFrame();
            }
            RenderFrame();
            PresentFrame();
            // Over the finished frame, just before the swap; with a canvas it
            // lands on the window alone, outside the frames the trails are
            // made of.
            DrawFrameRateReadout(renderContext.clientWidth, renderContext.clientHeight);
            platform().swapBuffers(renderContext.deviceContext);
        }
        return 0;

    case WM_SIZE:
        // The client area's new size, from the next frame on.
        followClientArea(window, LOWORD(lParam), HIWORD(lParam));
        return 0;

    case WM_DISPLAYCHANGE: {
        // Monitors came, went or changed resolution.
        RECT client = {0, 0, 0, 0};
        platform().clientRect(window, &client);
        followClientArea(window, client.right, client.bottom);
        return DefScreenSaverProc(window, message, wParam, lParam);
    }

    default:
        return DefScreenSaverProc(window, message, wParam, lParam);
    }
}
