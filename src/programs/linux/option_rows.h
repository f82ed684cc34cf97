// The options of the Linux command line, one row each, as the parser and
// --help read them. Internal to the command line's files.
#pragma once

#include "programs/linux/command_options.h"

#include <string>
#include <vector>

namespace cli {

// The modes an option applies to, as a set of bits.
constexpr unsigned modeBit(RunMode mode) {
    return 1u << static_cast<unsigned>(mode);
}
constexpr unsigned anyMode = ~0u;
constexpr unsigned renderOnly = modeBit(RunMode::Render);
constexpr unsigned sizedModes = modeBit(RunMode::Render) | modeBit(RunMode::OwnWindow);
constexpr unsigned displayModes = modeBit(RunMode::Saver) | modeBit(RunMode::Root) |
                                  modeBit(RunMode::WindowId) | modeBit(RunMode::OwnWindow);

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

// Every option, in the order --help lists them within each section.
const std::vector<OptionRow>& optionRows();
// The row `name` spells (with one dash or two, or its alias), or null.
const OptionRow* findOption(const std::string& name);

// "--render", "-root", ...: how a mode is named in messages.
const char* modeName(RunMode mode);
// "only to --render", "only on a display, not to --render": where an option
// given in `mode` would have applied.
std::string appliesOnly(unsigned modes, RunMode mode);
// `text` with "{min}" and "{max}" replaced by the row's range.
std::string expand(const OptionRow& row, const char* text);

// The parse under way: what was asked so far, and the one-line error.
struct Parser {
    Parser(CommandOptions& options, std::string& error,
           const std::vector<std::string>& backendNames)
        : options(options), error(error), backendNames(backendNames) {}

    CommandOptions& options;
    std::string& error;
    const std::vector<std::string>& backendNames; // what --backend takes; none: any name
    bool help = false;
    bool version = false;
    bool switchGiven = false;            // a screen-saver switch chose the mode
    std::vector<const OptionRow*> given; // the options given, in order

    // False, with `message` as the error: what was given is quoted escaped
    // where it is not printable.
    bool fail(const std::string& message);
    // "NAME needs WHAT, got 'VALUE'", from the option's row.
    bool refuse(const OptionRow& row, const std::string& value);
    // An empty value where one is needed: "NAME needs WHAT".
    bool refuseEmpty(const OptionRow& row);
    // `mode` is the run's mode, unless another was chosen already.
    bool setMode(RunMode mode);
    // A whole decimal number within the row's range, else refused.
    bool wholeNumber(const OptionRow& row, const std::string& text, unsigned long long& value);
};

} // namespace cli
