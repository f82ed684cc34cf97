#include "programs/linux/xscreensaver_programs.h"

#include <cstddef>
#include <vector>

namespace xscreensaver {
namespace {

using Lines = std::vector<std::string>;

// Lines without their '\n'; "a\nb\n" is {"a", "b", ""}, so joining gives
// the text back exactly.
Lines splitLines(const std::string& text) {
    Lines lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            return lines;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

std::string joinLines(const Lines& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        text += lines[i];
        if (i + 1 < lines.size()) {
            text += '\n';
        }
    }
    return text;
}

// A resource value goes on past a line that ends in an odd number of
// backslashes (an even number are escaped backslashes).
bool continues(const std::string& line) {
    std::size_t backslashes = 0;
    while (backslashes < line.size() && line[line.size() - 1 - backslashes] == '\\') {
        ++backslashes;
    }
    return backslashes % 2 == 1;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// The lines of the resource `name` ("programs:" or "*programs:") at the start
// of a line: [first, end), the first holding the name.
struct Block {
    std::size_t first = 0;
    std::size_t end = 0;
};

bool findBlock(const Lines& lines, const std::string& name, Block& block) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].compare(0, name.size(), name) == 0) {
            block.first = i;
            block.end = i + 1;
            while (block.end < lines.size() && continues(lines[block.end - 1])) {
                ++block.end;
            }
            return true;
        }
        // Skip the rest of another resource's value.
        while (i + 1 < lines.size() && continues(lines[i])) {
            ++i;
        }
    }
    return false;
}

// The value part of a line, without the blanks at its end.
std::string trimEnd(const std::string& text) {
    std::size_t end = text.size();
    while (end > 0 && isBlank(text[end - 1])) {
        --end;
    }
    return text.substr(0, end);
}

// Drops the continuation backslash at the end of `line`, and the blanks
// before it.
std::string withoutContinuation(const std::string& line) {
    return trimEnd(line.substr(0, line.size() - 1));
}

// Quotes a path for the daemon's sh command line when it holds anything but
// the characters paths are usually made of.
std::string shellWord(const std::string& word) {
    bool plain = !word.empty();
    for (char c : word) {
        const bool safe = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                          (c >= '0' && c <= '9') || c == '/' || c == '.' || c == '_' || c == '-' ||
                          c == '+' || c == ',' || c == ':' || c == '@';
        plain = plain && safe;
    }
    if (plain) {
        return word;
    }
    std::string quoted = "'";
    for (char c : word) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

} // namespace

std::string programEntry(const std::string& program) {
    return "\t\t\t\t" + shellWord(program) + " --root\t\t\t    \\n";
}

std::string preferencesFromDefaults(const std::string& appDefaults) {
    const Lines lines = splitLines(appDefaults);
    Block block;
    if (!findBlock(lines, "*programs:", block)) {
        return std::string();
    }
    std::string text = "# XScreenSaver's preferences: made from the daemon's defaults by\n"
                       "# haze --install-xscreensaver, to add haze to the programs below.\n";
    for (std::size_t i = block.first; i < block.end; ++i) {
        text += (i == block.first ? lines[i].substr(1) : lines[i]) + "\n";
    }
    return text;
}

bool isHazeEntry(const std::string& line) {
    std::size_t i = 0;
    const auto skipBlanks = [&] {
        while (i < line.size() && isBlank(line[i])) {
            ++i;
        }
    };
    skipBlanks();
    if (i < line.size() && line[i] == '-') { // disabled
        ++i;
        skipBlanks();
    }
    // A visual name such as "GL:" comes before the command.
    std::size_t word = i;
    while (word < line.size() && !isBlank(line[word]) && line[word] != '"' && line[word] != '\'' &&
           line[word] != '/' && line[word] != ':') {
        ++word;
    }
    if (word > i && word < line.size() && line[word] == ':') {
        i = word + 1;
        skipBlanks();
    }
    if (i < line.size() && line[i] == '"') { // a label
        const std::size_t close = line.find('"', i + 1);
        if (close == std::string::npos) {
            return false;
        }
        i = close + 1;
        skipBlanks();
    }
    // The command word, as sh reads it: quotes and backslashes taken off.
    std::string command;
    while (i < line.size() && !isBlank(line[i])) {
        const char c = line[i++];
        if (c == '\'' || c == '"') {
            const std::size_t close = line.find(c, i);
            command += line.substr(i, close == std::string::npos ? close : close - i);
            i = close == std::string::npos ? line.size() : close + 1;
        } else if (c == '\\') {
            if (i >= line.size() || line[i] == 'n') {
                break; // the entry's end, "\n", or the line's continuation
            }
            command += line[i++];
        } else {
            command += c;
        }
    }
    const std::size_t slash = command.rfind('/');
    return command.substr(slash == std::string::npos ? 0 : slash + 1) == "haze";
}

Edit addProgram(std::string& preferences, const std::string& entry,
                const std::string& appDefaults) {
    Lines lines = splitLines(preferences);
    Block block;
    if (!findBlock(lines, "programs:", block)) {
        // No list of the user's own: the daemon's goes at the end first.
        const std::string defaults = preferencesFromDefaults(appDefaults);
        if (defaults.empty()) {
            return Edit::NoList;
        }
        const bool endsLine = preferences.empty() || preferences.back() == '\n';
        lines = splitLines(preferences + (endsLine ? "" : "\n") + defaults);
        findBlock(lines, "programs:", block);
    }
    for (std::size_t i = block.first + 1; i < block.end; ++i) {
        if (isHazeEntry(lines[i])) {
            return Edit::Unchanged;
        }
    }
    std::string& last = lines[block.end - 1];
    if (block.end - 1 > block.first && trimEnd(last).empty()) {
        // The list ends in a blank line that the line before goes on into:
        // the entry goes in between and goes on into it too.
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(block.end - 1), entry + "\\");
    } else {
        // The last line goes on into the entry, after ending its own entry
        // with "\n" unless it does or holds only the resource's name. (A
        // last line that goes on already is the end of the file.)
        const std::string content = continues(last) ? withoutContinuation(last) : trimEnd(last);
        const bool endsEntry =
            content.size() >= 2 && content.compare(content.size() - 2, 2, "\\n") == 0;
        const bool nameOnly = block.end - 1 == block.first && content == "programs:";
        last = content + (endsEntry || nameOnly ? "" : " \\n") + "\t\\";
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(block.end), entry);
    }
    preferences = joinLines(lines);
    return Edit::Changed;
}

Edit removeProgram(std::string& preferences) {
    Lines lines = splitLines(preferences);
    Block block;
    if (!findBlock(lines, "programs:", block)) {
        return Edit::Unchanged;
    }
    bool removed = false;
    for (std::size_t i = block.end; i-- > block.first + 1;) {
        if (!isHazeEntry(lines[i])) {
            continue;
        }
        // Without the entry, the line before would go on into what follows
        // the list if the entry ended it: that line ends the list instead.
        const bool endedList = i + 1 == block.end && !continues(lines[i]);
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
        --block.end;
        removed = true;
        if (endedList && continues(lines[i - 1])) {
            lines[i - 1] = withoutContinuation(lines[i - 1]);
        }
    }
    if (!removed) {
        return Edit::Unchanged;
    }
    preferences = joinLines(lines);
    return Edit::Changed;
}

} // namespace xscreensaver
