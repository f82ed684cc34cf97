// The saver window: its class, its two forms and its message filter.
#pragma once

#include "platform/messages.h"

// With a null parent the full-screen run (unless one is already running, which
// is brought to the front instead: result 0); otherwise the preview filling
// `parent`. Returns the exit code of the message loop, or -1 when the class or
// the window cannot be made.
int RunSaverWindow(HWND parent);

// The window procedure of the saver class. Settles creation, destruction,
// title changes, help requests, task switching and the timer gate itself and
// passes everything else to the application's ScreenSaverProc.
LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Class style: redraw on resize, double clicks, a device context of its own.
constexpr UINT SaverClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
constexpr DWORD PreviewWindowStyle = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
constexpr DWORD FullScreenWindowStyle = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
