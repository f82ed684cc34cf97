#include "programs/linux/command_options.h"

#include "programs/printable_text.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

// Largest --step-ms: an hour of simulated time between two frames.
constexpr double maximumStepMs = 3600000.0;
// Largest --frames.
constexpr unsigned long long maximumFrames = 100000000;
// Largest --seed: the generator's seed is 32 bits.
constexpr unsigned long long maximumSeed = 0xFFFFFFFFull;

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

// The modes an option applies to, as a set of bits.
constexpr unsigned modeBit(RunMode mode) {
    return 1u << static_cast<unsigned>(mode);
}
constexpr unsigned anyMode = ~0u;
constexpr unsigned renderOnly = modeBit(RunMode::Render);
constexpr unsigned sizedModes = modeBit(RunMode::Render) | modeBit(RunMode::OwnWindow);
constexpr unsigned displayModes = modeBit(RunMode::Saver) | modeBit(RunMode::Root) |
                                  modeBit(RunMode::WindowId) | modeBit(RunMode::OwnWindow);

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

// The parts of --help the options are listed in, in order.
enum class Section { Daemons, OnDisplay, XScreenSaver, WithoutDisplay, General };

struct Parser;
struct OptionRow;
using Apply = bool (*)(Parser& parser, const OptionRow& row, const std::string& value);

// One option: its spellings, the modes it applies to, its range, what its
// value must be and its help. The parser, its messages and --help all read
// these rows; "{min}" and "{max}" in the texts stand for the range. Every
// option is taken with one leading dash or two, as the daemons' hacks take
// theirs.
struct OptionRow {
    const char* name;      // as --help shows it: "--size", "-delay"
    const char* alias;     // another spelling (besides the other number of dashes), or null
    const char* valueName; // its value in --help ("WxH"); null: it takes none
    unsigned modes;        // where it applies; options that choose the mode apply anywhere
    double minimum;        // its range, for the numbers it takes
    double maximum;
    const char* needs; // what a value must be: "<name> needs <needs>, got '<value>'"
    Apply apply;
    Section section;
    const char* label; // --help's left column when not "name valueName"; "": not listed
    const char* help;  // lines separated by '\n'
};

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

struct Parser {
    Parser(CommandOptions& options, std::string& error,
           const std::vector<std::string>& backendNames)
        : options(options), error(error), backendNames(backendNames) {}

    CommandOptions& options;
    std::string& error;
    const std::vector<std::string>& backendNames;
    bool help = false;
    bool version = false;
    bool switchGiven = false;            // a screen-saver switch chose the mode
    std::vector<const OptionRow*> given; // the options given, in order

    // The message quotes what was given: shown escaped where not printable.
    bool fail(const std::string& message) {
        error = printableText(message);
        return false;
    }

    // "NAME needs WHAT, got 'VALUE'", from the option's row.
    bool refuse(const OptionRow& row, const std::string& value) {
        return fail(std::string(row.name) + " needs " + expand(row, row.needs) + ", got '" + value +
                    "'");
    }

    // An empty value where one is needed: "NAME needs WHAT".
    bool refuseEmpty(const OptionRow& row) {
        return fail(std::string(row.name) + " needs " + expand(row, row.needs));
    }

