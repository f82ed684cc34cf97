// The record of every texture generated in the life of the process.
#pragma once

#include <cstdint>

class Texture;

// Capacity: the scene generates 11 textures.
constexpr int textureRegistryCapacity = 31;
// Size of an entry's name field, NUL included.
constexpr int textureNameSize = 80;

struct TextureRegistryEntry {
    Texture* texture = nullptr;
    // The kind's name, NUL-terminated; empty for kinds without one.
    char name[textureNameSize] = {};
};

struct TextureRegistry {
    TextureRegistryEntry entries[textureRegistryCapacity];
    // Entries in use. It grows only once a texture's image is uploaded.
    std::int32_t count = 0;
};

extern TextureRegistry textureRegistry;

// Fills entry `count` with `texture` and `name` (null: the name is left as it
// is) and returns its index, without moving the count. A full registry takes
// no entry and returns −1.
std::int32_t reserveRegistryEntry(Texture* texture, const char* name);
// Counts the entry `reserveRegistryEntry` returned (nothing for −1).
void commitRegistryEntry(std::int32_t index);

// Deletes the GL name of every registered texture that has one, and clears
// its `id` so nothing deletes or binds that name again. Needs the context the
// names were created in.
void releaseAllTextures();
