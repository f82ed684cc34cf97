// ScreenSaverProc: the application's handling of the saver window.
#include "app/base_gl_state.h"
#include "app/frame_target.h"
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
        if (!renderContext.contextCurrent) {
            // Nothing can be drawn: the window stays black, with no frame
            // timer, and the run ends by the same rules as one that draws.
            return 0;
        }
        ChooseFrameTarget();
        SetBaseGLState(); // ends with the scene's initialisation
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
            RenderFrame();
            PresentFrame();
            platform().swapBuffers(renderContext.deviceContext);
        }
        return 0;

    default:
        return DefScreenSaverProc(window, message, wParam, lParam);
    }
}
