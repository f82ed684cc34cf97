#include "platform/pixel_format_match.h"

#include <algorithm>
#include <array>

namespace {

using Penalty = std::array<int, 11>; // compared element by element, smaller is closer

int above(int value, int wanted) {
    return std::max(0, value - wanted);
}

Penalty penalty(const PIXELFORMATDESCRIPTOR& request, const PixelFormatCandidate& c) {
    const int colourBits = c.redBits + c.greenBits + c.blueBits;
    return {
        above(request.cColorBits, colourBits),  // colour bits missing
        above(request.cDepthBits, c.depthBits), // depth bits missing
        c.slow ? 1 : 0,                         // a slow path
        above(c.alphaBits, request.cAlphaBits), // an alpha plane not asked for
        above(c.stencilBits, request.cStencilBits),
        above(c.accumBits, request.cAccumBits),
        above(c.auxBuffers, request.cAuxBuffers),
        c.samples, // smoothing edges the request does not ask for
        (request.dwFlags & PFD_SWAP_COPY) != 0 && !c.copySwap ? 1
                                                              : 0, // a swap that may lose the frame
        above(colourBits, request.cColorBits),  // colour precision beyond the request
        above(c.depthBits, request.cDepthBits), // depth precision beyond the request
    };
}

bool acceptable(const PIXELFORMATDESCRIPTOR& request, const PixelFormatCandidate& c) {
    if ((request.iPixelType == PFD_TYPE_RGBA) != c.rgba) {
        return false;
    }
    if ((request.dwFlags & PFD_DOUBLEBUFFER) != 0 && !c.doubleBuffer) {
        return false;
    }
    return (request.dwFlags & PFD_DRAW_TO_WINDOW) == 0 || c.drawToWindow;
}

} // namespace

int closestPixelFormat(const PIXELFORMATDESCRIPTOR& request,
                       const std::vector<PixelFormatCandidate>& candidates) {
    int best = -1;
    Penalty bestPenalty{};
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        if (!acceptable(request, candidates[i])) {
            continue;
        }
        const Penalty p = penalty(request, candidates[i]);
        if (best < 0 || p < bestPenalty) {
            best = static_cast<int>(i);
            bestPenalty = p;
        }
    }
    return best;
}
