#include "programs/linux/command_options.h"

#include "programs/linux/decimal_numbers.h"
#include "programs/linux/option_rows.h"

using namespace cli;

namespace {

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
