#include "reference_textures.h"

#include "support/random.h"

#include <cmath>
#include <cstdlib>

namespace {

// Truncation toward zero, low 8 bits; a value with no integer becomes 0.
std::uint8_t toByte(float value) {
    if (std::isnan(value) || std::fabs(value) >= 2147483648.0f) {
        return 0;
    }
    return static_cast<std::uint8_t>(static_cast<std::int32_t>(value));
}

struct Image {
    int width;
    GLenum format;
    std::vector<std::uint8_t> bytes;

    Image(int w, int h, GLenum f)
        : width(w), format(f),
          bytes(static_cast<size_t>(w) * h * (f == GL_LUMINANCE_ALPHA ? 2 : 4), 0xEE) {}

    void put(int x, int y, float r, float g, float b, float a) {
        const size_t texel = static_cast<size_t>(y) * width + x;
        if (format == GL_LUMINANCE_ALPHA) {
            bytes[texel * 2] = toByte(a);
            bytes[texel * 2 + 1] = toByte(a);
        } else {
            bytes[texel * 4] = toByte(r);
            bytes[texel * 4 + 1] = toByte(g);
            bytes[texel * 4 + 2] = toByte(b);
            bytes[texel * 4 + 3] = toByte(a);
        }
    }
    void grey(int x, int y, float v) { put(x, y, v, v, v, v); }
};

float field[256][256];

void smoke(Image& image, int width, int height, int puffCount) {
    float highest = -9999.0f;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            field[y][x] = 0.0f; // what the first puff does; also with no puff at all
        }
    }
    for (int k = 0; k < puffCount; ++k) {
        const int r = static_cast<int>(randomUniform(0.24 * width) + 0.04 * width);
        const int cx =
            static_cast<int>(randomGaussian(static_cast<float>(0.17 * width)) + 0.5 * width);
        const int cy =
            static_cast<int>(randomGaussian(static_cast<float>(0.17 * height)) + 0.5 * height);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (r > 0) { // a cone of radius 0 adds nothing
                    const float d =
                        std::sqrt(static_cast<float>((x - cx) * (x - cx) + (y - cy) * (y - cy)));
                    float v = d / r;
                    if (v > 1) {
                        v = 1;
                    }
                    field[y][x] += 1 - v;
                }
                if (field[y][x] > highest) {
                    highest = field[y][x];
                }
            }
        }
    }
    const float s = static_cast<float>(255.0 / highest);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.grey(x, y, highest > 0 ? field[y][x] * s : 0.0f);
        }
    }
}

void fog(Image& image, int width, int height) {
    for (int k = 0; k < 90; ++k) {
        const int px = static_cast<int>(randomUniform(256.0));
        const int py = static_cast<int>(randomUniform(256.0));
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (k == 0) {
                    field[y][x] = 0;
                }
                int dx = std::abs(x - px);
                if (!(dx < width - dx)) {
                    dx = width - dx;
                }
                int dy = std::abs(y - py);
                if (!(dy < height - dy)) {
                    dy = height - dy;
                }
                field[y][x] += std::sqrt(static_cast<float>(dx * dx + dy * dy)) / 64;
            }
        }
    }
    float highest = -10000000.0f;
    float lowest = 10000000.0f;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (field[y][x] > highest) {
                highest = field[y][x];
            }
            if (field[y][x] < lowest) {
                lowest = field[y][x];
            }
        }
    }
    const float q = std::fabs(highest - lowest);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const float sample = q == 0 ? 1.0f : 1 - (field[y][x] - lowest) / q;
            image.grey(x, y, sample * 255.0f);
        }
    }
}

void texelByTexel(Image& image, TextureKind kind, int width, int height) {
    const int cx = static_cast<int>(0.5 * width);
    const int cy = static_cast<int>(0.5 * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const float dx = static_cast<float>(x - cx);
            const float dy = static_cast<float>(y - cy);
            const float r = std::sqrt(dx * dx + dy * dy);
            switch (kind) {
            case TextureKind::SPHERE:
            case TextureKind::NOTSPHERE: {
                float t = r / cx;
                if (t > 1) {
                    t = 1;
                }
                t = t * t;
                image.grey(x, y, kind == TextureKind::SPHERE ? 255.0f * (1 - t) : 255.0f * t);
                break;
            }
            case TextureKind::GRADIENT:
                image.grey(x, y, static_cast<float>(y) / height * 255.0f);
                break;
            case TextureKind::RING: {
                const float d =
                    std::sqrt(static_cast<float>((x - cx) * (x - cx) + (y - cy) * (y - cy)));
                float v = d / 58.0f;
                if (v > 1) {
                    v = 9.0f - 8.0f * v;
                }
                image.grey(x, y, v < 0 ? 0.0f : static_cast<float>(255.0 * v));
                break;
            }
            case TextureKind::STAR: {
                const float fx = (cx - std::abs(x - cx)) / static_cast<float>(cx);
                const float fy = (cy - std::abs(y - cy)) / static_cast<float>(cy);
                float v = fx * fy;
                if (v < 0) {
                    v = 0;
                }
                if (v > 1) {
                    v = 1;
                }
                image.grey(x, y, 255.0f * v);
                break;
            }
            case TextureKind::SAND: {
                const float u = static_cast<float>(randomUniform(1.0));
                if (u < 0.001) {
                    image.put(x, y, 0, 0, 0, 255);
                } else if (u < 0.002) {
                    image.put(x, y, 255, 255, 255, 255);
                } else {
                    const double s = randomUniform(127.0) + 127.0;
                    const float g = static_cast<float>(0.8 * s);
                    const float b = static_cast<float>(0.6 * s);
                    image.put(x, y, static_cast<float>(s), g, b, static_cast<float>(s));
                }
                break;
            }
            case TextureKind::BLACK:
                image.put(x, y, 0, 0, 0, 255);
                break;
            case TextureKind::CHECK:
                image.grey(x, y, 255.0f * (((x / 128) ^ (y / 128)) & 1));
                break;
            case TextureKind::GRILLE:
                image.grey(x, y, (x % 8 == 0 || y % 8 == 0) ? 255.0f : 0.0f);
                break;
            case TextureKind::GRAIN: {
                const float u = static_cast<float>(randomUniform(1.0));
                const float v = 255.0f * u;
                image.put(x, y, v, v, v, (v + v + v) / 3.0f);
                break;
            }
            default:
                image.grey(x, y, 0); // no rule: transparent black
                break;
            }
        }
    }
}

} // namespace

std::vector<std::uint8_t> referenceTexels(TextureKind kind, int width, int height, GLenum format,
                                          int puffCount) {
    Image image(width, height, format);
    if (kind == TextureKind::SMOKE) {
        smoke(image, width, height, puffCount);
    } else if (kind == TextureKind::FOG) {
        fog(image, width, height);
    } else {
        texelByTexel(image, kind, width, height);
    }
    return image.bytes;
}
