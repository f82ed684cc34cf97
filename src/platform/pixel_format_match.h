// Choosing the closest available pixel format to a request, for window
// systems that offer a list of formats rather than a "choose" call of their
// own answering in the Windows manner.
#pragma once

#include "platform/messages.h"

#include <vector>

// One format a window system offers.
struct PixelFormatCandidate {
    bool rgba = false;
    bool doubleBuffer = false;
    bool drawToWindow = false;
    bool slow = false; // marked slow or non-conformant by the implementation
    int redBits = 0;
    int greenBits = 0;
    int blueBits = 0;
    int alphaBits = 0;
    int depthBits = 0;
    int stencilBits = 0;
    int accumBits = 0;
    int auxBuffers = 0;
    int samples = 0;       // multisampling, which a window without it would not have
    bool copySwap = false; // a swap copies the back buffer and leaves it as it was
};

// The index of the candidate closest to `request`, or -1 when none has the
// pixel type, double buffering and window drawing it asks for. Closest means,
// in this order of importance: not short of the requested colour bits (red,
// green and blue together) or depth bits; not slow; no alpha, stencil,
// accumulation or auxiliary buffers and no multisampling beyond the request;
// a copying swap when the request has PFD_SWAP_COPY; then the fewest colour
// and depth bits above it. Ties go to the earlier candidate.
int closestPixelFormat(const PIXELFORMATDESCRIPTOR& request,
                       const std::vector<PixelFormatCandidate>& candidates);
