// One GL_TEXTURE_2D texture object and the parameters its image was generated
// with. Every image of the program is generated, never loaded.
#pragma once

#include "support/gl_api.h"
#include "textures/texture_kind.h"

struct AlphaOutline;

#include <cstdint>

// `lastBoundTextureId` before anything has been bound: no GL name has it.
constexpr std::uint32_t noTextureBound = 0xFFFFFFFFu;

// The GL name `bind` bound last. Binding the same texture again is skipped,
// so nothing but `bind` may call glBindTexture.
extern std::uint32_t lastBoundTextureId;

class Texture {
public:
    // Sets the defaults below; makes no GL call, so textures can be built
    // before any GL context exists.
    Texture() = default;
    // Deletes the GL name, if one was created. Needs the context that created
    // it to be current; without one, GL ignores the call.
    virtual ~Texture();

    // A texture owns its GL name: a copy would delete it twice.
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    // Makes this texture current on GL_TEXTURE_2D, creating its GL name on
    // first use, and sends its wrap and environment modes. Does nothing when
    // it is already the last texture bound.
    void bind();

    // Pixel-store and filter state for an upload into the bound texture:
    // tightly packed rows, linear magnification, and linear minification or,
    // with mipmaps, the nearest texel of the nearest level.
    void applyUploadParameters(bool buildMipmaps);

    // Generates an image of `kind` at `width` × `height` texels and uploads it
    // in `format` (GL_RGBA: 4 bytes a texel; GL_LUMINANCE_ALPHA: 2 bytes a
    // texel, both holding alpha; other formats upload the buffer unwritten).
    // Non-zero `buildMipmaps` also builds the mipmap chain through GLU.
    // Returns 0 when the image was uploaded and 1 when the size is refused:
    // a negative side, more than 65536 texels, or a SMOKE or FOG side above
    // 256. A refused call keeps the requested size and format in the fields
    // but registers nothing and makes no GL call. Needs a current GL context.
    int generate(TextureKind kind, int width, int height, GLenum format, int buildMipmaps);

    // The GL texture name; 0 until `bind` creates it.
    GLuint id = 0;
    // Pixel format of the image, used as internal format and as the format of
    // the uploaded bytes.
    GLenum format = GL_RGBA;
    // Wrap mode for both S and T, sent at bind time; 0 leaves it alone.
    GLint wrapMode = GL_REPEAT;
    // Texture environment mode, sent at bind time; 0 leaves it alone.
    GLenum envMode = GL_MODULATE;
    // Image size in texels, set by `generate`.
    std::int32_t width = 128;
    std::int32_t height = 128;
    // Number of soft cones a SMOKE image is built from.
    std::int32_t puffCount = 100;
    // Working radius of SMOKE and FOG in texels; after generating, the last
    // radius used.
    std::int32_t spotRadius = 12;
    // This texture's entry in the registry; −1 while it has none.
    std::int32_t registryIndex = -1;
    // Where `generate` traces the alpha outline of each image it uploads
    // without mipmaps (and marks it untraced for one with them);
    // null traces nothing. Not owned.
    AlphaOutline* outline = nullptr;
};
