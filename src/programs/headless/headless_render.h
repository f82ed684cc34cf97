// The headless backend: the saver's real message flow on an offscreen
// surface, with no display server and no GPU.
//
// A virtual parent window of the requested size stands where a settings page
// would; the host's RunSaverWindow builds the saver window inside it, so
// WM_CREATE, the frame timer's messages and WM_DESTROY reach ScreenSaverProc
// exactly as on a desktop. Time is simulated: the frame clock reads
// `i × stepMs` at frame i (0 while the scene is built), so the picture is a
// pure function of seed, size, frame count, step and monitor layout.
#pragma once

#include "platform/messages.h"

#include <cstdint>
#include <string>
#include <vector>

struct HeadlessRender {
    int width = 1280; // pixels
    int height = 720;
    int frames = 300;              // timer messages delivered
    double stepMs = 1000.0 / 60.0; // simulated milliseconds between them
    // The monitors the picture spans, in its pixels (x right, y down from the
    // top left corner); none: the picture is one monitor.
    std::vector<RECT> monitors;
};

// Runs the saver from creation to destruction and returns the last frame
// drawn (the picture of the scene's initialisation when `frames` is 0) as RGB
// rows, top row first. False, with the reason in `error`, when there is no
// offscreen GL or the saver window cannot be made.
bool renderHeadless(const HeadlessRender& request, std::vector<std::uint8_t>& rgbRows,
                    std::string& error);
