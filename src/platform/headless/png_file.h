// Writing images as PNG files through libpng.
#pragma once

#include <cstdint>
#include <string>

enum class PngLayout { Rgb, Rgba };

// Writes `width` × `height` texels, rows top first, tightly packed (3 or 4
// bytes a texel). The file appears whole or not at all: the image goes to a
// temporary file beside `path`, renamed into place once complete. On failure
// returns false with the reason in `error`, and leaves nothing behind.
bool writePng(const std::string& path, int width, int height, PngLayout layout,
              const std::uint8_t* texels, std::string& error);
