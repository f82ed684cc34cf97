#include "textures/texture_registry.h"

#include "textures/texture.h"

#include <cstring>

TextureRegistry textureRegistry;

std::int32_t reserveRegistryEntry(Texture* texture, const char* name) {
    const std::int32_t index = textureRegistry.count;
    // Past the last entry the texture still gets its image, but no record:
    // writing on would run off the table.
    if (index < 0 || index >= textureRegistryCapacity) {
        return -1;
    }
    TextureRegistryEntry& entry = textureRegistry.entries[index];
    entry.texture = texture;
    if (name != nullptr) {
        std::strncpy(entry.name, name, textureNameSize - 1);
        entry.name[textureNameSize - 1] = '\0';
    }
    return index;
}

void commitRegistryEntry(std::int32_t index) {
    if (index >= 0) {
        ++textureRegistry.count;
    }
}

void releaseAllTextures() {
    for (std::int32_t i = 0; i < textureRegistry.count && i < textureRegistryCapacity; ++i) {
        Texture* texture = textureRegistry.entries[i].texture;
        if (texture == nullptr || texture->id == 0) {
            continue;
        }
        glDeleteTextures(1, &texture->id);
        // GL may hand the freed name to a new texture: the bind cache must
        // not take that texture for bound, and this one must not delete it.
        if (texture->id == lastBoundTextureId) {
            lastBoundTextureId = noTextureBound;
        }
        texture->id = 0;
    }
}
