// Shared set-up of the texture tests: a fresh GL call recorder, an empty
// registry, nothing bound, the random sequence at seed 1.
#pragma once

#include "gl_recorder.h"
#include "support/random.h"
#include "textures/scene_textures.h"
#include "textures/texture.h"
#include "textures/texture_registry.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <vector>

class TextureTest : public ::testing::Test {
protected:
    void SetUp() override {
        glrec::reset();
        textureRegistry = TextureRegistry{};
        lastBoundTextureId = noTextureBound;
        setRandomSource(nullptr);
        randomSeed(1);
    }
    void TearDown() override {
        setRandomSource(nullptr);
        // The slots outlive the test; their names belong to this recorder run.
        for (Texture& slot : sceneTextures) {
            slot.id = 0;
        }
    }
};

struct Rgba {
    int r, g, b, a;
    bool operator==(const Rgba& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
};
inline std::ostream& operator<<(std::ostream& os, const Rgba& c) {
    return os << "(" << c.r << ", " << c.g << ", " << c.b << ", " << c.a << ")";
}
inline Rgba grey(int v) {
    return {v, v, v, v};
}

// An uploaded image with texel access, row 0 first as uploaded.
struct Uploaded {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bytes;

    Rgba at(int x, int y) const {
        const size_t i = (static_cast<size_t>(y) * width + x) * 4;
        return {bytes[i], bytes[i + 1], bytes[i + 2], bytes[i + 3]};
    }
};

// Generates `kind` on a fresh texture and returns the image GL received.
inline Uploaded generated(TextureKind kind, int width = 256, int height = 256,
                          GLenum format = GL_RGBA) {
    Texture texture;
    EXPECT_EQ(texture.generate(kind, width, height, format, 0), 0);
    Uploaded image;
    if (const glrec::TextureImage* upload = glrec::lastTextureImage()) {
        image.width = upload->width;
        image.height = upload->height;
        image.bytes = upload->bytes;
    }
    EXPECT_EQ(image.bytes.size(),
              static_cast<size_t>(width) * height * (format == GL_LUMINANCE_ALPHA ? 2 : 4));
    return image;
}

// The next three values of the random sequence: equal after two runs from
// one seed only if both runs drew the same number of values.
inline std::vector<int> nextDraws() {
    return {randomNext(), randomNext(), randomNext()};
}
