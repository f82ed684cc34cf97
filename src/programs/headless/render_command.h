// `haze --render`: the headless run, written to a PNG file.
#pragma once

#include "programs/headless/headless_render.h"

#include <string>

// Renders and writes the last frame to `path` as an RGB PNG, top row first,
// or to standard output when `path` is "-"; says what it wrote (on stdout,
// or on stderr when stdout holds the picture). Returns the exit code: 0, or
// 1 after a one-line message on stderr. A path that may not be written (see
// output_file.h) is refused before any frame is drawn; a file that cannot be
// written whole is not left behind.
int renderCommand(const std::string& path, const HeadlessRender& request);
