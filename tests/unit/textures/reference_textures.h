// The texel rules written out plainly: every texel on its own, every shape of
// SMOKE and FOG visiting every texel with a square root of its own, in the
// order the rules give. Slow and obviously right; the generators must match
// it byte for byte, random draws included.
#pragma once

#include "support/gl_api.h"
#include "textures/texture_kind.h"

#include <cstdint>
#include <vector>

// The image `Texture::generate` should upload for an accepted size, in
// GL_RGBA (4 bytes a texel) or GL_LUMINANCE_ALPHA (2 bytes), drawing from the
// shared random sequence as the generator does.
std::vector<std::uint8_t> referenceTexels(TextureKind kind, int width, int height, GLenum format,
                                          int puffCount = 100);
