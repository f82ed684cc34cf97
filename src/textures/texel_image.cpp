#include "textures/texel_image.h"

namespace {
std::uint8_t texelBuffer[texelLimit * maxTexelBytes];
} // namespace

std::uint8_t* generatedTexels() {
    return texelBuffer;
}

int texelBytes(GLenum format) {
    switch (format) {
    case GL_RGBA:
        return 4;
    case GL_LUMINANCE_ALPHA:
        return 2;
    default:
        return 0;
    }
}
