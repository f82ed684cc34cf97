// The kinds of image the procedural generators know, and their names.
#pragma once

#include <cstdint>

// Numbers 0 to 14. Kind 9 has no name and no pixel rule; X50 and Y50 have a
// name but no pixel rule. Any other number is accepted by `Texture::generate`
// as well and treated like those: see texel_rules.h.
enum class TextureKind : std::int32_t {
    SPHERE = 0,
    NOTSPHERE = 1,
    GRADIENT = 2,
    SMOKE = 3,
    FOG = 4,
    RING = 5,
    STAR = 6,
    SAND = 7,
    BLACK = 8,
    CHECK = 10,
    GRILLE = 11,
    X50 = 12,
    Y50 = 13,
    GRAIN = 14,
};

// The kind's own name ("SMOKE", "RING", "BLACK", ...), or null for 9 and for
// numbers outside 0 to 14.
const char* textureKindName(TextureKind kind);

// The name a generated texture of this kind gets in the registry, or null:
// RING and BLACK leave their entry unnamed, as do 9 and unknown numbers.
const char* textureKindRegistryName(TextureKind kind);

// SMOKE and FOG accumulate a 256 × 256 field; every other kind is computed
// texel by texel.
bool isFieldKind(TextureKind kind);
