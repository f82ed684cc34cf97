#include "platform/x11/command_options.h"

#include "platform/printable_text.h"

#include <cstdlib>

namespace {

// Largest --step-ms: an hour of simulated time between two frames.
constexpr double maximumStepMs = 3600000.0;
// Largest --frames.
constexpr long maximumFrames = 100000000;

// A whole decimal number of digits only (no sign, no blanks) within `limit`.
bool parseDecimal(const std::string& text, unsigned long long limit, unsigned long long& value) {
    if (text.empty() || text.size() > 20) {
        return false;
    }
    unsigned long long result = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        const unsigned digit = static_cast<unsigned>(c - '0');
        if (result > (limit - digit) / 10) {
            return false;
        }
        result = result * 10 + digit;
    }
    value = result;
    return true;
}

// A decimal number with at most one '.' and nothing else (no sign,
// exponent, hex or blanks) within `limit`.
bool parseDecimalFraction(const std::string& text, double limit, double& value) {
    const std::size_t point = text.find('.');
    const std::string whole = text.substr(0, point);
    const std::string fraction = point == std::string::npos ? "" : text.substr(point + 1);
    const auto digitsOnly = [](const std::string& part) {
        return part.find_first_not_of("0123456789") == std::string::npos;
    };
    if (whole.size() + fraction.size() == 0 || !digitsOnly(whole) || !digitsOnly(fraction)) {
        return false;
    }
    // The text holds digits and one point only, which strtod reads alike in
    // every locale that uses '.' (haze sets none).
    const double parsed = std::strtod(text.c_str(), nullptr);
    if (!(parsed <= limit)) {
        return false;
    }
    value = parsed;
    return true;
}

bool parseHex(const std::string& text, unsigned long long limit, unsigned long long& value) {
    if (text.empty() || text.size() > 16) {
        return false;
    }
    unsigned long long result = 0;
    for (char c : text) {
        unsigned digit = 0;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else if (c >= 'A' && c <= 'F') {
            digit = static_cast<unsigned>(c - 'A' + 10);
        } else {
            return false;
        }
        if (result > (limit - digit) / 16) {
            return false;
        }
        result = result * 16 + digit;
    }
    value = result;
    return true;
}

// WIDTHxHEIGHT+X+Y: a size of at least one pixel each way and a corner, all
// whole numbers up to maximumSize.
bool parseMonitor(const std::string& text, MonitorGeometry& monitor) {
    const std::size_t cross = text.find_first_of("xX");
    const std::size_t plus = text.find('+');
    const std::size_t plus2 = plus == std::string::npos ? plus : text.find('+', plus + 1);
    unsigned long long fields[4] = {};
    if (cross == std::string::npos || plus2 == std::string::npos || plus < cross ||
        !parseDecimal(text.substr(0, cross), maximumSize, fields[0]) ||
        !parseDecimal(text.substr(cross + 1, plus - cross - 1), maximumSize, fields[1]) ||
        !parseDecimal(text.substr(plus + 1, plus2 - plus - 1), maximumSize, fields[2]) ||
        !parseDecimal(text.substr(plus2 + 1), maximumSize, fields[3]) || fields[0] == 0 ||
        fields[1] == 0) {
        return false;
    }
    monitor.width = static_cast<int>(fields[0]);
    monitor.height = static_cast<int>(fields[1]);
    monitor.x = static_cast<int>(fields[2]);
    monitor.y = static_cast<int>(fields[3]);
    return true;
}

const char* modeName(RunMode mode) {
    switch (mode) {
    case RunMode::Render:
        return "--render";
    case RunMode::ExportTextures:
        return "--export-textures";
    case RunMode::Root:
        return "-root";
    case RunMode::WindowId:
        return "-window-id";
    case RunMode::OwnWindow:
        return "-window";
    case RunMode::InstallXScreenSaver:
        return "--install-xscreensaver";
    case RunMode::UninstallXScreenSaver:
        return "--uninstall-xscreensaver";
    default:
        return "a screen-saver switch";
    }
}

