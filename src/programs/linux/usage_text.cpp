// --help, made from the rows of the options.
#include "programs/linux/command_options.h"
#include "programs/linux/option_rows.h"

using namespace cli;

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
        for (const OptionRow& row : optionRows()) {
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
