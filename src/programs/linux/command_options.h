// The Linux command line of haze.
//
// haze takes the Windows screen-saver switches (/s, /p ID, /l ID, /c), which
// go to the host's dispatch, the conventions of the Linux screen-saver
// daemons (-root, -window-id ID, -window), the headless renderer (--render)
// and options of its own. The daemons' hacks take their options with one or
// two leading dashes (-delay, --delay), and so does haze, for every option.
// A switch is taken only as --help spells it; any other word is refused, so
// a mistyped option never starts a full-screen run. Parsing needs no
// display, so every usage error is reported before one is opened.
#pragma once

#include "platform/backend.h"

#include <cstdint>
#include <string>
#include <vector>

// haze's exit codes on Linux, on every path.
constexpr int ExitDone = 0;   // the run or command ended as asked
constexpr int ExitFailed = 1; // it could not be done: no display, a file not written, ...
constexpr int ExitUsage = 2;  // a command line haze does not take

enum class RunMode {
    Saver,          // the Windows switch in `saverTail`, through the host's dispatch
    Help,           // --help
    Version,        // --version
    Render,         // --render PATH: headless frames to a PNG file
    ExportTextures, // --export-textures DIR: the scene's generated images as PNG files
    Root,           // -root: the daemon's window (XSCREENSAVER_WINDOW), else the root
    WindowId,       // -window-id ID: draw into that window
    OwnWindow,      // -window: an ordinary top-level window of haze's own

    // The programs list of ~/.xscreensaver, for the current user.
    InstallXScreenSaver,   // --install-xscreensaver: add haze to it
    UninstallXScreenSaver, // --uninstall-xscreensaver: take haze out again
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
    std::string saverTail; // the switch as the host reads it: "/s", "/p 1234", "/c"; "" for none

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

    // The options the daemons' hacks take, for the modes on a display.
    std::uint32_t delayUs = 0;  // -delay: at least this long from one frame's start to the next
    bool showFrameRate = false; // -fps (on), -no-fps (off); the last one given wins
    std::string displayName;    // -display; empty: the display DISPLAY names
    std::string visualName;     // -visual as given; empty when not given
    VisualChoice visual = VisualChoice::Best;
    std::uint32_t visualId = 0; // -visual ID
    bool synchronous = false;   // -sync: Xlib waits for the server after every request
    std::string backend;        // --backend: the one window system to try; empty: each in turn
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
// a one-line explanation in `error` (the caller exits with ExitUsage).
// `backendNames` are the names --backend takes (none: any name).
bool parseCommandOptions(int argc, const char* const* argv, CommandOptions& options,
                         std::string& error, const std::vector<std::string>& backendNames = {});

// An X window id as daemons pass it: decimal, or hexadecimal after 0x. False
// for anything else, for 0 and for values beyond 32 bits.
bool parseWindowId(const std::string& text, std::uint32_t& id);
// A window id as the screen-saver switches take it: decimal only.
bool parseDecimalWindowId(const std::string& text, std::uint32_t& id);

// The -visual names of the daemons' hacks, as haze honours them: "default",
// a visual id (decimal or 0x-hex) and the names of visuals OpenGL draws in
// ("best", "gl", "color", "TrueColor", "DirectColor"; any case). Every other
// name is Refused.
VisualChoice parseVisualName(const std::string& name, std::uint32_t& id);

// Largest -delay: ten seconds between frames, in microseconds.
constexpr std::uint32_t maximumDelayUs = 10000000;

// Every mode and option, for --help; `backendNames` are the window systems
// --backend takes.
std::string usageText(const std::vector<std::string>& backendNames = {});
