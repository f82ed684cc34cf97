// Writing images as PNG files through libpng.
#pragma once

#include <cstdint>
#include <string>

enum class PngLayout { Rgb, Rgba };

// Encodes `width` × `height` texels, rows top first, tightly packed (3 or 4
// bytes a texel), onto the open descriptor `fd` (a file or a pipe). False
// with the system's reason for the failed write in `reason`; libpng itself
// prints nothing.
bool encodePng(int fd, int width, int height, PngLayout layout, const std::uint8_t* texels,
               std::string& reason);

// Writes the image to `path` as an OutputFile (output_file.h): whole or not
// at all, and only in place of a regular file the user may write. On failure
// returns false with a one-line message in `error`, and leaves nothing behind.
bool writePng(const std::string& path, int width, int height, PngLayout layout,
              const std::uint8_t* texels, std::string& error);
