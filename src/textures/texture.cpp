#include "textures/texture.h"

#include "textures/alpha_outline.h"
#include "textures/field_textures.h"
#include "textures/texel_image.h"
#include "textures/texel_rules.h"
#include "textures/texture_registry.h"

std::uint32_t lastBoundTextureId = noTextureBound;

namespace {

bool sizeAccepted(TextureKind kind, int width, int height) {
    if (width < 0 || height < 0) {
        return false;
    }
    // In 64 bits: two large sides must not wrap around to a small product.
    if (static_cast<std::int64_t>(width) * height > texelLimit) {
        return false;
    }
    // SMOKE and FOG accumulate into a field of 256 × 256 samples.
    return !isFieldKind(kind) || (width <= fieldSide && height <= fieldSide);
}

} // namespace

Texture::~Texture() {
    if (id == 0) {
        return;
    }
    glDeleteTextures(1, &id);
    // A later texture may get the same name from GL; it must still be bound.
    if (id == lastBoundTextureId) {
        lastBoundTextureId = noTextureBound;
    }
}

void Texture::bind() {
    if (id == 0) {
        glGenTextures(1, &id);
    }
    if (id == lastBoundTextureId) {
        return;
    }
    lastBoundTextureId = id;
    glBindTexture(GL_TEXTURE_2D, id);
    if (wrapMode != 0) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrapMode);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrapMode);
    }
    if (envMode != 0) {
        glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, static_cast<GLfloat>(envMode));
    }
}

void Texture::applyUploadParameters(bool buildMipmaps) {
    // Generated rows are tightly packed.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                    buildMipmaps ? GL_NEAREST_MIPMAP_NEAREST : GL_LINEAR);
}

int Texture::generate(TextureKind kind, int width, int height, GLenum format, int buildMipmaps) {
    this->width = width;
    this->height = height;
    this->format = format;
    if (!sizeAccepted(kind, width, height)) {
        return 1;
    }

    // Registered first, counted only once the image is uploaded.
    const std::int32_t entry = reserveRegistryEntry(this, textureKindRegistryName(kind));
    registryIndex = entry;

    std::uint8_t* texels = generatedTexels();
    TexelWriter out(texels, width, format);
    if (kind == TextureKind::SMOKE) {
        fillSmoke(*this, out);
    } else if (kind == TextureKind::FOG) {
        fillFog(*this, out);
    } else {
        fillTexelByTexel(kind, width, height, out);
    }
    if (outline != nullptr) {
        // The outline holds for the image itself; mipmaps would be sampled
        // from averaged levels, so a mipmapped image gets none.
        if (buildMipmaps == 0) {
            outline->trace(texels, width, height, format);
        } else {
            outline->traced = 0;
        }
    }

    bind();
    applyUploadParameters(buildMipmaps != 0);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), width, height, 0, format,
                 GL_UNSIGNED_BYTE, texels);
    if (buildMipmaps != 0) {
        // Four components whatever the format.
        gluBuild2DMipmaps(GL_TEXTURE_2D, 4, width, height, format, GL_UNSIGNED_BYTE, texels);
    }
    commitRegistryEntry(entry);
    return 0;
}