struct Parser {
    CommandOptions& options;
    std::string& error;
    bool sizeGiven = false;
    bool monitorsGiven = false;
    bool framesGiven = false;
    bool stepGiven = false;
    bool help = false;
    bool version = false;
    const char* displayOption = nullptr; // the first option that needs a display

    // The message quotes what was given: shown escaped where not printable.
    bool fail(const std::string& message) {
        error = printableText(message);
        return false;
    }

    bool setMode(RunMode mode) {
        // The settings program's preview gives -root and -window-id together:
        // the window id wins.
        if (options.mode == RunMode::WindowId && mode == RunMode::Root) {
            return true;
        }
        if (options.mode == RunMode::Root && mode == RunMode::WindowId) {
            options.mode = mode;
            return true;
        }
        if (options.mode != RunMode::Saver && options.mode != mode) {
            return fail(std::string("choose one mode: ") + modeName(options.mode) + " and " +
                        modeName(mode) + " were both given");
        }
        options.mode = mode;
        return true;
    }

    bool size(const std::string& text) {
        const std::size_t cross = text.find_first_of("xX");
        unsigned long long w = 0;
        unsigned long long h = 0;
        if (cross == std::string::npos || !parseDecimal(text.substr(0, cross), 1000000, w) ||
            !parseDecimal(text.substr(cross + 1), 1000000, h) || w == 0 || h == 0 ||
            w > maximumSize || h > maximumSize) {
            return fail("--size needs WIDTHxHEIGHT with each from 1 to " +
                        std::to_string(maximumSize) + " pixels, got '" + text + "'");
        }
        options.width = static_cast<int>(w);
        options.height = static_cast<int>(h);
        sizeGiven = true;
        return true;
    }

    // WxH+X+Y, comma-separated: the monitors a render's picture spans.
    bool monitors(const std::string& text) {
        options.monitors.clear();
        std::size_t start = 0;
        for (;;) {
            const std::size_t comma = text.find(',', start);
            MonitorGeometry m;
            if (!parseMonitor(text.substr(start, comma - start), m) ||
                options.monitors.size() == static_cast<std::size_t>(maximumMonitors)) {
                return fail("--monitors needs up to " + std::to_string(maximumMonitors) +
                            " comma-separated WIDTHxHEIGHT+X+Y, got '" + text + "'");
            }
            options.monitors.push_back(m);
            if (comma == std::string::npos) {
                monitorsGiven = true;
                return true;
            }
            start = comma + 1;
        }
    }

    // Every monitor lies within the picture.
    bool monitorsFit() {
        for (const MonitorGeometry& m : options.monitors) {
            if (m.x + m.width > options.width || m.y + m.height > options.height) {
                return fail("--monitors: " + std::to_string(m.width) + "x" +
                            std::to_string(m.height) + "+" + std::to_string(m.x) + "+" +
                            std::to_string(m.y) + " reaches beyond the " +
                            std::to_string(options.width) + "x" + std::to_string(options.height) +
                            " picture");
            }
        }
        return true;
    }

    bool frames(const std::string& text) {
        unsigned long long n = 0;
        if (!parseDecimal(text, maximumFrames, n)) {
            return fail("--frames needs a whole number of frames from 0 to " +
                        std::to_string(maximumFrames) + ", got '" + text + "'");
        }
        options.frames = static_cast<int>(n);
        framesGiven = true;
        return true;
    }

    bool stepMs(const std::string& text) {
        double value = 0.0;
        if (!parseDecimalFraction(text, maximumStepMs, value)) {
            return fail(
                "--step-ms needs a decimal number of milliseconds from 0 to 3600000, got '" + text +
                "'");
        }
        options.stepMs = value;
        stepGiven = true;
        return true;
    }

    bool seed(const std::string& text) {
        unsigned long long value = 0;
        if (!parseDecimal(text, 0xFFFFFFFFull, value)) {
            return fail("--seed needs a whole number from 0 to 4294967295, got '" + text + "'");
        }
        options.seed = static_cast<std::uint32_t>(value);
        options.seedGiven = true;
        return true;
    }

    bool windowId(const std::string& text) {
        if (!parseWindowId(text, options.windowId)) {
            return fail("-window-id needs a window id, decimal or 0x-hex, got '" + text + "'");
        }
        return setMode(RunMode::WindowId);
    }

