// haze on Linux: the process entry.
//
// Parses the command line before anything else, so usage errors need no
// display; renders headless for --render; edits the user's XScreenSaver
// programs list for --install-xscreensaver and --uninstall-xscreensaver;
// otherwise starts the first window system of its list of backends that
// answers and runs the mode: the Windows switches through the host's own
// dispatch, the daemon conventions through the host's saver window with the
// daemon's window as its parent (drawn in, never grabbed, never closed by
// input).
#include "app/frame_rate_readout.h"
#include "app/run_seed.h"
#include "host/command_line.h"
#include "host/saver_host_state.h"
#include "host/saver_main.h"
#include "host/saver_window.h"
#include "programs/headless/render_command.h"
#include "programs/headless/texture_export.h"
#include "programs/linux/backend_list.h"
#include "programs/linux/command_options.h"
#include "programs/linux/xscreensaver_setup.h"
#include "programs/printable_text.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

unsigned long windowNumber(const char* text) {
    return static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(ParseWindowHandle(text)));
}

// The host refuses a preview window it cannot draw in with -1 and no word
// (the command line has already refused every other switch); a person at a
// terminal gets one line saying why.
void explainRefusal(const std::string& tail) {
    const char letter = hostState.refusedSwitch;
    switch (hostState.refusal) {
    case SwitchRefusal::None:
        return;
    case SwitchRefusal::NotAWindow:
        std::fprintf(stderr, "haze: /%c: %lu is not a window\n", letter,
                     windowNumber(hostState.refusedArgument));
        return;
    case SwitchRefusal::NoForeignWindows:
        std::fprintf(stderr,
                     "haze: /%c: this window system cannot show haze inside another "
                     "program's window\n",
                     letter);
        return;
    default:
        std::fprintf(stderr, "haze: '%s' is not a mode haze knows; haze --help lists them\n",
                     printableText(tail).c_str());
        return;
    }
}

// The exit code of the Windows switch in `tail`, from what the host's
// dispatch answered: a refusal is a usage error; the configuration, which
// has nothing to set, is done; a saver window that could not be made failed.
int switchExitCode(const std::string& tail, int result) {
    if (hostState.refusal != SwitchRefusal::None) {
        explainRefusal(tail);
        return ExitUsage;
    }
    if (tail.empty() || tail == "/c") {
        return result >= 0 ? ExitDone : ExitFailed;
    }
    return result >= 0 ? result : ExitFailed;
}

// The window a daemon-style mode draws in; null after saying why not, with
// the exit code in `exitCode`.
HWND daemonWindow(const Backend& backend, const CommandOptions& options, int& exitCode) {
    const bool foreignWindows = !platform().limits.noForeignWindows;
    if (options.mode == RunMode::WindowId) {
        HWND window = reinterpret_cast<HWND>(std::uintptr_t{options.windowId});
        exitCode = ExitUsage;
        if (!foreignWindows) {
            std::fprintf(stderr, "haze: -window-id: this window system cannot show haze inside "
                                 "another program's window\n");
            return nullptr;
        }
        if (!backend.windowExists(window)) {
            std::fprintf(stderr, "haze: -window-id: 0x%lx is not a window\n",
                         static_cast<unsigned long>(options.windowId));
            return nullptr;
        }
        return window;
    }
    // -root: the daemon names its own window, else the desktop's.
    exitCode = ExitFailed;
    const char* named = std::getenv("XSCREENSAVER_WINDOW");
    if (named == nullptr || *named == '\0' || !foreignWindows) {
        return backend.desktopWindow();
    }
    std::uint32_t id = 0;
    if (!parseWindowId(named, id)) {
        std::fprintf(stderr, "haze: XSCREENSAVER_WINDOW is '%s', which is not a window id\n",
                     printableText(named).c_str());
        return nullptr;
    }
    HWND window = reinterpret_cast<HWND>(std::uintptr_t{id});
    if (!backend.windowExists(window)) {
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
        return ExitFailed;
    }
    std::printf("%s: the scene's textures for seed %u\n",
                printableText(options.exportDirectory).c_str(), static_cast<unsigned>(seed));
    return 0;
}

[[noreturn]] void runOnDisplay(const CommandOptions& options) {
    BackendSettings settings;
    settings.displayName = options.displayName;
    settings.synchronous = options.synchronous;
    settings.minimumFramePeriodUs = options.delayUs;
    settings.visual = options.visual;
    settings.visualId = options.visualId;
    std::string error;
    const Backend* backend = startBackend(linuxBackends(), options.backend, settings, error);
    if (backend == nullptr) {
        std::fprintf(stderr, "haze: %s; to draw without one, use haze --render OUT.png\n",
                     printableText(error).c_str());
        std::exit(ExitFailed);
    }
    installPlatform(backend->platform());
    if (options.visual == VisualChoice::Refused) {
        std::fprintf(stderr,
                     "haze: -visual %s: haze draws with OpenGL in an RGB visual; using the "
                     "closest one\n",
                     printableText(options.visualName).c_str());
    }
    ShowFrameRateReadout(options.showFrameRate);

    int exitCode = ExitFailed;
    if (options.mode == RunMode::Saver) {
        exitCode = switchExitCode(options.saverTail, SaverMain(nullptr, options.saverTail.c_str()));
    } else if (options.mode == RunMode::OwnWindow) {
        HWND own = backend->createOwnWindow(options.width, options.height);
        if (own == nullptr) {
            std::fprintf(stderr, "haze: cannot open a window\n");
        } else {
            exitCode = RunSaverWindow(own);
            backend->destroyOwnWindow(own);
        }
    } else if (HWND window = daemonWindow(*backend, options, exitCode)) {
        exitCode = RunSaverWindow(window);
    }
    // The host's -1 (no window could be made) is a failure like any other.
    exitCode = exitCode >= 0 ? exitCode : ExitFailed;
    platform().exitProcess(exitCode);
    std::_Exit(exitCode);
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> backendNames;
    for (const Backend* backend : linuxBackends()) {
        backendNames.push_back(backend->name);
    }
    CommandOptions options;
    std::string error;
    if (!parseCommandOptions(argc - 1, argv + 1, options, error, backendNames)) {
        std::fprintf(stderr, "haze: %s\n", error.c_str());
        return ExitUsage;
    }
    switch (options.mode) {
    case RunMode::Help:
        std::fputs(usageText(backendNames).c_str(), stdout);
        return ExitDone;
    case RunMode::Version:
        std::printf("haze %s\n", HAZE_VERSION);
        return ExitDone;
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
