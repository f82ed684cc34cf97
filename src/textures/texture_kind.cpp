#include "textures/texture_kind.h"

const char* textureKindName(TextureKind kind) {
    switch (kind) {
    case TextureKind::SPHERE:
        return "SPHERE";
    case TextureKind::NOTSPHERE:
        return "NOTSPHERE";
    case TextureKind::GRADIENT:
        return "GRADIENT";
    case TextureKind::SMOKE:
        return "SMOKE";
    case TextureKind::FOG:
        return "FOG";
    case TextureKind::RING:
        return "RING";
    case TextureKind::STAR:
        return "STAR";
    case TextureKind::SAND:
        return "SAND";
    case TextureKind::BLACK:
        return "BLACK";
    case TextureKind::CHECK:
        return "CHECK";
    case TextureKind::GRILLE:
        return "GRILLE";
    case TextureKind::X50:
        return "X50";
    case TextureKind::Y50:
        return "Y50";
    case TextureKind::GRAIN:
        return "GRAIN";
    }
    return nullptr;
}

const char* textureKindRegistryName(TextureKind kind) {
    if (kind == TextureKind::RING || kind == TextureKind::BLACK) {
        return nullptr;
    }
    return textureKindName(kind);
}

bool isFieldKind(TextureKind kind) {
    return kind == TextureKind::SMOKE || kind == TextureKind::FOG;
}
