// `haze --render`: the headless run, written to a PNG file.
#pragma once

#include "platform/headless/headless_render.h"

#include <string>

// Renders and writes the last frame to `path` as an RGB PNG, top row first;
// says on stdout what it wrote. Returns the exit code: 0, or 1 after a
// one-line message on stderr (no offscreen GL, a path that cannot be
// written). A file that cannot be written whole is not left behind.
int renderCommand(const std::string& path, const HeadlessRender& request);
