// The one pixel-format request of the saver window.
//
// Every backend honours it as closely as its window system allows: an RGBA,
// double-buffered window surface with 24 colour bits and a 16-bit depth
// buffer, and no alpha plane, accumulation, stencil or auxiliary buffers.
#pragma once

#include "platform/messages.h"

constexpr PIXELFORMATDESCRIPTOR makeSaverPixelFormat() {
    PIXELFORMATDESCRIPTOR format{}; // every field not set below is 0
    format.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER; // 0x25
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 24;
    format.cDepthBits = 16;
    format.iLayerType = PFD_MAIN_PLANE;
    return format;
}

constexpr PIXELFORMATDESCRIPTOR SaverPixelFormat = makeSaverPixelFormat();
