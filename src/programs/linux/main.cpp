// haze on Linux: the process entry.
//
// Parses the command line before anything else, so usage errors need no
// display; renders headless for --render; edits the user's XScreenSaver
// programs list for --install-xscreensaver and --uninstall-xscreensaver;
// otherwise connects to the X display and runs the mode: the Windows
// switches through the host's own entry, the daemon conventions through the
// host's saver window with the daemon's window as its parent (drawn in,
// never grabbed, never closed by input).
#include "app/frame_rate_readout.h"
#include "app/run_seed.h"
#include "host/command_line.h"
#include "host/saver_host_state.h"
#include "host/saver_main.h"
#include "host/saver_window.h"
#include "platform/headless/render_command.h"
#include "platform/headless/texture_export.h"
#include "platform/printable_text.h"
#include "platform/x11/command_options.h"
#include "platform/x11/x11_glx.h"
#include "platform/x11/x11_platform.h"
#include "platform/x11/xscreensaver_setup.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// The switch letter the host's dispatch will act on, and the text after it.
char switchLetter(const std::string& tail, std::string& rest) {
    std::size_t i = 0;
    while (i < tail.size() && (tail[i] == ' ' || tail[i] == '-' || tail[i] == '/')) {
        ++i;
    }
    if (i == tail.size()) {
        return '\0';
    }
    std::size_t after = i + 1;
    while (after < tail.size() && tail[after] == ' ') {
        ++after;
    }
    rest = tail.substr(after);
    return tail[i];
}

// The host answers a bad switch or preview window with -1 and no word; a
// person at a terminal gets one line saying why.
void explainRefusal(const std::string& tail) {
    std::string rest;
    const char letter = switchLetter(tail, rest);
    switch (letter) {
    case '\0':
    case 's':
    case 'S':
    case 'c':
    case 'C':
        return;
    case 'p':
    case 'P':
    case 'l':
    case 'L': {
        HWND parent = ParseWindowHandle(rest.c_str());
        if (parent == nullptr) {
            std::fprintf(stderr, "haze: /%c needs the decimal id of a window, got '%s'\n", letter,
                         printableText(rest).c_str());
        } else if (!x11::windowExists(parent)) {
            std::fprintf(stderr, "haze: /%c: %lu is not a window\n", letter,
                         static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(parent)));
        }
        return;
    }
    default:
        std::fprintf(stderr, "haze: '%s' is not a mode haze knows; haze --help lists them\n",
                     printableText(tail).c_str());
    }
}

// The window a daemon-style mode draws in, or null after saying why not.
HWND daemonWindow(const CommandOptions& options) {
    if (options.mode == RunMode::WindowId) {
        HWND window = reinterpret_cast<HWND>(std::uintptr_t{options.windowId});
        if (!x11::windowExists(window)) {
            std::fprintf(stderr, "haze: -window-id: 0x%lx is not a window\n",
                         static_cast<unsigned long>(options.windowId));
            return nullptr;
        }
        return window;
    }
    // -root: the daemon names its own window, else the root window.
    const char* named = std::getenv("XSCREENSAVER_WINDOW");
    if (named == nullptr || *named == '\0') {
        return x11::rootWindow();
    }
    std::uint32_t id = 0;
    if (!parseWindowId(named, id)) {
        std::fprintf(stderr, "haze: XSCREENSAVER_WINDOW is '%s', which is not a window id\n",
                     printableText(named).c_str());
        return nullptr;
    }
    HWND window = reinterpret_cast<HWND>(std::uintptr_t{id});
    if (!x11::windowExists(window)) {
        std::fprintf(stderr, "haze: XSCREENSAVER_WINDOW names 0x%lx, which is not a window\n",
                     static_cast<unsigned long>(id));
        return nullptr;
    }
    return window;
}

// Writes the scene's textures for --export-textures; without --seed the clock
// chooses, and the seed is printed so the images can be made again.
int exportTextures(const CommandOptions& options) {
    const std::uint32_t seed =
        options.seedGiven
            ? options.seed
            : static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                             std::chrono::system_clock::now().time_since_epoch())
                                             .count());
    std::string error;
    if (!exportSceneTextures(options.exportDirectory, seed, error)) {
        std::fprintf(stderr, "haze: %s\n", printableText(error).c_str());
        return 1;
    }
    std::printf("%s: the scene's textures for seed %u\n",
                printableText(options.exportDirectory).c_str(), static_cast<unsigned>(seed));
    return 0;
}

[[noreturn]] void runOnDisplay(const CommandOptions& options) {
    std::string error;
    if (!x11::start(error, options.displayName)) {
        std::fprintf(stderr, "haze: %s\n", error.c_str());
        std::exit(1);
    }
    installPlatform(x11::platformTable());
    // The options the daemons' hacks take.
    if (options.synchronous) {
        x11::setSynchronous();
    }
    x11::setMinimumFramePeriod(options.delayUs);
    if (options.visual == VisualChoice::Refused) {
        std::fprintf(stderr,
                     "haze: -visual %s: haze draws with OpenGL in an RGB visual; using the "
                     "closest one\n",
                     options.visualName.c_str());
    }
    x11::preferVisual(options.visual, options.visualId);
    ShowFrameRateReadout(options.showFrameRate);

    if (options.mode == RunMode::Saver) {
        explainRefusal(options.saverTail);
        const std::string commandLine = "haze " + options.saverTail;
        SaverEntry(nullptr, commandLine.c_str());
    }

    int exitCode = 1;
    if (options.mode == RunMode::OwnWindow) {
        HWND own = x11::createOwnWindow(options.width, options.height);
        if (own == nullptr) {
            std::fprintf(stderr, "haze: cannot open a window\n");
        } else {
            exitCode = RunSaverWindow(own);
            x11::destroyOwnWindow(own);
        }
    } else if (HWND window = daemonWindow(options)) {
        exitCode = RunSaverWindow(window);
    }
    platform().exitProcess(exitCode);
    std::_Exit(exitCode);
}

} // namespace

int main(int argc, char** argv) {
    CommandOptions options;
    std::string error;
    if (!parseCommandOptions(argc - 1, argv + 1, options, error)) {
        std::fprintf(stderr, "haze: %s\n", error.c_str());
        return 2;
    }
    switch (options.mode) {
    case RunMode::Help:
        std::fputs(usageText(), stdout);
        return 0;
    case RunMode::Version:
        std::printf("haze %s\n", HAZE_VERSION);
        return 0;
    default:
        break;
    }
    if (options.seedGiven) {
        setFixedRunSeed(options.seed);
    }
    if (options.mode == RunMode::Render) {
        HeadlessRender request;
        request.width = options.width;
        request.height = options.height;
        request.frames = options.frames;
        request.stepMs = options.stepMs;
        for (const MonitorGeometry& m : options.monitors) {
            request.monitors.push_back(RECT{m.x, m.y, m.x + m.width, m.y + m.height});
        }
        return renderCommand(options.renderPath, request);
    }
    if (options.mode == RunMode::ExportTextures) {
        return exportTextures(options);
    }
    if (options.mode == RunMode::InstallXScreenSaver) {
        return installIntoXScreenSaver();
    }
    if (options.mode == RunMode::UninstallXScreenSaver) {
        return uninstallFromXScreenSaver();
    }
    runOnDisplay(options);
}
