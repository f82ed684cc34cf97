// A window system the Linux program can run the saver on.
//
// Beside the seam's table, a backend offers the program a cheap probe (is its
// window system there at all?), a start (connect and get ready), and the
// windows of the screen-saver daemons' conventions: the desktop's own window
// for -root, a check of a window id a daemon names, and a window of haze's
// own for -window. The program keeps an ordered list of backends and runs the
// first whose probe and start succeed.
#pragma once

#include "platform/platform.h"

#include <cstdint>
#include <string>

// What -visual asks for, as far as a window system with visuals can honour it.
enum class VisualChoice {
    Best,    // the visual closest to the saver's pixel format (also "gl", "best", ...)
    Default, // the screen's default visual, when OpenGL can draw in it
    ById,    // the visual with id `visualId`, when OpenGL can draw in it
    Refused, // a name haze cannot honour (mono, PseudoColor, ...): the best, with a warning
};

// What the user asked of the window system, from the command line.
struct BackendSettings {
    std::string displayName;  // -display; empty: the one the environment names
    bool synchronous = false; // -sync: every request waits for the server's answer
    // -delay: frames start at most once every this many microseconds, or once
    // every display refresh where that is longer.
    std::uint32_t minimumFramePeriodUs = 0;
    VisualChoice visual = VisualChoice::Best; // -visual
    std::uint32_t visualId = 0;
};

struct Backend {
    const char* name; // as --backend names it
    // Whether the window system seems to be there, without connecting to it
    // (the environment names a server, say); false with a short reason, such
    // as "no X display (DISPLAY is not set)".
    bool (*probe)(const BackendSettings& settings, std::string& reason);
    // Connects and readies the backend; false with a one-line reason.
    bool (*start)(const BackendSettings& settings, std::string& error);
    // The seam's table, once started.
    const Platform& (*platform)();

    // The window -root draws into when no daemon names one: the desktop's
    // background.
    HWND (*desktopWindow)();
    // Whether `window` names an existing window; never reports an error.
    bool (*windowExists)(HWND window);
    // An ordinary top-level window of haze's own, `width` × `height` pixels,
    // for the saver to draw in as in a daemon's window; the window system's
    // close, q and Escape in it close the saver inside. Null on failure.
    HWND (*createOwnWindow)(int width, int height);
    void (*destroyOwnWindow)(HWND window);
};
