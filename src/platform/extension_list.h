// Extension strings of OpenGL, GLX and WGL: names separated by spaces.
#pragma once

// Whether `name` is one whole entry of `list`, never a prefix of a longer
// name ("GL_EXT_framebuffer_object" is not found in a list that holds only
// "GL_EXT_framebuffer_object_sRGB"). A null list names nothing.
bool listsExtension(const char* list, const char* name);