    // Notes an option that only a run on a display uses.
    bool onDisplay(const char* name) {
        if (displayOption == nullptr) {
            displayOption = name;
        }
        return true;
    }

    bool delay(const std::string& text) {
        unsigned long long us = 0;
        if (!parseDecimal(text, maximumDelayUs, us)) {
            return fail("-delay needs a whole number of microseconds from 0 to " +
                        std::to_string(maximumDelayUs) + ", got '" + text + "'");
        }
        options.delayUs = static_cast<std::uint32_t>(us);
        return onDisplay("-delay");
    }

    bool display(const std::string& name) {
        if (name.empty()) {
            return fail("-display needs the name of an X display, such as :0");
        }
        options.displayName = name;
        return onDisplay("-display");
    }

    bool visual(const std::string& name) {
        options.visualName = name;
        options.visual = parseVisualName(name, options.visualId);
        return onDisplay("-visual");
    }

    bool exportTextures(const std::string& directory) {
        if (directory.empty()) {
            return fail("--export-textures needs the folder to write the images into");
        }
        options.exportDirectory = directory;
        return setMode(RunMode::ExportTextures);
    }

    bool render(const std::string& path) {
        if (path.empty()) {
            return fail("--render needs the path of the PNG file to write");
        }
        options.renderPath = path;
        return setMode(RunMode::Render);
    }
};

// An option of haze's own, with or without a value.
struct KnownOption {
    const char* name;
    const char* alias; // the other spelling, or null
    bool takesValue;
    bool (*apply)(Parser& parser, const std::string& value);
};

const KnownOption knownOptions[] = {
    {"--help", "-h", false, [](Parser& p, const std::string&) { return p.help = true; }},
    {"-help", nullptr, false, [](Parser& p, const std::string&) { return p.help = true; }},
    {"--version", nullptr, false, [](Parser& p, const std::string&) { return p.version = true; }},
    {"--render", nullptr, true, [](Parser& p, const std::string& v) { return p.render(v); }},
    {"--export-textures", nullptr, true,
     [](Parser& p, const std::string& v) { return p.exportTextures(v); }},
    {"--size", nullptr, true, [](Parser& p, const std::string& v) { return p.size(v); }},
    {"--frames", nullptr, true, [](Parser& p, const std::string& v) { return p.frames(v); }},
    {"--step-ms", nullptr, true, [](Parser& p, const std::string& v) { return p.stepMs(v); }},
    {"--seed", nullptr, true, [](Parser& p, const std::string& v) { return p.seed(v); }},
    {"--monitors", nullptr, true, [](Parser& p, const std::string& v) { return p.monitors(v); }},
    {"-root", "--root", false,
     [](Parser& p, const std::string&) { return p.setMode(RunMode::Root); }},
    {"-window", "--window", false,
     [](Parser& p, const std::string&) { return p.setMode(RunMode::OwnWindow); }},
    {"-window-id", "--window-id", true,
     [](Parser& p, const std::string& v) { return p.windowId(v); }},
    {"-delay", "--delay", true, [](Parser& p, const std::string& v) { return p.delay(v); }},
    {"-fps", "--fps", false,
     [](Parser& p, const std::string&) {
         p.options.showFrameRate = true;
         return p.onDisplay("-fps");
     }},
    {"-no-fps", "--no-fps", false,
     [](Parser& p, const std::string&) {
         p.options.showFrameRate = false;
         return p.onDisplay("-no-fps");
     }},
    {"-display", "--display", true, [](Parser& p, const std::string& v) { return p.display(v); }},
    {"-visual", "--visual", true, [](Parser& p, const std::string& v) { return p.visual(v); }},
    // A private colormap: haze always makes one for its own visual.
    {"-install", "--install", false,
     [](Parser& p, const std::string&) { return p.onDisplay("-install"); }},
    {"-sync", "--sync", false,
     [](Parser& p, const std::string&) {
         p.options.synchronous = true;
         return p.onDisplay("-sync");
     }},
    {"--install-xscreensaver", nullptr, false,
     [](Parser& p, const std::string&) { return p.setMode(RunMode::InstallXScreenSaver); }},
    {"--uninstall-xscreensaver", nullptr, false,
     [](Parser& p, const std::string&) { return p.setMode(RunMode::UninstallXScreenSaver); }},
};

