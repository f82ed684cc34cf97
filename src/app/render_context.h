// The saver window's drawing surface and OpenGL rendering context.
#pragma once

#include "platform/messages.h"

// One process-wide record, filled at window creation.
struct RenderContext {
    HDC deviceContext = nullptr; // the window's own device context
    HGLRC glContext = nullptr;   // current on the GUI thread from creation to destruction
    // The context was made and made current: GL calls may be made. False
    // when the window system refused the pixel format, the context or
    // making it current; then nothing is drawn and the window stays black.
    bool contextCurrent = false;
    RECT clientRect = {0, 0, 0, 0}; // the client rectangle, from creation on
    // Its right and bottom edges: the client size in pixels. Read at creation
    // and updated whenever the window changes size (WM_SIZE).
    int clientWidth = 0;
    int clientHeight = 0;
};

extern RenderContext renderContext;

// Obtains the window's device context, sets the closest pixel format to
// SaverPixelFormat, creates a rendering context and makes it current, then
// seeds the run's random sequence. Each step runs only when the one before
// it succeeded; `contextCurrent` says whether all of them did.
void CreateGLContext(HWND window);

// Makes no context current and deletes `glContext` (when there is one), then
// releases `deviceContext`.
void ReleaseGLContext(HWND window, HDC deviceContext, HGLRC glContext);
