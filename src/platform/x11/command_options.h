// The Linux command line of haze.
//
// haze takes the Windows screen-saver switches (/s, /p ID, /l ID, /c, ...),
// which go to the host's dispatch unchanged, the conventions of the Linux
// screen-saver daemons (-root, -window-id ID, -window), the headless renderer
// (--render) and options of its own. Parsing needs no display, so every
// usage error is reported before one is opened.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class RunMode {
    Saver,          // the Windows switches in `saverTail`, through the host's dispatch
    Help,           // --help
    Version,        // --version
    Render,         // --render PATH: headless frames to a PNG file
    ExportTextures, // --export-textures DIR: the scene's generated images as PNG files
    Root,           // -root: the daemon's window (XSCREENSAVER_WINDOW), else the root
    WindowId,       // -window-id ID: draw into that window
    OwnWindow,      // -window: an ordinary top-level window of haze's own
};

// A monitor of --monitors: its size and its top left corner, in pixels of the
// picture (x right, y down).
struct MonitorGeometry {
    int width = 0;
    int height = 0;
    int x = 0;
    int y = 0;
};

struct CommandOptions {
    RunMode mode = RunMode::Saver;
    std::string saverTail; // the remaining words, joined by single blanks

    std::string renderPath;
    std::string exportDirectory; // --export-textures
    int width = 0;               // pixels; the mode's default unless --size is given
    int height = 0;
    int frames = 300;              // timer messages a render delivers
    double stepMs = 1000.0 / 60.0; // simulated time between two of them
    bool seedGiven = false;
    std::uint32_t seed = 0;                // replaces the tick-count seed
    std::uint32_t windowId = 0;            // -window-id
    std::vector<MonitorGeometry> monitors; // --monitors; empty: one, the picture
};

// Largest width or height --size accepts, in pixels.
constexpr int maximumSize = 16384;
// Sizes when --size is not given.
constexpr int defaultRenderWidth = 1280;
constexpr int defaultRenderHeight = 720;
constexpr int defaultWindowWidth = 800;
constexpr int defaultWindowHeight = 600;
// Most monitors --monitors takes: the scene has a view for each of nine.
constexpr int maximumMonitors = 9;

// Parses the arguments after the program name. False on a usage error, with
// a one-line explanation in `error` (the caller exits with code 2).
bool parseCommandOptions(int argc, const char* const* argv, CommandOptions& options,
                         std::string& error);

// An X window id as daemons pass it: decimal, or hexadecimal after 0x. False
// for anything else, for 0 and for values beyond 32 bits.
bool parseWindowId(const std::string& text, std::uint32_t& id);

// Every mode and option, for --help.
const char* usageText();