const KnownOption* findOption(const std::string& name) {
    for (const KnownOption& option : knownOptions) {
        if (name == option.name || (option.alias != nullptr && name == option.alias)) {
            return &option;
        }
    }
    return nullptr;
}

} // namespace

bool parseWindowId(const std::string& text, std::uint32_t& id) {
    unsigned long long value = 0;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const bool parsed = hex ? parseHex(text.substr(2), 0xFFFFFFFFull, value)
                            : parseDecimal(text, 0xFFFFFFFFull, value);
    if (!parsed || value == 0) {
        return false;
    }
    id = static_cast<std::uint32_t>(value);
    return true;
}

bool parseCommandOptions(int argc, const char* const* argv, CommandOptions& options,
                         std::string& error) {
    options = CommandOptions{};
    Parser parser{options, error};
    for (int i = 0; i < argc; ++i) {
        const std::string argument = argv[i];
        // --name=value is the same as --name value.
        std::string name = argument;
        std::string value;
        bool inlineValue = false;
        const std::size_t equals = argument.find('=');
        if (argument.compare(0, 2, "--") == 0 && equals != std::string::npos) {
            name = argument.substr(0, equals);
            value = argument.substr(equals + 1);
            inlineValue = true;
        }
        const KnownOption* option = findOption(name);
        if (option == nullptr) {
            if (argument.compare(0, 2, "--") == 0) {
                return parser.fail("unknown option " + name + " (haze --help lists them)");
            }
            // A Windows switch or its argument, for the host.
            if (!options.saverTail.empty()) {
                options.saverTail += ' ';
            }
            options.saverTail += argument;
            continue;
        }
        if (option->takesValue && !inlineValue) {
            if (i + 1 >= argc) {
                return parser.fail(std::string(option->name) + " needs a value");
            }
            value = argv[++i];
        } else if (!option->takesValue && inlineValue) {
            return parser.fail(std::string(option->name) + " takes no value");
        }
        if (!option->apply(parser, value)) {
            return false;
        }
    }

    if (parser.help) {
        options.mode = RunMode::Help;
        return true;
    }
    if (parser.version) {
        options.mode = RunMode::Version;
        return true;
    }
    if (options.mode != RunMode::Saver && !options.saverTail.empty()) {
        // A word like -foo is an option haze does not know, not a switch.
        const std::string word = options.saverTail.substr(0, options.saverTail.find(' '));
        if (word.size() > 2 && word[0] == '-') {
            return parser.fail("unknown option " + word + " (haze --help lists them)");
        }
        return parser.fail(std::string("choose one mode: ") + modeName(options.mode) +
                           " was given with '" + options.saverTail + "'");
    }
    if ((parser.framesGiven || parser.stepGiven) && options.mode != RunMode::Render) {
        return parser.fail(std::string(parser.framesGiven ? "--frames" : "--step-ms") +
                           " applies only to --render");
    }
    if (parser.monitorsGiven && options.mode != RunMode::Render) {
        return parser.fail("--monitors applies only to --render");
    }
    const bool onDisplay = options.mode == RunMode::Saver || options.mode == RunMode::Root ||
                           options.mode == RunMode::WindowId || options.mode == RunMode::OwnWindow;
    if (parser.displayOption != nullptr && !onDisplay) {
        return parser.fail(std::string(parser.displayOption) +
                           " applies only on a display, not to " + modeName(options.mode));
    }
    if (parser.sizeGiven && options.mode != RunMode::Render && options.mode != RunMode::OwnWindow) {
        return parser.fail("--size applies only to --render and -window");
    }
    if (!parser.sizeGiven) {
        const bool render = options.mode == RunMode::Render;
        options.width = render ? defaultRenderWidth : defaultWindowWidth;
        options.height = render ? defaultRenderHeight : defaultWindowHeight;
    }
    return parser.monitorsFit();
}

