#include "textures/texel_image.h"

#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define HAZE_TEXEL_SSE2 1
#endif

namespace {

std::uint8_t texelBuffer[texelLimit * maxTexelBytes];

#if HAZE_TEXEL_SSE2
// Four values as texel bytes, one in the low byte of each 32-bit lane.
// cvttps2dq truncates toward zero and gives 0x80000000 for NaN and for values
// beyond the 32-bit range, whose low byte is 0: exactly texelByte.
inline __m128i texelBytes4(const float* values) {
    const __m128i whole = _mm_cvttps_epi32(_mm_loadu_ps(values));
    return _mm_and_si128(whole, _mm_set1_epi32(0xff));
}
#endif

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

void TexelWriter::greySpan(int x, int y, int count, const float* values) {
    std::uint8_t* texel = at(x, y);
    if (texelBytes_ == 4) {
        int i = 0;
#if HAZE_TEXEL_SSE2
        for (; i + 4 <= count; i += 4) {
            // The byte repeated into all four bytes of its texel.
            __m128i word = texelBytes4(values + i);
            word = _mm_or_si128(word, _mm_slli_epi32(word, 8));
            word = _mm_or_si128(word, _mm_slli_epi32(word, 16));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(texel + i * 4), word);
        }
#endif
        for (; i < count; ++i) {
            const std::uint32_t word = texelByte(values[i]) * 0x01010101u;
            std::memcpy(texel + i * 4, &word, 4);
        }
    } else if (texelBytes_ == 2) {
        for (int i = 0; i < count; ++i) {
            texel[i * 2] = texelByte(values[i]);
            texel[i * 2 + 1] = texel[i * 2];
        }
    }
}

void TexelWriter::colourSpan(int x, int y, int count, const float* rgba) {
    std::uint8_t* texel = at(x, y);
    if (texelBytes_ == 4) {
        int i = 0;
#if HAZE_TEXEL_SSE2
        for (; i + 16 <= count * 4; i += 16) {
            // Sixteen values, bytes 0 to 255 in 32-bit lanes, narrowed to
            // sixteen bytes (no saturation can occur).
            const __m128i low = _mm_packs_epi32(texelBytes4(rgba + i), texelBytes4(rgba + i + 4));
            const __m128i high =
                _mm_packs_epi32(texelBytes4(rgba + i + 8), texelBytes4(rgba + i + 12));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(texel + i), _mm_packus_epi16(low, high));
        }
#endif
        for (; i < count * 4; ++i) {
            texel[i] = texelByte(rgba[i]);
        }
    } else if (texelBytes_ == 2) {
        for (int i = 0; i < count; ++i) {
            texel[i * 2] = texelByte(rgba[i * 4 + 3]);
            texel[i * 2 + 1] = texel[i * 2];
        }
    }
}

void TexelWriter::copyRow(int from, int to) {
    std::memcpy(at(0, to), at(0, from), static_cast<size_t>(width_) * texelBytes_);
}
