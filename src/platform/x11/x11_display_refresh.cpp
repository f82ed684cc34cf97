#include "platform/x11/x11_display_refresh.h"

#include "platform/x11/x11_connection.h"

#include <algorithm>

namespace x11 {

double modeRefreshHz(const XRRModeInfo& mode) {
    double lines = mode.vTotal;
    if ((mode.modeFlags & RR_DoubleScan) != 0) {
        lines *= 2; // every line is drawn twice
    }
    if ((mode.modeFlags & RR_Interlace) != 0) {
        lines /= 2; // a refresh draws every other line
    }
    const double pixels = static_cast<double>(mode.hTotal) * lines;
    return pixels > 0 ? static_cast<double>(mode.dotClock) / pixels : 0.0;
}

double displayRefreshHz() {
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    if (!XRRQueryExtension(display(), &eventBase, &errorBase) ||
        !XRRQueryVersion(display(), &major, &minor) || major * 100 + minor < 103) {
        return 0.0;
    }
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display(), root());
    if (resources == nullptr) {
        return 0.0;
    }
    double fastest = 0.0;
    for (int c = 0; c < resources->ncrtc; ++c) {
        XRRCrtcInfo* crtc = XRRGetCrtcInfo(display(), resources, resources->crtcs[c]);
        if (crtc == nullptr) {
            continue;
        }
        for (int m = 0; m < resources->nmode && crtc->mode != None; ++m) {
            if (resources->modes[m].id == crtc->mode) {
                fastest = std::max(fastest, modeRefreshHz(resources->modes[m]));
            }
        }
        XRRFreeCrtcInfo(crtc);
    }
    XRRFreeScreenResources(resources);
    return fastest;
}

} // namespace x11
