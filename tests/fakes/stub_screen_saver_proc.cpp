// Stands in for the application in host tests: records what reaches it and,
// like the real application, keeps creation, destruction and the timer and
// hands every other message to DefScreenSaverProc.
#include "fake_platform.h"
#include "host/screen_saver.h"

LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    fake::state().appMessages.push_back(message);
    switch (message) {
    case WM_CREATE:
    case WM_DESTROY:
    case WM_TIMER:
        return 0;
    default:
        return DefScreenSaverProc(window, message, wParam, lParam);
    }
}
