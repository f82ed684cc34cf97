// Where each of the saver's surfaces takes its picture from in the one frame
// the scene draws: the Wayland backend presents its surfaces (one an output,
// or the one toplevel of -window) as one virtual window, and each surface's
// region of it is that window's monitor.
//
// A region is the surface's size in device pixels (its size in the
// compositor's logical units times its buffer scale). Regions keep the
// order of the outputs' layout without its gaps: a surface starts right of
// every region whose output lies wholly left of its own, and below every one
// whose output lies wholly above it. So outputs of one scale side by side
// lie side by side in the frame, outputs of different scales never overlap
// there (a 4K output at scale 2 beside a 1080p one at scale 1 takes its
// 3840 device pixels of width, not 1920), and outputs that overlap in the
// layout (mirrors) share their pixels.
#pragma once

#include "platform/messages.h"

#include <vector>

// One surface: its logical position and size, and its buffer scale.
struct SurfacePlacement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int scale = 1;
};

struct FrameLayout {
    int width = 0; // the frame, device pixels; 0 x 0 without surfaces
    int height = 0;
    std::vector<RECT> regions; // one for each placement, in its order
};

FrameLayout layOutFrame(const std::vector<SurfacePlacement>& surfaces);

// The frame pixel under a point of a surface given in its logical units (the
// pointer's surface coordinates), for the surface at `region` with `scale`.
POINT framePoint(const RECT& region, int scale, double surfaceX, double surfaceY);
