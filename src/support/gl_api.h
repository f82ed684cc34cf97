// OpenGL 1.1 and GLU, as every drawing file includes them. On Windows the GL
// headers need <windows.h> first.
#pragma once

#if defined(_WIN32)
#include "platform/messages.h"
#endif
#include <GL/gl.h>
#include <GL/glu.h>
