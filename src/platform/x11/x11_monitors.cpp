#include "platform/x11/x11_monitors.h"

#include "platform/x11/x11_connection.h"

#include <X11/extensions/Xinerama.h>
#include <X11/extensions/Xrandr.h>

namespace x11 {
namespace {

int randrEventBase = -1; // -1: no RandR

// RandR 1.5 lists monitors; older servers only outputs, which Xinerama sums up.
bool hasRandrMonitors() {
    int major = 0;
    int minor = 0;
    return randrEventBase >= 0 && XRRQueryVersion(display(), &major, &minor) &&
           (major > 1 || (major == 1 && minor >= 5));
}

// Root-window rectangles of the monitors, at most `capacity`; their count.
int rootMonitors(RECT* rects, int capacity) {
    int count = 0;
    if (hasRandrMonitors()) {
        int listed = 0;
        XRRMonitorInfo* monitors = XRRGetMonitors(display(), root(), True, &listed);
        for (int i = 0; i < listed && count < capacity; ++i) {
            const XRRMonitorInfo& m = monitors[i];
            rects[count++] = RECT{m.x, m.y, m.x + m.width, m.y + m.height};
        }
        XRRFreeMonitors(monitors);
    }
    if (count >= 2) {
        return count;
    }
    // One monitor or none from RandR: Xinerama may know better (a server
    // started with +xinerama and several screens).
    int screens = 0;
    XineramaScreenInfo* info =
        XineramaIsActive(display()) ? XineramaQueryScreens(display(), &screens) : nullptr;
    if (info != nullptr && screens >= 2) {
        count = 0;
        for (int i = 0; i < screens && count < capacity; ++i) {
            const XineramaScreenInfo& s = info[i];
            rects[count++] = RECT{s.x_org, s.y_org, s.x_org + s.width, s.y_org + s.height};
        }
    }
    XFree(info);
    return count;
}

} // namespace

bool watchMonitorChanges() {
    int errorBase = 0;
    if (!XRRQueryExtension(display(), &randrEventBase, &errorBase)) {
        randrEventBase = -1;
        return false;
    }
    XRRSelectInput(display(), root(), RRScreenChangeNotifyMask);
    return true;
}

bool isMonitorChange(XEvent& event) {
    if (randrEventBase < 0 || event.type != randrEventBase + RRScreenChangeNotify) {
        return false;
    }
    XRRUpdateConfiguration(&event);
    return true;
}

int monitorsCovered(Window window, RECT* rects, int capacity) {
    XWindowAttributes attributes;
    int originX = 0;
    int originY = 0;
    {
        ErrorTrap trap; // the window may be gone
        Window child = 0;
        if (!XGetWindowAttributes(display(), window, &attributes) ||
            !XTranslateCoordinates(display(), window, root(), 0, 0, &originX, &originY, &child) ||
            trap.failed()) {
            return 0;
        }
    }
    constexpr int listed = 32;
    RECT all[listed];
    const int count = rootMonitors(all, listed);
    int covered = 0;
    for (int i = 0; i < count && covered < capacity; ++i) {
        const RECT m = {all[i].left - originX, all[i].top - originY, all[i].right - originX,
                        all[i].bottom - originY};
        if (m.left < attributes.width && m.right > 0 && m.top < attributes.height && m.bottom > 0) {
            rects[covered++] = m;
        }
    }
    return covered;
}

} // namespace x11
