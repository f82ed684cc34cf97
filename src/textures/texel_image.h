// The working image of one `Texture::generate` call and how texels are laid
// out in it before the upload.
#pragma once

#include "support/gl_api.h"

#include <cstdint>

// Largest accepted image, in texels.
constexpr int texelLimit = 65536;
// Bytes of the largest texel layout (GL_RGBA).
constexpr int maxTexelBytes = 4;

// The image the latest `generate` call uploaded: rows of `width` texels,
// row 0 (the first row GL receives) first, tightly packed. Static storage of
// texelLimit × maxTexelBytes bytes, reused by every call.
std::uint8_t* generatedTexels();

// Bytes a texel takes in `format`: 4 for GL_RGBA, 2 for GL_LUMINANCE_ALPHA,
// 0 for any other format (the generators write nothing then).
int texelBytes(GLenum format);

// A computed value as a texel byte: truncated toward zero, low 8 bits kept.
// A value with no integer (NaN, or beyond the 32-bit range) gives 0.
inline std::uint8_t texelByte(float value) {
    if (!(value > -2147483648.0f && value < 2147483648.0f)) {
        return 0;
    }
    return static_cast<std::uint8_t>(static_cast<std::int32_t>(value) & 0xff);
}

// Texels a span handed to `TexelWriter` holds at most.
constexpr int spanTexels = 256;

// Writes texels into an image of `width` texels a row in one format, a span
// of one row at a time.
class TexelWriter {
public:
    TexelWriter(std::uint8_t* bytes, int width, GLenum format)
        : bytes_(bytes), width_(width), texelBytes_(texelBytes(format)) {}

    // `count` texels from (x, y) along the row; every
    // byte of texel i takes values[i].
    void greySpan(int x, int y, int count, const float* values);
    // `count` texels from (x, y), four values a texel:
    // red, green, blue, alpha. GL_LUMINANCE_ALPHA takes the alpha twice.
    void colourSpan(int x, int y, int count, const float* rgba);
    // Row `to` becomes a copy of row `from`, already written.
    void copyRow(int from, int to);

private:
    std::uint8_t* at(int x, int y) const {
        return bytes_ + (static_cast<std::int64_t>(y) * width_ + x) * texelBytes_;
    }

    std::uint8_t* bytes_;
    int width_;
    int texelBytes_;
};