    bool setMode(RunMode mode) {
        if (switchGiven) {
            return fail(std::string("choose one mode: a screen-saver switch and ") +
                        modeName(mode) + " were both given");
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

    bool wholeNumber(const OptionRow& row, const std::string& text, unsigned long long& value) {
        return parseDecimal(text, static_cast<unsigned long long>(row.maximum), value) &&
                       value >= static_cast<unsigned long long>(row.minimum)
                   ? true
                   : refuse(row, text);
    }
};

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
const OptionRow optionRows[] = {
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

const OptionRow* findOption(const std::string& name) {
    for (const OptionRow& row : optionRows) {
        if (name == row.name || name == otherDashes(row.name) ||
            (row.alias != nullptr && name == row.alias)) {
            return &row;
        }
    }
    return nullptr;
}

// A screen-saver switch as --help lists it: a slash or a dash and one of the
// letters s, p, l or c, in either case. The letter, or '\0' for any other word.
char switchLetter(const std::string& word) {
    if (word.size() != 2 || (word[0] != '/' && word[0] != '-')) {
        return '\0';
    }
    const char letter = static_cast<char>(word[1] | 0x20); // either case
    return letter == 's' || letter == 'p' || letter == 'l' || letter == 'c' ? letter : '\0';
}

} // namespace

bool parseDecimalWindowId(const std::string& text, std::uint32_t& id) {
    unsigned long long value = 0;
    if (!parseDecimal(text, 0xFFFFFFFFull, value) || value == 0) {
        return false;
    }
    id = static_cast<std::uint32_t>(value);
    return true;
}

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
                         std::string& error, const std::vector<std::string>& backendNames) {
    options = CommandOptions{};
    Parser parser(options, error, backendNames);
    for (int i = 0; i < argc; ++i) {
        const std::string argument = argv[i];
        if (const char letter = switchLetter(argument)) {
            // The Windows switches, for the host's dispatch, in one spelling.
            if (parser.switchGiven || options.mode != RunMode::Saver) {
                return parser.fail("choose one mode: " +
                                   std::string(parser.switchGiven ? "a screen-saver switch"
                                                                  : modeName(options.mode)) +
                                   " and " + argument + " were both given");
            }
            parser.switchGiven = true;
            options.saverTail = std::string("/") + letter;
            if (letter == 'p' || letter == 'l') {
                std::uint32_t id = 0;
                const std::string value = i + 1 < argc ? argv[i + 1] : "";
                if (!parseDecimalWindowId(value, id)) {
                    return parser.fail(argument + " needs the decimal id of a window, got '" +
                                       value + "'");
                }
                options.saverTail += " " + std::to_string(id);
                ++i;
            }
            continue;
        }
        // --name=value is the same as --name value.
        std::string name = argument;
        std::string value;
        bool inlineValue = false;
        const std::size_t equals = argument.find('=');
        if (argument.compare(0, 1, "-") == 0 && equals != std::string::npos) {
            name = argument.substr(0, equals);
            value = argument.substr(equals + 1);
            inlineValue = true;
        }
        const OptionRow* option = findOption(name);
        if (option == nullptr) {
            if (argument.compare(0, 1, "-") == 0 && argument.size() > 1) {
                return parser.fail("unknown option " + name + " (haze --help lists them)");
            }
            return parser.fail("'" + argument +
                               "' is not a mode haze knows; haze --help lists them");
        }
        const bool takesValue = option->valueName != nullptr;
        if (takesValue && !inlineValue) {
            if (i + 1 >= argc) {
                return parser.fail(std::string(option->name) + " needs a value");
            }
            value = argv[++i];
        } else if (!takesValue && inlineValue) {
            return parser.fail(std::string(option->name) + " takes no value");
        }
        // An option's name is never taken for a value, a file's above all.
        if (value.compare(0, 2, "--") == 0) {
            return parser.fail(std::string(option->name) + " needs a value, got '" + value +
                               "', which is an option's spelling");
        }
        if (!option->apply(parser, *option, value)) {
            return false;
        }
        parser.given.push_back(option);
    }

    if (parser.help) {
        options.mode = RunMode::Help;
        return true;
    }
    if (parser.version) {
        options.mode = RunMode::Version;
        return true;
    }
    for (const OptionRow* option : parser.given) {
        if ((option->modes & modeBit(options.mode)) == 0) {
            return parser.fail(std::string(option->name) + " applies " +
                               appliesOnly(option->modes, options.mode));
        }
    }
    if (options.width == 0) {
        const bool render = options.mode == RunMode::Render;
        options.width = render ? defaultRenderWidth : defaultWindowWidth;
        options.height = render ? defaultRenderHeight : defaultWindowHeight;
    }
    // Every monitor lies within the picture.
    for (const MonitorGeometry& m : options.monitors) {
        if (m.x + m.width > options.width || m.y + m.height > options.height) {
            return parser.fail(
                "--monitors: " + std::to_string(m.width) + "x" + std::to_string(m.height) + "+" +
                std::to_string(m.x) + "+" + std::to_string(m.y) + " reaches beyond the " +
                std::to_string(options.width) + "x" + std::to_string(options.height) + " picture");
        }
    }
    return true;
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

namespace {

struct SectionText {
    Section section;
    const char* heading;
    int column; // where the help text starts
    const char* footer;
};

const SectionText sections[] = {
    {Section::Daemons,
     "Screen-saver daemons (haze grabs nothing and ignores input; it ends on\n"
     "SIGTERM or SIGINT, or when its window is destroyed):",
     21, "  (-root with -window-id draws into the window ID.)\n"},
    {Section::OnDisplay, "On a display:", 21, ""},
    {Section::XScreenSaver, "XScreenSaver, for the current user:", 28, ""},
    {Section::WithoutDisplay, "Without a display:", 21, ""},
    {Section::General, "Options:", 21, ""},
};

// One option's lines of --help: its label, then its help from `column` on;
// a label too long for the column stands on a line of its own.
std::string helpLines(const OptionRow& row, int column, const std::string& backendNames) {
    std::string label = row.label != nullptr ? row.label : row.name;
    if (row.label == nullptr && row.valueName != nullptr) {
        label += std::string(" ") + row.valueName;
    }
    std::string text = expand(row, row.help);
    for (std::size_t at = text.find("{backends}"); at != std::string::npos;
         at = text.find("{backends}", at)) {
        text.replace(at, 10, backendNames);
    }
    std::string out = "  " + label;
    const std::size_t indent = static_cast<std::size_t>(column);
    if (out.size() + 1 > indent) {
        out += "\n";
        out += std::string(indent, ' ');
    } else {
        out += std::string(indent - out.size(), ' ');
    }
    for (char c : text) {
        out += c;
        if (c == '\n') {
            out += std::string(indent, ' ');
        }
    }
    return out + "\n";
}

} // namespace

std::string usageText(const std::vector<std::string>& backendNames) {
    std::string names;
    for (const std::string& name : backendNames) {
        names += (names.empty() ? "" : ", ") + name;
    }
    std::string text =
        "Usage: haze [MODE] [OPTIONS]\n"
        "\n"
        "An animated OpenGL screen saver: coloured stars, a yellow glow and\n"
        "translucent smoke drifting through a letterboxed, fading view.\n"
        "\n"
        "Screen-saver switches (a slash or a dash, in either case: /s, -S):\n"
        "  /s                 full screen until a key, a click, mouse travel of more\n"
        "                     than 4 pixels or another window taking the focus\n"
        "  /p ID, /l ID       preview inside the window with decimal id ID, until\n"
        "                     that window goes away\n"
        "  /c                 configuration: haze has no settings, so it says so\n"
        "  (none)             the same as /c\n";
    for (const SectionText& section : sections) {
        text += std::string("\n") + section.heading + "\n";
        for (const OptionRow& row : optionRows) {
            if (row.section == section.section && !(row.label != nullptr && *row.label == '\0')) {
                text += helpLines(row, section.column, names);
            }
        }
        text += section.footer;
    }
    return text +
           "\n"
           "Every option takes one leading dash or two, as the daemons' hacks take\n"
           "theirs: -delay or --delay. Numbers are decimal; only window and visual ids\n"
           "may also be written in 0x-hex.\n"
           "\n"
           "Exit status: " +
           std::to_string(ExitDone) + " done, " + std::to_string(ExitFailed) +
           " failed (no display, a file not written, ...),\n" + std::to_string(ExitUsage) +
           " a command line haze does not take.\n";
}
