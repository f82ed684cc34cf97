// The one seam between the portable saver and a window system.
//
// host/ and app/ reach the operating system only through the operations of
// `Platform`. Each backend (win32/, x11/, headless/) fills one table with its
// own implementations, entry by entry by name, and the program installs it
// before the saver runs; unit tests install a recording fake. Events flow one
// way: a backend calls the saver's window procedure, never the other way
// round. The names follow the Windows calls they stand for, so each entry
// reads as "what Windows would do here". A backend also says what its window
// system cannot do (`PlatformLimits`), so that an answer it cannot give is
// never mistaken for an ordinary one.
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

// The saver window class: its procedure and what the desktop shows of it.
struct SaverClassDesc {
    HINSTANCE instance; // the module holding the icon
    WNDPROC procedure;
    const char* className;
    UINT style;
    int iconId; // the class icon's resource id in `instance`
};

// What a window system cannot do, for the host and the programs to read
// rather than trust an answer that only looks like an ordinary failure.
struct PlatformLimits {
    // The pointer is known only while it is over the saver's own surfaces:
    // cursorPosition answers false until the first pointer event, so where
    // the pointer was when the saver started is not known.
    bool pointerOnlyOverOwnSurfaces = false;
    // The saver cannot draw inside another program's window (a preview's
    // parent, a daemon's window given by id).
    bool noForeignWindows = false;
    // A running instance of the saver cannot be found: findWindow never
    // finds one.
    bool noInstanceSearch = false;
};

// Any GL entry point, as a window system's lookup returns it; the caller
// converts it to the real signature (procCast).
using GLEntryPoint = void (*)();

// The answers of a system without libraries, a registry or system
// parameters: the defaults of the Windows-only entries below.
HMODULE noSystemLibrary(const char* name);
void noLibraryToFree(HMODULE module);
FARPROC noProcedure(HMODULE module, const char* name);
bool noUserValue(const char* key, const char* value, DWORD* result);
void noSystemParameter(UINT action, UINT value);

// Every entry must be set by the backend, except the Windows-only ones at the
// end of the "libraries, registry, system parameters" group, whose defaults
// answer as a system without them would.
struct Platform {
    PlatformLimits limits;

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
    // Registers the saver window class; false when registration fails.
    bool (*registerSaverClass)(const SaverClassDesc& desc);
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

    // The cursor position in screen coordinates; false when it is not known
    // (see PlatformLimits::pointerOnlyOverOwnSurfaces).
    bool (*cursorPosition)(POINT* position);
    void (*hideCursor)();

    // --- dialogs ------------------------------------------------------------

    // Runs the modal dialog `templateId` and returns what the dialog
    // procedure passed to `endDialog` (-1 when the dialog cannot be made).
    INT_PTR (*runDialog)(HINSTANCE, int templateId, HWND owner, DLGPROC procedure, LPARAM param);
    bool (*endDialog)(HWND dialog, INT_PTR result);

    // --- libraries, registry, system parameters (Windows only) -------------
    // Elsewhere the defaults stand: no library, no registry value, no
    // system parameter.

    // A library already loaded in the process, found by name, never loaded.
    HMODULE (*loadedModule)(const char* name) = noSystemLibrary;
    // Loads a library from the system directory only (never the current or
    // the program's directory), so a planted copy is never run.
    HMODULE (*loadSystemLibrary)(const char* name) = noSystemLibrary;
    void (*freeLibrary)(HMODULE module) = noLibraryToFree;
    FARPROC (*procAddress)(HMODULE module, const char* name) = noProcedure;
    // Reads a 4-byte value under the current user's key; false when the key
    // or the value is missing.
    bool (*readUserDword)(const char* key, const char* value, DWORD* result) = noUserValue;
    void (*systemParameter)(UINT action, UINT value) = noSystemParameter;

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
