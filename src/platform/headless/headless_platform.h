// The headless backend: the seam over an offscreen surface, with no display
// server and no GPU.
//
// A virtual parent window of the requested size stands where a settings page
// would; the saver window is made inside it, so WM_CREATE, the frame timer's
// messages and WM_DESTROY reach the saver's procedure exactly as on a
// desktop. Time is simulated: the frame clock reads `i × stepMs` at frame i
// (0 while the scene is built), so the picture is a pure function of seed,
// size, frame count, step and monitor layout.
#pragma once

#include "platform/platform.h"

#include <cstdint>
#include <string>
#include <vector>

namespace headless {

struct Session {
    int width = 1280; // pixels
    int height = 720;
    int frames = 300;              // timer messages delivered
    double stepMs = 1000.0 / 60.0; // simulated milliseconds between them
    // The monitors the picture spans, in its pixels (x right, y down from the
    // top left corner); none: the picture is one monitor.
    std::vector<RECT> monitors;
};

// Readies the backend for one run: an offscreen surface of the session's
// size and the simulated clock. The run's last frame (the picture of the
// scene's initialisation when `frames` is 0) will be read into `picture` as
// RGB rows, top row first. False, with the reason in `error`, when there is
// no offscreen GL.
bool start(const Session& session, std::vector<std::uint8_t>& picture, std::string& error);
const Platform& platformTable();
// The virtual parent the saver window fills.
HWND virtualParentWindow();
// Ends the run's use of the surface and gives the clock back.
void stop();

} // namespace headless
