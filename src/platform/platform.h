// The one seam between the portable saver and a window system.
//
// host/ and app/ reach the operating system only through the operations of
// `Platform`. Each backend (win32/, x11/, headless/) fills one table with its
// own implementations and installs it before the saver runs; unit tests
// install a recording fake. Events flow one way: a backend calls the saver's
// window procedure, never the other way round. The names follow the Windows
// calls they stand for, so each entry reads as "what Windows would do here".
#pragma once

#include "platform/messages.h"

// Everything a saver window is created with. The class name and title identify
// a running full-screen instance; style bits say full-screen popup or child.
struct SaverWindowDesc {
    const char* className;
    const char* title;
    DWORD style;
    DWORD exStyle;
    int x;
    int y;
    int width;
    int height;
    HWND parent; // null for the full-screen window
    HINSTANCE instance;
};

// Any GL entry point, as a window system's lookup returns it; the caller
// converts it to the real signature (procCast).
using GLEntryPoint = void (*)();

struct Platform {
    // --- process and system ---------------------------------------------

    // The platform family id of the version query (1 = the Windows 98
    // family). Returns false when the query fails.
    bool (*queryPlatformId)(DWORD* platformId);
    // Milliseconds since some fixed moment; wraps after 49.7 days.
    DWORD (*tickCount)();
    // Gives up the rest of the time slice (a zero-length sleep).
    void (*yieldTimeSlice)();
    // Advances over one character of a multi-byte command line; never steps
    // past the terminating NUL.
    const char* (*nextCharacter)(const char* text);
    // Ends the process at once with `code`; no global destructor runs.
    void (*exitProcess)(int code);

    // --- windows and messages -------------------------------------------

    HWND (*foregroundWindow)();
    bool (*setForegroundWindow)(HWND window);
    HWND (*findWindow)(const char* className, const char* title);
    bool (*isWindow)(HWND window);
    HWND (*parentWindow)(HWND window);
    bool (*clientRect)(HWND window, RECT* rect);
    // The clip box of the screen's device context: the area a full-screen
    // saver covers.
    bool (*screenRect)(RECT* rect);
    // The monitors that `window` covers, whole or in part, as rectangles in
    // its client coordinates (x right, y down, from the client area's top
    // left corner): at most `capacity` of them, and how many there are in
    // `rects`. 0 when the system reports none.
    int (*monitorRects)(HWND window, RECT* rects, int capacity);
    // Registers the saver window class with `procedure` as its window
    // procedure; false when registration fails.
    bool (*registerSaverClass)(HINSTANCE instance, WNDPROC procedure);
    // Creates the window; WM_CREATE reaches the procedure before this returns.
    HWND (*createWindow)(const SaverWindowDesc& desc);
    // Gets, translates and dispatches messages until the quit message, and
    // returns its exit code.
    int (*runMessageLoop)();
    // The system's default handling of a message (WM_CLOSE destroys).
    LRESULT (*defaultWindowProc)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool (*postMessage)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Delivers the message to the window's procedure before returning.
    LRESULT (*sendMessage)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void (*postQuitMessage)(int exitCode);
    // Removes one pending WM_TIMER message of the window from the queue,
    // without yielding. Returns false when none was pending.
    bool (*removePendingTimer)(HWND window);
    UINT (*registerWindowMessage)(const char* name);
    // A periodic timer that posts WM_TIMER with `id` every `periodMs`.
    bool (*setTimer)(HWND window, UINT_PTR id, UINT periodMs);
    bool (*killTimer)(HWND window, UINT_PTR id);

    // --- cursor -----------------------------------------------------------

    // The cursor position in screen coordinates.
    bool (*cursorPosition)(POINT* position);
    void (*hideCursor)();

    // --- dialogs ------------------------------------------------------------

    // Runs the modal dialog `templateId` and returns what the dialog
    // procedure passed to `endDialog` (-1 when the dialog cannot be made).
    INT_PTR (*runDialog)(HINSTANCE, int templateId, HWND owner, DLGPROC procedure, LPARAM param);
    bool (*endDialog)(HWND dialog, INT_PTR result);

    // --- libraries, registry, system parameters (Windows only) -------------

    // A library already loaded in the process, found by name, never loaded.
    HMODULE (*loadedModule)(const char* name);
    // Loads a library from the system directory only (never the current or
    // the program's directory), so a planted copy is never run.
    HMODULE (*loadSystemLibrary)(const char* name);
    void (*freeLibrary)(HMODULE module);
    FARPROC (*procAddress)(HMODULE module, const char* name);
    // Reads a 4-byte value under the current user's key; false when the key
    // or the value is missing.
    bool (*readUserDword)(const char* key, const char* value, DWORD* result);
    void (*systemParameter)(UINT action, UINT value);

    // --- GL surface and context --------------------------------------------

    HDC (*windowDeviceContext)(HWND window);
    void (*releaseDeviceContext)(HWND window, HDC deviceContext);
    // Chooses the closest available format to `request` and sets it.
    bool (*setPixelFormat)(HDC deviceContext, const PIXELFORMATDESCRIPTOR& request);
    HGLRC (*createGLContext)(HDC deviceContext);
    // Makes the context current on this thread; a null context releases it.
    bool (*makeCurrent)(HDC deviceContext, HGLRC context);
    void (*swapBuffers)(HDC deviceContext);
    void (*deleteGLContext)(HGLRC context);
    // Whether a swap of `deviceContext`'s window keeps the back buffer as it
    // was: a copying swap was asked for and granted, so what one frame drew
    // is still there when the next begins. Asked with the context current.
    bool (*swapKeepsBackBuffer)(HDC deviceContext);
    // An entry point of the current context beyond OpenGL 1.1, by name; null
    // when the implementation has none by that name.
    GLEntryPoint (*glEntryPoint)(const char* name);
};

// The installed backend. Calling before `installPlatform` is a programming
// error.
const Platform& platform();
void installPlatform(const Platform& backend);

// Converts between the generic entry-point type of procAddress and the real
// signature the caller knows, by way of void(*)(), the type compilers accept
// as "any function".
template <typename To, typename From>
To procCast(From function) {
    return reinterpret_cast<To>(reinterpret_cast<void (*)()>(function));
}
