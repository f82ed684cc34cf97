// The screen-saver framework between the host and the application.
//
// The host owns the process, the window and the input rules; the application
// supplies `ScreenSaverProc`, which draws and hands every message it does not
// handle back to `DefScreenSaverProc`.
#pragma once

#include "platform/messages.h"

// Supplied by the application: the saver window's own message handling.
LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The host's default handling: decides when user input ends a full-screen run.
LRESULT WINAPI DefScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The configuration dialog's procedure: OK ends it with 1, Cancel with 0.
BOOL WINAPI ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Registers the window classes the configuration dialog needs: none here.
BOOL WINAPI RegisterDialogClasses(HINSTANCE instance);
