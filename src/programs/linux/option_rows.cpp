#include "programs/linux/option_rows.h"

#include "programs/linux/decimal_numbers.h"
#include "programs/printable_text.h"

#include <cstdio>
#include <iterator>
#include <utility>

namespace cli {
namespace {

// Largest --step-ms: an hour of simulated time between two frames.
constexpr double maximumStepMs = 3600000.0;
// Largest --frames.
constexpr unsigned long long maximumFrames = 100000000;
// Largest --seed: the generator's seed is 32 bits.
constexpr unsigned long long maximumSeed = 0xFFFFFFFFull;

} // namespace

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

// "only to --render", "only on a display, not to --render": where an option
// given in `mode` would have applied.
std::string appliesOnly(unsigned modes, RunMode mode) {
    if (modes == displayModes) {
        return std::string("only on a display, not to ") + modeName(mode);
    }
    std::string names;
    for (RunMode m : {RunMode::Render, RunMode::OwnWindow}) {
        if ((modes & modeBit(m)) != 0) {
            names += (names.empty() ? "" : " and ") + std::string(modeName(m));
        }
    }
    return "only to " + names;
}

// A number of the option table as its messages and help show it.
std::string numberText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

std::string expand(const OptionRow& row, const char* text) {
    std::string out = text;
    for (const auto& [key, value] :
         {std::pair<const char*, double>{"{min}", row.minimum}, {"{max}", row.maximum}}) {
        for (std::size_t at = out.find(key); at != std::string::npos; at = out.find(key, at)) {
            out.replace(at, std::string(key).size(), numberText(value));
        }
    }
    return out;
}

bool Parser::fail(const std::string& message) {
    error = printableText(message);
    return false;
}

bool Parser::refuse(const OptionRow& row, const std::string& value) {
    return fail(std::string(row.name) + " needs " + expand(row, row.needs) + ", got '" + value +
                "'");
}

bool Parser::refuseEmpty(const OptionRow& row) {
    return fail(std::string(row.name) + " needs " + expand(row, row.needs));
}

bool Parser::setMode(RunMode mode) {
    if (switchGiven) {
        return fail(std::string("choose one mode: a screen-saver switch and ") + modeName(mode) +
                    " were both given");
    }
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

bool Parser::wholeNumber(const OptionRow& row, const std::string& text, unsigned long long& value) {
    return parseDecimal(text, static_cast<unsigned long long>(row.maximum), value) &&
                   value >= static_cast<unsigned long long>(row.minimum)
               ? true
               : refuse(row, text);
}

namespace {

bool size(Parser& p, const OptionRow& row, const std::string& text) {
    const std::size_t cross = text.find_first_of("xX");
    unsigned long long w = 0;
    unsigned long long h = 0;
    const auto limit = static_cast<unsigned long long>(row.maximum);
    if (cross == std::string::npos || !parseDecimal(text.substr(0, cross), limit, w) ||
        !parseDecimal(text.substr(cross + 1), limit, h) || w < row.minimum || h < row.minimum) {
        return p.refuse(row, text);
    }
    p.options.width = static_cast<int>(w);
    p.options.height = static_cast<int>(h);
    return true;
}

// WxH+X+Y, comma-separated: the monitors a render's picture spans.
bool monitors(Parser& p, const OptionRow& row, const std::string& text) {
    p.options.monitors.clear();
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        MonitorGeometry m;
        if (!parseMonitor(text.substr(start, comma - start), m) ||
            p.options.monitors.size() >= static_cast<std::size_t>(row.maximum)) {
            return p.refuse(row, text);
        }
        p.options.monitors.push_back(m);
        if (comma == std::string::npos) {
            return true;
        }
        start = comma + 1;
    }
}

bool frames(Parser& p, const OptionRow& row, const std::string& text) {
    unsigned long long n = 0;
    if (!p.wholeNumber(row, text, n)) {
        return false;
    }
    p.options.frames = static_cast<int>(n);
    return true;
}

bool stepMs(Parser& p, const OptionRow& row, const std::string& text) {
    double value = 0.0;
    if (!parseDecimalFraction(text, row.maximum, value)) {
        return p.refuse(row, text);
    }
    p.options.stepMs = value;
    return true;
}

bool seed(Parser& p, const OptionRow& row, const std::string& text) {
    unsigned long long value = 0;
    if (!p.wholeNumber(row, text, value)) {
        return false;
    }
    p.options.seed = static_cast<std::uint32_t>(value);
    p.options.seedGiven = true;
    return true;
}

bool windowId(Parser& p, const OptionRow& row, const std::string& text) {
    if (!parseWindowId(text, p.options.windowId)) {
        return p.refuse(row, text);
    }
    return p.setMode(RunMode::WindowId);
}

bool delay(Parser& p, const OptionRow& row, const std::string& text) {
    unsigned long long us = 0;
    if (!p.wholeNumber(row, text, us)) {
        return false;
    }
    p.options.delayUs = static_cast<std::uint32_t>(us);
    return true;
}

bool display(Parser& p, const OptionRow& row, const std::string& name) {
    if (name.empty()) {
        return p.refuseEmpty(row);
    }
    p.options.displayName = name;
    return true;
}

bool visual(Parser& p, const OptionRow&, const std::string& name) {
    p.options.visualName = name;
    p.options.visual = parseVisualName(name, p.options.visualId);
    return true;
}

bool backend(Parser& p, const OptionRow& row, const std::string& name) {
    std::string names;
    bool known = p.backendNames.empty();
    for (const std::string& candidate : p.backendNames) {
        known = known || candidate == name;
        names += (names.empty() ? "" : ", ") + candidate;
    }
    if (!known || name.empty()) {
        return p.fail(std::string(row.name) + " needs one of " + names + ", got '" + name + "'");
    }
    p.options.backend = name;
    return true;
}

bool exportTextures(Parser& p, const OptionRow& row, const std::string& directory) {
    if (directory.empty()) {
        return p.refuseEmpty(row);
    }
    p.options.exportDirectory = directory;
    return p.setMode(RunMode::ExportTextures);
}

bool render(Parser& p, const OptionRow& row, const std::string& path) {
    if (path.empty()) {
        return p.refuseEmpty(row);
    }
    p.options.renderPath = path;
    return p.setMode(RunMode::Render);
}

template <RunMode mode>
bool chooseMode(Parser& p, const OptionRow&, const std::string&) {
    return p.setMode(mode);
}

template <bool CommandOptions::*flag, bool value>
bool setFlag(Parser& p, const OptionRow&, const std::string&) {
    p.options.*flag = value;
    return true;
}

template <bool Parser::*flag>
bool setParserFlag(Parser& p, const OptionRow&, const std::string&) {
    p.*flag = true;
    return true;
}

// A private colormap: haze always makes one for its own visual.
bool accept(Parser&, const OptionRow&, const std::string&) {
    return true;
}

constexpr double noRange = 0.0;

// Every option, in the order --help lists them within each section.
const OptionRow rows[] = {
    {"-root", nullptr, nullptr, anyMode, noRange, noRange, "", chooseMode<RunMode::Root>,
     Section::Daemons, nullptr,
     "draw into the window named by XSCREENSAVER_WINDOW,\nelse into the root window"},
    {"-window-id", nullptr, "ID", anyMode, noRange, noRange, "a window id, decimal or 0x-hex",
     windowId, Section::Daemons, nullptr, "draw into the window ID (decimal or 0x-hex)"},
    {"-window", nullptr, nullptr, anyMode, noRange, noRange, "", chooseMode<RunMode::OwnWindow>,
     Section::Daemons, nullptr,
     "an ordinary window of haze's own; closes with the\nwindow manager's close button, q or "
     "Escape"},

    {"-delay", nullptr, "US", displayModes, 0, maximumDelayUs,
     "a whole number of microseconds from {min} to {max}", delay, Section::OnDisplay, nullptr,
     "at least US microseconds from one frame's start to the\nnext, up to {max} (default 0: "
     "as often as the display\nrefreshes)"},
    {"-fps", nullptr, nullptr, displayModes, noRange, noRange, "",
     setFlag<&CommandOptions::showFrameRate, true>, Section::OnDisplay, "-fps, -no-fps",
     "show the frame rate in the lower left corner, or not\n(the default)"},
    {"-no-fps", nullptr, nullptr, displayModes, noRange, noRange, "",
     setFlag<&CommandOptions::showFrameRate, false>, Section::OnDisplay, "", ""},
    {"-display", nullptr, "NAME", displayModes, noRange, noRange,
     "the name of an X display, such as :0", display, Section::OnDisplay, nullptr,
     "the X display to draw on (default: DISPLAY)"},
    {"-visual", nullptr, "NAME", displayModes, noRange, noRange, "", visual, Section::OnDisplay,
     nullptr,
     "default, best, gl, TrueColor, DirectColor or a visual\nid; other names draw in the best "
     "visual, with a warning"},
    {"-install", nullptr, nullptr, displayModes, noRange, noRange, "", accept, Section::OnDisplay,
     nullptr, "a private colormap (haze always makes one)"},
    {"-sync", nullptr, nullptr, displayModes, noRange, noRange, "",
     setFlag<&CommandOptions::synchronous, true>, Section::OnDisplay, nullptr,
     "wait for the X server after every request (debugging)"},
    {"--backend", nullptr, "NAME", displayModes, noRange, noRange, "", backend, Section::OnDisplay,
     nullptr,
     "the window system to draw on: {backends}\n(default: the first of them that answers)"},

    {"--install-xscreensaver", nullptr, nullptr, anyMode, noRange, noRange, "",
     chooseMode<RunMode::InstallXScreenSaver>, Section::XScreenSaver, nullptr,
     "add haze to the programs of ~/.xscreensaver,\nmaking the file from the daemon's defaults "
     "if\nthere is none; running it again changes nothing"},
    {"--uninstall-xscreensaver", nullptr, nullptr, anyMode, noRange, noRange, "",
     chooseMode<RunMode::UninstallXScreenSaver>, Section::XScreenSaver, nullptr,
     "take haze out of that list again"},

    {"--render", nullptr, "OUT.png", anyMode, noRange, noRange, "the path of the PNG file to write",
     render, Section::WithoutDisplay, nullptr,
     "draw frames offscreen and write the last as an RGB PNG\n(- writes it to standard output)"},
    {"--frames", nullptr, "N", renderOnly, 0, maximumFrames,
     "a whole number of frames from {min} to {max}", frames, Section::WithoutDisplay, nullptr,
     "frames to draw (default 300)"},
    {"--step-ms", nullptr, "MS", renderOnly, 0, maximumStepMs,
     "a decimal number of milliseconds from {min} to {max}", stepMs, Section::WithoutDisplay,
     nullptr, "simulated milliseconds between frames (default 16.667)"},
    {"--monitors", nullptr, "WxH+X+Y,...", renderOnly, 1, maximumMonitors,
     "up to {max} comma-separated WIDTHxHEIGHT+X+Y", monitors, Section::WithoutDisplay, nullptr,
     "the monitors the picture spans, each with a view of\nits own (default: one, the whole "
     "picture)"},
    {"--export-textures", nullptr, "DIR", anyMode, noRange, noRange,
     "the folder to write the images into", exportTextures, Section::WithoutDisplay, nullptr,
     "write the scene's eleven generated images as\nDIR/NN-NAME.png (256x256 RGBA, rows as "
     "uploaded)"},

    {"--size", nullptr, "WxH", sizedModes, 1, maximumSize,
     "WIDTHxHEIGHT with each from {min} to {max} pixels", size, Section::General, nullptr,
     "picture size in pixels for --render (default 1280x720)\nand -window (default 800x600), at "
     "most {max} each way"},
    {"--seed", nullptr, "N", anyMode, 0, maximumSeed, "a whole number from {min} to {max}", seed,
     Section::General, nullptr,
     "start the random sequence from N ({min} to {max})\ninstead of the clock, to repeat a run "
     "exactly"},
    {"--help", "-h", nullptr, anyMode, noRange, noRange, "", setParserFlag<&Parser::help>,
     Section::General, "--help, -help", "this text"},
    {"--version", nullptr, nullptr, anyMode, noRange, noRange, "", setParserFlag<&Parser::version>,
     Section::General, nullptr, "the version"},
};

// The spelling with one dash where `name` has two, or two where it has one.
std::string otherDashes(const std::string& name) {
    return name.compare(0, 2, "--") == 0 ? name.substr(1) : "-" + name;
}

} // namespace

const std::vector<OptionRow>& optionRows() {
    static const std::vector<OptionRow> all(std::begin(rows), std::end(rows));
    return all;
}

const OptionRow* findOption(const std::string& name) {
    for (const OptionRow& row : optionRows()) {
        if (name == row.name || name == otherDashes(row.name) ||
            (row.alias != nullptr && name == row.alias)) {
            return &row;
        }
    }
    return nullptr;
}

} // namespace cli
