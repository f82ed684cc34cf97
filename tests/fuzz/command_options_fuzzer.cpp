// Any argument vector for the Linux command line: the input split at NUL
// bytes (as arguments can hold none), so values may be of any length and
// hold any other byte. Parsing must give a defined result that keeps every
// option within its documented range and quote back only printable text.
// Runs with AddressSanitizer and UndefinedBehaviorSanitizer.
#include "programs/linux/command_options.h"
#include "programs/printable_text.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Nothing a terminal would act on: no control byte, no lone byte above 0x7F.
bool printable(const std::string& text) {
    return printableText(text) == text;
}

bool onlyDigits(const std::string& text, const char* allowed) {
    return !text.empty() && text.find_first_not_of(allowed) == std::string::npos;
}

// The options of haze's own that take the next word as their value.
bool takesValue(const std::string& word) {
    for (const char* name :
         {"--render", "--export-textures", "--size", "--frames", "--step-ms", "--seed",
          "-window-id", "--window-id", "--monitors", "-delay", "--delay", "-display", "--display",
          "-visual", "--visual", "--backend"}) {
        if (word == name) {
            return true;
        }
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Each argument an exact-size heap copy, so the sanitizer sees any read
    // past its NUL.
    std::vector<std::string> words(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            words.emplace_back();
        } else {
            words.back() += static_cast<char>(data[i]);
        }
    }
    std::vector<std::vector<char>> storage;
    std::vector<const char*> argv;
    for (const std::string& word : words) {
        storage.emplace_back(word.c_str(), word.c_str() + word.size() + 1);
    }
    for (const std::vector<char>& word : storage) {
        argv.push_back(word.data());
    }

    CommandOptions options;
    std::string error;
    const bool parsed =
        parseCommandOptions(static_cast<int>(argv.size()), argv.data(), options, error);

    if (!parsed) {
        check(!error.empty() && printable(error));
        return 0;
    }
    if (options.mode == RunMode::Help || options.mode == RunMode::Version) {
        return 0; // nothing else is used
    }
    check(options.width >= 1 && options.width <= maximumSize);
    check(options.height >= 1 && options.height <= maximumSize);
    check(options.frames >= 0 && options.frames <= 100000000);
    check(std::isfinite(options.stepMs) && options.stepMs >= 0.0 && options.stepMs <= 3600000.0);
    check(options.mode == RunMode::Saver || options.saverTail.empty());
    check(options.mode != RunMode::Render || !options.renderPath.empty());
    check(options.mode != RunMode::ExportTextures || !options.exportDirectory.empty());
    check(options.mode != RunMode::WindowId || options.windowId != 0);
    check(options.delayUs <= maximumDelayUs);
    // Every monitor lies within the picture.
    check(options.monitors.size() <= static_cast<std::size_t>(maximumMonitors));
    for (const MonitorGeometry& m : options.monitors) {
        check(m.width >= 1 && m.height >= 1 && m.x >= 0 && m.y >= 0);
        check(m.x + m.width <= options.width && m.y + m.height <= options.height);
    }

    // One number rule: a value taken for --frames, --seed or -delay is
    // decimal digits, one for --step-ms decimal digits with at most a point.
    for (std::size_t i = 0; i < words.size(); ++i) {
        std::string name = words[i];
        std::string value;
        const std::size_t equals = name.find('=');
        if (name.compare(0, 2, "--") == 0 && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        } else if (i + 1 < words.size() && takesValue(name)) {
            value = words[++i];
        }
        if (name == "--frames" || name == "--seed" || name == "-delay" || name == "--delay") {
            check(onlyDigits(value, "0123456789"));
        } else if (name == "--step-ms") {
            check(onlyDigits(value, "0123456789."));
        }
    }

    // A window id as daemons pass it: decimal or 0x-hex, never 0.
    std::uint32_t id = 0;
    if (parseWindowId(words[0], id)) {
        check(id != 0);
        check(onlyDigits(words[0], "0123456789") ||
              (words[0].size() > 2 && words[0][0] == '0' && (words[0][1] | 0x20) == 'x' &&
               onlyDigits(words[0].substr(2), "0123456789abcdefABCDEF")));
    }
    return 0;
}