VisualChoice parseVisualName(const std::string& name, std::uint32_t& id) {
    std::string lower;
    for (char c : name) {
        lower += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    if (lower == "default") {
        return VisualChoice::Default;
    }
    for (const char* rgb : {"best", "gl", "color", "colour", "truecolor", "directcolor"}) {
        if (lower == rgb) {
            return VisualChoice::Best;
        }
    }
    unsigned long long value = 0;
    const bool hex = lower.size() > 2 && lower[0] == '0' && lower[1] == 'x';
    if ((hex ? parseHex(lower.substr(2), 0xFFFFFFFFull, value)
             : parseDecimal(lower, 0xFFFFFFFFull, value)) &&
        value != 0) {
        id = static_cast<std::uint32_t>(value);
        return VisualChoice::ById;
    }
    return VisualChoice::Refused;
}

const char* usageText() {
    return "Usage: haze [MODE] [OPTIONS]\n"
           "\n"
           "An animated OpenGL screen saver: coloured stars, a yellow glow and\n"
           "translucent smoke drifting through a letterboxed, fading view.\n"
           "\n"
           "Screen-saver switches:\n"
           "  /s                 full screen until a key, a click, mouse travel of more\n"
           "                     than 4 pixels or another window taking the focus\n"
           "  /p ID, /l ID       preview inside the window with decimal id ID, until\n"
           "                     that window goes away\n"
           "  /c                 configuration: haze has no settings, so it says so\n"
           "  (none)             the same as /c\n"
           "\n"
           "Screen-saver daemons (haze grabs nothing and ignores input; it ends on\n"
           "SIGTERM or SIGINT, or when its window is destroyed):\n"
           "  -root              draw into the window named by XSCREENSAVER_WINDOW,\n"
           "                     else into the root window\n"
           "  -window-id ID      draw into the window ID (decimal or 0x-hex)\n"
           "  -window            an ordinary window of haze's own; closes with the\n"
           "                     window manager's close button, q or Escape\n"
           "  (-root with -window-id draws into the window ID.)\n"
           "\n"
           "On a display (one or two leading dashes, as the daemons' hacks take them):\n"
           "  -delay US          at least US microseconds from one frame's start to the\n"
           "                     next (default 0: up to 200 frames a second)\n"
           "  -fps, -no-fps      show the frame rate in the lower left corner, or not\n"
           "                     (the default)\n"
           "  -display NAME      the X display to draw on (default: DISPLAY)\n"
           "  -visual NAME       default, best, gl, TrueColor, DirectColor or a visual\n"
           "                     id; other names draw in the best visual, with a warning\n"
           "  -install           a private colormap (haze always makes one)\n"
           "  -sync              wait for the X server after every request (debugging)\n"
           "\n"
           "XScreenSaver, for the current user:\n"
           "  --install-xscreensaver    add haze to the programs of ~/.xscreensaver,\n"
           "                            making the file from the daemon's defaults if\n"
           "                            there is none; running it again changes nothing\n"
           "  --uninstall-xscreensaver  take haze out of that list again\n"
           "\n"
           "Without a display:\n"
           "  --render OUT.png   draw frames offscreen and write the last as an RGB PNG\n"
           "                     (- writes it to standard output)\n"
           "  --frames N         frames to draw (default 300)\n"
           "  --step-ms MS       simulated milliseconds between frames (default 16.667)\n"
           "  --monitors WxH+X+Y,...\n"
           "                     the monitors the picture spans, each with a view of\n"
           "                     its own (default: one, the whole picture)\n"
           "  --export-textures DIR\n"
           "                     write the scene's eleven generated images as\n"
           "                     DIR/NN-NAME.png (256x256 RGBA, rows as uploaded)\n"
           "\n"
           "Options:\n"
           "  --size WxH         picture size in pixels for --render (default 1280x720)\n"
           "                     and -window (default 800x600), at most 16384 each way\n"
           "  --seed N           start the random sequence from N (0 to 4294967295)\n"
           "                     instead of the clock, to repeat a run exactly\n"
           "  --help, -help      this text\n"
           "  --version          the version\n"
           "\n"
           "Numbers are decimal; only window and visual ids may also be written in 0x-hex.\n";
}
